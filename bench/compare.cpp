// Comparison window figures. Magnifier: one refresh of the square (crop and resize of the
// region under the cursor) on a 12-megapixel and on a VGA picture; the two should be alike,
// since only the region is touched.
#include "benchdb.h"
#include "dmdata.h"
#include "frameimage.h"
#include "imagecodec.h"
#include "thumbnail.h"
#include "zoomimage.h"

#include <QApplication>
#include <QCursor>
#include <QElapsedTimer>
#include <QImage>
#include <QMouseEvent>
#include <QPainter>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <vector>

namespace {

// Median of `runs` timed runs after a few untimed warm-ups, in milliseconds.
double medianMs(const std::function<void()>& run, int runs = 201)
{
    for (int i = 0; i < 5; ++i)
        run();
    std::vector<double> ms;
    ms.reserve(runs);
    for (int i = 0; i < runs; ++i) {
        QElapsedTimer t;
        t.start();
        run();
        ms.push_back(double(t.nsecsElapsed()) / 1e6);
    }
    std::nth_element(ms.begin(), ms.begin() + runs / 2, ms.end());
    return ms[runs / 2];
}

void report(const char* name, double value, const char* unit)
{
    std::printf("%s: %.3f %s\n", name, value, unit);
    std::fflush(stdout);
}

// Not a flat colour, so that scaling does real work.
QImage cameraLike(QSize size)
{
    QImage image(size, QImage::Format_RGB32);
    QPainter p(&image);
    QLinearGradient g(0, 0, size.width(), size.height());
    g.setColorAt(0, QColor(200, 120, 90));
    g.setColorAt(1, QColor(40, 60, 160));
    p.fillRect(image.rect(), g);
    for (int x = 0; x < size.width(); x += 37)
        p.drawLine(x, 0, size.width() - x, size.height());
    return image;
}

// A shown comparison-sized frame with the magnifier shown (right button held) at the centre,
// square 200, factor 4; the figure is one UpdateDisplay().
double magnifierRefreshMs(QSize pictureSize)
{
    TFrameImage frame;
    frame.resize(640, 520);
    frame.source()->setPicture(cameraLike(pictureSize));
    frame.PrepairCtrl();
    frame.SetManifierWidth(200);
    frame.SetManifierZoom(4.0);
    frame.show();
    QApplication::processEvents();

    QWidget* viewport = frame.source()->viewport();
    const QPoint centre = viewport->rect().center();
    QCursor::setPos(viewport->mapToGlobal(centre));
    QMouseEvent press(QEvent::MouseButtonPress, centre, viewport->mapToGlobal(centre),
                      Qt::RightButton, Qt::RightButton, Qt::NoModifier);
    QApplication::sendEvent(viewport, &press);
    QApplication::processEvents();

    const double ms = medianMs([&] { frame.UpdateDisplay(); });
    if (frame.magnifierRegion().size() != QSize(50, 50))
        std::fprintf(stderr, "unexpected region %dx%d\n", frame.magnifierRegion().width(),
                     frame.magnifierRegion().height());

    QMouseEvent release(QEvent::MouseButtonRelease, centre, viewport->mapToGlobal(centre),
                        Qt::RightButton, Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(viewport, &release);
    return ms;
}

void benchMagnifier()
{
    report("magnifier_refresh_4000x3000_ms", magnifierRefreshMs(QSize(4000, 3000)), "ms");
    report("magnifier_refresh_640x480_ms", magnifierRefreshMs(QSize(640, 480)), "ms");
}

} // namespace

// Opening the comparison window on six 4000 x 3000 JPEG pictures stored in a fresh database.
void benchCompareOpen()
{
    QTemporaryDir dir;
    TdmData dm(createBenchDatabase(dir));
    if (!dm.isConnected())
        std::exit(1);
    QImage picture(4000, 3000, QImage::Format_RGB888);
    QPainter(&picture).fillRect(picture.rect(), QLinearGradient(0, 0, 4000, 3000));
    const QByteArray jpeg = codec::encodeJpeg(picture, 90);
    const QByteArray thumb = MakeThumbnail(picture);
    storeBenchPictures(1, 6, jpeg, QStringLiteral(".jpg"), thumb);
    const QList<int> keys{1, 2, 3, 4, 5, 6};
    report("compare_open_6x12mp_ms",
           medianMs(
               [&] {
                   TfrmZoomImage w(keys);
                   w.resize(1280, 800);
                   w.show();
                   QCoreApplication::processEvents();
               },
               9),
           "ms");
}

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    // One call per group of figures; add new groups here.
    benchMagnifier();
    benchCompareOpen();
    return 0;
}
