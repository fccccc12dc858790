#include "imaging/codecpicture.h"

#include "imaging/jpegcodec.h"
#include "platform/nativefile.h"

#include <QCoreApplication>
#include <QFile>
#include <QTransform>

#ifdef PW_WITH_HEIF
#include "imaging/heifcodec.h"
#endif
#ifdef PW_WITH_AVIF
#include "imaging/avifcodec.h"
#endif
#ifdef PW_WITH_WEBP
#include "imaging/webpcodec.h"
#endif
#ifdef PW_WITH_TIFF
#include "imaging/tiffcodec.h"
#endif

namespace Pw::Codec {

namespace {

// The same translation context as the picture service's other texts.
struct CodecText
{
    Q_DECLARE_TR_FUNCTIONS(Pw::PictureService)
};

bool isHeifBrand(QByteArrayView brand)
{
    for (const char *known : {"heic", "heix", "hevc", "hevx", "heim", "heis", "hevm", "hevs"})
        if (brand == QByteArrayView(known, 4))
            return true;
    return false;
}

bool isAvifBrand(QByteArrayView brand)
{
    return brand == QByteArrayView("avif", 4) || brand == QByteArrayView("avis", 4);
}

// An ISO base media file: the major brand, else the compatible brands the first bytes hold
// ("mif1" alone says only that it is some HEIF file).
Kind kindOfFtyp(const QByteArray &head)
{
    const QByteArrayView major = QByteArrayView(head).sliced(8, 4);
    if (isAvifBrand(major))
        return Kind::Avif;
    if (isHeifBrand(major))
        return Kind::Heic;
    if (major != QByteArrayView("mif1", 4) && major != QByteArrayView("msf1", 4))
        return Kind::None;
    const auto *b = reinterpret_cast<const uchar *>(head.constData());
    const qsizetype boxSize = (qsizetype(b[0]) << 24) | (b[1] << 16) | (b[2] << 8) | b[3];
    const qsizetype end = std::min(head.size(), boxSize);
    for (qsizetype at = 16; at + 4 <= end; at += 4) {
        const QByteArrayView brand = QByteArrayView(head).sliced(at, 4);
        if (isAvifBrand(brand))
            return Kind::Avif;
    }
    return Kind::Heic;
}

} // namespace

Kind SniffKind(const QByteArray &head)
{
    if (head.size() >= 12 && head.mid(4, 4) == "ftyp")
        return kindOfFtyp(head);
    if (head.size() >= 12 && head.startsWith("RIFF") && head.mid(8, 4) == "WEBP")
        return Kind::Webp;
    if (head.startsWith(QByteArrayView("II*\0", 4)) || head.startsWith(QByteArrayView("MM\0*", 4))
        || head.startsWith(QByteArrayView("II+\0", 4))
        || head.startsWith(QByteArrayView("MM\0+", 4)))
        return Kind::Tiff;
    return Kind::None;
}

QString KindName(Kind kind)
{
    switch (kind) {
    case Kind::Heic:
        return QStringLiteral("HEIC");
    case Kind::Avif:
        return QStringLiteral("AVIF");
    case Kind::Webp:
        return QStringLiteral("WebP");
    case Kind::Tiff:
        return QStringLiteral("TIFF");
    case Kind::None:
        break;
    }
    return {};
}

// AVIF goes to libavif when it is built in (faster), else to libheif.
bool IsBuiltIn(Kind kind)
{
    switch (kind) {
#ifdef PW_WITH_HEIF
    case Kind::Heic:
        return true;
#endif
#if defined(PW_WITH_AVIF) || defined(PW_WITH_HEIF)
    case Kind::Avif:
        return true;
#endif
#ifdef PW_WITH_WEBP
    case Kind::Webp:
        return true;
#endif
#ifdef PW_WITH_TIFF
    case Kind::Tiff:
        return true;
#endif
    default:
        return false;
    }
}

// The parameters go unused in a build without any of the decoders.
Info ReadInfo(Kind kind, [[maybe_unused]] const QString &file)
{
    switch (kind) {
#ifdef PW_WITH_AVIF
    case Kind::Avif:
        return Avif::ReadInfo(file);
#elif defined(PW_WITH_HEIF)
    case Kind::Avif:
        return Heif::ReadInfo(kind, file);
#endif
#ifdef PW_WITH_HEIF
    case Kind::Heic:
        return Heif::ReadInfo(kind, file);
#endif
#ifdef PW_WITH_WEBP
    case Kind::Webp:
        return Webp::ReadInfo(file);
#endif
#ifdef PW_WITH_TIFF
    case Kind::Tiff:
        return Tiff::ReadInfo(file);
#endif
    default:
        break;
    }
    Info info;
    info.status = Status::Unsupported;
    info.error = UnsupportedText(kind);
    return info;
}

Picture Decode(Kind kind, [[maybe_unused]] const QString &file, [[maybe_unused]] QSize scaledHint)
{
    switch (kind) {
#ifdef PW_WITH_AVIF
    case Kind::Avif:
        return Avif::Decode(file);
#elif defined(PW_WITH_HEIF)
    case Kind::Avif:
        return Heif::Decode(kind, file);
#endif
#ifdef PW_WITH_HEIF
    case Kind::Heic:
        return Heif::Decode(kind, file);
#endif
#ifdef PW_WITH_WEBP
    case Kind::Webp:
        return Webp::Decode(file, scaledHint);
#endif
#ifdef PW_WITH_TIFF
    case Kind::Tiff:
        return Tiff::Decode(file);
#endif
    default:
        break;
    }
    Picture picture;
    picture.status = Status::Unsupported;
    picture.error = UnsupportedText(kind);
    return picture;
}

QString DamagedText(Kind kind)
{
    return CodecText::tr("%1 图片数据已损坏，无法解码").arg(KindName(kind));
}

QString UnsupportedText(Kind kind)
{
    return CodecText::tr("不支持此 %1 图片：它的编码方式或格式变体未内置于本程序")
            .arg(KindName(kind));
}

QString IncompleteText()
{
    return CodecText::tr("图片数据不完整");
}

QByteArray ReadWholeFile(const QString &file, qint64 maxBytes)
{
    QFile device;
    if (!OpenRegularFile(device, file) || device.size() > maxBytes)
        return {};
    try {
        QByteArray bytes = device.readAll();
        if (device.error() != QFileDevice::NoError)
            return {};
        return bytes;
    } catch (const std::bad_alloc &) {
        return {};
    }
}

QImage Upright(const QImage &stored, int orientation)
{
    switch (orientation) {
    case 2:
        return stored.mirrored(true, false);
    case 3:
        return stored.mirrored(true, true);
    case 4:
        return stored.mirrored(false, true);
    case 5: // transposed: a quarter turn clockwise of the picture mirrored left to right
        return stored.mirrored(true, false).transformed(QTransform().rotate(270));
    case 6:
        return stored.transformed(QTransform().rotate(90));
    case 7:
        return stored.mirrored(true, false).transformed(QTransform().rotate(90));
    case 8:
        return stored.transformed(QTransform().rotate(270));
    default:
        return stored;
    }
}

int OrientationOfExif(const QByteArray &exif)
{
    if (exif.startsWith(QByteArrayView("Exif\0\0", 6)))
        return Jpeg::ExifOrientation(reinterpret_cast<const uint8_t *>(exif.constData()),
                                     size_t(exif.size()));
    const QByteArray payload = QByteArrayView("Exif\0\0", 6).toByteArray() + exif;
    return Jpeg::ExifOrientation(reinterpret_cast<const uint8_t *>(payload.constData()),
                                 size_t(payload.size()));
}

} // namespace Pw::Codec
