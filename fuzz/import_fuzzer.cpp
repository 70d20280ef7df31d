// Feeds arbitrary file bytes to the picture import and checks what it promises: either a full
// picture with a 192 x 154 JPEG thumbnail, or an error and nothing else. The extension comes
// from the first byte: the signatures of JPEG, BMP and PNG pick their own, anything else picks
// one of the three, so mislabelled files are tried too.
#include "imagecodec.h"
#include "thumbnail.h"

#include <QtGlobal>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

namespace {

[[noreturn]] void broken(const char* what, const PreparedPicture& p, const QString& ext)
{
    std::fprintf(stderr, "invariant broken (%s) for %s: error \"%s\", %lld + %lld bytes\n", what,
                 qPrintable(ext), qPrintable(p.error), static_cast<long long>(p.bigImage.size()),
                 static_cast<long long>(p.smallImage.size()));
    std::abort();
}

void quiet(QtMsgType, const QMessageLogContext&, const QString&) {}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    // Qt's image readers warn about every broken file.
    qInstallMessageHandler(quiet);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    // Not a copy and not NUL-terminated: a read past the end is seen by the sanitizer.
    const QByteArray bytes =
        QByteArray::fromRawData(reinterpret_cast<const char*>(data), qsizetype(size));
    static const QString kExtensions[3] = {QStringLiteral(".jpg"), QStringLiteral(".bmp"),
                                           QStringLiteral(".png")};
    QString ext = kExtensions[size > 0 ? data[0] % 3 : 0];
    if (size > 0 && data[0] == 0xFF)
        ext = kExtensions[0];
    else if (size > 0 && data[0] == 'B')
        ext = kExtensions[1];
    else if (size > 0 && data[0] == 0x89)
        ext = kExtensions[2];

    const PreparedPicture p = preparePictureForImport(bytes, ext);
    if (!p.ok()) {
        if (!p.bigImage.isEmpty() || !p.smallImage.isEmpty() || !p.fileExt.isEmpty())
            broken("refused but filled", p, ext);
        return 0;
    }
    if (p.bigImage.isEmpty() || p.fileExt != QLatin1String(".jpg"))
        broken("no picture", p, ext);
    if (ext == kExtensions[0] && p.bigImage != bytes)
        broken("JPEG not kept byte for byte", p, ext);
    if (ext != kExtensions[0] && !codec::jpegSize(p.bigImage).isValid())
        broken("converted picture is no JPEG", p, ext);
    const QImage thumbnail = codec::decodeJpeg(p.smallImage);
    if (thumbnail.size() != QSize(kThumbnailWidth, kThumbnailHeight))
        broken("thumbnail is not 192 x 154", p, ext);
    return 0;
}
