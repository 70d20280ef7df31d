#include "imagecodec.h"

#include <QBuffer>
#include <QImageReader>
#include <QPainter>
#include <QtEndian>
#include <algorithm>
#include <cstring>
#include <memory>
#include <turbojpeg.h>

namespace codec {
namespace {

struct TjDeleter
{
    void operator()(void* handle) const { tjDestroy(handle); }
};
using TjHandle = std::unique_ptr<void, TjDeleter>;

// QImage::Format_RGB32 in memory order: BGRA and ARGB fill the fourth byte with 0xFF, as RGB32
// requires; the X formats leave it alone when compressing.
constexpr int kRgb32 = Q_BYTE_ORDER == Q_LITTLE_ENDIAN ? TJPF_BGRA : TJPF_ARGB;
constexpr int kRgbx = Q_BYTE_ORDER == Q_LITTLE_ENDIAN ? TJPF_BGRX : TJPF_XRGB;

QImage fail(QString* error, const QString& text)
{
    if (error)
        *error = text;
    return {};
}

bool tooBig(qint64 width, qint64 height)
{
    return width * height > kMaxPixels;
}

// A file whose data is far too small for the pixels it claims is a decompression bomb (a few
// hundred bytes of run-length or deflate data can claim 50 megapixels). Small pictures pass
// whatever their data; run-length BMPs code at most 128 pixels a byte, and real photos, scans
// and screenshots stay far below the ratio too.
constexpr qint64 kBombFloorPixels = 16LL * 1000 * 1000;
constexpr qint64 kBombPixelsPerByte = 1024;

bool bomb(qint64 width, qint64 height, qint64 dataBytes)
{
    const qint64 pixels = width * height;
    return pixels > kBombFloorPixels && pixels > dataBytes * kBombPixelsPerByte;
}

QString bombText(qint64 width, qint64 height)
{
    return QStringLiteral("The picture claims %1 x %2 pixels, far more than its data holds")
        .arg(width)
        .arg(height);
}

QString tooBigText(const char* kind, qint64 width, qint64 height)
{
    return QStringLiteral("The %1 picture is too large (%2 x %3 pixels)")
        .arg(QLatin1String(kind))
        .arg(width)
        .arg(height);
}

const unsigned char* bytesOf(const QByteArray& bytes)
{
    return reinterpret_cast<const unsigned char*>(bytes.constData());
}

// Transparent parts become white, as they look on a page, instead of black.
QImage toRgb888(const QImage& image)
{
    if (image.format() == QImage::Format_RGB888)
        return image;
    if (!image.hasAlphaChannel())
        return image.convertToFormat(QImage::Format_RGB888);
    QImage flat(image.size(), QImage::Format_RGB888);
    if (flat.isNull())
        return {};
    flat.setDevicePixelRatio(image.devicePixelRatio()); // pixel for pixel
    flat.fill(Qt::white);
    QPainter painter(&flat);
    painter.drawImage(0, 0, image);
    painter.end();
    return flat;
}

// A truncated stream has no end-of-image marker after its first scan; libjpeg only warns about
// that and fills the rest with grey, which must not pass as a good picture.
bool reachesEndOfImage(const unsigned char* d, qsizetype n)
{
    bool scanSeen = false;
    qsizetype p = 2; // after SOI
    while (p + 1 < n) {
        if (d[p] != 0xFF) {
            // Entropy-coded data or stray bytes: jump to the next possible marker.
            const void* next = std::memchr(d + p, 0xFF, size_t(n - p));
            if (!next)
                return false;
            p = static_cast<const unsigned char*>(next) - d;
            continue;
        }
        const unsigned char m = d[p + 1];
        if (m == 0xFF) { // fill byte
            ++p;
            continue;
        }
        if (m == 0x00 || m == 0x01 || (m >= 0xD0 && m <= 0xD7)) { // stuffing, TEM, RSTn
            p += 2;
            continue;
        }
        if (m == 0xD9)
            return scanSeen;
        if (p + 3 >= n)
            return false;
        if (m == 0xDA)
            scanSeen = true;
        p += 2 + ((qsizetype(d[p + 2]) << 8) | d[p + 3]);
    }
    return false;
}

// Adobe CMYK JPEGs store inverted ink values.
QImage cmykToRgb888(const QImage& cmyk)
{
    QImage rgb(cmyk.size(), QImage::Format_RGB888);
    if (rgb.isNull())
        return {};
    for (int y = 0; y < cmyk.height(); ++y) {
        const uchar* s = cmyk.constScanLine(y);
        uchar* t = rgb.scanLine(y);
        for (int x = 0; x < cmyk.width(); ++x, s += 4, t += 3) {
            const int k = s[3];
            t[0] = uchar((s[0] * k + 127) / 255);
            t[1] = uchar((s[1] * k + 127) / 255);
            t[2] = uchar((s[2] * k + 127) / 255);
        }
    }
    return rgb;
}

// QImageReader's own guard, as a second line behind the header checks: room for the largest
// allowed picture at four bytes a pixel.
void ensureAllocationLimit()
{
    constexpr int kLimitMb = int((kMaxPixels * 4 + (1 << 20) - 1) >> 20);
    const int current = QImageReader::allocationLimit();
    if (current == 0 || current < kLimitMb)
        QImageReader::setAllocationLimit(kLimitMb);
}

struct BmpHeader
{
    qint64 width = 0;
    qint64 height = 0;
    bool topDown = false;
    int bitsPerPixel = 0;
    quint32 compression = 0;
    qint64 pixelOffset = 0;
};

enum : quint32
{
    BiRgb = 0,
    BiRle8 = 1,
    BiRle4 = 2,
    BiBitfields = 3
};

// Everything needed to refuse a file before any pixel memory is allocated for it.
bool readBmpHeader(const QByteArray& bytes, BmpHeader* h, QString* error)
{
    const qsizetype n = bytes.size();
    const uchar* d = bytesOf(bytes);
    if (n < 26 || d[0] != 'B' || d[1] != 'M') {
        fail(error, QStringLiteral("Not a BMP file"));
        return false;
    }
    const quint32 dibSize = qFromLittleEndian<quint32>(d + 14);
    int planes = 0;
    if (dibSize == 12) {
        h->width = qFromLittleEndian<quint16>(d + 18);
        h->height = qFromLittleEndian<quint16>(d + 20);
        planes = qFromLittleEndian<quint16>(d + 22);
        h->bitsPerPixel = qFromLittleEndian<quint16>(d + 24);
        h->compression = BiRgb;
    } else if (dibSize >= 40 && dibSize <= 124) {
        if (n < 14 + 40) {
            fail(error, QStringLiteral("The BMP file is truncated"));
            return false;
        }
        h->width = qFromLittleEndian<qint32>(d + 18);
        const qint32 height = qFromLittleEndian<qint32>(d + 22);
        h->topDown = height < 0;
        h->height = height < 0 ? -qint64(height) : qint64(height);
        planes = qFromLittleEndian<quint16>(d + 26);
        h->bitsPerPixel = qFromLittleEndian<quint16>(d + 28);
        h->compression = qFromLittleEndian<quint32>(d + 30);
    } else {
        fail(error, QStringLiteral("Unsupported BMP header (%1 bytes)").arg(dibSize));
        return false;
    }
    if (h->width <= 0 || h->height <= 0) {
        fail(error, QStringLiteral("The BMP file has an invalid size"));
        return false;
    }
    if (tooBig(h->width, h->height)) {
        fail(error, tooBigText("BMP", h->width, h->height));
        return false;
    }
    const int bpp = h->bitsPerPixel;
    const bool depthOk = bpp == 1 || bpp == 4 || bpp == 8 || bpp == 16 || bpp == 24 || bpp == 32;
    const bool compressionOk = h->compression == BiRgb || (h->compression == BiRle8 && bpp == 8) ||
                               (h->compression == BiRle4 && bpp == 4) ||
                               (h->compression == BiBitfields && (bpp == 16 || bpp == 32));
    if (planes != 1 || !depthOk || !compressionOk) {
        fail(error, QStringLiteral("Unsupported BMP format (%1 bits, compression %2)")
                        .arg(bpp)
                        .arg(h->compression));
        return false;
    }
    h->pixelOffset = qFromLittleEndian<quint32>(d + 10);
    if (h->pixelOffset < 14 + qint64(dibSize) || h->pixelOffset >= n) {
        fail(error, QStringLiteral("The BMP file is truncated"));
        return false;
    }
    if ((h->compression == BiRle8 || h->compression == BiRle4) &&
        bomb(h->width, h->height, n - h->pixelOffset)) {
        fail(error, bombText(h->width, h->height));
        return false;
    }
    if (h->compression == BiRgb || h->compression == BiBitfields) {
        // The last row's padding is often left out by writers; its pixels are not.
        const qint64 stride = (h->width * bpp + 31) / 32 * 4;
        const qint64 needed = h->pixelOffset + stride * (h->height - 1) + (h->width * bpp + 7) / 8;
        if (needed > n) {
            fail(error, QStringLiteral("The BMP file is truncated"));
            return false;
        }
    }
    return true;
}

// The common camera format, read straight into place without Qt's detour through 32 bits.
// wide: a 32-bit result for scaling. The BGR rows pass through Qt's SIMD RGB888 to RGB32
// conversion, which turns B,G,R bytes into R,G,B,X bytes: RGBX8888 on little-endian machines.
QImage decodeBmp24(const QByteArray& bytes, const BmpHeader& h, QString* error, bool wide)
{
    const int w = int(h.width);
    const int hgt = int(h.height);
    const bool trick = wide && Q_BYTE_ORDER == Q_LITTLE_ENDIAN;
    QImage image(w, hgt, trick ? QImage::Format_RGB888 : QImage::Format_BGR888);
    if (image.isNull())
        return fail(error, QStringLiteral("Not enough memory for the BMP picture"));
    const qsizetype stride = (qsizetype(w) * 3 + 3) / 4 * 4;
    const uchar* pixels = bytesOf(bytes) + h.pixelOffset;
    for (int y = 0; y < hgt; ++y) {
        const int row = h.topDown ? y : hgt - 1 - y;
        std::memcpy(image.scanLine(y), pixels + row * stride, size_t(w) * 3);
    }
    if (trick) {
        image.convertTo(QImage::Format_RGB32);
        if (image.isNull() || !image.reinterpretAsFormat(QImage::Format_RGBX8888))
            return fail(error, QStringLiteral("Not enough memory for the BMP picture"));
        return image;
    }
    image.convertTo(wide ? QImage::Format_RGB32 : QImage::Format_RGB888);
    if (image.isNull())
        return fail(error, QStringLiteral("Not enough memory for the BMP picture"));
    return image;
}

QImage readWithQt(const QByteArray& bytes, const char* format, QString* error)
{
    ensureAllocationLimit();
    QBuffer buffer;
    buffer.setData(bytes);
    if (!buffer.open(QIODevice::ReadOnly))
        return fail(error, QStringLiteral("Cannot read the picture data"));
    QImageReader reader(&buffer, format);
    if (!reader.canRead())
        return fail(error, QStringLiteral("Not a picture in a known format"));
    const QSize size = reader.size();
    if (size.isValid()) {
        if (size.isEmpty())
            return fail(error, QStringLiteral("The picture has an invalid size"));
        if (tooBig(size.width(), size.height()))
            return fail(error,
                        tooBigText(reader.format().constData(), size.width(), size.height()));
        if (bomb(size.width(), size.height(), bytes.size()))
            return fail(error, bombText(size.width(), size.height()));
    }
    QImage image;
    if (!reader.read(&image) || image.isNull())
        return fail(error,
                    QStringLiteral("The picture cannot be decoded: %1").arg(reader.errorString()));
    if (tooBig(image.width(), image.height()))
        return fail(error, tooBigText(reader.format().constData(), image.width(), image.height()));
    QImage rgb = toRgb888(image);
    if (rgb.isNull())
        return fail(error, QStringLiteral("Not enough memory for the picture"));
    return rgb;
}

bool looksLikeJpeg(const QByteArray& bytes)
{
    return bytes.size() >= 3 && bytes.startsWith("\xFF\xD8\xFF");
}

// wide: RGB32 instead of RGB888, for scaling.
QImage decodeJpegAs(const QByteArray& bytes, QString* error, int scaleDenominator, bool wide)
{
    if (scaleDenominator != 1 && scaleDenominator != 2 && scaleDenominator != 4 &&
        scaleDenominator != 8)
        return fail(error, QStringLiteral("Unsupported JPEG scale 1/%1").arg(scaleDenominator));
    if (bytes.isEmpty())
        return fail(error, QStringLiteral("No JPEG data"));
    TjHandle tj(tjInitDecompress());
    if (!tj)
        return fail(error, QStringLiteral("The JPEG decoder cannot start"));
    const unsigned char* data = bytesOf(bytes);
    const auto size = static_cast<unsigned long>(bytes.size());
    int width = 0, height = 0, subsampling = 0, colorspace = 0;
    if (tjDecompressHeader3(tj.get(), data, size, &width, &height, &subsampling, &colorspace) != 0)
        return fail(error, QStringLiteral("Not a JPEG picture: %1")
                               .arg(QString::fromLocal8Bit(tjGetErrorStr2(tj.get()))));
    if (width <= 0 || height <= 0)
        return fail(error, QStringLiteral("The JPEG picture has an invalid size"));
    if (tooBig(width, height))
        return fail(error, tooBigText("JPEG", width, height));

    const tjscalingfactor factor{1, scaleDenominator};
    const int w = TJSCALED(width, factor);
    const int h = TJSCALED(height, factor);
    const bool cmyk = colorspace == TJCS_CMYK || colorspace == TJCS_YCCK;
    // libjpeg cannot turn CMYK into RGB itself: decode the inks, convert below.
    QImage image(w, h, cmyk || wide ? QImage::Format_RGB32 : QImage::Format_RGB888);
    if (image.isNull())
        return fail(error, QStringLiteral("Not enough memory for the JPEG picture"));
    const int pixelFormat = cmyk ? TJPF_CMYK : wide ? kRgb32 : TJPF_RGB;
    // LIMITSCANS: a progressive stream with thousands of scans is a time bomb.
    if (tjDecompress2(tj.get(), data, size, image.bits(), w, int(image.bytesPerLine()), h,
                      pixelFormat, TJFLAG_LIMITSCANS) != 0) {
        const bool fatal = tjGetErrorCode(tj.get()) != TJERR_WARNING;
        if (fatal || !reachesEndOfImage(data, bytes.size()))
            return fail(error, QStringLiteral("The JPEG picture cannot be decoded: %1")
                                   .arg(QString::fromLocal8Bit(tjGetErrorStr2(tj.get()))));
    }
    if (cmyk) {
        image = cmykToRgb888(image);
        if (wide)
            image.convertTo(QImage::Format_RGB32);
        if (image.isNull())
            return fail(error, QStringLiteral("Not enough memory for the JPEG picture"));
    }
    return image;
}

QImage decodeBmpAs(const QByteArray& bytes, QString* error, bool wide)
{
    BmpHeader header;
    if (!readBmpHeader(bytes, &header, error))
        return {};
    if (header.bitsPerPixel == 24 && header.compression == BiRgb)
        return decodeBmp24(bytes, header, error, wide);
    QImage image = readWithQt(bytes, "bmp", error);
    if (wide)
        image.convertTo(QImage::Format_RGB32);
    return image;
}

} // namespace

QImage decodeJpeg(const QByteArray& bytes, QString* error, int scaleDenominator)
{
    return decodeJpegAs(bytes, error, scaleDenominator, false);
}

QByteArray encodeJpeg(const QImage& image, int quality)
{
    if (image.isNull())
        return {};
    // The formats TurboJPEG reads as they are; everything else becomes RGB888 first.
    QImage source = image;
    int pixelFormat = TJPF_RGB;
    if (image.format() == QImage::Format_RGB32)
        pixelFormat = kRgbx;
    else if (image.format() == QImage::Format_RGBX8888)
        pixelFormat = TJPF_RGBX;
    else
        source = toRgb888(image);
    if (source.isNull())
        return {};
    TjHandle tj(tjInitCompress());
    if (!tj)
        return {};
    unsigned char* out = nullptr;
    unsigned long outSize = 0;
    const int rc = tjCompress2(tj.get(), source.constBits(), source.width(),
                               int(source.bytesPerLine()), source.height(), pixelFormat, &out,
                               &outSize, TJSAMP_420, std::clamp(quality, 1, 100), 0);
    QByteArray result;
    if (rc == 0)
        result = QByteArray(reinterpret_cast<const char*>(out), qsizetype(outSize));
    tjFree(out);
    return result;
}

QImage decodeBmp(const QByteArray& bytes, QString* error)
{
    return decodeBmpAs(bytes, error, false);
}

QByteArray encodeBmp(const QImage& image)
{
    if (image.isNull())
        return {};
    const QImage bgr = toRgb888(image).convertToFormat(QImage::Format_BGR888);
    if (bgr.isNull())
        return {};
    const qint64 w = bgr.width();
    const qint64 h = bgr.height();
    const qint64 stride = (w * 3 + 3) / 4 * 4;
    const qint64 pixelBytes = stride * h;
    constexpr qint64 headerBytes = 14 + 40;
    if (headerBytes + pixelBytes > 0xFFFFFFFFLL)
        return {};
    QByteArray file(headerBytes + pixelBytes, '\0');
    uchar* d = reinterpret_cast<uchar*>(file.data());
    d[0] = 'B';
    d[1] = 'M';
    qToLittleEndian<quint32>(quint32(headerBytes + pixelBytes), d + 2);
    qToLittleEndian<quint32>(quint32(headerBytes), d + 10);
    qToLittleEndian<quint32>(40, d + 14);
    qToLittleEndian<qint32>(qint32(w), d + 18);
    qToLittleEndian<qint32>(qint32(h), d + 22); // positive: bottom-up rows
    qToLittleEndian<quint16>(1, d + 26);
    qToLittleEndian<quint16>(24, d + 28);
    qToLittleEndian<quint32>(BiRgb, d + 30);
    qToLittleEndian<quint32>(quint32(pixelBytes), d + 34);
    qToLittleEndian<qint32>(qMax(0, image.dotsPerMeterX()), d + 38);
    qToLittleEndian<qint32>(qMax(0, image.dotsPerMeterY()), d + 42);
    for (qint64 y = 0; y < h; ++y)
        std::memcpy(d + headerBytes + (h - 1 - y) * stride, bgr.constScanLine(int(y)),
                    size_t(w) * 3);
    return file;
}

QImage decodeByHint(const QByteArray& bytes, const QString& extension, QString* error)
{
    const QString hint = extension.toLower();
    if (hint == QLatin1String(".jpg"))
        return decodeJpeg(bytes, error);
    if (hint == QLatin1String(".bmp"))
        return decodeBmp(bytes, error);
    return fail(error, QStringLiteral("Unknown picture format \"%1\"").arg(extension));
}

QImage decodeAny(const QByteArray& bytes, QString* error)
{
    if (bytes.isEmpty())
        return fail(error, QStringLiteral("No picture data"));
    // Our own decoders for our own formats: the same limits and the same truncation rule.
    if (looksLikeJpeg(bytes))
        return decodeJpeg(bytes, error);
    if (bytes.startsWith("BM"))
        return decodeBmp(bytes, error);
    return readWithQt(bytes, nullptr, error);
}

QSize jpegSize(const QByteArray& bytes)
{
    if (bytes.isEmpty())
        return {};
    TjHandle tj(tjInitDecompress());
    int width = 0, height = 0, subsampling = 0, colorspace = 0;
    if (!tj ||
        tjDecompressHeader3(tj.get(), bytesOf(bytes), static_cast<unsigned long>(bytes.size()),
                            &width, &height, &subsampling, &colorspace) != 0)
        return {};
    return QSize(width, height);
}

QImage decodeForScaling(const QByteArray& bytes, const QString& extension, QString* error,
                        int scaleDenominator)
{
    const QString hint = extension.toLower();
    if (hint == QLatin1String(".jpg"))
        return decodeJpegAs(bytes, error, scaleDenominator, true);
    if (hint == QLatin1String(".bmp"))
        return decodeBmpAs(bytes, error, true);
    return decodeByHint(bytes, extension, error);
}

bool looksDecodable(const QByteArray& bytes, const QString& extension)
{
    const QString ext = extension.trimmed().toLower();
    if (ext == QLatin1String(".jpg"))
        return jpegSize(bytes).isValid() && bytes.endsWith(QByteArray("\xFF\xD9", 2));
    if (ext == QLatin1String(".bmp"))
        return bytes.size() >= 54 && bytes.startsWith("BM");
    return false;
}

} // namespace codec
