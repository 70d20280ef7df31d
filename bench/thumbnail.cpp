// Thumbnails: MakeThumbnail from the bytes of a 4000 x 3000 camera-like JPEG and of a 24-bit
// 1920 x 1080 BMP, against libvips doing the same job (when built with it) and against the
// bare 1/8-scale JPEG decode that no thumbnailer of that JPEG can beat.
#include "thumbnail.h"
#include "benchdb.h"
#include "clientdataset.h"
#include "dmdata.h"
#include "imagecodec.h"
#include "picturerecords.h"

#include <QApplication>
#include <QFile>

#include <QElapsedTimer>
#include <QImage>
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <functional>
#include <turbojpeg.h>
#include <vector>

#ifdef QB_HAVE_VIPS
#include <vips/vips.h>
#endif

namespace {

constexpr int kRuns = 21;

// Median of kRuns timed runs after one untimed warm-up, in milliseconds.
double medianMs(const std::function<void()>& run)
{
    run();
    std::vector<double> ms;
    for (int i = 0; i < kRuns; ++i) {
        QElapsedTimer t;
        t.start();
        run();
        ms.push_back(double(t.nsecsElapsed()) / 1e6);
    }
    std::nth_element(ms.begin(), ms.begin() + kRuns / 2, ms.end());
    return ms[kRuns / 2];
}

void report(const char* name, double value, const char* unit)
{
    std::printf("%s: %.2f %s\n", name, value, unit);
    std::fflush(stdout);
}

// Smooth shading, a few shapes and sensor-like noise, so that the JPEG carries as much entropy
// coded data as a real photo of that size (a flat test card decodes unrealistically fast).
QImage photoLike(int w, int h)
{
    QImage image(w, h, QImage::Format_RGB888);
    quint32 s = 2024;
    for (int y = 0; y < h; ++y) {
        uchar* p = image.scanLine(y);
        for (int x = 0; x < w; ++x, p += 3) {
            s = s * 1664525u + 1013904223u;
            const int n = int(s >> 28) - 8;
            const double fx = double(x) / w, fy = double(y) / h;
            const double ring = std::sin((fx * fx + fy * fy) * 40.0) * 30.0;
            p[0] = uchar(std::clamp(int(180 * fx + 40 + ring) + n, 0, 255));
            p[1] = uchar(std::clamp(int(120 + 80 * fy - ring) + n, 0, 255));
            p[2] = uchar(std::clamp(int(90 + 100 * fx * fy + ring) + n, 0, 255));
        }
    }
    return image;
}

bool sane(const QByteArray& thumbnail)
{
    return codec::decodeJpeg(thumbnail).size() == QSize(kThumbnailWidth, kThumbnailHeight);
}

} // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    const QByteArray jpeg = codec::encodeJpeg(photoLike(4000, 3000), 90);
    const QByteArray bmp = codec::encodeBmp(photoLike(1920, 1080));
    std::fprintf(stderr, "test JPEG %.1f MB, BMP %.1f MB\n", jpeg.size() / 1048576.0,
                 bmp.size() / 1048576.0);
    if (!sane(MakeThumbnail(jpeg, QStringLiteral(".jpg"))) ||
        !sane(MakeThumbnail(bmp, QStringLiteral(".bmp")))) {
        std::fprintf(stderr, "MakeThumbnail failed\n");
        return 1;
    }

    const double oursJpeg = medianMs([&] { MakeThumbnail(jpeg, QStringLiteral(".jpg")); });
    report("thumb_jpeg_4000x3000_ms", oursJpeg, "ms");
    report("thumb_bmp_1920x1080_ms", medianMs([&] { MakeThumbnail(bmp, QStringLiteral(".bmp")); }),
           "ms");

#ifdef QB_HAVE_VIPS
    if (VIPS_INIT(argv[0]) != 0) {
        std::fprintf(stderr, "libvips does not start\n");
        return 1;
    }
    // Each run must do the work, not fetch the previous run's result from the operation cache.
    vips_cache_set_max(0);
    auto vipsThumbnail = [&] {
        VipsImage* out = nullptr;
        void* buffer = nullptr;
        size_t length = 0;
        if (vips_thumbnail_buffer(const_cast<char*>(jpeg.constData()), size_t(jpeg.size()), &out,
                                  kThumbnailWidth, "height", kThumbnailHeight, "size",
                                  VIPS_SIZE_FORCE, nullptr) != 0 ||
            vips_jpegsave_buffer(out, &buffer, &length, "Q", kThumbnailQuality, nullptr) != 0)
            std::fprintf(stderr, "libvips: %s\n", vips_error_buffer());
        g_free(buffer);
        if (out)
            g_object_unref(out);
    };
    const double vips = medianMs(vipsThumbnail);
    report("thumb_vips_4000x3000_ms", vips, "ms");
    report("thumb_ratio_vs_vips", oursJpeg / vips, "x");
#else
    std::fprintf(stderr, "built without libvips: no comparison figures\n");
#endif

    tjhandle tj = tjInitDecompress();
    int w = 0, h = 0, subsampling = 0, colorspace = 0;
    const auto* data = reinterpret_cast<const unsigned char*>(jpeg.constData());
    tjDecompressHeader3(tj, data, jpeg.size(), &w, &h, &subsampling, &colorspace);
    const tjscalingfactor eighth{1, 8};
    std::vector<unsigned char> pixels(size_t(TJSCALED(w, eighth)) * TJSCALED(h, eighth) * 3);
    report("thumb_floor_ms", medianMs([&] {
               tjDecompress2(tj, data, jpeg.size(), pixels.data(), TJSCALED(w, eighth), 0,
                             TJSCALED(h, eighth), TJPF_RGB, 0);
           }),
           "ms");
    tjDestroy(tj);

    // A whole import of each file: thumbnail, insert, counter, commit.
    {
        QTemporaryDir dir;
        TdmData dm(createBenchDatabase(dir));
        if (!dm.isConnected())
            return 1;
        PictureDataSet pictures;
        DefaultPictureDialogs dialogs;
        PictureRecords records(pictures.images, dialogs);
        const auto importMs = [&](const QByteArray& bytes, const char* name) {
            const QString path = dir.filePath(QString::fromLatin1(name));
            QFile f(path);
            f.open(QIODevice::WriteOnly);
            f.write(bytes);
            f.close();
            return medianMs([&] {
                if (records.importFile(1, path) != PictureRecords::ImportResult::Stored)
                    std::fprintf(stderr, "import of %s failed\n", name);
            });
        };
        report("import_jpeg_4000x3000_ms", importMs(jpeg, "photo.jpg"), "ms");
        report("import_bmp_1920x1080_ms", importMs(bmp, "camera.bmp"), "ms");
    }
    return 0;
}
