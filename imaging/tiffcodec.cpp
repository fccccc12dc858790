#include "imaging/tiffcodec.h"

#include "platform/nativefile.h"

#include <tiffio.h>

#include <cstdarg>
#include <memory>

#include <unistd.h>

namespace Pw::Tiff {

namespace {

// libtiff's messages would go to stderr for every damaged file; the reason reaches the report.
int quiet(TIFF *, void *, const char *, const char *, va_list)
{
    return 1;
}

void quietGlobalHandlersOnce()
{
    static const bool done = [] {
        TIFFSetErrorHandler(nullptr);
        TIFFSetWarningHandler(nullptr);
        return true;
    }();
    Q_UNUSED(done);
}

struct TiffCloser
{
    void operator()(TIFF *tiff) const { TIFFClose(tiff); }
};
using TiffPtr = std::unique_ptr<TIFF, TiffCloser>;

// The first page, read through the non-blocking door and without mapping the file (a file cut
// short while mapped would end the program).
TiffPtr open(const QString &file)
{
    quietGlobalHandlersOnce();
    const int fd = OpenRegularFile(file);
    if (fd < 0)
        return nullptr;
    TIFFOpenOptions *options = TIFFOpenOptionsAlloc();
    TIFFOpenOptionsSetErrorHandlerExtR(options, quiet, nullptr);
    TIFFOpenOptionsSetWarningHandlerExtR(options, quiet, nullptr);
    // A single allocation beyond the largest picture the service decodes is damage.
    TIFFOpenOptionsSetMaxSingleMemAlloc(options, tmsize_t(1) << 30);
    TIFF *tiff = TIFFFdOpenExt(fd, "picture", "rm", options);
    TIFFOpenOptionsFree(options);
    if (!tiff)
        ::close(fd);
    return TiffPtr(tiff);
}

bool swapsAxes(int orientation)
{
    return orientation >= 5;
}

// TIFFRGBAImage with its put routines wrapped, to learn how far the rows got when a strip or
// tile fails to read. The state is the first member, so libtiff's pointer leads back here.
struct TrackedReader
{
    TIFFRGBAImage state;
    tileContigRoutine contig = nullptr;
    tileSeparateRoutine separate = nullptr;
    uint32_t rowsDone = 0;

    static TrackedReader *of(TIFFRGBAImage *state)
    {
        return reinterpret_cast<TrackedReader *>(state);
    }

    static void putContig(TIFFRGBAImage *state, uint32_t *raster, uint32_t x, uint32_t y,
                          uint32_t w, uint32_t h, int32_t fromSkew, int32_t toSkew,
                          unsigned char *pixels)
    {
        TrackedReader *reader = of(state);
        reader->contig(state, raster, x, y, w, h, fromSkew, toSkew, pixels);
        reader->rowsDone = std::max(reader->rowsDone, y + h);
    }

    static void putSeparate(TIFFRGBAImage *state, uint32_t *raster, uint32_t x, uint32_t y,
                            uint32_t w, uint32_t h, int32_t fromSkew, int32_t toSkew,
                            unsigned char *r, unsigned char *g, unsigned char *b, unsigned char *a)
    {
        TrackedReader *reader = of(state);
        reader->separate(state, raster, x, y, w, h, fromSkew, toSkew, r, g, b, a);
        reader->rowsDone = std::max(reader->rowsDone, y + h);
    }
};
static_assert(std::is_standard_layout_v<TrackedReader>);

QByteArray iccOf(TIFF *tiff)
{
    uint32_t size = 0;
    void *profile = nullptr;
    if (TIFFGetField(tiff, TIFFTAG_ICCPROFILE, &size, &profile) != 1 || !profile || size == 0)
        return {};
    return QByteArray(static_cast<const char *>(profile), qsizetype(size));
}

Codec::Info failedInfo(Codec::Status status)
{
    Codec::Info info;
    info.status = status;
    info.error = status == Codec::Status::Unsupported ? Codec::UnsupportedText(Codec::Kind::Tiff)
                                                      : Codec::DamagedText(Codec::Kind::Tiff);
    return info;
}

} // namespace

Codec::Info ReadInfo(const QString &file)
{
    const TiffPtr tiff = open(file);
    if (!tiff)
        return failedInfo(Codec::Status::Damaged);
    uint32_t width = 0, height = 0;
    uint16_t orientation = ORIENTATION_TOPLEFT;
    TIFFGetField(tiff.get(), TIFFTAG_IMAGEWIDTH, &width);
    TIFFGetField(tiff.get(), TIFFTAG_IMAGELENGTH, &height);
    TIFFGetFieldDefaulted(tiff.get(), TIFFTAG_ORIENTATION, &orientation);
    if (width < 1 || height < 1 || width > INT_MAX || height > INT_MAX)
        return failedInfo(Codec::Status::Damaged);
    char message[1024] = {};
    if (!TIFFRGBAImageOK(tiff.get(), message))
        return failedInfo(Codec::Status::Unsupported);
    uint16_t extraCount = 0;
    uint16_t *extraKinds = nullptr;
    TIFFGetFieldDefaulted(tiff.get(), TIFFTAG_EXTRASAMPLES, &extraCount, &extraKinds);
    Codec::Info info;
    info.status = Codec::Status::Ok;
    info.width = int(swapsAxes(orientation) ? height : width);
    info.height = int(swapsAxes(orientation) ? width : height);
    info.hasAlpha = extraCount > 0;
    return info;
}

Codec::Picture Decode(const QString &file)
{
    Codec::Picture picture;
    const TiffPtr tiff = open(file);
    const auto fail = [&picture](Codec::Status status) {
        picture.status = status;
        picture.image = QImage();
        picture.error = status == Codec::Status::Unsupported
                                ? Codec::UnsupportedText(Codec::Kind::Tiff)
                                : Codec::DamagedText(Codec::Kind::Tiff);
        return picture;
    };
    if (!tiff)
        return fail(Codec::Status::Damaged);
    char message[1024] = {};
    if (!TIFFRGBAImageOK(tiff.get(), message))
        return fail(Codec::Status::Unsupported);
    picture.iccProfile = iccOf(tiff.get());

    TrackedReader reader;
    if (!TIFFRGBAImageBegin(&reader.state, tiff.get(), 1, message))
        return fail(Codec::Status::Unsupported);
    const uint32_t width = reader.state.width, height = reader.state.height;
    const int orientation = reader.state.orientation;
    // Rows as stored: the orientation is applied afterwards, all eight of them alike.
    reader.state.req_orientation = reader.state.orientation;
    if (reader.state.isContig) {
        reader.contig = reader.state.put.contig;
        reader.state.put.contig = &TrackedReader::putContig;
    } else {
        reader.separate = reader.state.put.separate;
        reader.state.put.separate = &TrackedReader::putSeparate;
    }
    picture.sourceWidth = int(swapsAxes(orientation) ? height : width);
    picture.sourceHeight = int(swapsAxes(orientation) ? width : height);
    const bool alpha = reader.state.alpha != 0;
    // libtiff writes R, G, B, A bytes with alpha associated.
    QImage stored(int(width), int(height),
                  alpha ? QImage::Format_RGBA8888_Premultiplied : QImage::Format_RGBX8888);
    if (stored.isNull() || stored.bytesPerLine() != qsizetype(width) * 4) {
        TIFFRGBAImageEnd(&reader.state);
        return fail(Codec::Status::Damaged);
    }
    stored.fill(Qt::transparent);
    const int complete = TIFFRGBAImageGet(
            &reader.state, reinterpret_cast<uint32_t *>(stored.bits()), width, height);
    TIFFRGBAImageEnd(&reader.state);
    if (!complete) {
        if (reader.rowsDone == 0)
            return fail(Codec::Status::Damaged);
        // The rows below the last one read repeat it, as a JPEG that breaks off does.
        for (uint32_t y = reader.rowsDone; y < height; ++y)
            std::memcpy(stored.scanLine(int(y)), stored.constScanLine(int(reader.rowsDone) - 1),
                        size_t(width) * 4);
        picture.status = Codec::Status::Incomplete;
        picture.error = Codec::IncompleteText();
    } else {
        picture.status = Codec::Status::Ok;
    }
    stored.convertTo(alpha ? QImage::Format_ARGB32_Premultiplied : QImage::Format_RGB32);
    picture.image = Codec::Upright(stored, orientation);
    return picture;
}

} // namespace Pw::Tiff
