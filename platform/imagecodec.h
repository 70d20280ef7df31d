#pragma once

#include <QByteArray>
#include <QImage>
#include <QString>

// Picture codecs: JPEG through libjpeg-turbo, BMP as complete Windows files. Decoders refuse a
// picture whose header claims more than kMaxPixels before allocating anything for it, and
// report failures as text instead of throwing.
namespace codec {

// 100 megapixels: far above any intraoral camera or scanner, far below a decompression bomb.
constexpr qint64 kMaxPixels = 100LL * 1000 * 1000;

// Decodes a JPEG stream to RGB888. scaleDenominator 1, 2, 4 or 8 decodes at that fraction of
// the size (libjpeg-turbo's DCT scaling).
QImage decodeJpeg(const QByteArray& bytes, QString* error = nullptr, int scaleDenominator = 1);
// Baseline JFIF, 4:2:0, at the given quality.
QByteArray encodeJpeg(const QImage& image, int quality);
// Reads a Windows BMP file (the file header included) to RGB888.
QImage decodeBmp(const QByteArray& bytes, QString* error = nullptr);
// A complete Windows BMP file, 24 bits per pixel.
QByteArray encodeBmp(const QImage& image);
// Picks the decoder by the stored extension: ".jpg" JPEG, ".bmp" BMP (case-insensitive);
// anything else is an error.
QImage decodeByHint(const QByteArray& bytes, const QString& extension, QString* error = nullptr);
// Any format Qt's image readers know (PNG, TIFF, ...), with the same size limit.
QImage decodeAny(const QByteArray& bytes, QString* error = nullptr);
// The header's size without decoding; invalid when the bytes are not a picture of that kind.
QSize jpegSize(const QByteArray& bytes);

// As decodeByHint, but in a 32-bit format that Qt's smooth scaling takes as it is (RGB32 or
// RGBX8888), which spares big pictures a full-size conversion; for thumbnails. scaleDenominator
// applies to ".jpg" as in decodeJpeg.
QImage decodeForScaling(const QByteArray& bytes, const QString& extension, QString* error = nullptr,
                        int scaleDenominator = 1);

// A cheap look at the header (and a JPEG's end marker) by the extension hint: whether the
// bytes can be expected to decode, without decoding them.
bool looksDecodable(const QByteArray& bytes, const QString& extension);

} // namespace codec
