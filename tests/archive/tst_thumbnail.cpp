#include "imagecodec.h"
#include "thumbnail.h"

#include <QBuffer>
#include <QImageWriter>
#include <QTest>

namespace {

const QColor kTop(30, 200, 60);
const QColor kBottom(240, 230, 50);
const QColor kLeft(220, 30, 30);
const QColor kRight(30, 60, 220);
const QColor kMiddle(128, 128, 128);

// Bands a tenth of the picture wide along each edge: a letter-boxed thumbnail loses the top
// and bottom bands to bars, a cropped one loses the left and right bands.
QImage bands(int w, int h)
{
    QImage image(w, h, QImage::Format_RGB888);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            QColor c = kMiddle;
            if (y < h / 10)
                c = kTop;
            else if (y >= h - h / 10)
                c = kBottom;
            else if (x < w / 10)
                c = kLeft;
            else if (x >= w - w / 10)
                c = kRight;
            image.setPixelColor(x, y, c);
        }
    return image;
}

bool near(QColor a, QColor b, int tolerance = 24)
{
    return qAbs(a.red() - b.red()) <= tolerance && qAbs(a.green() - b.green()) <= tolerance &&
           qAbs(a.blue() - b.blue()) <= tolerance;
}

// Offset of the first marker m before the scan data, or -1.
qsizetype findMarker(const QByteArray& jpeg, uchar m)
{
    const auto* d = reinterpret_cast<const uchar*>(jpeg.constData());
    qsizetype p = 2;
    while (p + 3 < jpeg.size() && d[p] == 0xFF && d[p + 1] != 0xDA) {
        if (d[p + 1] == m)
            return p;
        p += 2 + ((d[p + 2] << 8) | d[p + 3]);
    }
    return -1;
}

// First entry of the luminance quantisation table: 16 at quality 50, 3 at quality 90.
int firstQuantValue(const QByteArray& jpeg)
{
    const qsizetype p = findMarker(jpeg, 0xDB);
    return p < 0 ? -1 : uchar(jpeg[p + 5]);
}

// A 192 x 154 baseline JFIF of quality 50, and its pixels.
QImage checkedThumbnail(const QByteArray& thumbnail)
{
    if (!thumbnail.startsWith("\xFF\xD8\xFF\xE0") || thumbnail.mid(6, 5) != QByteArray("JFIF", 5))
        return {};
    if (firstQuantValue(thumbnail) != 16 || findMarker(thumbnail, 0xC0) < 0 ||
        findMarker(thumbnail, 0xC2) >= 0)
        return {};
    const QImage image = codec::decodeJpeg(thumbnail);
    return image.size() == QSize(kThumbnailWidth, kThumbnailHeight) ? image : QImage();
}

QByteArray png(const QImage& image)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter(&buffer, "png").write(image);
    return bytes;
}

} // namespace

class tst_Thumbnail : public QObject
{
    Q_OBJECT
private slots:
    void stretchedWhole_data();
    void stretchedWhole();
    void undecodableGivesNothing_data();
    void undecodableGivesNothing();
    void quadrantOfTooth_data();
    void quadrantOfTooth();
    void importPrepares_data();
    void importPrepares();
};

void tst_Thumbnail::stretchedWhole_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("extension");
    QTest::addColumn<QSize>("size");
    const QImage full = bands(1920, 1080);
    QTest::newRow("picture 1920x1080") << QByteArray() << QString() << full.size();
    QTest::newRow("jpeg 1920x1080") << codec::encodeJpeg(full, 90) << ".jpg" << full.size();
    QTest::newRow("bmp 1920x1080") << codec::encodeBmp(full) << ".BMP" << full.size();
    // Big enough for the 1/8 DCT scaling; odd sizes for the partial blocks.
    QTest::newRow("jpeg 4001x3001")
        << codec::encodeJpeg(bands(4001, 3001), 90) << ".JPG" << QSize(4001, 3001);
    QTest::newRow("jpeg portrait 1000x3000")
        << codec::encodeJpeg(bands(1000, 3000), 90) << ".jpg" << QSize(1000, 3000);
    QTest::newRow("small picture enlarged") << QByteArray() << QString() << QSize(100, 60);
}

void tst_Thumbnail::stretchedWhole()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QString, extension);
    QFETCH(QSize, size);
    QString error;
    const QByteArray thumbnail = bytes.isEmpty() ? MakeThumbnail(bands(size.width(), size.height()))
                                                 : MakeThumbnail(bytes, extension, &error);
    QVERIFY2(!thumbnail.isEmpty(), qPrintable(error));
    const QImage t = checkedThumbnail(thumbnail);
    QVERIFY(!t.isNull());
    const int midX = kThumbnailWidth / 2;
    const int midY = kThumbnailHeight / 2;
    QVERIFY(near(t.pixelColor(6, midY), kLeft));
    QVERIFY(near(t.pixelColor(kThumbnailWidth - 7, midY), kRight));
    QVERIFY(near(t.pixelColor(midX, 5), kTop));
    QVERIFY(near(t.pixelColor(midX, kThumbnailHeight - 6), kBottom));
    QVERIFY(near(t.pixelColor(midX, midY), kMiddle));
}

void tst_Thumbnail::undecodableGivesNothing_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("extension");
    const QImage picture = bands(64, 48);
    QTest::newRow("empty") << QByteArray() << ".jpg";
    QTest::newRow("text as jpg") << QByteArray("no picture here") << ".jpg";
    QTest::newRow("jpeg as bmp") << codec::encodeJpeg(picture, 90) << ".bmp";
    QTest::newRow("png hint") << png(picture) << ".png";
}

void tst_Thumbnail::undecodableGivesNothing()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QString, extension);
    QString error;
    QVERIFY(MakeThumbnail(bytes, extension, &error).isEmpty());
    QVERIFY(!error.isEmpty());
    QVERIFY(MakeThumbnail(QImage()).isEmpty());
}

void tst_Thumbnail::quadrantOfTooth_data()
{
    QTest::addColumn<int>("tooth");
    QTest::addColumn<int>("quadrant");
    const QList<std::pair<int, int>> table = {
        {11, 1}, {18, 1}, {21, 2}, {28, 2}, {31, 3}, {36, 3}, {41, 4}, {48, 4}, {10, 0},
        {19, 0}, {20, 0}, {29, 0}, {49, 0}, {0, 0},  {1, 0},  {51, 0}, {55, 0}, {-11, 0}};
    for (const auto& [tooth, quadrant] : table)
        QTest::addRow("%d", tooth) << tooth << quadrant;
}

void tst_Thumbnail::quadrantOfTooth()
{
    QFETCH(int, tooth);
    QFETCH(int, quadrant);
    QCOMPARE(QuadrantOfTooth(tooth), quadrant);
}

void tst_Thumbnail::importPrepares_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("extension");
    QTest::addColumn<bool>("accepted");
    QTest::addColumn<bool>("unchanged");
    const QImage picture = bands(640, 480);
    const QByteArray jpeg = codec::encodeJpeg(picture, 75);
    const QByteArray text("Dear patient, this is a letter.\n");
    QTest::newRow("Photo.JPG") << jpeg << ".JPG" << true << true;
    QTest::newRow("bmp") << codec::encodeBmp(picture) << ".bmp" << true << false;
    QTest::newRow("png") << png(picture) << ".png" << true << false;
    QTest::newRow("text as jpg") << text << ".jpg" << false << false;
    QTest::newRow("text as bmp") << text << ".bmp" << false << false;
    QTest::newRow("txt") << text << ".txt" << false << false;
    QTest::newRow("bmp named jpg") << codec::encodeBmp(picture) << ".jpg" << false << false;
    QTest::newRow("cut jpeg") << jpeg.left(jpeg.size() / 2) << ".jpg" << false << false;
    QTest::newRow("empty") << QByteArray() << ".jpg" << false << false;
}

void tst_Thumbnail::importPrepares()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QString, extension);
    QFETCH(bool, accepted);
    QFETCH(bool, unchanged);
    const PreparedPicture p = preparePictureForImport(bytes, extension);
    QCOMPARE(p.ok(), accepted);
    if (!accepted) {
        QVERIFY(!p.error.isEmpty());
        QVERIFY(p.bigImage.isEmpty());
        QVERIFY(p.smallImage.isEmpty());
        QVERIFY(p.fileExt.isEmpty());
        return;
    }
    QCOMPARE(p.fileExt, QStringLiteral(".jpg"));
    QVERIFY(!checkedThumbnail(p.smallImage).isNull());
    QCOMPARE(p.bigImage == bytes, unchanged);
    const QImage full = codec::decodeJpeg(p.bigImage);
    QCOMPARE(full.size(), QSize(640, 480));
    if (!unchanged)
        QCOMPARE(firstQuantValue(p.bigImage), 3); // quality 90
    QVERIFY(near(full.pixelColor(320, 240), kMiddle));
}

QTEST_GUILESS_MAIN(tst_Thumbnail)
#include "tst_thumbnail.moc"
