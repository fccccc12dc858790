#include "imaging/webpcodec.h"

#include "platform/nativefile.h"

#include <QFile>

#include <webp/decode.h>
#include <webp/demux.h>

#include <cstring>
#include <memory>

namespace Pw::Webp {

namespace {

// A WebP picture is at most 16383 x 16383; its file stays far below this.
constexpr qint64 kMaxFileBytes = qint64(512) << 20;
// Enough for the RIFF header and the first chunk header (VP8X, VP8 or VP8L).
constexpr qint64 kHeaderBytes = 4096;

struct DemuxDeleter
{
    void operator()(WebPDemuxer *demux) const { WebPDemuxDelete(demux); }
};
struct AnimDeleter
{
    void operator()(WebPAnimDecoder *decoder) const { WebPAnimDecoderDelete(decoder); }
};
struct IncrementalDeleter
{
    void operator()(WebPIDecoder *decoder) const { WebPIDelete(decoder); }
};

const uint8_t *data(const QByteArray &bytes)
{
    return reinterpret_cast<const uint8_t *>(bytes.constData());
}

QByteArray chunk(const WebPDemuxer *demux, const char *fourcc)
{
    WebPChunkIterator iterator;
    QByteArray bytes;
    if (WebPDemuxGetChunk(demux, fourcc, 1, &iterator))
        bytes = QByteArray(reinterpret_cast<const char *>(iterator.chunk.bytes),
                           qsizetype(iterator.chunk.size));
    WebPDemuxReleaseChunkIterator(&iterator);
    return bytes;
}

// The first frame on the animation's canvas.
QImage firstFrame(const QByteArray &bytes)
{
    WebPAnimDecoderOptions options;
    if (!WebPAnimDecoderOptionsInit(&options))
        return {};
    options.color_mode = MODE_bgrA; // the byte order of ARGB32_Premultiplied
    options.use_threads = 0;
    const WebPData webpData{data(bytes), size_t(bytes.size())};
    const std::unique_ptr<WebPAnimDecoder, AnimDeleter> decoder(
            WebPAnimDecoderNew(&webpData, &options));
    WebPAnimInfo info;
    if (!decoder || !WebPAnimDecoderGetInfo(decoder.get(), &info))
        return {};
    uint8_t *pixels = nullptr;
    int timestamp = 0;
    if (!WebPAnimDecoderGetNext(decoder.get(), &pixels, &timestamp) || !pixels)
        return {};
    const QImage view(pixels, int(info.canvas_width), int(info.canvas_height),
                      int(info.canvas_width) * 4, QImage::Format_ARGB32_Premultiplied);
    return view.copy();
}

struct Still
{
    QImage image;
    Codec::Status status = Codec::Status::Damaged;
};

// A still picture, decoded straight into its QImage at `size` (the stored size, or smaller).
Still still(const QByteArray &bytes, const WebPBitstreamFeatures &features, QSize size)
{
    Still result;
    WebPDecoderConfig config;
    if (!WebPInitDecoderConfig(&config))
        return result;
    result.image = QImage(size, features.has_alpha ? QImage::Format_ARGB32_Premultiplied
                                                   : QImage::Format_RGB32);
    if (result.image.isNull())
        return result;
    if (size != QSize(features.width, features.height)) {
        config.options.use_scaling = 1;
        config.options.scaled_width = size.width();
        config.options.scaled_height = size.height();
    }
    // bgrA is BGRA premultiplied: the byte order of RGB32 (alpha 255) and ARGB32_Premultiplied.
    config.output.colorspace = features.has_alpha ? MODE_bgrA : MODE_BGRA;
    config.output.is_external_memory = 1;
    config.output.u.RGBA.rgba = result.image.bits();
    config.output.u.RGBA.stride = int(result.image.bytesPerLine());
    config.output.u.RGBA.size = size_t(result.image.sizeInBytes());
    const std::unique_ptr<WebPIDecoder, IncrementalDeleter> decoder(
            WebPIDecode(nullptr, 0, &config));
    if (!decoder)
        return result;
    const VP8StatusCode status = WebPIUpdate(decoder.get(), data(bytes), size_t(bytes.size()));
    if (status == VP8_STATUS_OK) {
        result.status = Codec::Status::Ok;
        return result;
    }
    int lastRow = 0;
    if (!WebPIDecGetRGB(decoder.get(), &lastRow, nullptr, nullptr, nullptr) || lastRow <= 0) {
        result.status = status == VP8_STATUS_UNSUPPORTED_FEATURE ? Codec::Status::Unsupported
                                                                 : Codec::Status::Damaged;
        result.image = QImage();
        return result;
    }
    // Drawn as far as the data goes; the rows below repeat the last one, as a JPEG that breaks
    // off does.
    const int height = result.image.height();
    const qsizetype rowBytes = result.image.bytesPerLine();
    for (int y = lastRow; y < height; ++y)
        std::memcpy(result.image.scanLine(y), result.image.constScanLine(lastRow - 1),
                    size_t(rowBytes));
    result.status = Codec::Status::Incomplete;
    return result;
}

bool swapsAxes(int orientation)
{
    return orientation >= 5;
}

} // namespace

Codec::Info ReadInfo(const QString &file)
{
    Codec::Info info;
    QFile device;
    QByteArray head;
    if (OpenRegularFile(device, file))
        head = device.read(kHeaderBytes);
    WebPBitstreamFeatures features;
    const VP8StatusCode status = WebPGetFeatures(data(head), size_t(head.size()), &features);
    if (status != VP8_STATUS_OK || features.width < 1 || features.height < 1) {
        info.status = status == VP8_STATUS_UNSUPPORTED_FEATURE ? Codec::Status::Unsupported
                                                               : Codec::Status::Damaged;
        info.error = info.status == Codec::Status::Unsupported
                             ? Codec::UnsupportedText(Codec::Kind::Webp)
                             : Codec::DamagedText(Codec::Kind::Webp);
        return info;
    }
    // The orientation lives in the Exif chunk, which may come after the pictures: for the size
    // the whole file is read only when the picture is not square and holds Exif at all.
    int orientation = 1;
    if (features.width != features.height && head.size() >= 21 && head.mid(12, 4) == "VP8X"
        && (uchar(head.at(20)) & 0x08)) {
        const QByteArray bytes = Codec::ReadWholeFile(file, kMaxFileBytes);
        const WebPData webpData{data(bytes), size_t(bytes.size())};
        const std::unique_ptr<WebPDemuxer, DemuxDeleter> demux(
                WebPDemuxPartial(&webpData, nullptr));
        if (demux)
            orientation = Codec::OrientationOfExif(chunk(demux.get(), "EXIF"));
    }
    info.status = Codec::Status::Ok;
    info.width = swapsAxes(orientation) ? features.height : features.width;
    info.height = swapsAxes(orientation) ? features.width : features.height;
    info.hasAlpha = features.has_alpha != 0;
    return info;
}

Codec::Picture Decode(const QString &file, QSize scaledHint)
{
    Codec::Picture picture;
    const QByteArray bytes = Codec::ReadWholeFile(file, kMaxFileBytes);
    WebPBitstreamFeatures features;
    const VP8StatusCode status = WebPGetFeatures(data(bytes), size_t(bytes.size()), &features);
    if (status != VP8_STATUS_OK || features.width < 1 || features.height < 1) {
        picture.status = status == VP8_STATUS_UNSUPPORTED_FEATURE ? Codec::Status::Unsupported
                                                                  : Codec::Status::Damaged;
        picture.error = picture.status == Codec::Status::Unsupported
                                ? Codec::UnsupportedText(Codec::Kind::Webp)
                                : Codec::DamagedText(Codec::Kind::Webp);
        return picture;
    }
    const WebPData webpData{data(bytes), size_t(bytes.size())};
    int orientation = 1;
    {
        const std::unique_ptr<WebPDemuxer, DemuxDeleter> demux(
                WebPDemuxPartial(&webpData, nullptr));
        if (demux) {
            picture.exif = chunk(demux.get(), "EXIF");
            if (picture.exif.startsWith(QByteArrayView("Exif\0\0", 6)))
                picture.exif.remove(0, 6);
            picture.iccProfile = chunk(demux.get(), "ICCP");
            orientation = Codec::OrientationOfExif(picture.exif);
        }
    }
    const QSize stored(features.width, features.height);
    picture.sourceWidth = swapsAxes(orientation) ? stored.height() : stored.width();
    picture.sourceHeight = swapsAxes(orientation) ? stored.width() : stored.height();

    QImage image;
    if (features.has_animation) {
        image = firstFrame(bytes);
        picture.status = image.isNull() ? Codec::Status::Damaged : Codec::Status::Ok;
    } else {
        QSize size = stored;
        if (scaledHint.isValid() && !scaledHint.isEmpty()) {
            const QSize hint = swapsAxes(orientation) ? scaledHint.transposed() : scaledHint;
            if (hint.width() < stored.width() && hint.height() < stored.height())
                size = hint;
        }
        Still decoded = still(bytes, features, size);
        image = std::move(decoded.image);
        picture.status = decoded.status;
    }
    if (!image.isNull())
        picture.image = Codec::Upright(image, orientation);
    if (picture.status == Codec::Status::Incomplete)
        picture.error = Codec::IncompleteText();
    else if (picture.status == Codec::Status::Unsupported)
        picture.error = Codec::UnsupportedText(Codec::Kind::Webp);
    else if (picture.status != Codec::Status::Ok)
        picture.error = Codec::DamagedText(Codec::Kind::Webp);
    return picture;
}

} // namespace Pw::Webp
