#include "imagecodec.h"

#include <QBuffer>
#include <QElapsedTimer>
#include <QImageWriter>
#include <QTest>
#include <QtEndian>
#include <climits>
#include <turbojpeg.h>

namespace {

const QColor kBlocks[4] = {QColor(220, 40, 40), QColor(40, 200, 60), QColor(30, 60, 210),
                           QColor(240, 230, 60)};

// Four flat quadrants: colours survive JPEG well away from the edges.
QImage quadrants(int w, int h)
{
    QImage image(w, h, QImage::Format_RGB888);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            image.setPixelColor(x, y, kBlocks[(y >= h / 2) * 2 + (x >= w / 2)]);
    return image;
}

// Every pixel different, for exact round trips.
QImage noise(int w, int h)
{
    QImage image(w, h, QImage::Format_RGB888);
    quint32 s = 12345;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            s = s * 1664525u + 1013904223u;
            image.setPixel(x, y, qRgb(s >> 24, (s >> 16) & 0xFF, (s >> 8) & 0xFF));
        }
    return image;
}

bool near(QColor a, QColor b, int tolerance = 16)
{
    return qAbs(a.red() - b.red()) <= tolerance && qAbs(a.green() - b.green()) <= tolerance &&
           qAbs(a.blue() - b.blue()) <= tolerance;
}

QByteArray writtenByQt(const QImage& image, const char* format)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, format);
    return writer.write(image) ? bytes : QByteArray();
}

// Offset of the first marker m before the scan data, or -1.
qsizetype findMarker(const QByteArray& jpeg, uchar m)
{
    const auto* d = reinterpret_cast<const uchar*>(jpeg.constData());
    qsizetype p = 2;
    while (p + 3 < jpeg.size() && d[p] == 0xFF) {
        if (d[p + 1] == m)
            return p;
        if (d[p + 1] == 0xDA)
            return -1;
        p += 2 + ((d[p + 2] << 8) | d[p + 3]);
    }
    return -1;
}

// First entry of the first quantisation table: 16 at quality 50, 3 at quality 90 (libjpeg's
// scaling of the standard luminance table).
int firstQuantValue(const QByteArray& jpeg)
{
    const qsizetype p = findMarker(jpeg, 0xDB);
    return p < 0 ? -1 : uchar(jpeg[p + 5]);
}

quint32 crc32(const QByteArray& data)
{
    quint32 c = 0xFFFFFFFFu;
    for (char ch : data) {
        c ^= uchar(ch);
        for (int k = 0; k < 8; ++k)
            c = (c >> 1) ^ (0xEDB88320u & (0u - (c & 1u)));
    }
    return ~c;
}

QByteArray jpegClaiming(int w, int h)
{
    QByteArray jpeg = codec::encodeJpeg(quadrants(16, 16), 80);
    const qsizetype sof = findMarker(jpeg, 0xC0);
    qToBigEndian<quint16>(quint16(h), jpeg.data() + sof + 5);
    qToBigEndian<quint16>(quint16(w), jpeg.data() + sof + 7);
    return jpeg;
}

// A Windows BMP with a 40-byte info header around the given palette and pixel bytes.
QByteArray bmpFile(qint32 w, qint32 h, int bpp, quint32 compression, const QByteArray& palette,
                   const QByteArray& pixels)
{
    QByteArray file(54, '\0');
    const int offset = 54 + int(palette.size());
    file[0] = 'B';
    file[1] = 'M';
    qToLittleEndian<quint32>(quint32(offset + pixels.size()), file.data() + 2);
    qToLittleEndian<quint32>(quint32(offset), file.data() + 10);
    qToLittleEndian<quint32>(40, file.data() + 14);
    qToLittleEndian<qint32>(w, file.data() + 18);
    qToLittleEndian<qint32>(h, file.data() + 22);
    qToLittleEndian<quint16>(1, file.data() + 26);
    qToLittleEndian<quint16>(quint16(bpp), file.data() + 28);
    qToLittleEndian<quint32>(compression, file.data() + 30);
    qToLittleEndian<quint32>(quint32(palette.size() / 4), file.data() + 46);
    return file + palette + pixels;
}

QByteArray bmpClaiming(qint32 w, qint32 h, int bpp = 24)
{
    QByteArray bmp = codec::encodeBmp(quadrants(8, 8));
    qToLittleEndian<qint32>(w, bmp.data() + 18);
    qToLittleEndian<qint32>(h, bmp.data() + 22);
    qToLittleEndian<quint16>(quint16(bpp), bmp.data() + 28);
    return bmp;
}

QByteArray pngClaiming(quint32 w, quint32 h)
{
    QByteArray png = writtenByQt(quadrants(8, 8), "png");
    // IHDR data starts at 16, right after the signature, length and type.
    qToBigEndian<quint32>(w, png.data() + 16);
    qToBigEndian<quint32>(h, png.data() + 20);
    qToBigEndian<quint32>(crc32(png.mid(12, 17)), png.data() + 29);
    return png;
}

} // namespace

class tst_ImageCodec : public QObject
{
    Q_OBJECT
private slots:
    void jpegRoundTrip_data();
    void jpegRoundTrip();
    void jpegIsBaselineJfifAtQuality();
    void scaledDecode_data();
    void scaledDecode();
    void cmykJpeg();
    void bmpIs24BitAndExact();
    void bmpVariants_data();
    void bmpVariants();
    void decodeByHint_data();
    void decodeByHint();
    void decodeAny_data();
    void decodeAny();
    void badBytesFail_data();
    void badBytesFail();
    void hugeHeadersRefused_data();
    void hugeHeadersRefused();
    void decodeForScaling_data();
    void decodeForScaling();
};

void tst_ImageCodec::jpegRoundTrip_data()
{
    QTest::addColumn<QSize>("size");
    QTest::newRow("1x1") << QSize(1, 1);
    QTest::newRow("odd 17x9") << QSize(17, 9);
    QTest::newRow("640x480") << QSize(640, 480);
    QTest::newRow("1921x1081") << QSize(1921, 1081);
}

void tst_ImageCodec::jpegRoundTrip()
{
    QFETCH(QSize, size);
    const QImage source = quadrants(size.width(), size.height());
    QString error;
    const QImage back = codec::decodeJpeg(codec::encodeJpeg(source, 90), &error);
    QVERIFY2(!back.isNull(), qPrintable(error));
    QCOMPARE(back.size(), size);
    QCOMPARE(back.format(), QImage::Format_RGB888);
    QCOMPARE(codec::jpegSize(codec::encodeJpeg(source, 90)), size);
    if (size.width() < 64)
        return;
    for (int q = 0; q < 4; ++q) {
        const QPoint centre((q % 2 * 2 + 1) * size.width() / 4,
                            (q / 2 * 2 + 1) * size.height() / 4);
        QVERIFY2(near(back.pixelColor(centre), kBlocks[q]), qPrintable(QString::number(q)));
    }
}

void tst_ImageCodec::jpegIsBaselineJfifAtQuality()
{
    const QImage source = noise(320, 240);
    const QByteArray q50 = codec::encodeJpeg(source, 50);
    const QByteArray q90 = codec::encodeJpeg(source, 90);
    QVERIFY(q50.startsWith("\xFF\xD8\xFF\xE0"));
    QCOMPARE(q50.mid(6, 5), QByteArray("JFIF", 5));
    const qsizetype sof = findMarker(q50, 0xC0);
    QVERIFY(sof > 0);
    QCOMPARE(findMarker(q50, 0xC2), -1);
    QCOMPARE(uchar(q50[sof + 9]), uchar(3));     // components
    QCOMPARE(uchar(q50[sof + 11]), uchar(0x22)); // Y sampled 2x2: 4:2:0
    QCOMPARE(uchar(q50[sof + 14]), uchar(0x11));
    QCOMPARE(firstQuantValue(q50), 16);
    QCOMPARE(firstQuantValue(q90), 3);
    QVERIFY(q90.size() > q50.size());
    QVERIFY(q50.size() > codec::encodeJpeg(source, 10).size());
    QVERIFY(codec::encodeJpeg(QImage(), 90).isEmpty());
}

void tst_ImageCodec::scaledDecode_data()
{
    QTest::addColumn<QSize>("size");
    QTest::addColumn<int>("denominator");
    QTest::addColumn<QSize>("expected");
    QTest::newRow("1/1") << QSize(800, 600) << 1 << QSize(800, 600);
    QTest::newRow("1/2") << QSize(800, 600) << 2 << QSize(400, 300);
    QTest::newRow("1/4") << QSize(800, 600) << 4 << QSize(200, 150);
    QTest::newRow("1/8") << QSize(800, 600) << 8 << QSize(100, 75);
    QTest::newRow("1/8 rounds up") << QSize(1001, 601) << 8 << QSize(126, 76);
    QTest::newRow("1/3 refused") << QSize(800, 600) << 3 << QSize();
    QTest::newRow("0 refused") << QSize(800, 600) << 0 << QSize();
}

void tst_ImageCodec::scaledDecode()
{
    QFETCH(QSize, size);
    QFETCH(int, denominator);
    QFETCH(QSize, expected);
    QString error;
    const QImage image = codec::decodeJpeg(
        codec::encodeJpeg(quadrants(size.width(), size.height()), 90), &error, denominator);
    QCOMPARE(image.size(), expected.isValid() ? expected : QSize(0, 0));
    QCOMPARE(error.isEmpty(), expected.isValid());
    if (!image.isNull())
        QVERIFY(near(image.pixelColor(image.width() / 4, image.height() / 4), kBlocks[0]));
}

void tst_ImageCodec::cmykJpeg()
{
    // Adobe-style inverted inks: 255 means none. Pure red: no cyan, full magenta and yellow.
    QByteArray inks;
    for (int i = 0; i < 16 * 16; ++i)
        inks.append("\xFF\x00\x00\xFF", 4);
    tjhandle tj = tjInitCompress();
    unsigned char* out = nullptr;
    unsigned long outSize = 0;
    QCOMPARE(tjCompress2(tj, reinterpret_cast<const uchar*>(inks.constData()), 16, 0, 16, TJPF_CMYK,
                         &out, &outSize, TJSAMP_444, 95, 0),
             0);
    const QByteArray jpeg(reinterpret_cast<const char*>(out), qsizetype(outSize));
    tjFree(out);
    tjDestroy(tj);
    QString error;
    const QImage image = codec::decodeJpeg(jpeg, &error);
    QVERIFY2(!image.isNull(), qPrintable(error));
    QCOMPARE(image.format(), QImage::Format_RGB888);
    QVERIFY(near(image.pixelColor(8, 8), QColor(255, 0, 0), 6));
}

void tst_ImageCodec::bmpIs24BitAndExact()
{
    // 13 pixels make 39 bytes a row: one byte of padding.
    const QImage source = noise(13, 7);
    const QByteArray bmp = codec::encodeBmp(source);
    const auto* d = reinterpret_cast<const uchar*>(bmp.constData());
    const int stride = 40;
    QCOMPARE(bmp.left(2), QByteArray("BM"));
    QCOMPARE(qFromLittleEndian<quint32>(d + 2), quint32(bmp.size()));
    QCOMPARE(bmp.size(), 54 + stride * 7);
    QCOMPARE(qFromLittleEndian<quint32>(d + 10), 54u);
    QCOMPARE(qFromLittleEndian<quint32>(d + 14), 40u);
    QCOMPARE(qFromLittleEndian<qint32>(d + 18), 13);
    QCOMPARE(qFromLittleEndian<qint32>(d + 22), 7); // bottom-up
    QCOMPARE(qFromLittleEndian<quint16>(d + 26), quint16(1));
    QCOMPARE(qFromLittleEndian<quint16>(d + 28), quint16(24));
    QCOMPARE(qFromLittleEndian<quint32>(d + 30), 0u);
    QCOMPARE(qFromLittleEndian<quint32>(d + 34), quint32(stride * 7));
    // The first stored row is the picture's last, blue first.
    const QRgb lastRowFirst = source.pixel(0, 6);
    QCOMPARE(d[54], uchar(qBlue(lastRowFirst)));
    QCOMPARE(d[56], uchar(qRed(lastRowFirst)));

    QString error;
    const QImage back = codec::decodeBmp(bmp, &error);
    QVERIFY2(!back.isNull(), qPrintable(error));
    QCOMPARE(back.format(), QImage::Format_RGB888);
    QCOMPARE(back, source);
    // Qt's own reader agrees: the file is a plain Windows BMP.
    QCOMPARE(QImage::fromData(bmp, "BMP").convertToFormat(QImage::Format_RGB888), source);
    QVERIFY(codec::encodeBmp(QImage()).isEmpty());
}

void tst_ImageCodec::bmpVariants_data()
{
    QTest::addColumn<QByteArray>("bmp");
    QTest::addColumn<QImage>("expected");
    const QImage source = noise(21, 11);
    // Top-down: negative height, rows in reading order.
    QByteArray topDown = codec::encodeBmp(source);
    qToLittleEndian<qint32>(-11, topDown.data() + 22);
    const int stride = 64;
    QByteArray rows = topDown.mid(54);
    for (int y = 0; y < 11; ++y)
        topDown.replace(54 + y * stride, stride, rows.mid((10 - y) * stride, stride));
    QTest::newRow("top-down 24 bit") << topDown << source;
    // Writers that leave out the last row's padding.
    QTest::newRow("short last row") << codec::encodeBmp(source).chopped(1) << source;
    // 32 bits, bottom-up, blue-green-red-unused.
    QByteArray bgrx;
    for (int y = 10; y >= 0; --y)
        for (int x = 0; x < 21; ++x) {
            const QRgb c = source.pixel(x, y);
            bgrx.append(char(qBlue(c))).append(char(qGreen(c))).append(char(qRed(c))).append('\0');
        }
    QTest::newRow("32 bit") << bmpFile(21, 11, 32, 0, {}, bgrx) << source;
    const QImage indexed = source.convertToFormat(QImage::Format_Indexed8, Qt::ThresholdDither);
    QTest::newRow("8 bit by Qt") << writtenByQt(indexed, "bmp")
                                 << indexed.convertToFormat(QImage::Format_RGB888);
    const QImage mono = source.convertToFormat(QImage::Format_Mono, Qt::ThresholdDither);
    QTest::newRow("1 bit by Qt") << writtenByQt(mono, "bmp")
                                 << mono.convertToFormat(QImage::Format_RGB888);
    // Run-length coded 8 bits: a red row of 21 over a blue row, then the end of the picture.
    const QByteArray palette("\x00\x00\xFF\x00\xFF\x00\x00\x00", 8);
    QImage twoRows(21, 2, QImage::Format_RGB888);
    twoRows.fill(QColor(255, 0, 0));
    for (int x = 0; x < 21; ++x)
        twoRows.setPixelColor(x, 1, QColor(0, 0, 255));
    QTest::newRow("8 bit run-length")
        << bmpFile(21, 2, 8, 1, palette, QByteArray("\x15\x01\x00\x00\x15\x00\x00\x01", 8))
        << twoRows;
}

void tst_ImageCodec::bmpVariants()
{
    QFETCH(QByteArray, bmp);
    QFETCH(QImage, expected);
    QString error;
    const QImage image = codec::decodeBmp(bmp, &error);
    QVERIFY2(!image.isNull(), qPrintable(error));
    QCOMPARE(image.format(), QImage::Format_RGB888);
    QCOMPARE(image, expected);
}

void tst_ImageCodec::decodeByHint_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("hint");
    QTest::addColumn<bool>("decodes");
    const QImage source = quadrants(40, 30);
    const QByteArray jpeg = codec::encodeJpeg(source, 90);
    const QByteArray bmp = codec::encodeBmp(source);
    QTest::newRow(".jpg") << jpeg << ".jpg" << true;
    QTest::newRow(".JPG") << jpeg << ".JPG" << true;
    QTest::newRow(".Jpg") << jpeg << ".Jpg" << true;
    QTest::newRow(".bmp") << bmp << ".bmp" << true;
    QTest::newRow(".BMP") << bmp << ".BMP" << true;
    QTest::newRow("bmp bytes as .jpg") << bmp << ".jpg" << false;
    QTest::newRow("jpeg bytes as .bmp") << jpeg << ".bmp" << false;
    QTest::newRow(".png") << jpeg << ".png" << false;
    QTest::newRow("no dot") << jpeg << "jpg" << false;
    QTest::newRow("empty hint") << jpeg << "" << false;
}

void tst_ImageCodec::decodeByHint()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QString, hint);
    QFETCH(bool, decodes);
    QString error;
    const QImage image = codec::decodeByHint(bytes, hint, &error);
    QCOMPARE(!image.isNull(), decodes);
    QCOMPARE(error.isEmpty(), decodes);
    if (decodes) {
        QCOMPARE(image.size(), QSize(40, 30));
        QVERIFY(near(image.pixelColor(5, 5), kBlocks[0]));
    }
}

void tst_ImageCodec::decodeAny_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<bool>("exact");
    const QImage source = noise(33, 17);
    QTest::newRow("png") << writtenByQt(source, "png") << true;
    QTest::newRow("ppm") << writtenByQt(source, "ppm") << true;
    QTest::newRow("bmp") << codec::encodeBmp(source) << true;
    QTest::newRow("jpeg") << codec::encodeJpeg(source, 95) << false;
}

void tst_ImageCodec::decodeAny()
{
    QFETCH(QByteArray, bytes);
    QFETCH(bool, exact);
    QString error;
    const QImage image = codec::decodeAny(bytes, &error);
    QVERIFY2(!image.isNull(), qPrintable(error));
    QCOMPARE(image.format(), QImage::Format_RGB888);
    QCOMPARE(image.size(), QSize(33, 17));
    if (exact)
        QCOMPARE(image, noise(33, 17));
}

void tst_ImageCodec::badBytesFail_data()
{
    QTest::addColumn<QByteArray>("bytes");
    const QByteArray jpeg = codec::encodeJpeg(noise(64, 64), 90);
    const QByteArray bmp = codec::encodeBmp(noise(64, 64));
    const QByteArray png = writtenByQt(noise(64, 64), "png");
    QByteArray garbage;
    for (int i = 0; i < 1000; ++i)
        garbage.append(char(i * 7919 % 251));
    QTest::newRow("empty") << QByteArray();
    QTest::newRow("garbage") << garbage;
    QTest::newRow("text") << QByteArray("This is not a picture.\n");
    QTest::newRow("jpeg signature only") << QByteArray("\xFF\xD8\xFF", 3);
    QTest::newRow("jpeg cut in the scan") << jpeg.left(jpeg.size() / 2);
    QTest::newRow("jpeg cut before the end marker") << jpeg.chopped(2);
    QTest::newRow("jpeg headers only") << jpeg.left(findMarker(jpeg, 0xC4) + 4);
    QTest::newRow("bmp signature only") << QByteArray("BM");
    QTest::newRow("bmp cut") << bmp.left(bmp.size() / 2);
    QTest::newRow("bmp headers only") << bmp.left(54);
    QTest::newRow("png cut") << png.left(png.size() / 2);
    QTest::newRow("bmp zero width") << bmpClaiming(0, 8);
    QTest::newRow("bmp zero height") << bmpClaiming(8, 0);
    QTest::newRow("bmp negative width") << bmpClaiming(-8, 8);
    QTest::newRow("bmp most negative height") << bmpClaiming(8, INT_MIN);
    QTest::newRow("bmp 7 bits") << bmpClaiming(8, 8, 7);
}

void tst_ImageCodec::badBytesFail()
{
    QFETCH(QByteArray, bytes);
    for (const QString& hint : {QStringLiteral(".jpg"), QStringLiteral(".bmp"), QString()}) {
        QString error;
        const QImage image = hint.isEmpty() ? codec::decodeAny(bytes, &error)
                                            : codec::decodeByHint(bytes, hint, &error);
        QVERIFY2(image.isNull(), qPrintable(hint));
        QVERIFY2(!error.isEmpty(), qPrintable(hint));
    }
    QVERIFY(codec::decodeJpeg(bytes, nullptr, 8).isNull());
    if (!bytes.startsWith("\xFF\xD8"))
        QVERIFY(!codec::jpegSize(bytes).isValid());
}

void tst_ImageCodec::hugeHeadersRefused_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("hint");
    QTest::addColumn<QString>("reason");
    const QString tooLarge = QStringLiteral("too large");
    QTest::newRow("jpeg") << jpegClaiming(30000, 30000) << ".jpg" << tooLarge;
    QTest::newRow("jpeg, any reader") << jpegClaiming(30000, 30000) << "" << tooLarge;
    QTest::newRow("bmp") << bmpClaiming(30000, 30000) << ".bmp" << tooLarge;
    QTest::newRow("bmp top-down") << bmpClaiming(30000, -30000) << ".bmp" << tooLarge;
    QTest::newRow("bmp, any reader") << bmpClaiming(30000, 30000) << "" << tooLarge;
    QTest::newRow("png") << pngClaiming(30000, 30000) << "" << tooLarge;
    // Within the limit, but a few bytes cannot hold that many pixels.
    const QString bomb = QStringLiteral("far more than its data holds");
    QTest::newRow("run-length bmp 4 x 14307465")
        << bmpFile(4, 14307465, 8, 1, QByteArray(8, '\0'), QByteArray("\x04\x01\x00\x00", 4))
        << ".bmp" << bomb;
    QTest::newRow("png 8000 x 8000") << pngClaiming(8000, 8000) << "" << bomb;
}

void tst_ImageCodec::hugeHeadersRefused()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QString, hint);
    QFETCH(QString, reason);
    if (bytes.startsWith("\xFF\xD8"))
        QCOMPARE(codec::jpegSize(bytes), QSize(30000, 30000));
    QElapsedTimer timer;
    timer.start();
    QString error;
    const QImage image =
        hint.isEmpty() ? codec::decodeAny(bytes, &error) : codec::decodeByHint(bytes, hint, &error);
    QVERIFY(image.isNull());
    // Refused for its size, not for missing pixel data found while decoding.
    QVERIFY2(error.contains(reason), qPrintable(error));
    QVERIFY(timer.elapsed() < 200);
}

void tst_ImageCodec::decodeForScaling_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("hint");
    const QImage source = noise(37, 23);
    QTest::newRow("jpeg") << codec::encodeJpeg(source, 90) << ".JPG";
    QTest::newRow("bmp 24 bit") << codec::encodeBmp(source) << ".bmp";
    QTest::newRow("bmp 8 bit") << writtenByQt(source.convertToFormat(QImage::Format_Indexed8),
                                              "bmp")
                               << ".bmp";
    QTest::newRow("unknown hint") << codec::encodeBmp(source) << ".png";
}

void tst_ImageCodec::decodeForScaling()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QString, hint);
    QString error;
    const QImage wide = codec::decodeForScaling(bytes, hint, &error);
    const QImage plain = codec::decodeByHint(bytes, hint);
    QCOMPARE(wide.isNull(), plain.isNull());
    QCOMPARE(error.isEmpty(), !plain.isNull());
    if (plain.isNull())
        return;
    QCOMPARE(wide.depth(), 32);
    QVERIFY(!wide.hasAlphaChannel());
    QCOMPARE(wide.convertToFormat(QImage::Format_RGB888), plain);
    // The 32-bit formats go to the encoder as they are and give the same stream.
    QCOMPARE(codec::encodeJpeg(wide, 80), codec::encodeJpeg(plain, 80));
    if (hint.compare(QLatin1String(".jpg"), Qt::CaseInsensitive) == 0)
        QCOMPARE(codec::decodeForScaling(bytes, hint, nullptr, 4).size(), QSize(10, 6));
}

QTEST_GUILESS_MAIN(tst_ImageCodec)
#include "tst_imagecodec.moc"
