// Opening the archive for a patient with 1,000 pictures whose big pictures are 6 MB camera
// BMPs (listed, the screenful in view built and shown), against decoding the same 1,000
// thumbnails alone.
// QB_BENCH_ROWS and QB_BENCH_BLOB_MB change the size (for a quick look).
#include "application.h"
#include "benchdb.h"
#include "clientdataset.h"
#include "dmdata.h"
#include "imagecodec.h"
#include "messagebox.h"
#include "takepicture.h"
#include "thumbnail.h"

#include <QElapsedTimer>
#include <QPainter>
#include <cmath>
#include <cstdio>

int main(int argc, char** argv)
{
    Application app(argc, argv);
    const int rows = envInt("QB_BENCH_ROWS", 1000);
    const int blobMb = envInt("QB_BENCH_BLOB_MB", 6);

    QTemporaryDir dir;
    TdmData dm(createBenchDatabase(dir));
    if (!dm.isConnected())
        return 1;

    // A camera BMP of about blobMb megabytes, and its real thumbnail.
    const int side = int(std::sqrt(blobMb * 1024.0 * 1024.0 / 3.0));
    QImage picture(side, side, QImage::Format_RGB888);
    QPainter(&picture).fillRect(picture.rect(), QLinearGradient(0, 0, side, side));
    const QByteArray big = codec::encodeBmp(picture);
    const QByteArray thumb = MakeThumbnail(picture);
    storeBenchPictures(1, rows, big, QStringLiteral(".bmp"), thumb);

    resetPeak();
    QElapsedTimer t;
    t.start();
    auto* window = new TfrmTakePicture(1);
    window->resize(1280, 800);
    window->show();
    QCoreApplication::processEvents();
    const double listMs = double(t.nsecsElapsed()) / 1e6;
    const double peak = peakMb();
    const size_t shown = size_t(window->shownKeys().size());
    delete window;
    if (shown != size_t(rows)) {
        std::fprintf(stderr, "the archive showed %zu of %d pictures\n", shown, rows);
        return 1;
    }

    // The floor: the same thumbnails decoded, nothing else.
    QElapsedTimer d;
    d.start();
    for (int i = 0; i < rows; ++i) {
        if (codec::decodeJpeg(thumb).isNull())
            return 1;
    }
    const double decodeMs = double(d.nsecsElapsed()) / 1e6;

    std::printf("archive_list_%d_ms: %.1f ms\n", rows, listMs);
    std::printf("archive_peak_mb: %.1f MB\n", peak);
    std::printf("thumb_decode_%d_ms: %.1f ms\n", rows, decodeMs);
    std::printf("archive_ratio_vs_decode: %.2f x\n", listMs / decodeMs);
    return 0;
}
