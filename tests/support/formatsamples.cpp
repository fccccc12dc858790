#include "tests/support/formatsamples.h"

#include <QBuffer>
#include <QFile>
#include <QList>

#include <memory>

#ifdef PW_WITH_HEIF
#include <libheif/heif.h>
#endif
#ifdef PW_AVIF_ENCODER
#include <avif/avif.h>
#endif
#ifdef PW_WITH_WEBP
#include <webp/encode.h>
#include <webp/mux.h>
#endif

namespace PwTest {

namespace {

void put16(QByteArray &out, quint32 v)
{
    out.append(char(v & 0xff));
    out.append(char((v >> 8) & 0xff));
}

void put32(QByteArray &out, quint32 v)
{
    for (int i = 0; i < 4; ++i)
        out.append(char((v >> (8 * i)) & 0xff));
}

struct Entry
{
    quint16 tag;
    quint16 type; // 2 ASCII, 3 SHORT, 4 LONG
    QList<quint32> values;
    QByteArray text;
};

Entry shorts(quint16 tag, QList<quint32> values)
{
    return {tag, 3, std::move(values), {}};
}
Entry longs(quint16 tag, QList<quint32> values)
{
    return {tag, 4, std::move(values), {}};
}
Entry ascii(quint16 tag, const QByteArray &text)
{
    return {tag, 2, {}, text + '\0'};
}

qsizetype valueBytes(const Entry &e)
{
    return e.type == 2 ? e.text.size() : e.values.size() * (e.type == 3 ? 2 : 4);
}

// One little-endian IFD placed at `at`, its longer values right after it.
QByteArray ifd(quint32 at, QList<Entry> entries, quint32 next)
{
    std::sort(entries.begin(), entries.end(),
              [](const Entry &a, const Entry &b) { return a.tag < b.tag; });
    QByteArray out, extra;
    const quint32 extraAt = at + 2 + 12 * quint32(entries.size()) + 4;
    put16(out, quint32(entries.size()));
    for (const Entry &e : entries) {
        QByteArray value;
        if (e.type == 2)
            value = e.text;
        for (quint32 v : e.values)
            e.type == 3 ? put16(value, v) : put32(value, v);
        put16(out, e.tag);
        put16(out, e.type);
        put32(out, quint32(e.type == 2 ? e.text.size() : e.values.size()));
        if (value.size() <= 4) {
            out.append(value.leftJustified(4, '\0'));
        } else {
            put32(out, extraAt + quint32(extra.size()));
            extra.append(value);
            if (extra.size() % 2)
                extra.append('\0');
        }
    }
    put32(out, next);
    return out + extra;
}

qsizetype ifdSize(const QList<Entry> &entries)
{
    qsizetype size = 2 + 12 * entries.size() + 4;
    for (const Entry &e : entries)
        if (valueBytes(e) > 4)
            size += valueBytes(e) + valueBytes(e) % 2;
    return size;
}

// Stored pixels as TIFF samples: RGB or CMYK, then alpha (unassociated), 8 or 16 bits each.
QByteArray tiffSamples(const QImage &picture, const SampleSpec &spec, bool alpha)
{
    QByteArray out;
    const QImage rgba = picture.convertToFormat(QImage::Format_ARGB32);
    for (int y = 0; y < rgba.height(); ++y) {
        for (int x = 0; x < rgba.width(); ++x) {
            const QRgb p = rgba.pixel(x, y);
            QList<int> samples;
            if (spec.cmyk)
                samples = {255 - qRed(p), 255 - qGreen(p), 255 - qBlue(p), 0};
            else
                samples = {qRed(p), qGreen(p), qBlue(p)};
            if (alpha)
                samples << qAlpha(p);
            for (int s : samples)
                spec.bits == 16 ? put16(out, quint32(s) * 257) : void(out.append(char(s)));
        }
    }
    return out;
}

QByteArray tiffFile(const QImage &picture, const SampleSpec &spec)
{
    const bool alpha = picture.hasAlphaChannel();
    const int width = picture.width(), height = picture.height();
    const int samplesPerPixel = (spec.cmyk ? 4 : 3) + (alpha ? 1 : 0);
    const QByteArray pixels = tiffSamples(picture, spec, alpha);
    const int rowsPerStrip = spec.rowsPerStrip > 0 ? spec.rowsPerStrip : height;
    const qsizetype rowBytes = pixels.size() / height;
    const bool camera = !spec.model.isEmpty() || !spec.shot.isEmpty();

    QList<quint32> counts;
    for (int y = 0; y < height; y += rowsPerStrip)
        counts << quint32(rowBytes * std::min(rowsPerStrip, height - y));
    const auto pageEntries = [&](const QList<quint32> &offsets, quint32 exifAt) {
        const bool withCamera = camera && exifAt != 0;
        QList<Entry> e = {longs(256, {quint32(width)}),
                          longs(257, {quint32(height)}),
                          shorts(258, QList<quint32>(samplesPerPixel, quint32(spec.bits))),
                          shorts(259, {1}),
                          shorts(262, {spec.cmyk ? 5u : 2u}),
                          longs(273, offsets),
                          shorts(274, {quint32(spec.orientation)}),
                          shorts(277, {quint32(samplesPerPixel)}),
                          longs(278, {quint32(rowsPerStrip)}),
                          longs(279, counts),
                          shorts(284, {1})};
        if (alpha)
            e << shorts(338, {2});
        if (withCamera) {
            e << ascii(0x0110, spec.model);
            e << longs(0x8769, {exifAt});
        }
        return e;
    };
    const QList<quint32> dummy(counts.size(), 0);
    const QList<Entry> exifEntries = {ascii(0x9003, spec.shot)};
    // Directories first and pixels last, so a file cut short loses rows, not its directories.
    const quint32 ifd0At = 8;
    const quint32 exifAt = ifd0At + quint32(ifdSize(pageEntries(dummy, 1)));
    const quint32 page2At = exifAt + (camera ? quint32(ifdSize(exifEntries)) : 0);
    const quint32 page2Size = spec.secondPage ? quint32(ifdSize(pageEntries(dummy, 0))) : 0;
    const quint32 pixelsAt = page2At + page2Size;
    const auto stripOffsets = [&](quint32 start) {
        QList<quint32> offsets;
        for (quint32 count : counts) {
            offsets << start;
            start += count;
        }
        return offsets;
    };
    QByteArray out("II*\0", 4);
    put32(out, ifd0At);
    out += ifd(ifd0At, pageEntries(stripOffsets(pixelsAt), exifAt), spec.secondPage ? page2At : 0);
    if (camera)
        out += ifd(exifAt, exifEntries, 0);
    if (spec.secondPage) {
        const quint32 page2PixelsAt = pixelsAt + quint32(pixels.size());
        out += ifd(page2At, pageEntries(stripOffsets(page2PixelsAt), 0), 0);
    }
    out += pixels;
    if (spec.secondPage)
        out += QByteArray(pixels.size(), spec.cmyk ? '\xff' : '\0'); // black
    return out;
}

[[maybe_unused]] QByteArray exifOf(const SampleSpec &spec)
{
    if (spec.model.isEmpty() && spec.shot.isEmpty())
        return {};
    return ExifBlock(spec.model, spec.shot, spec.orientation);
}

#ifdef PW_WITH_WEBP
bool webpFile(const QImage &picture, const SampleSpec &spec, QByteArray *file, QString *why)
{
    const QImage rgba = picture.convertToFormat(QImage::Format_RGBA8888);
    const auto *pixels = rgba.constBits();
    std::unique_ptr<WebPMux, void (*)(WebPMux *)> mux(WebPMuxNew(), WebPMuxDelete);
    if (spec.secondPage) {
        WebPAnimEncoderOptions options;
        WebPAnimEncoderOptionsInit(&options);
        std::unique_ptr<WebPAnimEncoder, void (*)(WebPAnimEncoder *)> encoder(
                WebPAnimEncoderNew(rgba.width(), rgba.height(), &options), WebPAnimEncoderDelete);
        WebPConfig config;
        WebPConfigInit(&config);
        config.quality = 95;
        QImage black(rgba.size(), QImage::Format_RGBA8888);
        black.fill(Qt::black);
        int timestamp = 0;
        for (const QImage *frame : {&rgba, static_cast<const QImage *>(&black)}) {
            WebPPicture input;
            WebPPictureInit(&input);
            input.width = rgba.width();
            input.height = rgba.height();
            input.use_argb = 1;
            WebPPictureImportRGBA(&input, frame->constBits(), int(frame->bytesPerLine()));
            WebPAnimEncoderAdd(encoder.get(), &input, timestamp, &config);
            WebPPictureFree(&input);
            timestamp += 100;
        }
        WebPAnimEncoderAdd(encoder.get(), nullptr, timestamp, nullptr);
        WebPData animation;
        WebPDataInit(&animation);
        if (!WebPAnimEncoderAssemble(encoder.get(), &animation)) {
            *why = QStringLiteral("WebPAnimEncoderAssemble failed");
            return false;
        }
        mux.reset(WebPMuxCreate(&animation, 1));
        WebPDataClear(&animation);
    } else {
        uint8_t *encoded = nullptr;
        const size_t size
                = picture.hasAlphaChannel()
                          ? WebPEncodeRGBA(pixels, rgba.width(), rgba.height(),
                                           int(rgba.bytesPerLine()), 95, &encoded)
                          : WebPEncodeRGB(
                                  rgba.convertToFormat(QImage::Format_RGB888).constBits(),
                                  rgba.width(), rgba.height(),
                                  int(rgba.convertToFormat(QImage::Format_RGB888).bytesPerLine()),
                                  95, &encoded);
        const WebPData image{encoded, size};
        WebPMuxSetImage(mux.get(), &image, 1);
        WebPFree(encoded);
    }
    const QByteArray exif = exifOf(spec);
    if (!exif.isEmpty()) {
        const WebPData chunk{reinterpret_cast<const uint8_t *>(exif.constData()),
                             size_t(exif.size())};
        WebPMuxSetChunk(mux.get(), "EXIF", &chunk, 1);
    }
    WebPData assembled;
    WebPDataInit(&assembled);
    if (WebPMuxAssemble(mux.get(), &assembled) != WEBP_MUX_OK) {
        *why = QStringLiteral("WebPMuxAssemble failed");
        return false;
    }
    *file = QByteArray(reinterpret_cast<const char *>(assembled.bytes), qsizetype(assembled.size));
    WebPDataClear(&assembled);
    return true;
}
#endif

#ifdef PW_WITH_HEIF
bool heifFile(const QImage &picture, const SampleSpec &spec, bool avif, const QString &path,
              QString *why)
{
    const heif_compression_format format = avif ? heif_compression_AV1 : heif_compression_HEVC;
    if (avif && spec.bits > 8) {
        *why = QStringLiteral("libheif 1.15 stops on an assertion of libaom for 10-bit AV1");
        return false;
    }
    if (!spec.crop.isNull()) {
        *why = QStringLiteral("no clean aperture through libheif's encoder");
        return false;
    }
    if (!heif_have_encoder_for_format(format)) {
        *why = QStringLiteral("libheif has no encoder for this format here");
        return false;
    }
    std::unique_ptr<heif_context, void (*)(heif_context *)> context(heif_context_alloc(),
                                                                    heif_context_free);
    heif_encoder *rawEncoder = nullptr;
    if (heif_context_get_encoder_for_format(context.get(), format, &rawEncoder).code
        != heif_error_Ok) {
        *why = QStringLiteral("no encoder");
        return false;
    }
    std::unique_ptr<heif_encoder, void (*)(heif_encoder *)> encoder(rawEncoder,
                                                                    heif_encoder_release);
    heif_encoder_set_lossy_quality(encoder.get(), 95);
    const bool alpha = picture.hasAlphaChannel();
    const bool deep = spec.bits > 8;
    const heif_chroma chroma = deep ? (alpha ? heif_chroma_interleaved_RRGGBBAA_LE
                                             : heif_chroma_interleaved_RRGGBB_LE)
                                    : (alpha ? heif_chroma_interleaved_RGBA
                                             : heif_chroma_interleaved_RGB);
    heif_image *rawImage = nullptr;
    heif_image_create(picture.width(), picture.height(), heif_colorspace_RGB, chroma, &rawImage);
    std::unique_ptr<heif_image, void (*)(const heif_image *)> image(rawImage, heif_image_release);
    heif_image_add_plane(image.get(), heif_channel_interleaved, picture.width(), picture.height(),
                         deep ? 10 : 8);
    int stride = 0;
    uint8_t *plane = heif_image_get_plane(image.get(), heif_channel_interleaved, &stride);
    const QImage rgba = picture.convertToFormat(QImage::Format_RGBA8888);
    const int channels = alpha ? 4 : 3;
    for (int y = 0; y < picture.height(); ++y) {
        const uchar *in = rgba.constScanLine(y);
        uint8_t *out = plane + qsizetype(y) * stride;
        for (int x = 0; x < picture.width(); ++x) {
            for (int c = 0; c < channels; ++c) {
                const int v = in[4 * x + c];
                if (deep) {
                    const int ten = v * 1023 / 255;
                    out[2 * (channels * x + c)] = uint8_t(ten & 0xff);
                    out[2 * (channels * x + c) + 1] = uint8_t(ten >> 8);
                } else {
                    out[channels * x + c] = uint8_t(v);
                }
            }
        }
    }
    std::unique_ptr<heif_encoding_options, void (*)(heif_encoding_options *)> options(
            heif_encoding_options_alloc(), heif_encoding_options_free);
    options->image_orientation = heif_orientation(spec.orientation);
    heif_image_handle *rawHandle = nullptr;
    const heif_error encoded = heif_context_encode_image(context.get(), image.get(), encoder.get(),
                                                         options.get(), &rawHandle);
    if (encoded.code != heif_error_Ok) {
        *why = QString::fromUtf8(encoded.message);
        return false;
    }
    std::unique_ptr<heif_image_handle, void (*)(const heif_image_handle *)> handle(
            rawHandle, heif_image_handle_release);
    const QByteArray exif = exifOf(spec);
    if (!exif.isEmpty())
        heif_context_add_exif_metadata(context.get(), handle.get(), exif.constData(),
                                       int(exif.size()));
    const heif_error written = heif_context_write_to_file(context.get(), path.toUtf8().constData());
    if (written.code != heif_error_Ok) {
        *why = QString::fromUtf8(written.message);
        return false;
    }
    return true;
}
#endif

#ifdef PW_AVIF_ENCODER
// The 'irot' (quarter turns anticlockwise) and 'imir' (0 top and bottom exchanged, 1 left and
// right) that show the stored pixels as the Exif orientation does, rotation first.
void setAvifOrientation(avifImage *image, int orientation)
{
    struct Transform
    {
        int quarterTurns;
        int mirror; // -1 none
    };
    static constexpr Transform kTransforms[] = {{0, -1}, {0, -1}, {0, 1}, {2, -1}, {0, 0},
                                                {1, 0},  {3, -1}, {3, 0}, {1, -1}};
    const Transform t = kTransforms[orientation >= 1 && orientation <= 8 ? orientation : 1];
    image->transformFlags = AVIF_TRANSFORM_NONE;
    if (t.quarterTurns) {
        image->transformFlags |= AVIF_TRANSFORM_IROT;
        image->irot.angle = uint8_t(t.quarterTurns);
    }
    if (t.mirror >= 0) {
        image->transformFlags |= AVIF_TRANSFORM_IMIR;
        image->imir.mode = uint8_t(t.mirror);
    }
}

// With libavif's own encoder: libheif 1.15 writes a turned picture's 'ispe' with the size after
// the turn, which the format (and libavif) take as the size before it, and its 10-bit AV1 stops
// on an assertion of libaom.
bool avifFile(const QImage &picture, const SampleSpec &spec, QByteArray *file, QString *why)
{
    if (!avifCodecName(AVIF_CODEC_CHOICE_AUTO, AVIF_CODEC_FLAG_CAN_ENCODE)) {
        *why = QStringLiteral("libavif has no AV1 encoder here");
        return false;
    }
    const bool alpha = picture.hasAlphaChannel();
    const std::unique_ptr<avifImage, void (*)(avifImage *)> image(
            avifImageCreate(uint32_t(picture.width()), uint32_t(picture.height()),
                            spec.bits > 8 ? 10 : 8, AVIF_PIXEL_FORMAT_YUV444),
            avifImageDestroy);
    const QImage rgba = picture.convertToFormat(QImage::Format_RGBA8888);
    avifRGBImage rgb;
    avifRGBImageSetDefaults(&rgb, image.get());
    rgb.depth = 8;
    rgb.format = alpha ? AVIF_RGB_FORMAT_RGBA : AVIF_RGB_FORMAT_RGB;
    const QImage rgb888 = picture.convertToFormat(QImage::Format_RGB888);
    const QImage &source = alpha ? rgba : rgb888;
    rgb.pixels = const_cast<uint8_t *>(source.constBits());
    rgb.rowBytes = uint32_t(source.bytesPerLine());
    if (avifImageRGBToYUV(image.get(), &rgb) != AVIF_RESULT_OK) {
        *why = QStringLiteral("avifImageRGBToYUV failed");
        return false;
    }
    const QByteArray exif = exifOf(spec);
    if (!exif.isEmpty())
        avifImageSetMetadataExif(image.get(), reinterpret_cast<const uint8_t *>(exif.constData()),
                                 size_t(exif.size()));
    setAvifOrientation(image.get(), spec.orientation);
    if (!spec.crop.isNull()) {
        const avifCropRect crop{uint32_t(spec.crop.x()), uint32_t(spec.crop.y()),
                                uint32_t(spec.crop.width()), uint32_t(spec.crop.height())};
        avifDiagnostics diagnostics;
        if (!avifCleanApertureBoxConvertCropRect(&image->clap, &crop, image->width, image->height,
                                                 image->yuvFormat, &diagnostics)) {
            *why = QString::fromUtf8(diagnostics.error);
            return false;
        }
        image->transformFlags |= AVIF_TRANSFORM_CLAP;
    }
    const std::unique_ptr<avifEncoder, void (*)(avifEncoder *)> encoder(avifEncoderCreate(),
                                                                        avifEncoderDestroy);
    encoder->speed = AVIF_SPEED_FASTEST;
    encoder->minQuantizer = encoder->minQuantizerAlpha = 4;
    encoder->maxQuantizer = encoder->maxQuantizerAlpha = 8;
    avifRWData output = AVIF_DATA_EMPTY;
    const avifResult written = avifEncoderWrite(encoder.get(), image.get(), &output);
    if (written != AVIF_RESULT_OK) {
        *why = QString::fromUtf8(avifResultToString(written));
        return false;
    }
    *file = QByteArray(reinterpret_cast<const char *>(output.data), qsizetype(output.size));
    avifRWDataFree(&output);
    return true;
}
#endif

} // namespace

QByteArray ExifBlock(const QByteArray &model, const QByteArray &shot, int orientation)
{
    const QList<Entry> exif = {ascii(0x9003, shot)};
    const QList<Entry> ifd0WithoutPointer = {ascii(0x0110, model),
                                             shorts(0x0112, {quint32(orientation)})};
    const quint32 ifd0At = 8;
    const quint32 exifAt = ifd0At + quint32(ifdSize(ifd0WithoutPointer) + 12);
    QByteArray out("II*\0", 4);
    put32(out, ifd0At);
    out += ifd(ifd0At, ifd0WithoutPointer + QList<Entry>{longs(0x8769, {exifAt})}, 0);
    out += ifd(exifAt, exif, 0);
    return out;
}

bool WriteSample(const QString &format, const QImage &picture, const SampleSpec &spec,
                 const QString &path, QString *why)
{
    QByteArray bytes;
    if (format == u"tiff") {
        bytes = tiffFile(picture, spec);
#ifdef PW_WITH_WEBP
    } else if (format == u"webp") {
        if (!webpFile(picture, spec, &bytes, why))
            return false;
#endif
#ifdef PW_AVIF_ENCODER
    } else if (format == u"avif") {
        if (!avifFile(picture, spec, &bytes, why))
            return false;
#endif
#ifdef PW_WITH_HEIF
    } else if (format == u"heic" || format == u"avif") {
        return heifFile(picture, spec, format == u"avif", path, why);
#endif
    } else {
        *why = QStringLiteral("no %1 encoder in this build").arg(format);
        return false;
    }
    QFile out(path);
    if (!out.open(QIODevice::WriteOnly) || out.write(bytes) != bytes.size()) {
        *why = out.errorString();
        return false;
    }
    return true;
}

QByteArray JpegWithExif(const QImage &picture, const QByteArray &exifBlock)
{
    QByteArray jpeg;
    QBuffer buffer(&jpeg);
    buffer.open(QIODevice::WriteOnly);
    picture.convertToFormat(QImage::Format_RGB32).save(&buffer, "JPEG", 95);
    if (exifBlock.isEmpty())
        return jpeg;
    QByteArray segment("\xFF\xE1", 2);
    const qsizetype length = 2 + 6 + exifBlock.size();
    segment.append(char(length >> 8));
    segment.append(char(length & 0xff));
    segment.append(QByteArray("Exif\0\0", 6));
    segment.append(exifBlock);
    return jpeg.insert(2, segment);
}

QImage QuadrantPicture(int width, int height, bool alpha)
{
    QImage image(width, height, alpha ? QImage::Format_ARGB32 : QImage::Format_RGB32);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const bool right = x >= width / 2, bottom = y >= height / 2;
            QColor colour = bottom ? (right ? QColor(230, 210, 30) : QColor(30, 40, 220))
                                   : (right ? QColor(40, 200, 40) : QColor(220, 30, 30));
            if (alpha && right)
                colour.setAlpha(128);
            image.setPixelColor(x, y, colour);
        }
    }
    return image;
}

} // namespace PwTest
