#include <gst/gst.h>

#include "framegrab.h"
#include "imagecodec.h"
#include "videodevices.h"
#include "videopipeline.h"

#include <QTest>
#include <QtEndian>

namespace {

// A BGR frame of width x height whose top half is red and bottom half blue, rows `stride`
// bytes apart.
QByteArray redOverBlue(int width, int height, int stride)
{
    QByteArray bytes(qsizetype(stride) * height, '\x55');
    for (int y = 0; y < height; ++y) {
        auto* row = reinterpret_cast<uchar*>(bytes.data()) + qsizetype(y) * stride;
        for (int x = 0; x < width; ++x) {
            const bool top = y < height / 2;
            row[x * 3 + 0] = top ? 0 : 255; // blue
            row[x * 3 + 1] = 0;
            row[x * 3 + 2] = top ? 255 : 0; // red
        }
    }
    return bytes;
}

RawFrame frameOf(const QByteArray& bytes, int width, int height, int stride)
{
    RawFrame f;
    f.data = reinterpret_cast<const uchar*>(bytes.constData());
    f.size = bytes.size();
    f.width = width;
    f.height = height;
    f.stride = stride;
    return f;
}

void checkRedOverBlue(const QImage& image)
{
    QVERIFY(!image.isNull());
    const QColor top = image.pixelColor(image.width() / 2, 1);
    const QColor bottom = image.pixelColor(image.width() / 2, image.height() - 2);
    QVERIFY2(top.red() > 200 && top.blue() < 60, qPrintable(top.name()));
    QVERIFY2(bottom.blue() > 200 && bottom.red() < 60, qPrintable(bottom.name()));
}

} // namespace

class TestFrameGrab : public QObject
{
    Q_OBJECT
private slots:
    void lineSize_data()
    {
        QTest::addColumn<int>("bits");
        QTest::addColumn<int>("width");
        QTest::addColumn<int>("expected");
        QTest::newRow("24 x 640") << 24 << 640 << 1920;
        QTest::newRow("24 x 33 padded") << 24 << 33 << 100;
        QTest::newRow("15 counts as 16") << 15 << 10 << 20;
        QTest::newRow("32 x 7") << 32 << 7 << 28;
        QTest::newRow("1 x 1") << 1 << 1 << 4;
    }
    void lineSize()
    {
        QFETCH(int, bits);
        QFETCH(int, width);
        QFETCH(int, expected);
        QCOMPARE(GetDIBLineSize(bits, width), expected);
    }

    // The image size comes from the format; the copy takes at most that many bytes.
    void copiedBytes_data()
    {
        QTest::addColumn<int>("width");
        QTest::addColumn<int>("height");
        QTest::addColumn<int>("stride");
        QTest::addColumn<int>("bufferBytes");
        QTest::addColumn<int>("filledRows");
        QTest::newRow("640x480 whole") << 640 << 480 << 1920 << 921600 << 480;
        QTest::newRow("longer buffer is cut") << 64 << 10 << 192 << 192 * 10 + 500 << 10;
        QTest::newRow("short buffer leaves black") << 64 << 10 << 192 << 192 * 4 << 4;
        QTest::newRow("padded rows") << 33 << 6 << 100 << 600 << 6;
        QTest::newRow("wider rows than a bitmap's") << 33 << 6 << 128 << 128 * 6 << 6;
    }
    void copiedBytes()
    {
        QFETCH(int, width);
        QFETCH(int, height);
        QFETCH(int, stride);
        QFETCH(int, bufferBytes);
        QFETCH(int, filledRows);
        QByteArray bytes(bufferBytes, '\0');
        for (qsizetype i = 0; i < bytes.size(); ++i)
            bytes[i] = char(0xC8); // a light grey, wherever a byte arrived
        QImage bitmap;
        QVERIFY(FrameToBitmap(frameOf(bytes, width, height, stride), bitmap));
        QCOMPARE(bitmap.size(), QSize(width, height));
        QCOMPARE(bitmap.format(), QImage::Format_BGR888);
        for (int y = 0; y < height; ++y) {
            const QColor c = bitmap.pixelColor(width - 1, y);
            QCOMPARE(c == QColor(200, 200, 200), y < filledRows);
        }
    }

    void emptyFrames_data()
    {
        QTest::addColumn<int>("width");
        QTest::addColumn<int>("height");
        QTest::addColumn<int>("bytes");
        QTest::newRow("no width") << 0 << 10 << 100;
        QTest::newRow("no height") << 10 << 0 << 100;
        QTest::newRow("no bytes") << 10 << 10 << 0;
    }
    void emptyFrames()
    {
        QFETCH(int, width);
        QFETCH(int, height);
        QFETCH(int, bytes);
        const QByteArray data(bytes, '\x10');
        QImage bitmap(3, 3, QImage::Format_RGB888);
        RawFrame f = frameOf(data, width, height, 0);
        if (bytes == 0)
            f.data = nullptr;
        QVERIFY(!FrameToBitmap(f, bitmap));
        QCOMPARE(bitmap.size(), QSize(3, 3));
    }

    // Frames arrive top row first; the stored file must show them the right way up.
    void storedBitmapIsUpright()
    {
        const int w = 33, h = 20, stride = GetDIBLineSize(24, w);
        const QByteArray bytes = redOverBlue(w, h, stride);
        QImage bitmap;
        QVERIFY(FrameToBitmap(frameOf(bytes, w, h, stride), bitmap));
        const QByteArray file = codec::encodeBmp(bitmap);
        // A positive height: rows bottom-up, so the file's first row is the blue bottom one.
        QVERIFY(qFromLittleEndian<qint32>(file.constData() + 22) > 0);
        const auto* firstRow = reinterpret_cast<const uchar*>(file.constData()) + 54;
        QCOMPARE(int(firstRow[0]), 255);
        QCOMPARE(int(firstRow[2]), 0);
        checkRedOverBlue(codec::decodeBmp(file));
    }

    void noSampleNoBitmap()
    {
        QImage bitmap;
        QVERIFY(!SampleToBitmap(nullptr, bitmap));
        QVERIFY(bitmap.isNull());
    }

    // Through a real pipeline: a camera whose picture is red above and blue below.
    void stillFromPipelineIsUpright()
    {
        ensureGStreamer();
        VideoDevice camera;
        camera.friendlyName = QStringLiteral("red over blue");
        camera.createSource = []() -> GstElement* {
            return gst_parse_bin_from_description(
                "videotestsrc is-live=true pattern=solid-color foreground-color=0xffff0000 ! "
                "video/x-raw,format=I420,width=160,height=60,framerate=30/1 ! "
                "videobox bottom=-60 fill=blue",
                TRUE, nullptr);
        };
        VideoPipeline pipeline;
        QVERIFY(pipeline.startPhotograph(camera, QSize(80, 60)));
        QImage bitmap;
        QTRY_VERIFY_WITH_TIMEOUT(pipeline.grabStill(bitmap), 10000);
        QCOMPARE(bitmap.size(), QSize(160, 120));
        checkRedOverBlue(codec::decodeBmp(codec::encodeBmp(bitmap)));
        // The screen gets frames too, at the size asked for.
        QTRY_VERIFY(pipeline.framesShown() > 0);
        pipeline.stop();
        QVERIFY(!pipeline.grabStill(bitmap));
    }
};

QTEST_MAIN(TestFrameGrab)
#include "tst_framegrab.moc"
