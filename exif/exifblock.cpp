#include "exif/exifblock.h"

#include <cstdint>
#include <cstring>
#include <memory>

#ifdef PW_WITH_HEIF
#include <libheif/heif.h>
#endif

namespace Pw {

namespace {

bool startsWith(const unsigned char *data, size_t size, const char *prefix, size_t length)
{
    return size >= length && std::memcmp(data, prefix, length) == 0;
}

uint32_t littleEndian32(const unsigned char *p)
{
    return uint32_t(p[0]) | (uint32_t(p[1]) << 8) | (uint32_t(p[2]) << 16) | (uint32_t(p[3]) << 24);
}

// Some writers put the JPEG APP1 identifier in front of the TIFF structure; the block does not
// include it.
std::string withoutExifPrefix(std::string block)
{
    if (block.compare(0, 6, std::string("Exif\0\0", 6)) == 0)
        block.erase(0, 6);
    return block;
}

// RIFF chunks after "RIFF" size "WEBP": fourcc, little-endian size, data padded to even length.
std::string webpExif(const unsigned char *data, size_t size)
{
    size_t at = 12;
    while (at + 8 <= size) {
        const uint32_t length = littleEndian32(data + at + 4);
        if (length > size - at - 8)
            return {}; // cut short: the chunk is not all there
        if (std::memcmp(data + at, "EXIF", 4) == 0)
            return withoutExifPrefix(
                    std::string(reinterpret_cast<const char *>(data + at + 8), length));
        at += 8 + size_t(length) + (length & 1);
    }
    return {};
}

#ifdef PW_WITH_HEIF
uint32_t bigEndian32(const unsigned char *p)
{
    return (uint32_t(p[0]) << 24) | (uint32_t(p[1]) << 16) | (uint32_t(p[2]) << 8) | uint32_t(p[3]);
}

std::string heifExif(const unsigned char *data, size_t size)
{
    const std::unique_ptr<heif_context, void (*)(heif_context *)> context(heif_context_alloc(),
                                                                          heif_context_free);
    if (!context
        || heif_context_read_from_memory_without_copy(context.get(), data, size, nullptr).code
                   != heif_error_Ok)
        return {};
    heif_image_handle *raw = nullptr;
    if (heif_context_get_primary_image_handle(context.get(), &raw).code != heif_error_Ok)
        return {};
    const std::unique_ptr<heif_image_handle, void (*)(const heif_image_handle *)> handle(
            raw, heif_image_handle_release);
    heif_item_id id = 0;
    if (heif_image_handle_get_list_of_metadata_block_IDs(handle.get(), "Exif", &id, 1) < 1)
        return {};
    const size_t length = heif_image_handle_get_metadata_size(handle.get(), id);
    if (length < 4 || length > size)
        return {};
    std::string block(length, '\0');
    if (heif_image_handle_get_metadata(handle.get(), id, block.data()).code != heif_error_Ok)
        return {};
    // The item starts with the offset of the TIFF header after these four bytes.
    const uint32_t skip = bigEndian32(reinterpret_cast<const unsigned char *>(block.data()));
    if (skip > length - 4)
        return {};
    return withoutExifPrefix(block.substr(4 + skip));
}
#endif

} // namespace

bool LooksLikeTiff(const unsigned char *data, size_t size)
{
    return startsWith(data, size, "II*\0", 4) || startsWith(data, size, "MM\0*", 4);
}

bool IsExifContainer(const unsigned char *data, size_t size)
{
    return data
           && (LooksLikeTiff(data, size)
               || (size >= 12 && std::memcmp(data, "RIFF", 4) == 0
                   && std::memcmp(data + 8, "WEBP", 4) == 0)
               || (size >= 12 && std::memcmp(data + 4, "ftyp", 4) == 0));
}

std::string ExifBlockOfFile(const unsigned char *data, size_t size)
{
    try {
        if (!data)
            return {};
        if (LooksLikeTiff(data, size))
            return std::string(reinterpret_cast<const char *>(data), size);
        if (startsWith(data, size, "RIFF", 4) && size >= 12
            && std::memcmp(data + 8, "WEBP", 4) == 0)
            return webpExif(data, size);
#ifdef PW_WITH_HEIF
        if (size >= 12 && std::memcmp(data + 4, "ftyp", 4) == 0)
            return heifExif(data, size);
#endif
        return {};
    } catch (const std::exception &) {
        return {};
    }
}

} // namespace Pw
