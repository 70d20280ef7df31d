#pragma once

#include <QByteArray>
#include <QImage>
#include <QString>

// Every stored picture has a thumbnail of exactly this size: the whole picture stretched.
constexpr int kThumbnailWidth = 192;
constexpr int kThumbnailHeight = 154;
constexpr int kThumbnailQuality = 50;
constexpr int kPhotoQuality = 50;
constexpr int kConvertedQuality = 90;

// The thumbnail as JPEG bytes (quality 50), or empty when the picture cannot be decoded.
QByteArray MakeThumbnail(const QImage& picture);
QByteArray MakeThumbnail(const QByteArray& encoded, const QString& extension,
                         QString* error = nullptr);

// 1 to 4 for the FDI numbers of the four quadrants (11-18, 21-28, 31-38, 41-48), else 0.
int QuadrantOfTooth(int tooth);

// What an import stores for a file: the full picture, its extension and its thumbnail.
struct PreparedPicture
{
    QByteArray bigImage;
    QString fileExt; // always ".jpg" for imports
    QByteArray smallImage;
    QString error; // set when the file is refused; then nothing else is
    bool ok() const { return error.isEmpty(); }
};

// ".jpg": the bytes unchanged; ".bmp" and any other format Qt can read: re-encoded as JPEG of
// quality 90. Bytes that do not decode, or decode to nothing, are refused.
PreparedPicture preparePictureForImport(const QByteArray& fileBytes, const QString& extension);
