#include "imaging/pictureservice.h"

#include "imaging/codecpicture.h"
#include "imaging/colourprofile.h"
#include "imaging/jpegcodec.h"
#include "imaging/pixeldata.h"
#include "imaging/pngprofile.h"
#include "imaging/resampler.h"
#include "platform/bytepaths.h"
#include "platform/nativefile.h"
#include "platform/systemerror.h"

#include <QBuffer>
#include <QColorSpace>
#include <QCoreApplication>
#include <QFile>
#include <QImageReader>
#include <QPainter>
#include <QRandomGenerator>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <memory>

#include <fcntl.h>
#include <unistd.h>

namespace Pw {

namespace {

// The translation context of this file's texts.
struct PictureText
{
    Q_DECLARE_TR_FUNCTIONS(Pw::PictureService)
};

QString noWidth()
{
    return PictureText::tr("无法取得宽");
}
QString noHeight()
{
    return PictureText::tr("无法取得高");
}
QString drawFailed()
{
    return PictureText::tr("显示失败!");
}
QString createFailed()
{
    return PictureText::tr("创建失败");
}
QString tooLarge()
{
    return PictureText::tr("图片太大，解码后超过1 GB内存，无法载入");
}
QString incomplete()
{
    return PictureText::tr("图片数据不完整");
}

// A decoded picture beyond this many bytes is refused before decoding.
constexpr qint64 kMaxDecodedBytes = qint64(1) << 30;

// Divided rather than multiplied: a header may claim sides whose product overflows.
bool overLimit(qint64 width, qint64 height)
{
    return width > 0 && height > kMaxDecodedBytes / 4 / width;
}

// Qt's readers refuse anything over 128 MB by default, which a 50-megapixel photo passes.
void raiseReaderLimit()
{
    static const bool raised = [] {
        QImageReader::setAllocationLimit(int(kMaxDecodedBytes >> 20) + 64);
        return true;
    }();
    Q_UNUSED(raised);
}

bool swapsAxes(int orientation)
{
    return orientation >= 5;
}

// The rectangle of the stored picture (sw x sh, before orientation) that shows as `upright`.
QRect storedRect(const QRect &upright, int orientation, int sw, int sh)
{
    const int x = upright.x(), y = upright.y(), w = upright.width(), h = upright.height();
    switch (orientation) {
    case 2:
        return {sw - x - w, y, w, h};
    case 3:
        return {sw - x - w, sh - y - h, w, h};
    case 4:
        return {x, sh - y - h, w, h};
    case 5:
        return {y, x, h, w};
    case 6:
        return {y, sh - x - w, h, w};
    case 7:
        return {sw - y - h, sh - x - w, h, w};
    case 8:
        return {sw - y - h, x, h, w};
    default:
        return upright;
    }
}

// Turns a picture as stored into the picture as seen.
QImage applyOrientation(const QImage &stored, int orientation)
{
    if (orientation < 2 || orientation > 8)
        return stored;
    const int sw = stored.width(), sh = stored.height();
    const bool swap = swapsAxes(orientation);
    QImage upright(swap ? sh : sw, swap ? sw : sh, stored.format());
    if (upright.isNull())
        return {};
    // Upright (x, y) reads stored (a x + b y + c, d x + e y + f): one step per output pixel and
    // one per output row through the stored pixels.
    int a = 1, b = 0, c = 0, d = 0, e = 1, f = 0;
    switch (orientation) {
    case 2:
        a = -1, c = sw - 1;
        break;
    case 3:
        a = -1, c = sw - 1, e = -1, f = sh - 1;
        break;
    case 4:
        e = -1, f = sh - 1;
        break;
    case 5:
        a = 0, b = 1, d = 1, e = 0;
        break;
    case 6:
        a = 0, b = 1, d = -1, e = 0, f = sh - 1;
        break;
    case 7:
        a = 0, b = -1, c = sw - 1, d = -1, e = 0, f = sh - 1;
        break;
    case 8:
        a = 0, b = -1, c = sw - 1, d = 1, e = 0;
        break;
    }
    const auto *pixels = reinterpret_cast<const QRgb *>(stored.constBits());
    const ptrdiff_t line = stored.bytesPerLine() / 4;
    const ptrdiff_t stepX = d * line + a, stepY = e * line + b;
    const ptrdiff_t origin = f * line + c;
    for (int y = 0; y < upright.height(); ++y) {
        auto *out = reinterpret_cast<QRgb *>(upright.scanLine(y));
        ptrdiff_t at = origin + y * stepY;
        for (int x = 0; x < upright.width(); ++x, at += stepX)
            out[x] = pixels[at];
    }
    return upright;
}

enum class Load { Ok, Unreadable, TooLarge, NotRegular };

struct Header
{
    Load status = Load::Unreadable;
    bool jpeg = false;
    Codec::Kind codec = Codec::Kind::None; // HEIC, AVIF, WebP or TIFF through its own decoder
    QString reason;                        // why the file cannot be read, when known
    int width = 0;                         // upright
    int height = 0;
    int orientation = 1;
    bool progressive = false;
    int components = 3;
};

Codec::Kind sniffCodec(const QString &file)
{
    QFile device;
    if (!OpenRegularFile(device, file))
        return Codec::Kind::None;
    return Codec::SniffKind(device.read(Codec::kSniffBytes));
}

Header readHeader(const QString &file)
{
    Header header;
    {
        QString error;
        const int fd = OpenRegularFile(file, &error);
        if (fd < 0) {
            if (error == NotRegularFileMessage())
                header.status = Load::NotRegular;
            return header;
        }
        ::close(fd);
    }
    if (Jpeg::LooksLikeJpeg(file)) {
        Jpeg::Info info;
        if (!Jpeg::ReadInfo(file, &info))
            return header;
        header.jpeg = true;
        header.orientation = info.orientation;
        header.progressive = info.progressive;
        header.components = info.components;
        header.width = swapsAxes(info.orientation) ? info.height : info.width;
        header.height = swapsAxes(info.orientation) ? info.width : info.height;
    } else if (const Codec::Kind kind = sniffCodec(file); Codec::IsBuiltIn(kind)) {
        const Codec::Info info = Codec::ReadInfo(kind, file);
        if (info.status != Codec::Status::Ok) {
            header.reason = info.error;
            return header;
        }
        header.codec = kind;
        header.width = info.width;
        header.height = info.height;
    } else {
        raiseReaderLimit();
        QFile device;
        if (!OpenRegularFile(device, file))
            return header;
        QImageReader reader(&device);
        reader.setDecideFormatFromContent(true);
        reader.setAutoTransform(true);
        QSize size = reader.size();
        if (size.isValid()) {
            if (reader.transformation() & QImageIOHandler::TransformationRotate90)
                size.transpose();
        } else if (reader.canRead()) {
            // A reader that cannot tell the size from the header: decode to find out (already
            // upright; Qt's own allocation limit still guards this).
            size = reader.read().size();
        }
        if (!size.isValid() || size.isEmpty()) {
            // A format this build has no decoder for (and Qt no reader): say so.
            if (kind != Codec::Kind::None)
                header.reason = Codec::UnsupportedText(kind);
            return header;
        }
        header.width = size.width();
        header.height = size.height();
    }
    header.status = overLimit(header.width, header.height) ? Load::TooLarge : Load::Ok;
    return header;
}

// Chooses the DCT reduction for drawing a stored w x h picture at tw x th: 1/2, 1/4 or 1/8 only,
// and only while the reduced picture stays at least 1.25x the drawn size, so the resampler still
// has real pixels to work with (reducing straight to the drawn size visibly softens the result).
int dctScale(int w, int h, int tw, int th)
{
    for (int d : {8, 4, 2}) {
        const double rw = (w + d - 1) / d; // libjpeg rounds the reduced size up
        const double rh = (h + d - 1) / d;
        if (rw >= 1.25 * tw && rh >= 1.25 * th)
            return d;
    }
    return 1;
}

// Receives the decoded rows of one stored rectangle and resamples them to the stored-orientation
// output while decoding.
class ResampleSink : public Jpeg::RowSink
{
public:
    ResampleSink(const QRect &upright, QSize uprightDest, bool whole)
        : m_upright(upright)
        , m_dest(uprightDest)
        , m_whole(whole)
    {}

    int scaleFor(const Jpeg::Info &info) override
    {
        m_info = info;
        if (overLimit(info.width, info.height))
            return 0;
        m_rect = storedRect(m_upright, info.orientation, info.width, info.height);
        m_rect = m_rect.intersected(QRect(0, 0, info.width, info.height));
        if (m_rect.isEmpty())
            return 0;
        m_storedDest = swapsAxes(info.orientation) ? m_dest.transposed() : m_dest;
        const int scale = m_whole ? dctScale(info.width, info.height, m_storedDest.width(),
                                             m_storedDest.height())
                                  : 1;
        // The output is stored 4:2:0 again; once the picture shrinks by 1.25x or more after
        // decoding, smooth chroma upsampling no longer shows (measured: same SSIM, faster).
        const double reducedW = double(m_rect.width()) / scale;
        const double reducedH = double(m_rect.height()) / scale;
        m_smoothChroma = reducedW < 1.25 * m_storedDest.width()
                         || reducedH < 1.25 * m_storedDest.height();
        return scale;
    }

    bool smoothChroma() const override { return m_smoothChroma; }

    bool keepsInks() const override { return m_info.inks && IsCmykProfile(m_info.iccProfile); }
    const QByteArray &colourProfile() const { return m_info.iccProfile; }
    // A CMYK picture whose profile is not a CMYK one: its inks were turned into RGB plainly.
    bool profileDoesNotFit() const
    {
        return m_info.inks && !m_info.iccProfile.isEmpty() && !keepsInks();
    }
    PixelData pixelData() const
    {
        if (!keepsInks())
            return PixelData::Rgb;
        return m_info.invertedInks ? PixelData::AdobeCmyk : PixelData::Cmyk;
    }

    bool begin(int width, int height, int *firstRow, int *rowCount) override
    {
        if (m_whole)
            m_rect = QRect(0, 0, width, height);
        m_output = QImage(m_storedDest, QImage::Format_RGB32);
        if (m_output.isNull())
            return false;
        m_resampler = std::make_unique<StreamResampler>(m_rect.width(), m_rect.height(), &m_output,
                                                        width, m_rect.x());
        *firstRow = m_rect.y();
        *rowCount = m_rect.height();
        return true;
    }

    uint8_t *rowBuffer() override { return m_resampler->rowBuffer(); }

    void row(const uint8_t *pixels) override { m_resampler->pushRow(pixels); }

    QImage result() const
    {
        if (!m_resampler || !m_resampler->done())
            return {};
        return applyOrientation(m_output, m_info.orientation);
    }

private:
    QRect m_upright;
    QSize m_dest;
    bool m_whole;
    Jpeg::Info m_info;
    QRect m_rect;
    QSize m_storedDest;
    bool m_smoothChroma = true;
    QImage m_output;
    std::unique_ptr<StreamResampler> m_resampler;
};

struct Region
{
    QImage image;
    Load status = Load::Unreadable;
    bool incomplete = false;        // the data ended early: drawn as far as it goes
    bool unreadableProfile = false; // drawn as sRGB
    QString reason;                 // why nothing was drawn, when the decoder said
};

// Qt keeps the profile it could parse; a PNG's own chunk is read, so one Qt cannot parse (or a
// broken one) is still converted or reported.
QByteArray qtColourProfile(const QString &file, const QImage &picture, const QByteArray &format)
{
    if (format == "png")
        return Png::ReadColourProfile(file);
    return picture.colorSpace().isValid() ? picture.colorSpace().iccProfile() : QByteArray();
}

// The upright rectangle `source` of a whole decoded picture resampled to `dest`; a picture
// smaller than the header said (a header that lied) gives what it holds.
QImage fitDecoded(QImage picture, QRect source, QSize dest)
{
    source = source.intersected(picture.rect());
    if (source.isEmpty())
        return {};
    if (source != picture.rect())
        picture = picture.copy(source);
    // In place where Qt can, so a big picture is not held twice.
    picture.convertTo(picture.hasAlphaChannel() ? QImage::Format_ARGB32_Premultiplied
                                                : QImage::Format_RGB32);
    return picture.size() == dest ? picture
                                  : ResampleLanczos3(picture, dest.width(), dest.height());
}

// The decoders of the other formats hand out RGB pixels: a CMYK TIFF is already converted by
// libtiff, so its ink profile no longer describes them and is left out.
QByteArray rgbProfileOf(const QByteArray &iccProfile)
{
    return iccProfile.mid(16, 4) == "CMYK" ? QByteArray() : iccProfile;
}

// HEIC, AVIF, WebP, TIFF: the whole picture from its decoder, at a reduced size when the whole
// picture is drawn smaller and the decoder can scale (the same steps as the JPEG reduction).
void decodeCodec(Region &region, QByteArray &profile, const QString &file, const Header &header,
                 QRect source, QSize dest)
{
    const QSize whole(header.width, header.height);
    QSize hint;
    if (source == QRect(QPoint(0, 0), whole)) {
        const int d = dctScale(whole.width(), whole.height(), dest.width(), dest.height());
        if (d > 1)
            hint = QSize((whole.width() + d - 1) / d, (whole.height() + d - 1) / d);
    }
    const Codec::Picture decoded = Codec::Decode(header.codec, file, hint);
    if (decoded.image.isNull()) {
        region.reason = decoded.error;
        return;
    }
    if (decoded.image.size() != whole && decoded.image.size() == hint)
        source = decoded.image.rect();
    region.image = fitDecoded(decoded.image, source, dest);
    region.incomplete = decoded.status == Codec::Status::Incomplete;
    profile = rgbProfileOf(decoded.iccProfile);
}

// The upright rectangle `source` of the file (the whole picture when null), resampled to `dest`.
Region decodeRegion(const QString &file, const Header &header, QRect source, QSize dest)
{
    Region region;
    region.status = header.status;
    if (header.status != Load::Ok)
        return region;
    const QRect whole(0, 0, header.width, header.height);
    if (source.isNull())
        source = whole;
    source = source.intersected(whole);
    if (source.isEmpty() || dest.isEmpty()) {
        region.status = Load::Unreadable;
        return region;
    }

    QByteArray profile;
    PixelData pixelData = PixelData::Rgb;
    if (header.jpeg) {
        ResampleSink sink(source, dest, source == whole);
        const Jpeg::Decoded decoded = Jpeg::Decode(file, sink);
        if (decoded == Jpeg::Decoded::Complete || decoded == Jpeg::Decoded::Partial)
            region.image = sink.result();
        region.incomplete = decoded == Jpeg::Decoded::Partial;
        region.unreadableProfile = sink.profileDoesNotFit();
        if (!region.unreadableProfile)
            profile = sink.colourProfile();
        pixelData = sink.pixelData();
    } else if (header.codec != Codec::Kind::None) {
        decodeCodec(region, profile, file, header, source, dest);
    } else {
        raiseReaderLimit();
        QFile device;
        if (!OpenRegularFile(device, file)) {
            region.status = Load::Unreadable;
            return region;
        }
        // A PNG cut short is read as far as its whole chunks go, never by a length past its end.
        QByteArray repaired = PngWholeChunks(device);
        QBuffer repairedDevice(&repaired);
        repairedDevice.open(QIODevice::ReadOnly);
        device.seek(0);
        QImageReader reader(repaired.isEmpty() ? static_cast<QIODevice *>(&device)
                                               : &repairedDevice);
        reader.setDecideFormatFromContent(true);
        reader.setAutoTransform(true);
        const QByteArray format = reader.format(); // told from the content, before reading
        QImage picture = reader.read();
        // Qt draws missing rows black and calls the picture read.
        region.incomplete = !picture.isNull() && (!repaired.isEmpty() || PixelDataShort(device));
        if (!picture.isNull()) {
            profile = qtColourProfile(file, picture, format);
            region.image = fitDecoded(std::move(picture), source, dest);
        }
    }
    if (region.image.isNull()) {
        region.status = Load::Unreadable;
        return region;
    }
    // After scaling: the transform's cost follows the size drawn, not the source's.
    if (ConvertToSrgb(region.image, profile, pixelData) == ColourStatus::UnreadableProfile)
        region.unreadableProfile = true;
    return region;
}

// Draws `picture` 1:1 at `at`; transparent parts show `under` (or what the canvas holds).
void paintAt(QImage &canvas, const QImage &picture, QPoint at, const QColor *under)
{
    const QRect target = QRect(at, picture.size()).intersected(canvas.rect());
    if (target.isEmpty())
        return;
    if (!picture.hasAlphaChannel() && canvas.format() == QImage::Format_RGB32
        && picture.format() == QImage::Format_RGB32) {
        for (int y = target.top(); y <= target.bottom(); ++y)
            std::memcpy(canvas.scanLine(y) + size_t(target.left()) * 4,
                        picture.constScanLine(y - at.y()) + size_t(target.left() - at.x()) * 4,
                        size_t(target.width()) * 4);
        return;
    }
    QPainter painter(&canvas);
    if (under && picture.hasAlphaChannel())
        painter.fillRect(target, *under);
    painter.drawImage(at, picture);
}

QString failedLoadText(Load status, const QString &reason = QString())
{
    if (!reason.isEmpty() && status == Load::Unreadable)
        return reason;
    switch (status) {
    case Load::TooLarge:
        return tooLarge();
    case Load::NotRegular:
        return NotRegularFileMessage();
    default:
        return drawFailed();
    }
}

// Draws the whole picture into `rect` of the canvas (the size it is resampled to).
QString drawWhole(Canvas &canvas, const QString &file, const QRect &rect)
{
    if (canvas.image.isNull())
        return createFailed();
    const Header header = readHeader(file);
    if (header.status == Load::Unreadable || header.status == Load::NotRegular)
        return failedLoadText(header.status, header.reason);
    if (rect.isEmpty())
        return drawFailed();
    const Region region = decodeRegion(file, header, QRect(), rect.size());
    if (region.status != Load::Ok)
        return failedLoadText(region.status, region.reason);
    paintAt(canvas.image, region.image, rect.topLeft(), nullptr);
    return region.incomplete ? incomplete() : QString();
}

} // namespace

void Canvas::resize(int width, int height)
{
    if (width < 1 || height < 1) {
        image = QImage();
        return;
    }
    image = QImage(width, height, QImage::Format_RGB32);
    clear();
}

void Canvas::clear()
{
    if (!image.isNull())
        image.fill(fillColour);
}

PictureInfo LoadAndMeasure(const QString &file)
{
    const Header header = readHeader(file);
    PictureInfo info;
    if (header.status == Load::Unreadable || header.status == Load::NotRegular) {
        info.error = header.status == Load::NotRegular ? NotRegularFileMessage()
                     : header.reason.isEmpty()         ? noWidth() + noHeight()
                                                       : header.reason;
        return info;
    }
    info.width = header.width;
    info.height = header.height;
    if (header.status == Load::TooLarge)
        info.error = tooLarge();
    return info;
}

DrawnPicture DrawFittedPicture(const QString &file, const FitParams &params, QSize canvasSize)
{
    DrawnPicture drawn;
    const Header header = readHeader(file);
    if (header.status == Load::Unreadable || header.status == Load::NotRegular) {
        drawn.error = failedLoadText(header.status, header.reason);
        return drawn;
    }
    drawn.sourceWidth = header.width;
    drawn.sourceHeight = header.height;
    if (header.status == Load::TooLarge) {
        drawn.error = tooLarge();
        return drawn;
    }
    const FitResult fit = ComputeFitGeometry(header.width, header.height, params);
    if (!fit.ok()) {
        drawn.error = fit.error;
        return drawn;
    }
    FitGeometry g = fit.geometry;
    if (canvasSize.isValid() && !canvasSize.isEmpty()) {
        g.canvasWidth = canvasSize.width();
        g.canvasHeight = canvasSize.height();
        if (params.fitMode == FitMode::OneEdge || params.fitMode == FitMode::Percent) {
            g.destX = g.destY = 0;
            g.destWidth = canvasSize.width();
            g.destHeight = canvasSize.height();
        }
    }
    drawn.geometry = g;
    if (g.destWidth < 1 || g.destHeight < 1 || g.srcWidth < 1 || g.srcHeight < 1) {
        drawn.error = drawFailed();
        return drawn;
    }
    const Region region = decodeRegion(file, header, QRect(g.srcX, g.srcY, g.srcWidth, g.srcHeight),
                                       QSize(g.destWidth, g.destHeight));
    if (region.status != Load::Ok) {
        drawn.error = failedLoadText(region.status, region.reason);
        return drawn;
    }
    drawn.image = region.image;
    if (region.incomplete)
        drawn.error = incomplete();
    if (region.unreadableProfile)
        drawn.note = UnreadableProfileMessage();
    return drawn;
}

namespace {

// Bytes a pixel a decoder of the other formats holds at once. libheif: its planes, an
// interleaved copy and the picture (4 each). libavif: the YUV planes, up to four at 16 bits a
// sample (8), beside the picture it converts them into (4); it lets the planes go before the
// picture is turned, so the turned copy never comes on top. Either decodes AVIF, at the same
// cost. WebP and TIFF: the picture and one conversion.
int codecBytesPerPixel(Codec::Kind kind)
{
    switch (kind) {
    case Codec::Kind::Heic:
        return 3 * 4;
    case Codec::Kind::Avif:
        return 4 * 2 + 4;
    default:
        return 2 * 4;
    }
}

// What a decoder of the other formats holds at once: the whole picture, or the reduced one when
// WebP scales while decoding.
qint64 codecDecodeBytes(const Header &header, const FitGeometry &g)
{
    qint64 width = header.width, height = header.height;
    const bool whole = g.srcX == 0 && g.srcY == 0 && g.srcWidth == header.width
                       && g.srcHeight == header.height;
    if (header.codec == Codec::Kind::Webp && whole) {
        const int d = dctScale(header.width, header.height, g.destWidth, g.destHeight);
        width = (width + d - 1) / d;
        height = (height + d - 1) / d;
    }
    return width * height * codecBytesPerPixel(header.codec);
}

} // namespace

DrawCost EstimateDrawCost(const QString &file, const FitParams &params)
{
    DrawCost cost;
    const bool fixedCanvas = params.fitMode == FitMode::CentreCut
                             || params.fitMode == FitMode::FitInside
                             || params.fitMode == FitMode::Stretch;
    if (fixedCanvas)
        cost.canvas = QSize(params.targetWidth, params.targetHeight);
    const Header header = readHeader(file);
    if (header.status != Load::Ok)
        return cost;
    const FitResult fit = ComputeFitGeometry(header.width, header.height, params);
    if (!fit.ok())
        return cost;
    const FitGeometry &g = fit.geometry;
    if (!fixedCanvas)
        cost.canvas = QSize(g.canvasWidth, g.canvasHeight);
    const qint64 width = header.width, height = header.height;
    // The resampled picture and its upright copy.
    const qint64 dest = qint64(std::max(0, g.destWidth)) * std::max(0, g.destHeight) * 4 * 2;
    if (header.jpeg) {
        // A progressive picture keeps all its coefficients (2 bytes a sample, up to 4 samples a
        // pixel); a baseline one streams through a ring of rows.
        const qint64 decoder = header.progressive
                                       ? width * height * std::max(1, header.components) * 2
                                       : width * 4 * 64;
        cost.pictureBytes = decoder + dest;
    } else if (header.codec != Codec::Kind::None) {
        cost.pictureBytes = codecDecodeBytes(header, g) + dest;
    } else {
        // Qt's readers decode the whole picture, and a conversion may hold it twice.
        cost.pictureBytes = width * height * 4 * 2 + dest;
    }
    return cost;
}

QString PaintDrawnPicture(Canvas &canvas, const DrawnPicture &picture, FitMode fitMode)
{
    if (canvas.image.isNull())
        return createFailed();
    if (picture.image.isNull())
        return picture.error.isEmpty() ? drawFailed() : picture.error;
    // Modes 1 and 2 show the border (colour or background picture) through transparent parts;
    // the others cover the canvas and flatten onto white.
    const QColor white(Qt::white);
    const bool border = hasBorder(fitMode);
    if (picture.image.format() == QImage::Format_RGB32
        && picture.image.size() == canvas.image.size() && picture.geometry.destX == 0
        && picture.geometry.destY == 0) {
        // Covers the canvas exactly: share the pixels instead of copying them.
        canvas.image = picture.image;
        return picture.error;
    }
    paintAt(canvas.image, picture.image, QPoint(picture.geometry.destX, picture.geometry.destY),
            border ? nullptr : &white);
    // A picture whose data ended early is drawn as far as it goes and still reported.
    return picture.error;
}

QString DrawFitted(Canvas &canvas, const QString &file, const FitParams &params)
{
    if (canvas.image.isNull())
        return createFailed();
    const DrawnPicture drawn = DrawFittedPicture(file, params, canvas.image.size());
    return PaintDrawnPicture(canvas, drawn, params.fitMode);
}

QString DrawLetterbox(Canvas &canvas, const QString &file)
{
    if (canvas.image.isNull())
        return createFailed();
    const Header header = readHeader(file);
    if (header.status == Load::NotRegular)
        return NotRegularFileMessage();
    if (header.status == Load::Unreadable)
        return {}; // nothing measured: the preview shows nothing
    const double cw = canvas.width(), ch = canvas.height();
    const double aspect = double(header.width) / header.height;
    QRectF box;
    if (header.height < header.width) {
        const double h = cw / aspect;
        box = QRectF(0, (ch - h) / 2, cw, h);
    } else {
        const double w = aspect * ch;
        box = QRectF((cw - w) / 2, 0, w, ch);
    }
    const QRect rect(RoundHalfEven(box.x()), RoundHalfEven(box.y()),
                     std::max(1, RoundHalfEven(box.width())),
                     std::max(1, RoundHalfEven(box.height())));
    return drawWhole(canvas, file, rect);
}

QString DrawStretched(Canvas &canvas, const QString &file)
{
    return drawWhole(canvas, file, canvas.image.rect());
}

LoadedPicture LoadPicture(const QString &file, QSize size)
{
    LoadedPicture loaded;
    const Header header = readHeader(file);
    loaded.sourceWidth = header.width;
    loaded.sourceHeight = header.height;
    if (!size.isValid() || size.isEmpty())
        size = QSize(header.width, header.height);
    const Region region = decodeRegion(file, header, QRect(), size);
    if (region.status != Load::Ok)
        loaded.error = header.status == Load::Unreadable && header.reason.isEmpty()
                               ? noWidth() + noHeight()
                               : failedLoadText(region.status, header.reason.isEmpty()
                                                                       ? region.reason
                                                                       : header.reason);
    else if (region.incomplete)
        loaded.error = incomplete();
    if (region.unreadableProfile)
        loaded.note = UnreadableProfileMessage();
    loaded.image = region.image;
    return loaded;
}

QByteArray EncodeJpeg(const QImage &picture, int quality, int dpi, bool optimizeHuffman)
{
    if (picture.isNull())
        return {};
    if (picture.format() == QImage::Format_RGB32)
        return Jpeg::Encode(picture, quality, dpi, optimizeHuffman);
    QImage rgb(picture.size(), QImage::Format_RGB32);
    if (rgb.isNull())
        return {};
    if (picture.hasAlphaChannel()) {
        // Never let transparent parts turn black in a format without alpha.
        rgb.fill(Qt::white);
        QPainter painter(&rgb);
        painter.drawImage(0, 0, picture);
    } else {
        rgb = picture.convertToFormat(QImage::Format_RGB32);
    }
    return Jpeg::Encode(rgb, quality, dpi, optimizeHuffman);
}

QString WriteJpegFile(const QByteArray &jpeg, const QString &file)
{
    const auto fail = [](const QString &cause) {
        return PictureText::tr("无法保存图片：%1").arg(cause);
    };
    if (jpeg.isEmpty())
        return fail(PictureText::tr("没有可保存的图片数据"));
    // Written under a scratch name beside the file and renamed over it once complete and on
    // disk, so a failure never leaves half a picture; each step keeps its errno for the user.
    const QByteArray target = NativePathForNewFile(file); // a folder named by bytes keeps them
    // A short name of its own: the file's name may already be as long as names can be.
    const QByteArray folder = target.left(target.lastIndexOf('/') + 1);
    QByteArray scratch;
    int fd = -1;
    for (int attempt = 0; fd < 0 && attempt < 100; ++attempt) {
        scratch = folder + ".pw-save-"
                  + QByteArray::number(QRandomGenerator::global()->generate(), 36);
        fd = ::open(scratch.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd < 0 && errno != EEXIST)
            break;
    }
    if (fd < 0) {
        const int error = errno;
        // Nothing was made: a missing folder is the folder's fault, not a file's.
        return fail(error == ENOENT ? SystemErrorText(error, PictureText::tr("文件夹不存在"))
                                    : SystemErrorText(error));
    }
    int error = 0;
    for (qsizetype done = 0; done < jpeg.size() && error == 0;) {
        const ssize_t wrote = ::write(fd, jpeg.constData() + done, size_t(jpeg.size() - done));
        if (wrote > 0)
            done += wrote;
        else if (wrote < 0 && errno != EINTR)
            error = errno;
    }
    if (error == 0 && ::fsync(fd) != 0)
        error = errno;
    if (::close(fd) != 0 && error == 0)
        error = errno;
    if (error == 0 && ::rename(scratch.constData(), target.constData()) != 0)
        error = errno;
    if (error != 0) {
        ::unlink(scratch.constData());
        return fail(SystemErrorText(error));
    }
    return {};
}

QString SaveJpeg(const QImage &picture, const QString &file, int quality, int resolution)
{
    return WriteJpegFile(EncodeJpeg(picture, quality, resolution), file);
}

} // namespace Pw
