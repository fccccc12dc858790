#include "imaging/pictureservice.h"

#include "imaging/jpegcodec.h"
#include "imaging/resampler.h"
#include "platform/nativefile.h"

#include <QCoreApplication>
#include <QFile>
#include <QImageReader>
#include <QPainter>
#include <QSaveFile>

#include <algorithm>
#include <cstring>
#include <memory>

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

bool overLimit(qint64 width, qint64 height)
{
    return width * height * 4 > kMaxDecodedBytes;
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
    int width = 0; // upright
    int height = 0;
    int orientation = 1;
    bool progressive = false;
    int components = 3;
};

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
        if (!size.isValid() || size.isEmpty())
            return header;
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
    bool incomplete = false; // the data ended early: drawn as far as it goes
};

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

    if (header.jpeg) {
        ResampleSink sink(source, dest, source == whole);
        const Jpeg::Decoded decoded = Jpeg::Decode(file, sink);
        if (decoded == Jpeg::Decoded::Complete || decoded == Jpeg::Decoded::Partial)
            region.image = sink.result();
        region.incomplete = decoded == Jpeg::Decoded::Partial;
    } else {
        raiseReaderLimit();
        QFile device;
        if (!OpenRegularFile(device, file)) {
            region.status = Load::Unreadable;
            return region;
        }
        QImageReader reader(&device);
        reader.setDecideFormatFromContent(true);
        reader.setAutoTransform(true);
        QImage picture = reader.read();
        if (!picture.isNull()) {
            if (picture.size() != whole.size()) // the header lied; trust the pixels
                source = source.intersected(picture.rect());
            if (!source.isEmpty()) {
                if (source != picture.rect())
                    picture = picture.copy(source);
                // In place where Qt can, so a big picture is not held twice.
                picture.convertTo(picture.hasAlphaChannel() ? QImage::Format_ARGB32_Premultiplied
                                                            : QImage::Format_RGB32);
                region.image = picture.size() == dest
                                       ? picture
                                       : ResampleLanczos3(picture, dest.width(), dest.height());
            }
        }
    }
    if (region.image.isNull())
        region.status = Load::Unreadable;
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

QString failedLoadText(Load status)
{
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
        return failedLoadText(header.status);
    if (rect.isEmpty())
        return drawFailed();
    const Region region = decodeRegion(file, header, QRect(), rect.size());
    if (region.status != Load::Ok)
        return failedLoadText(region.status);
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
                                                       : noWidth() + noHeight();
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
        drawn.error = failedLoadText(header.status);
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
        drawn.error = failedLoadText(region.status);
        return drawn;
    }
    drawn.image = region.image;
    if (region.incomplete)
        drawn.error = incomplete();
    return drawn;
}

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
        loaded.error = header.status == Load::Unreadable ? noWidth() + noHeight()
                                                         : failedLoadText(region.status);
    else if (region.incomplete)
        loaded.error = incomplete();
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
    // Status numbers as the old picture library reported them: 2 a bad argument, 7 a failed
    // system call.
    const auto fail = [](int status) {
        return QStringLiteral("Cannot save the image. GDI+ Error:") + QString::number(status);
    };
    if (jpeg.isEmpty())
        return fail(2);
    QSaveFile out(file);
    if (!out.open(QIODevice::WriteOnly))
        return fail(7);
    if (out.write(jpeg) != jpeg.size()) {
        out.cancelWriting();
        out.commit();
        return fail(7);
    }
    if (!out.commit())
        return fail(7);
    return {};
}

QString SaveJpeg(const QImage &picture, const QString &file, int quality, int resolution)
{
    return WriteJpegFile(EncodeJpeg(picture, quality, resolution), file);
}

} // namespace Pw
