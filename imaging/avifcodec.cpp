#include "imaging/avifcodec.h"

#ifdef PW_WITH_HEIF
#include "imaging/heifcodec.h"
#endif

#include <QTransform>

#include <avif/avif.h>

#include <algorithm>
#include <memory>

namespace Pw::Avif {

namespace {

// AVIF files are parsed from memory, as HEIF files are; a real photo is a few megabytes.
constexpr qint64 kMaxFileBytes = qint64(512) << 20;
// The picture service refuses a picture over 1 GiB decoded (4 bytes a pixel) from its header.
// libavif refuses a header over this many pixels itself, and takes no higher limit.
constexpr uint32_t kMaxDecodedPixels = uint32_t(1) << 28;
// Metadata beyond these sizes is not a camera's or a colour profile's.
constexpr size_t kMaxExifBytes = size_t(64) << 20;
constexpr size_t kMaxProfileBytes = size_t(16) << 20;

// The byte order of QImage's RGB32 and ARGB32_Premultiplied: one 32-bit word 0xAARRGGBB.
constexpr avifRGBFormat kQImageOrder = Q_BYTE_ORDER == Q_LITTLE_ENDIAN ? AVIF_RGB_FORMAT_BGRA
                                                                       : AVIF_RGB_FORMAT_ARGB;

struct DecoderDeleter
{
    void operator()(avifDecoder *decoder) const { avifDecoderDestroy(decoder); }
};
struct ImageDeleter
{
    void operator()(avifImage *image) const { avifImageDestroy(image); }
};
using DecoderPointer = std::unique_ptr<avifDecoder, DecoderDeleter>;

Codec::Status statusOf(avifResult result)
{
    switch (result) {
    case AVIF_RESULT_OK:
        return Codec::Status::Ok;
    case AVIF_RESULT_NO_CODEC_AVAILABLE:
    case AVIF_RESULT_NOT_IMPLEMENTED:
    case AVIF_RESULT_UNSUPPORTED_DEPTH:
        return Codec::Status::Unsupported;
    default:
        return Codec::Status::Damaged;
    }
}

QString textOf(Codec::Status status)
{
    return status == Codec::Status::Unsupported ? Codec::UnsupportedText(Codec::Kind::Avif)
                                                : Codec::DamagedText(Codec::Kind::Avif);
}

// The parsed file; the bytes stay alive as long as the decoder reads them.
struct Parsed
{
    QByteArray bytes;
    DecoderPointer decoder;
    Codec::Status status = Codec::Status::Damaged;
};

// One worker per core already decodes a picture each, so the decoder keeps to one thread.
// Strictness stays off: files of older encoders (no 'pixi', no 'ispe' on the alpha) are read,
// as libheif reads them; a crop box that does not hold is ignored below.
Parsed parse(const QString &file, bool withMetadata)
{
    Parsed parsed;
    parsed.bytes = Codec::ReadWholeFile(file, kMaxFileBytes);
    if (parsed.bytes.isEmpty())
        return parsed;
    parsed.decoder.reset(avifDecoderCreate());
    if (!parsed.decoder)
        return parsed;
    avifDecoder *decoder = parsed.decoder.get();
    decoder->maxThreads = 1;
    decoder->imageSizeLimit = kMaxDecodedPixels;
    decoder->imageDimensionLimit = 0; // the number of pixels is what costs memory
    decoder->strictFlags = AVIF_STRICT_DISABLED;
    decoder->ignoreExif = withMetadata ? AVIF_FALSE : AVIF_TRUE;
    decoder->ignoreXMP = AVIF_TRUE;
    avifResult result = avifDecoderSetIOMemory(
            decoder, reinterpret_cast<const uint8_t *>(parsed.bytes.constData()),
            size_t(parsed.bytes.size()));
    if (result == AVIF_RESULT_OK)
        result = avifDecoderParse(decoder);
    parsed.status = statusOf(result);
    if (parsed.status == Codec::Status::Ok
        && (decoder->image->width < 1 || decoder->image->height < 1))
        parsed.status = Codec::Status::Damaged;
    return parsed;
}

quint32 bigEndian32(QByteArrayView bytes, qsizetype at)
{
    const auto *b = reinterpret_cast<const uchar *>(bytes.data()) + at;
    return (quint32(b[0]) << 24) | (quint32(b[1]) << 16) | (quint32(b[2]) << 8) | b[3];
}

// Calls `visit(type, payload)` for each whole box in `bytes`, in order.
template<typename Visit>
void forEachBox(QByteArrayView bytes, Visit visit)
{
    qsizetype at = 0;
    while (bytes.size() - at >= 8) {
        quint64 size = bigEndian32(bytes, at);
        qsizetype header = 8;
        if (size == 1) { // a 64-bit size follows the type
            if (bytes.size() - at < 16)
                return;
            size = (quint64(bigEndian32(bytes, at + 8)) << 32) | bigEndian32(bytes, at + 12);
            header = 16;
        } else if (size == 0) { // to the end of the file
            size = quint64(bytes.size() - at);
        }
        if (size < quint64(header) || size > quint64(bytes.size() - at))
            return;
        visit(bytes.sliced(at + 4, 4), bytes.sliced(at + header, qsizetype(size) - header));
        at += qsizetype(size);
    }
}

// The largest stored size any 'ispe' property of the file claims (meta / iprp / ipco / ispe)
// within AV1's largest frame. libavif refuses a picture over its pixel limit without telling its
// size; this finds the size so that the picture is reported as too large rather than as damaged.
// A side beyond what AV1 can code is no picture at all, and stays damaged.
QSize largestSpatialExtent(QByteArrayView file)
{
    constexpr qint64 kMaxAv1Side = 65536;
    QSize largest;
    qint64 largestArea = 0;
    const auto keepLarger = [&](QByteArrayView type, QByteArrayView payload) {
        if (type != QByteArrayView("ispe", 4) || payload.size() < 12)
            return;
        const qint64 width = bigEndian32(payload, 4), height = bigEndian32(payload, 8);
        if (width <= kMaxAv1Side && height <= kMaxAv1Side && width * height > largestArea) {
            largest = QSize(int(width), int(height));
            largestArea = width * height;
        }
    };
    const auto inIprp = [&](QByteArrayView type, QByteArrayView payload) {
        if (type == QByteArrayView("ipco", 4))
            forEachBox(payload, keepLarger);
    };
    const auto inMeta = [&](QByteArrayView type, QByteArrayView payload) {
        if (type == QByteArrayView("iprp", 4))
            forEachBox(payload, inIprp);
    };
    forEachBox(file, [&](QByteArrayView type, QByteArrayView payload) {
        if (type == QByteArrayView("meta", 4) && payload.size() >= 4) // version and flags first
            forEachBox(payload.sliced(4), inMeta);
    });
    return largest;
}

// The clean aperture ('clap') as a rectangle of the stored picture; the whole picture when the
// file has none or its box does not describe a crop the chroma layout allows.
avifCropRect cropOf(const avifImage *image)
{
    avifCropRect whole{0, 0, image->width, image->height};
    if (!(image->transformFlags & AVIF_TRANSFORM_CLAP))
        return whole;
    avifCropRect crop;
    avifDiagnostics diagnostics;
    if (!avifCropRectConvertCleanApertureBox(&crop, &image->clap, image->width, image->height,
                                             image->yuvFormat, &diagnostics)
        || crop.width < 1 || crop.height < 1)
        return whole;
    return crop;
}

// 'irot' turns the picture anticlockwise by a multiple of a quarter turn.
int quarterTurnsOf(const avifImage *image)
{
    return image->transformFlags & AVIF_TRANSFORM_IROT ? image->irot.angle % 4 : 0;
}

// libheif up to 1.15 stores in 'ispe' the size after a quarter turn, where the format wants the
// size before it, and libavif stretches the frame it decodes to that size: such a picture would
// come out squashed. libheif turns the frame it decoded, whoever wrote the file, so with libheif
// built in a quarter-turned file is read by it; the other files keep libavif's speed.
bool leftToLibheif(const Parsed &parsed)
{
#ifdef PW_WITH_HEIF
    return parsed.status == Codec::Status::Ok && quarterTurnsOf(parsed.decoder->image) % 2 == 1;
#else
    Q_UNUSED(parsed);
    return false;
#endif
}

QSize uprightSize(const avifImage *image)
{
    const avifCropRect crop = cropOf(image);
    const QSize stored(int(crop.width), int(crop.height));
    return quarterTurnsOf(image) % 2 ? stored.transposed() : stored;
}

// The stored picture as libavif hands it: cropped, not yet turned or mirrored.
struct Stored
{
    QImage image;
    int quarterTurns = 0; // anticlockwise
    int mirror = -1;      // 'imir' mode: 0 top and bottom exchanged, 1 left and right; -1 none
    QByteArray iccProfile;
    QByteArray exif;
    Codec::Status status = Codec::Status::Damaged;
    bool leftToLibheif = false;
};

bool isTiffHeader(QByteArrayView block)
{
    return block.startsWith(QByteArrayView("II*\0", 4))
           || block.startsWith(QByteArrayView("MM\0*", 4));
}

// The TIFF structure of the Exif item. The item starts with the offset of the TIFF header after
// its first four bytes; libavif 0.11 drops those four bytes but not the offset, and some writers
// put "Exif\0\0" there. The header is looked for where each of these leaves it.
QByteArray exifOf(const avifRWData &item)
{
    if (item.size < 8 || item.size > kMaxExifBytes)
        return {};
    const QByteArray block(reinterpret_cast<const char *>(item.data), qsizetype(item.size));
    if (isTiffHeader(block))
        return block;
    const QByteArrayView exifPrefix("Exif\0\0", 6);
    if (block.startsWith(exifPrefix))
        return isTiffHeader(QByteArrayView(block).sliced(6)) ? block.mid(6) : QByteArray();
    const auto *b = reinterpret_cast<const uchar *>(block.constData());
    const quint32 skip = (quint32(b[0]) << 24) | (quint32(b[1]) << 16) | (quint32(b[2]) << 8)
                         | b[3];
    if (skip > quint32(block.size() - 4))
        return {};
    const QByteArray rest = block.mid(4 + qsizetype(skip));
    if (rest.startsWith(exifPrefix) && isTiffHeader(QByteArrayView(rest).sliced(6)))
        return rest.mid(6);
    return isTiffHeader(rest) ? rest : QByteArray();
}

QByteArray profileOf(const avifRWData &icc)
{
    if (icc.size == 0 || icc.size > kMaxProfileBytes)
        return {};
    return QByteArray(reinterpret_cast<const char *>(icc.data), qsizetype(icc.size));
}

// 8 bits a channel straight into the QImage, premultiplied when there is alpha.
Codec::Status convert(const avifImage *source, QImage &image)
{
    const bool alpha = source->alphaPlane != nullptr;
    image = QImage(int(source->width), int(source->height),
                   alpha ? QImage::Format_ARGB32_Premultiplied : QImage::Format_RGB32);
    if (image.isNull())
        return Codec::Status::Damaged;
    avifRGBImage rgb;
    avifRGBImageSetDefaults(&rgb, source);
    rgb.depth = 8;
    rgb.format = kQImageOrder; // without alpha, its byte is filled opaque
    rgb.alphaPremultiplied = AVIF_TRUE;
    rgb.pixels = image.bits();
    rgb.rowBytes = uint32_t(image.bytesPerLine());
    const Codec::Status status = statusOf(avifImageYUVToRGB(source, &rgb));
    if (status != Codec::Status::Ok)
        image = QImage();
    return status;
}

// Decodes and converts; the decoder, and with it the YUV planes, is gone when this returns, so
// the turn that follows never holds them beside two pictures.
Stored decodeStored(const QString &file)
{
    Stored stored;
    const Parsed parsed = parse(file, true);
    stored.status = parsed.status;
    stored.leftToLibheif = leftToLibheif(parsed);
    if (stored.status != Codec::Status::Ok || stored.leftToLibheif)
        return stored;
    avifDecoder *decoder = parsed.decoder.get();
    // The header's size is what the picture service measured against its limit. The AV1 stream
    // carries a frame size of its own, which could claim far more: dav1d, set up by the next
    // call, is held to the header's number of pixels (libavif scales a frame of another size to
    // the header's, so a true file never needs more).
    const uint32_t width = decoder->image->width, height = decoder->image->height;
    decoder->imageSizeLimit = uint32_t(
            std::min<quint64>(quint64(width) * height, kMaxDecodedPixels));
    stored.status = statusOf(avifDecoderNextImage(decoder));
    if (stored.status != Codec::Status::Ok)
        return stored;
    const avifImage *image = decoder->image;
    if (image->width != width || image->height != height) {
        stored.status = Codec::Status::Damaged;
        return stored;
    }
    stored.quarterTurns = quarterTurnsOf(image);
    if (image->transformFlags & AVIF_TRANSFORM_IMIR)
        stored.mirror = image->imir.mode ? 1 : 0;
    stored.iccProfile = profileOf(image->icc);
    stored.exif = exifOf(image->exif);

    const avifCropRect crop = cropOf(image);
    const std::unique_ptr<avifImage, ImageDeleter> view(avifImageCreateEmpty());
    if (!view) {
        stored.status = Codec::Status::Damaged;
        return stored;
    }
    stored.status = statusOf(avifImageSetViewRect(view.get(), image, &crop));
    if (stored.status == Codec::Status::Ok)
        stored.status = convert(view.get(), stored.image);
    return stored;
}

// The order the format prescribes: crop (done), then rotation, then mirroring.
QImage upright(const Stored &stored)
{
    QImage image = stored.image;
    if (stored.quarterTurns)
        image = image.transformed(QTransform().rotate(-90.0 * stored.quarterTurns));
    if (stored.mirror == 0)
        image = image.mirrored(false, true);
    else if (stored.mirror == 1)
        image = image.mirrored(true, false);
    return image;
}

} // namespace

Codec::Info ReadInfo(const QString &file)
{
    Codec::Info info;
    const Parsed parsed = parse(file, false);
#ifdef PW_WITH_HEIF
    if (leftToLibheif(parsed))
        return Heif::ReadInfo(Codec::Kind::Avif, file);
#endif
    info.status = parsed.status;
    if (parsed.status != Codec::Status::Ok) {
        // A header over the pixel limit: its stored size, which the picture service refuses
        // with its own message.
        const QSize claimed = largestSpatialExtent(parsed.bytes);
        if (qint64(claimed.width()) * claimed.height() > kMaxDecodedPixels) {
            info.status = Codec::Status::Ok;
            info.width = claimed.width();
            info.height = claimed.height();
            return info;
        }
        info.error = textOf(parsed.status);
        return info;
    }
    const QSize size = uprightSize(parsed.decoder->image);
    info.width = size.width();
    info.height = size.height();
    info.hasAlpha = parsed.decoder->alphaPresent != AVIF_FALSE;
    return info;
}

Codec::Picture Decode(const QString &file)
{
    Codec::Picture picture;
    Stored stored = decodeStored(file);
#ifdef PW_WITH_HEIF
    if (stored.leftToLibheif)
        return Heif::Decode(Codec::Kind::Avif, file);
#endif
    picture.status = stored.status;
    if (picture.status != Codec::Status::Ok) {
        picture.error = textOf(picture.status);
        return picture;
    }
    picture.image = upright(stored);
    stored.image = QImage();
    picture.sourceWidth = picture.image.width();
    picture.sourceHeight = picture.image.height();
    picture.iccProfile = std::move(stored.iccProfile);
    picture.exif = std::move(stored.exif);
    if (picture.image.isNull()) {
        picture.status = Codec::Status::Damaged;
        picture.error = textOf(picture.status);
    }
    return picture;
}

} // namespace Pw::Avif
