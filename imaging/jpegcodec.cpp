#include "imaging/jpegcodec.h"

#include "imaging/colourprofile.h"

#include "platform/nativefile.h"

#include <QFile>

#include <algorithm>
#include <csetjmp>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>

#include <unistd.h>

#include <jerror.h>
#include <jpeglib.h>

namespace Pw::Jpeg {

namespace {

struct ErrorManager
{
    jpeg_error_mgr pub;
    std::jmp_buf jump;
    bool damaged = false; // the data stopped early or went bad somewhere
};

[[noreturn]] void onError(j_common_ptr info)
{
    std::longjmp(reinterpret_cast<ErrorManager *>(info->err)->jump, 1);
}

// Warnings (a truncated file, a bad Huffman code, "Corrupt JPEG data") are expected: the decoder
// carries on and the picture shows as far as the data goes, with grey or smeared blocks where it
// went bad, which must not pass for a complete picture. Only the warnings about the file's
// extras, not its pixels, leave the picture whole.
void onMessage(j_common_ptr info, int level)
{
    if (level >= 0)
        return; // trace messages
    const int code = info->err->msg_code;
    if (code == JWRN_ADOBE_XFORM || code == JWRN_BOGUS_ICC || code == JWRN_JFIF_MAJOR)
        return;
    reinterpret_cast<ErrorManager *>(info->err)->damaged = true;
}

// Reads TIFF integers of either byte order without ever leaving [data, data + size).
class TiffReader
{
public:
    TiffReader(const uint8_t *data, size_t size, bool littleEndian)
        : m_data(data)
        , m_size(size)
        , m_little(littleEndian)
    {}
    bool u16(size_t offset, uint32_t *value) const
    {
        if (offset > m_size || m_size - offset < 2)
            return false;
        const uint8_t *p = m_data + offset;
        *value = m_little ? uint32_t(p[0] | p[1] << 8) : uint32_t(p[0] << 8 | p[1]);
        return true;
    }
    bool u32(size_t offset, uint32_t *value) const
    {
        if (offset > m_size || m_size - offset < 4)
            return false;
        const uint8_t *p = m_data + offset;
        *value = m_little ? uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16
                                    | uint32_t(p[3]) << 24
                          : uint32_t(p[0]) << 24 | uint32_t(p[1]) << 16 | uint32_t(p[2]) << 8
                                    | uint32_t(p[3]);
        return true;
    }

private:
    const uint8_t *m_data;
    size_t m_size;
    bool m_little;
};

void cmykToBgra(const uint8_t *cmyk, uint8_t *bgra, int width, bool inverted)
{
    // Adobe's writers store CMYK inverted (0 = full ink); plain CMYK stores ink amounts.
    for (int x = 0; x < width; ++x, cmyk += 4, bgra += 4) {
        int c = cmyk[0], m = cmyk[1], y = cmyk[2], k = cmyk[3];
        if (!inverted) {
            c = 255 - c;
            m = 255 - m;
            y = 255 - y;
            k = 255 - k;
        }
        bgra[0] = uint8_t((y * k + 127) / 255);
        bgra[1] = uint8_t((m * k + 127) / 255);
        bgra[2] = uint8_t((c * k + 127) / 255);
        bgra[3] = 255;
    }
}

int orientationFromMarkers(jpeg_decompress_struct *cinfo)
{
    for (jpeg_saved_marker_ptr m = cinfo->marker_list; m; m = m->next) {
        if (m->marker == JPEG_APP0 + 1 && m->data_length >= 6
            && std::memcmp(m->data, "Exif\0\0", 6) == 0)
            return ExifOrientation(m->data, m->data_length);
    }
    return 1;
}

// The ICC profile of the APP2 chunks; a camera's DCF Adobe RGB file carries none, only Exif.
QByteArray colourProfileOf(jpeg_decompress_struct *cinfo)
{
    JOCTET *icc = nullptr;
    unsigned int size = 0;
    if (jpeg_read_icc_profile(cinfo, &icc, &size)) {
        const QByteArray profile(reinterpret_cast<const char *>(icc), qsizetype(size));
        std::free(icc);
        return profile;
    }
    QByteArray chunks; // chunks that do not assemble: kept, so the profile is reported unreadable
    for (jpeg_saved_marker_ptr m = cinfo->marker_list; m; m = m->next) {
        if (m->marker == JPEG_APP0 + 2 && m->data_length >= 14
            && std::memcmp(m->data, "ICC_PROFILE", 12) == 0)
            chunks.append(reinterpret_cast<const char *>(m->data) + 14, m->data_length - 14);
        else if (m->marker == JPEG_APP0 + 1 && chunks.isEmpty() && cinfo->num_components == 3
                 && ExifSaysAdobeRgb(m->data, m->data_length))
            return AdobeRgbProfile();
    }
    return chunks;
}

// libjpeg's stdio source with two changes. A larger buffer: a 20 MB photo takes a few hundred
// reads instead of five thousand. And once the file has ended, every further request gets the
// made-up end marker at once: the stdio source asks the file again each time, and a damaged
// stream can ask thousands of times.
struct FileSource
{
    jpeg_source_mgr pub;
    std::FILE *file;
    JOCTET *buffer;
    bool started;
    bool ended;
};

constexpr size_t kSourceBufferBytes = 64 * 1024;

void initSource(j_decompress_ptr) {}
void termSource(j_decompress_ptr) {}

boolean fillInput(j_decompress_ptr cinfo)
{
    auto *source = reinterpret_cast<FileSource *>(cinfo->src);
    size_t got = source->ended ? 0
                               : std::fread(source->buffer, 1, kSourceBufferBytes, source->file);
    if (got == 0) {
        if (!source->started)
            ERREXIT(cinfo, JERR_INPUT_EMPTY);
        source->ended = true;
        WARNMS(cinfo, JWRN_JPEG_EOF);
        source->buffer[0] = 0xFF;
        source->buffer[1] = JPEG_EOI;
        got = 2;
    }
    source->started = true;
    source->pub.next_input_byte = source->buffer;
    source->pub.bytes_in_buffer = got;
    return TRUE;
}

void skipInput(j_decompress_ptr cinfo, long count)
{
    jpeg_source_mgr *source = cinfo->src;
    if (count <= 0)
        return;
    while (size_t(count) > source->bytes_in_buffer) {
        count -= long(source->bytes_in_buffer);
        fillInput(cinfo);
    }
    source->next_input_byte += count;
    source->bytes_in_buffer -= size_t(count);
}

void readFrom(j_decompress_ptr cinfo, std::FILE *file)
{
    auto *source = static_cast<FileSource *>((*cinfo->mem->alloc_small)(
            reinterpret_cast<j_common_ptr>(cinfo), JPOOL_PERMANENT, sizeof(FileSource)));
    source->buffer = static_cast<JOCTET *>((*cinfo->mem->alloc_small)(
            reinterpret_cast<j_common_ptr>(cinfo), JPOOL_PERMANENT, kSourceBufferBytes));
    source->file = file;
    source->started = false;
    source->ended = false;
    source->pub.init_source = initSource;
    source->pub.fill_input_buffer = fillInput;
    source->pub.skip_input_data = skipInput;
    source->pub.resync_to_restart = jpeg_resync_to_restart;
    source->pub.term_source = termSource;
    source->pub.bytes_in_buffer = 0;
    source->pub.next_input_byte = nullptr;
    cinfo->src = &source->pub;
}

Decoded decodeStream(std::FILE *file, RowSink &sink)
{
    jpeg_decompress_struct cinfo;
    ErrorManager errors;
    cinfo.err = jpeg_std_error(&errors.pub);
    errors.pub.error_exit = onError;
    errors.pub.emit_message = onMessage;

    // Read after a longjmp, so kept out of registers.
    volatile int delivered = 0;
    volatile int wanted = 0;
    uint8_t *volatile lastRow = nullptr;
    // A longjmp skips the destructors of what was made after setjmp, so the header (its colour
    // profile is on the heap) is made before and only filled in after; the pointer itself never
    // changes once setjmp has run.
    const auto header = std::make_unique<Info>();

    if (setjmp(errors.jump)) {
        const bool started = lastRow != nullptr;
        if (started) {
            for (int i = delivered; i < wanted; ++i)
                sink.row(lastRow);
        }
        jpeg_destroy_decompress(&cinfo);
        return started ? Decoded::Partial : Decoded::Unreadable;
    }

    jpeg_create_decompress(&cinfo);
    readFrom(&cinfo, file);
    jpeg_save_markers(&cinfo, JPEG_APP0 + 1, 0xFFFF);
    jpeg_save_markers(&cinfo, JPEG_APP0 + 2, 0xFFFF);
    jpeg_read_header(&cinfo, TRUE);

    Info &info = *header;
    info.width = int(cinfo.image_width);
    info.height = int(cinfo.image_height);
    info.orientation = orientationFromMarkers(&cinfo);
    info.progressive = cinfo.progressive_mode != FALSE;
    info.components = cinfo.num_components;
    info.inks = cinfo.jpeg_color_space == JCS_CMYK || cinfo.jpeg_color_space == JCS_YCCK;
    info.invertedInks = cinfo.saw_Adobe_marker;
    info.iccProfile = colourProfileOf(&cinfo);
    const int scale = sink.scaleFor(info);
    if (scale == 0) {
        jpeg_destroy_decompress(&cinfo);
        return Decoded::Stopped;
    }

    const bool keepInks = info.inks && sink.keepsInks();
    const bool cmyk = info.inks && !keepInks; // turned into RGB here
    cinfo.out_color_space = info.inks ? JCS_CMYK : JCS_EXT_BGRA;
    cinfo.scale_num = 1;
    cinfo.scale_denom = unsigned(scale);
    cinfo.do_fancy_upsampling = sink.smoothChroma() ? TRUE : FALSE;
    jpeg_start_decompress(&cinfo);
    const int width = int(cinfo.output_width);
    const int height = int(cinfo.output_height);
    int first = 0;
    int count = height;
    if (!sink.begin(width, height, &first, &count)) {
        jpeg_destroy_decompress(&cinfo);
        return Decoded::Stopped;
    }
    first = std::clamp(first, 0, height);
    count = std::clamp(count, 0, height - first);

    JSAMPARRAY buffers = (*cinfo.mem->alloc_sarray)(reinterpret_cast<j_common_ptr>(&cinfo),
                                                    JPOOL_IMAGE, JDIMENSION(width) * 4 + 16, 2);
    // Rows lost before the first good one show as mid grey.
    std::memset(buffers[0], 0x80, size_t(width) * 4 + 16);
    for (int x = 0; x < width; ++x)
        buffers[0][x * 4 + 3] = 255;
    wanted = count;
    lastRow = buffers[0];

    if (first > 0)
        jpeg_skip_scanlines(&cinfo, JDIMENSION(first));
    const bool inverted = cinfo.saw_Adobe_marker;
    while (delivered < count) {
        uint8_t *bgra = sink.rowBuffer();
        if (!bgra)
            bgra = buffers[0];
        JSAMPROW target = cmyk ? buffers[1] : bgra;
        if (jpeg_read_scanlines(&cinfo, &target, 1) != 1)
            break;
        if (cmyk)
            cmykToBgra(buffers[1], bgra, width, inverted);
        sink.row(bgra);
        lastRow = bgra;
        delivered = delivered + 1;
    }
    for (int i = delivered; i < count; ++i)
        sink.row(lastRow);
    // Damage past the rows in hand (zeroed bytes, an end marker in the middle) only shows when
    // the rest of the data is read: skipped rows are entropy-decoded, not drawn.
    if (delivered == count && !errors.damaged) {
        const int left = height - first - count;
        if (left > 0)
            jpeg_skip_scanlines(&cinfo, JDIMENSION(left));
        jpeg_finish_decompress(&cinfo);
    }
    const bool complete = delivered == count && !errors.damaged;
    jpeg_destroy_decompress(&cinfo);
    return complete ? Decoded::Complete : Decoded::Partial;
}

class InfoSink : public RowSink
{
public:
    Info info;
    int scaleFor(const Info &header) override
    {
        info = header;
        return 0;
    }
    bool begin(int, int, int *, int *) override { return false; }
    void row(const uint8_t *) override {}
};

struct MemoryDestination
{
    unsigned char *buffer = nullptr;
    unsigned long size = 0;
};

bool encodeInto(const QImage &image, int quality, int dpi, bool optimizeHuffman,
                MemoryDestination *out)
{
    jpeg_compress_struct cinfo;
    ErrorManager errors;
    cinfo.err = jpeg_std_error(&errors.pub);
    errors.pub.error_exit = onError;
    errors.pub.emit_message = onMessage;
    if (setjmp(errors.jump)) {
        jpeg_destroy_compress(&cinfo);
        return false;
    }
    jpeg_create_compress(&cinfo);
    jpeg_mem_dest(&cinfo, &out->buffer, &out->size);
    cinfo.image_width = JDIMENSION(image.width());
    cinfo.image_height = JDIMENSION(image.height());
    cinfo.input_components = 4;
    cinfo.in_color_space = JCS_EXT_BGRX; // QImage::Format_RGB32 in memory on little-endian
    jpeg_set_defaults(&cinfo);           // YCbCr 4:2:0, JFIF header
    jpeg_set_quality(&cinfo, std::clamp(quality, 1, 100), TRUE);
    cinfo.optimize_coding = optimizeHuffman ? TRUE : FALSE;
    if (dpi > 0) {
        cinfo.density_unit = 1; // dots per inch
        cinfo.X_density = UINT16(std::min(dpi, 65535));
        cinfo.Y_density = UINT16(std::min(dpi, 65535));
    }
    jpeg_start_compress(&cinfo, TRUE);
    while (cinfo.next_scanline < cinfo.image_height) {
        JSAMPROW row = const_cast<uint8_t *>(image.constScanLine(int(cinfo.next_scanline)));
        jpeg_write_scanlines(&cinfo, &row, 1);
    }
    jpeg_finish_compress(&cinfo);
    jpeg_destroy_compress(&cinfo);
    return true;
}

} // namespace

// Not ExifReader: the picture service stands beside exif/, not on it (both sit on platform/
// only), and it needs one tag of IFD0 from the APP1 payload libjpeg already holds after the
// header read, where ExifReader reads the whole file again and walks every IFD. Both check
// every offset against the data before reading.
int ExifOrientation(const uint8_t *data, size_t size)
{
    if (!data || size < 6 + 8 || std::memcmp(data, "Exif\0\0", 6) != 0)
        return 1;
    const uint8_t *tiff = data + 6;
    const size_t tiffSize = size - 6;
    bool little;
    if (tiff[0] == 'I' && tiff[1] == 'I')
        little = true;
    else if (tiff[0] == 'M' && tiff[1] == 'M')
        little = false;
    else
        return 1;
    const TiffReader reader(tiff, tiffSize, little);
    uint32_t magic = 0, ifd = 0, entries = 0;
    if (!reader.u16(2, &magic) || magic != 42 || !reader.u32(4, &ifd) || !reader.u16(ifd, &entries))
        return 1;
    for (uint32_t i = 0; i < entries; ++i) {
        const size_t entry = size_t(ifd) + 2 + size_t(i) * 12;
        uint32_t tag = 0, type = 0, count = 0, value = 0;
        if (!reader.u16(entry, &tag) || !reader.u16(entry + 2, &type)
            || !reader.u32(entry + 4, &count))
            return 1;
        if (tag != 0x0112)
            continue;
        if (type != 3 || count != 1 || !reader.u16(entry + 8, &value))
            return 1;
        return value >= 1 && value <= 8 ? int(value) : 1;
    }
    return 1;
}

bool LooksLikeJpeg(const QString &file)
{
    QFile f;
    if (!OpenRegularFile(f, file))
        return false;
    const QByteArray head = f.read(3);
    return head.size() == 3 && uint8_t(head[0]) == 0xFF && uint8_t(head[1]) == 0xD8
           && uint8_t(head[2]) == 0xFF;
}

Decoded Decode(const QString &file, RowSink &sink)
{
    const int fd = OpenRegularFile(file);
    if (fd < 0)
        return Decoded::Unreadable;
    std::FILE *f = ::fdopen(fd, "rb");
    if (!f) {
        ::close(fd);
        return Decoded::Unreadable;
    }
    const Decoded result = decodeStream(f, sink);
    std::fclose(f);
    return result;
}

bool ReadInfo(const QString &file, Info *info)
{
    InfoSink sink;
    if (Decode(file, sink) != Decoded::Stopped || sink.info.width < 1 || sink.info.height < 1)
        return false;
    *info = sink.info;
    return true;
}

QByteArray Encode(const QImage &rgb32, int quality, int dpi, bool optimizeHuffman)
{
    if (rgb32.isNull() || rgb32.format() != QImage::Format_RGB32)
        return {};
    MemoryDestination out;
    QByteArray result;
    if (encodeInto(rgb32, quality, dpi, optimizeHuffman, &out) && out.buffer)
        result = QByteArray(reinterpret_cast<const char *>(out.buffer), qsizetype(out.size));
    std::free(out.buffer);
    return result;
}

} // namespace Pw::Jpeg
