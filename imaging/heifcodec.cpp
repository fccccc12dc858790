#include "imaging/heifcodec.h"

#include "imaging/heifsizecheck.h"

#include <libheif/heif.h>

#include <memory>

namespace Pw::Heif {

namespace {

// HEIF files are parsed from memory; a real photo is a few megabytes.
constexpr qint64 kMaxFileBytes = qint64(512) << 20;

// Encoders code whole blocks (up to 64 x 64 in HEVC), so a coded frame may be this much larger
// on each side than the picture stored in it.
constexpr qint64 kCodingBlockAllowance = 64;

struct ContextDeleter
{
    void operator()(heif_context *context) const { heif_context_free(context); }
};
struct HandleDeleter
{
    void operator()(heif_image_handle *handle) const { heif_image_handle_release(handle); }
};
struct ImageDeleter
{
    void operator()(heif_image *image) const { heif_image_release(image); }
};
struct OptionsDeleter
{
    void operator()(heif_decoding_options *options) const { heif_decoding_options_free(options); }
};

Codec::Status statusOf(const heif_error &error)
{
    switch (error.code) {
    case heif_error_Ok:
        return Codec::Status::Ok;
    case heif_error_Unsupported_filetype:
    case heif_error_Unsupported_feature:
        return Codec::Status::Unsupported;
    default:
        return Codec::Status::Damaged;
    }
}

QString textOf(Codec::Status status, Codec::Kind kind)
{
    return status == Codec::Status::Unsupported ? Codec::UnsupportedText(kind)
                                                : Codec::DamagedText(kind);
}

// The parsed file and its primary image; the bytes stay alive as long as the context reads them.
struct Opened
{
    QByteArray bytes;
    std::unique_ptr<heif_context, ContextDeleter> context;
    std::unique_ptr<heif_image_handle, HandleDeleter> handle;
    Codec::Status status = Codec::Status::Damaged;
};

void initialiseOnce()
{
    static const bool initialised = [] {
        heif_init(nullptr);
        return true;
    }();
    Q_UNUSED(initialised);
}

// libheif makes its frames as large as the file's grid, overlay and HEVC parameter sets say,
// while the memory estimate comes from the primary image's size: a file claiming more than that
// size (and its coding blocks) holds is refused before anything is decoded.
bool claimsFitThePicture(const QByteArray &bytes, const heif_image_handle *handle)
{
    const qint64 width = heif_image_handle_get_width(handle);
    const qint64 height = heif_image_handle_get_height(handle);
    if (width < 1 || height < 1)
        return false;
    const qint64 claimed = LargestClaimedPixels(bytes);
    return claimed >= 0
           && claimed <= (width + kCodingBlockAllowance) * (height + kCodingBlockAllowance);
}

Opened open(const QString &file)
{
    initialiseOnce();
    Opened opened;
    opened.bytes = Codec::ReadWholeFile(file, kMaxFileBytes);
    if (opened.bytes.isEmpty())
        return opened;
    opened.context.reset(heif_context_alloc());
    if (!opened.context)
        return opened;
    heif_error error = heif_context_read_from_memory_without_copy(
            opened.context.get(), opened.bytes.constData(), size_t(opened.bytes.size()), nullptr);
    if (error.code == heif_error_Ok) {
        heif_image_handle *handle = nullptr;
        error = heif_context_get_primary_image_handle(opened.context.get(), &handle);
        opened.handle.reset(handle);
    }
    opened.status = statusOf(error);
    if (opened.status == Codec::Status::Ok
        && !claimsFitThePicture(opened.bytes, opened.handle.get()))
        opened.status = Codec::Status::Damaged;
    return opened;
}

QByteArray exifOf(const heif_image_handle *handle)
{
    heif_item_id id = 0;
    if (heif_image_handle_get_list_of_metadata_block_IDs(handle, "Exif", &id, 1) < 1)
        return {};
    const size_t size = heif_image_handle_get_metadata_size(handle, id);
    if (size < 4 || size > (size_t(64) << 20))
        return {};
    QByteArray block(qsizetype(size), Qt::Uninitialized);
    if (heif_image_handle_get_metadata(handle, id, block.data()).code != heif_error_Ok)
        return {};
    // The block starts with the offset of the TIFF header after these four bytes.
    const auto *b = reinterpret_cast<const uchar *>(block.constData());
    const quint32 skip = (quint32(b[0]) << 24) | (quint32(b[1]) << 16) | (quint32(b[2]) << 8)
                         | b[3];
    if (skip > size - 4)
        return {};
    return block.mid(4 + qsizetype(skip));
}

QByteArray iccOf(const heif_image_handle *handle)
{
    const heif_color_profile_type type = heif_image_handle_get_color_profile_type(handle);
    if (type != heif_color_profile_type_prof && type != heif_color_profile_type_rICC)
        return {};
    const size_t size = heif_image_handle_get_raw_color_profile_size(handle);
    if (size == 0 || size > (size_t(16) << 20))
        return {};
    QByteArray profile(qsizetype(size), Qt::Uninitialized);
    if (heif_image_handle_get_raw_color_profile(handle, profile.data()).code != heif_error_Ok)
        return {};
    return profile;
}

// The interleaved 8-bit planes as a QImage of their own.
QImage toQImage(const heif_image *image, bool alpha, bool premultiplied)
{
    int stride = 0;
    const uint8_t *plane = heif_image_get_plane_readonly(image, heif_channel_interleaved, &stride);
    const int width = heif_image_get_width(image, heif_channel_interleaved);
    const int height = heif_image_get_height(image, heif_channel_interleaved);
    if (!plane || width < 1 || height < 1)
        return {};
    const QImage::Format format = !alpha          ? QImage::Format_RGB888
                                  : premultiplied ? QImage::Format_RGBA8888_Premultiplied
                                                  : QImage::Format_RGBA8888;
    const QImage view(plane, width, height, stride, format);
    return view.convertToFormat(alpha ? QImage::Format_ARGB32_Premultiplied : QImage::Format_RGB32);
}

} // namespace

Codec::Info ReadInfo(Codec::Kind kind, const QString &file)
{
    Codec::Info info;
    const Opened opened = open(file);
    info.status = opened.status;
    if (opened.status != Codec::Status::Ok) {
        info.error = textOf(opened.status, kind);
        return info;
    }
    // The handle's size is the one after the file's rotation and cropping.
    info.width = heif_image_handle_get_width(opened.handle.get());
    info.height = heif_image_handle_get_height(opened.handle.get());
    info.hasAlpha = heif_image_handle_has_alpha_channel(opened.handle.get()) != 0;
    if (info.width < 1 || info.height < 1) {
        info.status = Codec::Status::Damaged;
        info.error = Codec::DamagedText(kind);
    }
    return info;
}

Codec::Picture Decode(Codec::Kind kind, const QString &file)
{
    Codec::Picture picture;
    const Opened opened = open(file);
    picture.status = opened.status;
    if (opened.status != Codec::Status::Ok) {
        picture.error = textOf(opened.status, kind);
        return picture;
    }
    const heif_image_handle *handle = opened.handle.get();
    picture.sourceWidth = heif_image_handle_get_width(handle);
    picture.sourceHeight = heif_image_handle_get_height(handle);
    picture.exif = exifOf(handle);
    picture.iccProfile = iccOf(handle);
    const bool alpha = heif_image_handle_has_alpha_channel(handle) != 0;

    const std::unique_ptr<heif_decoding_options, OptionsDeleter> options(
            heif_decoding_options_alloc());
    options->convert_hdr_to_8bit = 1;
    options->ignore_transformations = 0;
    heif_image *decoded = nullptr;
    const heif_error error = heif_decode_image(
            handle, &decoded, heif_colorspace_RGB,
            alpha ? heif_chroma_interleaved_RGBA : heif_chroma_interleaved_RGB, options.get());
    const std::unique_ptr<heif_image, ImageDeleter> image(decoded);
    picture.status = statusOf(error);
    if (picture.status == Codec::Status::Ok && image) {
        picture.image = toQImage(image.get(), alpha,
                                 heif_image_handle_is_premultiplied_alpha(handle) != 0);
        if (picture.image.isNull())
            picture.status = Codec::Status::Damaged;
    }
    if (picture.status != Codec::Status::Ok)
        picture.error = textOf(picture.status, kind);
    return picture;
}

} // namespace Pw::Heif
