#include "thumbnail.h"

#include "imagecodec.h"

namespace {

// The largest DCT scaling that still leaves at least the thumbnail's pixels in both directions,
// so that the smooth scaling afterwards only shrinks.
int jpegScaleFor(QSize size)
{
    if (!size.isValid())
        return 1;
    for (int d : {8, 4, 2}) {
        if ((size.width() + d - 1) / d >= kThumbnailWidth &&
            (size.height() + d - 1) / d >= kThumbnailHeight)
            return d;
    }
    return 1;
}

PreparedPicture refused(const QString& why)
{
    PreparedPicture p;
    p.error = why.isEmpty() ? QStringLiteral("The file cannot be loaded") : why;
    return p;
}

} // namespace

QByteArray MakeThumbnail(const QImage& picture)
{
    if (picture.isNull())
        return {};
    const QImage canvas = picture.scaled(kThumbnailWidth, kThumbnailHeight, Qt::IgnoreAspectRatio,
                                         Qt::SmoothTransformation);
    return codec::encodeJpeg(canvas, kThumbnailQuality);
}

QByteArray MakeThumbnail(const QByteArray& encoded, const QString& extension, QString* error)
{
    const bool jpeg = extension.compare(QLatin1String(".jpg"), Qt::CaseInsensitive) == 0;
    const QImage picture = codec::decodeForScaling(
        encoded, extension, error, jpeg ? jpegScaleFor(codec::jpegSize(encoded)) : 1);
    if (picture.isNull())
        return {};
    QByteArray thumbnail = MakeThumbnail(picture);
    if (thumbnail.isEmpty() && error)
        *error = QStringLiteral("The thumbnail cannot be encoded");
    return thumbnail;
}

int QuadrantOfTooth(int tooth)
{
    const int unit = tooth % 10;
    if (tooth < 11 || tooth > 48 || unit < 1 || unit > 8)
        return 0;
    return tooth / 10;
}

PreparedPicture preparePictureForImport(const QByteArray& fileBytes, const QString& extension)
{
    if (fileBytes.isEmpty())
        return refused(QStringLiteral("The file is empty"));
    const QString ext = extension.toLower();
    QString error;
    PreparedPicture prepared;
    if (ext == QLatin1String(".jpg")) {
        // The thumbnail's decode is the proof that the JPEG is readable; it is kept as it is.
        prepared.smallImage = MakeThumbnail(fileBytes, ext, &error);
        if (prepared.smallImage.isEmpty())
            return refused(error);
        prepared.bigImage = fileBytes;
    } else {
        const QImage picture = ext == QLatin1String(".bmp") ? codec::decodeBmp(fileBytes, &error)
                                                            : codec::decodeAny(fileBytes, &error);
        if (picture.isNull())
            return refused(error);
        prepared.bigImage = codec::encodeJpeg(picture, kConvertedQuality);
        prepared.smallImage = MakeThumbnail(picture);
        if (prepared.bigImage.isEmpty() || prepared.smallImage.isEmpty())
            return refused(QStringLiteral("The picture cannot be encoded as JPEG"));
    }
    prepared.fileExt = QStringLiteral(".jpg");
    return prepared;
}
