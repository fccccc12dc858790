#include "imaging/fitgeometry.h"
#include "imaging/jpegcodec.h"
#include "imaging/pictureservice.h"
#include "imaging/resampler.h"
#include "tests/support/cmykjpeg.h"
#include "tests/support/testfiles.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QImageReader>
#include <QImageWriter>
#include <QPainter>
#include <QScopeGuard>
#include <QTemporaryDir>
#include <QTest>

#include <array>
#include <cmath>
#include <cstdio>
#include <thread>

using Pw::FitGeometry;
using Pw::FitParams;
using PwTest::writeBytes;

namespace {

FitParams boxParams(int mode, int width, int height, bool enlarge = false)
{
    FitParams params;
    params.fitMode = Pw::FitMode(mode); // unclamped: a wild value must be refused
    params.targetWidth = width;
    params.targetHeight = height;
    params.enlargeSmall = enlarge;
    return params;
}

FitGeometry geometry(int cw, int ch, QList<int> dest, QList<int> src)
{
    FitGeometry g;
    g.canvasWidth = cw;
    g.canvasHeight = ch;
    g.destX = dest[0];
    g.destY = dest[1];
    g.destWidth = dest[2];
    g.destHeight = dest[3];
    g.srcX = src[0];
    g.srcY = src[1];
    g.srcWidth = src[2];
    g.srcHeight = src[3];
    return g;
}

const QColor kRed(255, 0, 0);
const QColor kGreen(0, 255, 0);
const QColor kBlue(0, 0, 255);
const QColor kWhite(255, 255, 255);

// A picture whose left half (up to `split`, default the middle) is `left` and the rest `right`.
QImage halves(int width, int height, QColor left, QColor right, int split = -1)
{
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(right);
    QPainter painter(&image);
    painter.fillRect(0, 0, split < 0 ? width / 2 : split, height, left);
    return image;
}

// The APP1 marker of a minimal little-endian Exif block holding only the orientation.
QByteArray exifApp1(int orientation)
{
    QByteArray payload("Exif\0\0II*\0\x08\0\0\0\x01\0\x12\x01\x03\0\x01\0\0\0", 24);
    payload.append(char(orientation)).append(QByteArray(3, '\0')).append(QByteArray(4, '\0'));
    QByteArray marker("\xFF\xE1");
    const int length = int(payload.size()) + 2;
    marker.append(char(length >> 8)).append(char(length & 0xFF)).append(payload);
    return marker;
}

// A JPEG of `image`, with an Exif orientation tag when orientation > 0.
bool writeJpeg(const QString &file, const QImage &image, int orientation = 0, int quality = 95)
{
    QByteArray jpeg = Pw::EncodeJpeg(image, quality, 300);
    if (jpeg.isEmpty())
        return false;
    if (orientation > 0)
        jpeg.insert(2, exifApp1(orientation));
    return writeBytes(file, jpeg);
}

// Every pixel of `rect` within `tolerance` of `colour` in each channel.
bool regionIs(const QImage &image, const QRect &rect, QColor colour, int tolerance, QString *why)
{
    if (rect.isEmpty() || !image.rect().contains(rect)) {
        *why = QStringLiteral("region %1,%2 %3x%4 off the %5x%6 image")
                       .arg(rect.x())
                       .arg(rect.y())
                       .arg(rect.width())
                       .arg(rect.height())
                       .arg(image.width())
                       .arg(image.height());
        return false;
    }
    for (int y = rect.top(); y <= rect.bottom(); ++y)
        for (int x = rect.left(); x <= rect.right(); ++x) {
            const QColor p = image.pixelColor(x, y);
            if (std::abs(p.red() - colour.red()) > tolerance
                || std::abs(p.green() - colour.green()) > tolerance
                || std::abs(p.blue() - colour.blue()) > tolerance) {
                *why = QStringLiteral("pixel %1,%2 is %3, expected %4")
                               .arg(x)
                               .arg(y)
                               .arg(p.name(), colour.name());
                return false;
            }
        }
    return true;
}

#define QVERIFY_REGION(image, rect, colour, tolerance) \
    do { \
        QString why_; \
        QVERIFY2(regionIs(image, rect, colour, tolerance, &why_), qPrintable(why_)); \
    } while (false)

// Ink amounts per pixel, the left half one set and the right half the other.
bool writeCmykJpeg(const QString &file, int width, int height, bool adobe,
                   const PwTest::Inks &leftInk, const PwTest::Inks &rightInk)
{
    return writeBytes(file, PwTest::cmykJpeg(width, height, adobe, 95, [&](int x) {
                          return x < width / 2 ? leftInk : rightInk;
                      }));
}

// Offset of the first SOF0..SOF2 marker's height field in a JPEG, or -1.
qsizetype sofSizeOffset(const QByteArray &jpeg)
{
    for (qsizetype i = 2; i + 9 < jpeg.size(); ++i)
        if (uint8_t(jpeg[i]) == 0xFF && uint8_t(jpeg[i + 1]) >= 0xC0
            && uint8_t(jpeg[i + 1]) <= 0xC2)
            return i + 5;
    return -1;
}

QByteArray withJpegSize(QByteArray jpeg, int width, int height)
{
    const qsizetype at = sofSizeOffset(jpeg);
    if (at < 0)
        return {};
    jpeg[at] = char(height >> 8);
    jpeg[at + 1] = char(height & 0xFF);
    jpeg[at + 2] = char(width >> 8);
    jpeg[at + 3] = char(width & 0xFF);
    return jpeg;
}

void putLe(QByteArray &bytes, int value, int size)
{
    for (int i = 0; i < size; ++i)
        bytes.append(char((value >> (8 * i)) & 0xFF));
}

// Only the headers of a 24-bit BMP claiming width x height; no pixel data follows.
QByteArray bmpHeaderOnly(int width, int height)
{
    QByteArray bmp("BM");
    putLe(bmp, 54, 4); // file size (a lie, as in a damaged file)
    putLe(bmp, 0, 4);
    putLe(bmp, 54, 4); // pixel data offset
    putLe(bmp, 40, 4);
    putLe(bmp, width, 4);
    putLe(bmp, height, 4);
    putLe(bmp, 1, 2);
    putLe(bmp, 24, 2);
    putLe(bmp, 0, 4);
    putLe(bmp, 0, 4);
    putLe(bmp, 2835, 4);
    putLe(bmp, 2835, 4);
    putLe(bmp, 0, 4);
    putLe(bmp, 0, 4);
    return bmp;
}

uint32_t crc32(const QByteArray &bytes)
{
    uint32_t crc = 0xFFFFFFFFu;
    for (char c : bytes) {
        crc ^= uint8_t(c);
        for (int k = 0; k < 8; ++k)
            crc = crc & 1 ? (crc >> 1) ^ 0xEDB88320u : crc >> 1;
    }
    return ~crc;
}

void putBe(QByteArray &bytes, uint32_t value)
{
    for (int i = 3; i >= 0; --i)
        bytes.append(char((value >> (8 * i)) & 0xFF));
}

// A PNG signature and IHDR claiming width x height RGBA, and no pixel data.
QByteArray pngHeaderOnly(int width, int height)
{
    QByteArray chunk("IHDR");
    putBe(chunk, uint32_t(width));
    putBe(chunk, uint32_t(height));
    chunk.append(QByteArray("\x08\x06\0\0\0", 5));
    QByteArray png("\x89PNG\r\n\x1a\n", 8);
    putBe(png, 13);
    png.append(chunk);
    putBe(png, crc32(chunk));
    putBe(png, 0); // an empty IDAT, where the header ends
    png.append("IDAT");
    putBe(png, crc32("IDAT"));
    return png;
}

// The resampler loops this processor can run, named for test rows.
QList<QPair<const char *, Pw::ResamplerKernels>> availableKernels()
{
    QList<QPair<const char *, Pw::ResamplerKernels>> all{
            {"portable", Pw::ResamplerKernels::Portable},
            {"SSE2", Pw::ResamplerKernels::Sse2},
            {"AVX2", Pw::ResamplerKernels::Avx2}};
    QList<QPair<const char *, Pw::ResamplerKernels>> available;
    for (const auto &k : all)
        if (Pw::SetResamplerKernels(k.second) == k.second)
            available << k;
    Pw::SetResamplerKernels(Pw::ResamplerKernels::Avx2);
    return available;
}

QString bothTexts()
{
    return QStringLiteral("无法取得宽无法取得高");
}

} // namespace

Q_DECLARE_METATYPE(FitParams)
Q_DECLARE_METATYPE(FitGeometry)
Q_DECLARE_METATYPE(Pw::ResamplerKernels)

namespace QTest {
template<>
char *toString(const FitGeometry &g)
{
    return qstrdup(QByteArray("canvas %1x%2 dest (%3,%4,%5,%6) src (%7,%8,%9,%10)")
                           .replace("%10", QByteArray::number(g.srcHeight))
                           .replace("%1", QByteArray::number(g.canvasWidth))
                           .replace("%2", QByteArray::number(g.canvasHeight))
                           .replace("%3", QByteArray::number(g.destX))
                           .replace("%4", QByteArray::number(g.destY))
                           .replace("%5", QByteArray::number(g.destWidth))
                           .replace("%6", QByteArray::number(g.destHeight))
                           .replace("%7", QByteArray::number(g.srcX))
                           .replace("%8", QByteArray::number(g.srcY))
                           .replace("%9", QByteArray::number(g.srcWidth))
                           .constData());
}
} // namespace QTest

class TestImaging : public QObject
{
    Q_OBJECT

private slots:
    void roundHalfEven_data();
    void roundHalfEven();
    void fitGeometry_data();
    void fitGeometry();
    void unusableSizesAreRefused_data();
    void unusableSizesAreRefused();
    void sweepKeepsEveryRectangleOnCanvas();

    void initTestCase();
    void letterbox_data();
    void letterbox();
    void savedJpegReads300Dpi();
    void encodeUsesQualityAndSubsampling();
    void measureMessages_data();
    void measureMessages();
    void failedLoadGivesNoSize();
    void drawFailures();
    void drawFittedPlacesPixels_data();
    void drawFittedPlacesPixels();
    void orientation_data();
    void orientation();
    void exifOrientationIsBoundsChecked_data();
    void exifOrientationIsBoundsChecked();
    void transparency_data();
    void transparency();
    void cmykJpeg_data();
    void cmykJpeg();
    void greyAndProgressiveJpeg_data();
    void greyAndProgressiveJpeg();
    void truncatedJpegDrawsWhatIsThere();
    void drawCostCountsProgressiveCoefficients();
    void pngNamedJpg();
    void fiftyMegapixelPngLoads();
    void overTheMemoryLimit_data();
    void overTheMemoryLimit();
    void failedSaveLeavesNothing_data();
    void failedSaveLeavesNothing();
    void tinyAndThinPictures_data();
    void tinyAndThinPictures();
    void drawingOnManyThreadsMatchesOneThread();
    void resamplerSweep_data();
    void resamplerSweep();
    void resamplerKernelsAgree_data();
    void resamplerKernelsAgree();
    void resamplerEdgesLandInPlace_data();
    void resamplerEdgesLandInPlace();

private:
    QString path(const QString &name) const { return m_dir.filePath(name); }
    QTemporaryDir m_dir;
};

void TestImaging::roundHalfEven_data()
{
    QTest::addColumn<double>("value");
    QTest::addColumn<int>("expected");
    QTest::newRow("2.5") << 2.5 << 2;
    QTest::newRow("3.5") << 3.5 << 4;
    QTest::newRow("99.5") << 99.5 << 100;
    QTest::newRow("1.5") << 1.5 << 2;
    QTest::newRow("0.5") << 0.5 << 0;
    QTest::newRow("2.51") << 2.51 << 3;
    QTest::newRow("-2.5") << -2.5 << -2;
}

void TestImaging::roundHalfEven()
{
    QFETCH(double, value);
    QFETCH(int, expected);
    QCOMPARE(Pw::RoundHalfEven(value), expected);
}

void TestImaging::fitGeometry_data()
{
    QTest::addColumn<int>("sw");
    QTest::addColumn<int>("sh");
    QTest::addColumn<FitParams>("params");
    QTest::addColumn<FitGeometry>("expected");

    // Mode 1: centre cut.
    QTest::newRow("1: cut from the centre")
            << 1000 << 800 << boxParams(1, 600, 400)
            << geometry(600, 400, {0, 0, 600, 400}, {200, 200, 600, 400});
    QTest::newRow("1: narrower by 5, half rounds to even")
            << 595 << 400 << boxParams(1, 600, 400)
            << geometry(600, 400, {2, 0, 595, 400}, {0, 0, 595, 400});
    QTest::newRow("1: equal height is not small, enlarge ignored")
            << 595 << 400 << boxParams(1, 600, 400, true)
            << geometry(600, 400, {2, 0, 595, 400}, {0, 0, 595, 400});
    QTest::newRow("1: small, centred")
            << 300 << 201 << boxParams(1, 600, 400)
            << geometry(600, 400, {150, 100, 300, 201}, {0, 0, 300, 201});
    QTest::newRow("1: small, enlarged (r <= t)")
            << 300 << 201 << boxParams(1, 600, 400, true)
            << geometry(600, 400, {2, 0, 597, 400}, {0, 0, 300, 201});
    QTest::newRow("1: small, enlarged (r > t)")
            << 300 << 100 << boxParams(1, 600, 400, true)
            << geometry(600, 400, {0, 100, 600, 200}, {0, 0, 300, 100});
    QTest::newRow("1: smaller in one direction only is cut, not enlarged")
            << 300 << 900 << boxParams(1, 600, 400, true)
            << geometry(600, 400, {150, 0, 300, 400}, {0, 250, 300, 400});
    QTest::newRow("1: sw equals W") << 600 << 900 << boxParams(1, 600, 400)
                                    << geometry(600, 400, {0, 0, 600, 400}, {0, 250, 600, 400});

    // Mode 2: fit inside.
    QTest::newRow("2: taller than the box")
            << 1000 << 800 << boxParams(2, 600, 400)
            << geometry(600, 400, {50, 0, 500, 400}, {0, 0, 1000, 800});
    QTest::newRow("2: wider than the box")
            << 2000 << 800 << boxParams(2, 600, 400)
            << geometry(600, 400, {0, 80, 600, 240}, {0, 0, 2000, 800});
    QTest::newRow("2: r equals t takes the height branch")
            << 1200 << 800 << boxParams(2, 600, 400)
            << geometry(600, 400, {0, 0, 600, 400}, {0, 0, 1200, 800});
    QTest::newRow("2: small keeps its size")
            << 200 << 100 << boxParams(2, 600, 400)
            << geometry(600, 400, {200, 150, 200, 100}, {0, 0, 200, 100});
    QTest::newRow("2: small enlarged") << 200 << 100 << boxParams(2, 600, 400, true)
                                       << geometry(600, 400, {0, 50, 600, 300}, {0, 0, 200, 100});
    QTest::newRow("2: a hair line never becomes 0 pixels high")
            << 100000 << 1 << boxParams(2, 600, 400)
            << geometry(600, 400, {0, 200, 600, 1}, {0, 0, 100000, 1});

    // Mode 3: one edge.
    FitParams longEdge;
    longEdge.fitMode = Pw::FitMode::OneEdge;
    longEdge.edgeLength = 800;
    QTest::newRow("3: long edge, landscape")
            << 4000 << 3000 << longEdge << geometry(800, 600, {0, 0, 800, 600}, {0, 0, 4000, 3000});
    QTest::newRow("3: long edge, portrait")
            << 3000 << 4000 << longEdge << geometry(600, 800, {0, 0, 600, 800}, {0, 0, 3000, 4000});
    QTest::newRow("3: long edge, square")
            << 3000 << 3000 << longEdge << geometry(800, 800, {0, 0, 800, 800}, {0, 0, 3000, 3000});
    FitParams width = longEdge;
    width.edgeChoice = 2;
    QTest::newRow("3: width, small keeps its size")
            << 400 << 300 << width << geometry(400, 300, {0, 0, 400, 300}, {0, 0, 400, 300});
    width.enlargeSmall = true;
    QTest::newRow("3: width, small enlarged")
            << 400 << 300 << width << geometry(800, 600, {0, 0, 800, 600}, {0, 0, 400, 300});
    FitParams height = longEdge;
    height.edgeChoice = 3;
    QTest::newRow("3: height of a landscape")
            << 4000 << 3000 << height << geometry(1067, 800, {0, 0, 1067, 800}, {0, 0, 4000, 3000});
    QTest::newRow("3: one side equal is not small")
            << 800 << 300 << width << geometry(800, 300, {0, 0, 800, 300}, {0, 0, 800, 300});

    // Mode 4: stretch.
    QTest::newRow("4: stretch ignores proportions")
            << 1000 << 100 << boxParams(4, 300, 500, true)
            << geometry(300, 500, {0, 0, 300, 500}, {0, 0, 1000, 100});

    // Mode 5: per cent.
    FitParams percent;
    percent.fitMode = Pw::FitMode::Percent;
    percent.scalePercent = 50;
    QTest::newRow("5: 50% rounds the height to even")
            << 1001 << 601 << percent << geometry(500, 300, {0, 0, 500, 300}, {0, 0, 1001, 601});
    percent.scalePercent = 200;
    QTest::newRow("5: 200% capped on the width")
            << 9000 << 6000 << percent
            << geometry(16000, 10667, {0, 0, 16000, 10667}, {0, 0, 9000, 6000});
    percent.scalePercent = 5;
    QTest::newRow("5: 5% held at the floor")
            << 40 << 30 << percent << geometry(3, 2, {0, 0, 3, 2}, {0, 0, 40, 30});
    percent.percentFloor = 10;
    QTest::newRow("5: 5% raised to a floor of 10")
            << 40 << 30 << percent << geometry(13, 10, {0, 0, 13, 10}, {0, 0, 40, 30});
    percent.scalePercent = 100;
    percent.percentCap = 10;
    QTest::newRow("5: 100% ignores the bounds")
            << 4000 << 3000 << percent
            << geometry(4000, 3000, {0, 0, 4000, 3000}, {0, 0, 4000, 3000});
}

void TestImaging::fitGeometry()
{
    QFETCH(int, sw);
    QFETCH(int, sh);
    QFETCH(FitParams, params);
    QFETCH(FitGeometry, expected);
    const Pw::FitResult result = Pw::ComputeFitGeometry(sw, sh, params);
    QVERIFY2(result.ok(), qPrintable(result.error));
    QCOMPARE(result.geometry, expected);
}

void TestImaging::unusableSizesAreRefused_data()
{
    QTest::addColumn<int>("sw");
    QTest::addColumn<int>("sh");
    QTest::addColumn<FitParams>("params");

    QTest::newRow("width 0") << 100 << 100 << boxParams(1, 0, 400);
    QTest::newRow("height 0") << 100 << 100 << boxParams(2, 400, 0);
    QTest::newRow("negative stretch") << 100 << 100 << boxParams(4, -5, 400);
    FitParams edge;
    edge.fitMode = Pw::FitMode::OneEdge;
    edge.edgeLength = 0;
    QTest::newRow("edge 0") << 100 << 100 << edge;
    edge.edgeLength = 800;
    QTest::newRow("edge makes a 0-pixel height") << 100000 << 1 << edge;
    FitParams percent;
    percent.fitMode = Pw::FitMode::Percent;
    percent.scalePercent = 5;
    percent.percentFloor = 0;
    QTest::newRow("percent below one pixel") << 10 << 5 << percent;
    percent.scalePercent = 500;
    percent.percentCap = 1000000;
    QTest::newRow("beyond what JPEG stores") << 20000 << 20000 << percent;
    QTest::newRow("unmeasured source") << 0 << 100 << boxParams(2, 400, 400);
    QTest::newRow("unknown mode") << 100 << 100 << boxParams(6, 400, 400);
}

void TestImaging::unusableSizesAreRefused()
{
    QFETCH(int, sw);
    QFETCH(int, sh);
    QFETCH(FitParams, params);
    const Pw::FitResult result = Pw::ComputeFitGeometry(sw, sh, params);
    QVERIFY(!result.ok());
    QVERIFY(!result.error.isEmpty());
}

// Over many source and target sizes, every rectangle must lie within its picture and
// have at least one pixel: that is what the drawing step relies on.
void TestImaging::sweepKeepsEveryRectangleOnCanvas()
{
    const QList<int> sides = {1, 2, 3, 7, 99, 100, 101, 399, 400, 401, 1023, 4000};
    for (int mode = 1; mode <= 5; ++mode) {
        for (int sw : sides) {
            for (int sh : sides) {
                for (int target : {1, 3, 400, 1001}) {
                    for (bool enlarge : {false, true}) {
                        FitParams p = boxParams(mode, target, 400, enlarge);
                        p.edgeLength = target;
                        p.edgeChoice = 1 + (sw + sh) % 3;
                        p.scalePercent = target == 1 ? 5 : (target == 3 ? 100 : 300);
                        const Pw::FitResult r = Pw::ComputeFitGeometry(sw, sh, p);
                        if (!r.ok())
                            continue;
                        const FitGeometry &g = r.geometry;
                        const QString where = QStringLiteral("mode %1 source %2x%3 target %4")
                                                      .arg(mode)
                                                      .arg(sw)
                                                      .arg(sh)
                                                      .arg(target);
                        QVERIFY2(g.canvasWidth >= 1 && g.canvasHeight >= 1, qPrintable(where));
                        QVERIFY2(g.destWidth >= 1 && g.destHeight >= 1, qPrintable(where));
                        QVERIFY2(g.destX >= 0 && g.destY >= 0, qPrintable(where));
                        QVERIFY2(g.destX + g.destWidth <= g.canvasWidth, qPrintable(where));
                        QVERIFY2(g.destY + g.destHeight <= g.canvasHeight, qPrintable(where));
                        QVERIFY2(g.srcX >= 0 && g.srcY >= 0, qPrintable(where));
                        QVERIFY2(g.srcX + g.srcWidth <= sw, qPrintable(where));
                        QVERIFY2(g.srcY + g.srcHeight <= sh, qPrintable(where));
                    }
                }
            }
        }
    }
}

void TestImaging::initTestCase()
{
    QVERIFY(m_dir.isValid());
}

void TestImaging::letterbox_data()
{
    QTest::addColumn<QSize>("picture");
    QTest::addColumn<QRect>("drawn");
    QTest::newRow("landscape across the width") << QSize(1000, 500) << QRect(0, 50, 400, 200);
    QTest::newRow("portrait across the height") << QSize(500, 1000) << QRect(125, 0, 150, 300);
    QTest::newRow("square counts as portrait") << QSize(90, 90) << QRect(50, 0, 300, 300);
}

void TestImaging::letterbox()
{
    QFETCH(QSize, picture);
    QFETCH(QRect, drawn);
    const QString file = path(QStringLiteral("letterbox.png"));
    QVERIFY(halves(picture.width(), picture.height(), kRed, kRed).save(file));
    Pw::Canvas canvas;
    canvas.fillColour = kBlue;
    canvas.resize(400, 300);
    QCOMPARE(Pw::DrawLetterbox(canvas, file), QString());
    QVERIFY_REGION(canvas.image, drawn, kRed, 2);
    if (drawn.top() > 0)
        QVERIFY_REGION(canvas.image, QRect(0, 0, 400, drawn.top()), kBlue, 0);
    if (drawn.left() > 0)
        QVERIFY_REGION(canvas.image, QRect(0, 0, drawn.left(), 300), kBlue, 0);
    if (drawn.right() < 399)
        QVERIFY_REGION(canvas.image, QRect(drawn.right() + 1, 0, 399 - drawn.right(), 300), kBlue,
                       0);
}

void TestImaging::savedJpegReads300Dpi()
{
    const QString file = path(QStringLiteral("dpi.jpg"));
    QCOMPARE(Pw::SaveJpeg(halves(64, 48, kRed, kGreen), file, 85, 300), QString());
    QFile f(file);
    QVERIFY(f.open(QIODevice::ReadOnly));
    const QByteArray bytes = f.readAll();
    // SOI, then the JFIF APP0: units 1 (dots per inch), X and Y density 300.
    QVERIFY(bytes.startsWith(QByteArray("\xFF\xD8\xFF\xE0", 4)));
    QCOMPARE(bytes.mid(6, 5), QByteArray("JFIF\0", 5));
    QCOMPARE(int(uint8_t(bytes[13])), 1);
    QCOMPARE(int(uint8_t(bytes[14])) << 8 | int(uint8_t(bytes[15])), 300);
    QCOMPARE(int(uint8_t(bytes[16])) << 8 | int(uint8_t(bytes[17])), 300);
    const QImage back(file);
    QCOMPARE(back.size(), QSize(64, 48));
    QCOMPARE(qRound(back.dotsPerMeterX() * 0.0254), 300);
    QCOMPARE(qRound(back.dotsPerMeterY() * 0.0254), 300);
}

void TestImaging::encodeUsesQualityAndSubsampling()
{
    QImage noisy(256, 256, QImage::Format_RGB32);
    for (int y = 0; y < 256; ++y)
        for (int x = 0; x < 256; ++x)
            noisy.setPixel(x, y, qRgb((x * 37 + y * 11) & 255, (x * y) & 255, (x ^ y) & 255));
    const QByteArray high = Pw::EncodeJpeg(noisy, 95, 300);
    const QByteArray low = Pw::EncodeJpeg(noisy, 20, 300);
    QVERIFY(!high.isEmpty() && !low.isEmpty());
    QVERIFY(high.size() > low.size());
    // 4:2:0: the luma component samples 2x2, the chroma ones 1x1.
    const qsizetype sof = sofSizeOffset(high);
    QVERIFY(sof > 0);
    QCOMPARE(int(uint8_t(high[sof + 4])), 3);
    QCOMPARE(int(uint8_t(high[sof + 6])), 0x22);
    QCOMPARE(int(uint8_t(high[sof + 9])), 0x11);
    QVERIFY(Pw::EncodeJpeg(QImage(), 85, 300).isEmpty());
    // Optimized Huffman tables: same pixels, a smaller file.
    const QByteArray optimized = Pw::EncodeJpeg(noisy, 95, 300, true);
    QVERIFY(optimized.size() < high.size());
    QCOMPARE(QImage::fromData(optimized), QImage::fromData(high));
}

void TestImaging::measureMessages_data()
{
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<QString>("message");
    QTest::addColumn<QSize>("size");
    QTest::newRow("text file") << QByteArray("not a picture\n") << bothTexts() << QSize(0, 0);
    QTest::newRow("empty file") << QByteArray() << bothTexts() << QSize(0, 0);
    QTest::newRow("JPEG start only") << QByteArray("\xFF\xD8\xFF", 3) << bothTexts() << QSize(0, 0);
    const QByteArray jpeg = Pw::EncodeJpeg(halves(32, 16, kRed, kGreen), 90, 300);
    QTest::newRow("JPEG claiming 0 x 0") << withJpegSize(jpeg, 0, 0) << bothTexts() << QSize(0, 0);
    QTest::newRow("JPEG claiming width 0")
            << withJpegSize(jpeg, 0, 16) << bothTexts() << QSize(0, 0);
    QTest::newRow("JPEG") << jpeg << QString() << QSize(32, 16);
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    halves(7, 5, kRed, kGreen).save(&buffer, "PNG");
    QTest::newRow("PNG") << png << QString() << QSize(7, 5);
}

void TestImaging::measureMessages()
{
    QFETCH(QByteArray, content);
    QFETCH(QString, message);
    QFETCH(QSize, size);
    const QString file = path(QStringLiteral("measure.jpg"));
    QVERIFY(writeBytes(file, content));
    const Pw::PictureInfo info = Pw::LoadAndMeasure(file);
    QCOMPARE(info.error, message);
    QCOMPARE(info.size(), size);
}

// What one measurement found never leaks into the next.
void TestImaging::failedLoadGivesNoSize()
{
    const QString good = path(QStringLiteral("good.png"));
    QVERIFY(halves(50, 60, kRed, kRed).save(good));
    const QString file = path(QStringLiteral("stale.png"));
    QVERIFY(writeBytes(file, "garbage"));
    QCOMPARE(Pw::LoadAndMeasure(good).size(), QSize(50, 60));
    const Pw::PictureInfo bad = Pw::LoadAndMeasure(file);
    QCOMPARE(bad.error, bothTexts());
    QCOMPARE(bad.size(), QSize(0, 0));
    QCOMPARE(Pw::LoadAndMeasure(path(QStringLiteral("missing.jpg"))).error, bothTexts());
    Pw::Canvas canvas;
    canvas.resize(10, 10);
    QCOMPARE(Pw::DrawLetterbox(canvas, good), QString());
    QCOMPARE(Pw::DrawLetterbox(canvas, file), QString()); // the preview just shows nothing
}

void TestImaging::drawFailures()
{
    const QString bad = path(QStringLiteral("bad.jpg"));
    QVERIFY(writeBytes(bad, "garbage"));
    const QString good = path(QStringLiteral("good.png"));
    QVERIFY(halves(20, 10, kRed, kGreen).save(good));
    Pw::FitParams params;
    params.fitMode = Pw::FitMode::Stretch;
    params.targetWidth = 30;
    params.targetHeight = 30;
    Pw::Canvas canvas;
    canvas.resize(30, 30);
    QCOMPARE(Pw::DrawFitted(canvas, bad, params), QStringLiteral("显示失败!"));
    QCOMPARE(Pw::DrawStretched(canvas, bad), QStringLiteral("显示失败!"));
    QCOMPARE(Pw::DrawLetterbox(canvas, bad), QString()); // the preview just shows nothing
    QVERIFY_REGION(canvas.image, canvas.image.rect(), kWhite, 0);
    Pw::Canvas none;
    QCOMPARE(Pw::DrawFitted(none, good, params), QStringLiteral("创建失败"));
    QCOMPARE(Pw::DrawStretched(none, good), QStringLiteral("创建失败"));
    QCOMPARE(Pw::DrawLetterbox(none, good), QStringLiteral("创建失败"));
}

void TestImaging::drawFittedPlacesPixels_data()
{
    QTest::addColumn<int>("mode");
    QTest::addColumn<QSize>("source");
    QTest::addColumn<QSize>("box"); // W x H, or L x 0 in mode 3, or p x 0 in mode 5
    QTest::addColumn<bool>("enlarge");
    QTest::addColumn<QSize>("canvas");
    QTest::addColumn<QRect>("dest");
    QTest::addColumn<QRect>("src");
    QTest::newRow("1 centre cut") << 1 << QSize(1000, 800) << QSize(600, 400) << false
                                  << QSize(600, 400) << QRect(0, 0, 600, 400)
                                  << QRect(200, 200, 600, 400);
    QTest::newRow("1 small, centred")
            << 1 << QSize(300, 201) << QSize(600, 400) << false << QSize(600, 400)
            << QRect(150, 100, 300, 201) << QRect(0, 0, 300, 201);
    QTest::newRow("1 small, enlarged")
            << 1 << QSize(300, 201) << QSize(600, 400) << true << QSize(600, 400)
            << QRect(2, 0, 597, 400) << QRect(0, 0, 300, 201);
    QTest::newRow("1 narrower, cut in height")
            << 1 << QSize(595, 900) << QSize(600, 400) << false << QSize(600, 400)
            << QRect(2, 0, 595, 400) << QRect(0, 250, 595, 400);
    QTest::newRow("2 fit inside") << 2 << QSize(1000, 800) << QSize(600, 400) << false
                                  << QSize(600, 400) << QRect(50, 0, 500, 400)
                                  << QRect(0, 0, 1000, 800);
    QTest::newRow("2 small kept") << 2 << QSize(200, 100) << QSize(600, 400) << false
                                  << QSize(600, 400) << QRect(200, 150, 200, 100)
                                  << QRect(0, 0, 200, 100);
    QTest::newRow("3 long edge") << 3 << QSize(4000, 3000) << QSize(800, 0) << false
                                 << QSize(800, 600) << QRect(0, 0, 800, 600)
                                 << QRect(0, 0, 4000, 3000);
    QTest::newRow("3 long edge, enlarged")
            << 3 << QSize(40, 30) << QSize(800, 0) << true << QSize(800, 600)
            << QRect(0, 0, 800, 600) << QRect(0, 0, 40, 30);
    QTest::newRow("4 stretch") << 4 << QSize(1000, 500) << QSize(300, 300) << false
                               << QSize(300, 300) << QRect(0, 0, 300, 300)
                               << QRect(0, 0, 1000, 500);
    QTest::newRow("5 half") << 5 << QSize(1001, 601) << QSize(50, 0) << false << QSize(500, 300)
                            << QRect(0, 0, 500, 300) << QRect(0, 0, 1001, 601);
}

void TestImaging::drawFittedPlacesPixels()
{
    QFETCH(int, mode);
    QFETCH(QSize, source);
    QFETCH(QSize, box);
    QFETCH(bool, enlarge);
    QFETCH(QSize, canvas);
    QFETCH(QRect, dest);
    QFETCH(QRect, src);
    // Red left of the source's middle, green right of it: the seam shows where it landed.
    const int split = source.width() / 2;
    for (const QString &name : {QStringLiteral("fit.jpg"), QStringLiteral("fit.png")}) {
        const QString file = path(name);
        const QImage picture = halves(source.width(), source.height(), kRed, kGreen, split);
        QVERIFY(name.endsWith(QStringLiteral(".png")) ? picture.save(file)
                                                      : writeJpeg(file, picture));
        Pw::FitParams params;
        params.fitMode = Pw::FitModeFromNumber(mode);
        params.targetWidth = box.width();
        params.targetHeight = box.height();
        params.edgeLength = box.width();
        params.scalePercent = box.width();
        params.enlargeSmall = enlarge;

        const Pw::DrawnPicture drawn = Pw::DrawFittedPicture(file, params);
        QCOMPARE(drawn.error, QString());
        QCOMPARE(QSize(drawn.geometry.canvasWidth, drawn.geometry.canvasHeight), canvas);
        QCOMPARE(drawn.image.size(), dest.size());

        Pw::Canvas target;
        target.fillColour = kBlue;
        target.resize(canvas.width(), canvas.height());
        QCOMPARE(Pw::DrawFitted(target, file, params), QString());
        QCOMPARE(Pw::LoadAndMeasure(file).size(), source);
        const QImage &img = target.image;
        const int tol = 40; // JPEG chroma smears a few pixels around the seam
        const int m = 4;
        if (dest.left() > 0)
            QVERIFY_REGION(img, QRect(0, 0, dest.left(), canvas.height()), kBlue, 0);
        if (dest.top() > 0)
            QVERIFY_REGION(img, QRect(0, 0, canvas.width(), dest.top()), kBlue, 0);
        if (dest.right() < canvas.width() - 1)
            QVERIFY_REGION(
                    img,
                    QRect(dest.right() + 1, 0, canvas.width() - dest.right() - 1, canvas.height()),
                    kBlue, 0);
        if (dest.bottom() < canvas.height() - 1)
            QVERIFY_REGION(img,
                           QRect(0, dest.bottom() + 1, canvas.width(),
                                 canvas.height() - dest.bottom() - 1),
                           kBlue, 0);
        const double scale = double(dest.width()) / src.width();
        const int seam = dest.left() + int(std::lround((split - src.left()) * scale));
        const int band = std::max(m, int(std::ceil(3 * scale)) + m);
        const QRect inner = dest.adjusted(0, m, 0, -m);
        if (seam - band > dest.left() + m)
            QVERIFY_REGION(img,
                           QRect(dest.left() + m, inner.top(), seam - band - dest.left() - m,
                                 inner.height()),
                           kRed, tol);
        if (seam + band < dest.right() - m)
            QVERIFY_REGION(
                    img,
                    QRect(seam + band, inner.top(), dest.right() - m - seam - band, inner.height()),
                    kGreen, tol);
    }
}

void TestImaging::orientation_data()
{
    QTest::addColumn<int>("orientation");
    QTest::addColumn<QRect>("blue");
    QTest::addColumn<QRect>("red");
    QTest::addColumn<QRect>("green");
    // Stored 200 x 100: a blue band along the top (rows 0-24), below it red left, green right.
    QTest::newRow("1 as stored") << 1 << QRect(0, 0, 200, 25) << QRect(0, 25, 100, 75)
                                 << QRect(100, 25, 100, 75);
    QTest::newRow("3 upside down")
            << 3 << QRect(0, 75, 200, 25) << QRect(100, 0, 100, 75) << QRect(0, 0, 100, 75);
    QTest::newRow("6 turned clockwise")
            << 6 << QRect(75, 0, 25, 200) << QRect(0, 0, 75, 100) << QRect(0, 100, 75, 100);
    QTest::newRow("8 turned anticlockwise")
            << 8 << QRect(0, 0, 25, 200) << QRect(25, 100, 75, 100) << QRect(25, 0, 75, 100);
    QTest::newRow("2 mirrored") << 2 << QRect(0, 0, 200, 25) << QRect(100, 25, 100, 75)
                                << QRect(0, 25, 100, 75);
    QTest::newRow("4 flipped") << 4 << QRect(0, 75, 200, 25) << QRect(0, 0, 100, 75)
                               << QRect(100, 0, 100, 75);
    QTest::newRow("5 transposed") << 5 << QRect(0, 0, 25, 200) << QRect(25, 0, 75, 100)
                                  << QRect(25, 100, 75, 100);
    QTest::newRow("7 transversed")
            << 7 << QRect(75, 0, 25, 200) << QRect(0, 100, 75, 100) << QRect(0, 0, 75, 100);
}

void TestImaging::orientation()
{
    QFETCH(int, orientation);
    QFETCH(QRect, blue);
    QFETCH(QRect, red);
    QFETCH(QRect, green);
    QImage stored = halves(200, 100, kRed, kGreen);
    QPainter(&stored).fillRect(0, 0, 200, 25, kBlue);
    const QString file = path(QStringLiteral("oriented.jpg"));
    QVERIFY(writeJpeg(file, stored, orientation));
    const QSize upright = orientation >= 5 ? QSize(100, 200) : QSize(200, 100);

    Pw::Canvas canvas;
    canvas.resize(10, 10);
    QCOMPARE(Pw::LoadAndMeasure(file).error, QString());
    QCOMPARE(Pw::LoadAndMeasure(file).size(), upright);

    // Mode 5 at 100 % draws the picture 1:1, upright; mode 3 halves it.
    Pw::FitParams params;
    params.fitMode = Pw::FitMode::Percent;
    params.scalePercent = 100;
    canvas.resize(upright.width(), upright.height());
    QCOMPARE(Pw::DrawFitted(canvas, file, params), QString());
    const int m = 6;
    QVERIFY_REGION(canvas.image, blue.adjusted(m, m, -m, -m), kBlue, 40);
    QVERIFY_REGION(canvas.image, red.adjusted(m, m, -m, -m), kRed, 40);
    QVERIFY_REGION(canvas.image, green.adjusted(m, m, -m, -m), kGreen, 40);

    params.fitMode = Pw::FitMode::OneEdge;
    params.edgeLength = 100;
    const Pw::DrawnPicture half = Pw::DrawFittedPicture(file, params);
    QCOMPARE(half.error, QString());
    QCOMPARE(half.image.size(), upright / 2);
    const auto halfRect = [](QRect r) {
        return QRect(r.x() / 2 + 4, r.y() / 2 + 4, r.width() / 2 - 8, r.height() / 2 - 8);
    };
    QVERIFY_REGION(half.image, halfRect(blue), kBlue, 40);
    QVERIFY_REGION(half.image, halfRect(red), kRed, 40);
    QVERIFY_REGION(half.image, halfRect(green), kGreen, 40);
}

void TestImaging::exifOrientationIsBoundsChecked_data()
{
    QTest::addColumn<QByteArray>("app1");
    QTest::addColumn<int>("orientation");
    const QByteArray good = exifApp1(6).mid(4);
    QTest::newRow("good") << good << 6;
    QTest::newRow("value 9 is not an orientation") << exifApp1(9).mid(4) << 1;
    QTest::newRow("value 0") << exifApp1(0).mid(4) << 1;
    for (int cut = 0; cut < good.size(); cut += 3)
        QTest::addRow("cut at %d", cut) << good.left(cut) << (cut >= good.size() - 6 ? 6 : 1);
    QByteArray farOffset = good;
    farOffset[10] = char(0xF0); // IFD offset far past the end
    QTest::newRow("IFD past the end") << farOffset << 1;
    QByteArray manyEntries = good;
    manyEntries[14] = char(0xFF);
    manyEntries[15] = char(0xFF);
    manyEntries[16] = char(0x00); // first tag no longer the orientation
    QTest::newRow("entry count past the end") << manyEntries << 1;
    QByteArray bigEndian = good;
    bigEndian[6] = 'M';
    bigEndian[7] = 'M';
    QTest::newRow("byte order flipped") << bigEndian << 1;
}

void TestImaging::exifOrientationIsBoundsChecked()
{
    QFETCH(QByteArray, app1);
    QFETCH(int, orientation);
    QCOMPARE(Pw::Jpeg::ExifOrientation(reinterpret_cast<const uint8_t *>(app1.constData()),
                                       size_t(app1.size())),
             orientation);
}

void TestImaging::transparency_data()
{
    QTest::addColumn<int>("mode");
    QTest::addColumn<QColor>("shows");
    QTest::newRow("mode 1 shows the background colour") << 1 << kBlue;
    QTest::newRow("mode 2 shows the background colour") << 2 << kBlue;
    QTest::newRow("mode 3 flattens onto white") << 3 << kWhite;
    QTest::newRow("mode 4 flattens onto white") << 4 << kWhite;
    QTest::newRow("mode 5 flattens onto white") << 5 << kWhite;
}

void TestImaging::transparency()
{
    QFETCH(int, mode);
    QFETCH(QColor, shows);
    QImage picture(100, 100, QImage::Format_ARGB32);
    picture.fill(Qt::transparent);
    QPainter(&picture).fillRect(50, 0, 50, 100, kRed);
    const QString file = path(QStringLiteral("alpha.png"));
    QVERIFY(picture.save(file));
    Pw::FitParams params;
    params.fitMode = Pw::FitModeFromNumber(mode);
    params.targetWidth = 100;
    params.targetHeight = 100;
    params.edgeLength = 50;
    params.scalePercent = 50;
    const Pw::DrawnPicture drawn = Pw::DrawFittedPicture(file, params);
    QCOMPARE(drawn.error, QString());
    Pw::Canvas canvas;
    canvas.fillColour = kBlue;
    canvas.resize(drawn.geometry.canvasWidth, drawn.geometry.canvasHeight);
    QCOMPARE(Pw::DrawFitted(canvas, file, params), QString());
    const int w = canvas.width(), h = canvas.height();
    QVERIFY_REGION(canvas.image, QRect(2, 2, w / 2 - 6, h - 4), shows, 3);
    QVERIFY_REGION(canvas.image, QRect(w / 2 + 4, 2, w / 2 - 6, h - 4), kRed, 3);
    // Saved without alpha, transparent parts turn white, never black.
    const QByteArray jpeg = Pw::EncodeJpeg(picture, 95, 300);
    QImage back;
    QVERIFY(back.loadFromData(jpeg, "JPEG"));
    QVERIFY_REGION(back, QRect(4, 4, 40, 92), kWhite, 8);
}

void TestImaging::cmykJpeg_data()
{
    QTest::addColumn<bool>("adobe");
    QTest::newRow("Adobe, inverted") << true;
    QTest::newRow("plain ink amounts") << false;
}

void TestImaging::cmykJpeg()
{
    QFETCH(bool, adobe);
    const QString file = path(QStringLiteral("cmyk.jpg"));
    // Left: magenta + yellow = red; right: cyan + magenta = blue.
    QVERIFY(writeCmykJpeg(file, 64, 32, adobe, {0, 255, 255, 0}, {255, 255, 0, 0}));
    const Pw::LoadedPicture loaded = Pw::LoadPicture(file);
    QCOMPARE(loaded.error, QString());
    QCOMPARE(loaded.image.size(), QSize(64, 32));
    QVERIFY_REGION(loaded.image, QRect(2, 2, 24, 28), kRed, 24);
    QVERIFY_REGION(loaded.image, QRect(38, 2, 24, 28), kBlue, 24);
}

void TestImaging::greyAndProgressiveJpeg_data()
{
    QTest::addColumn<bool>("grey");
    QTest::addColumn<bool>("progressive");
    QTest::newRow("greyscale") << true << false;
    QTest::newRow("progressive") << false << true;
    QTest::newRow("progressive greyscale") << true << true;
}

void TestImaging::greyAndProgressiveJpeg()
{
    QFETCH(bool, grey);
    QFETCH(bool, progressive);
    QImage picture = halves(120, 60, QColor(40, 40, 40), QColor(220, 220, 220));
    if (grey)
        picture = picture.convertToFormat(QImage::Format_Grayscale8);
    const QString file = path(QStringLiteral("kind.jpg"));
    QImageWriter writer(file, "jpeg");
    writer.setQuality(95);
    writer.setProgressiveScanWrite(progressive);
    QVERIFY2(writer.write(picture), qPrintable(writer.errorString()));
    Pw::Canvas canvas;
    canvas.resize(60, 30);
    QCOMPARE(Pw::DrawStretched(canvas, file), QString());
    QVERIFY_REGION(canvas.image, QRect(2, 2, 22, 26), QColor(40, 40, 40), 10);
    QVERIFY_REGION(canvas.image, QRect(36, 2, 22, 26), QColor(220, 220, 220), 10);
}

void TestImaging::truncatedJpegDrawsWhatIsThere()
{
    // Red on top; below, noise that holds most of the file's bytes, so the cut falls there.
    QImage picture(160, 160, QImage::Format_RGB32);
    for (int y = 0; y < 160; ++y)
        for (int x = 0; x < 160; ++x)
            picture.setPixel(
                    x, y,
                    y < 80 ? qRgb(255, 0, 0)
                           : qRgb((x * 97 + y * 31) & 255, (x * y * 7) & 255, (x ^ (y * 3)) & 255));
    QByteArray jpeg = Pw::EncodeJpeg(picture, 95, 300);
    const QString file = path(QStringLiteral("truncated.jpg"));
    QVERIFY(writeBytes(file, jpeg.left(jpeg.size() * 6 / 10)));
    Pw::Canvas canvas;
    canvas.resize(10, 10);
    QCOMPARE(Pw::LoadAndMeasure(file).error, QString());
    QCOMPARE(Pw::LoadAndMeasure(file).size(), QSize(160, 160));
    canvas.resize(160, 160);
    // Drawn as far as the data goes, and said to be incomplete rather than passed as whole.
    QCOMPARE(Pw::DrawStretched(canvas, file), QStringLiteral("图片数据不完整"));
    QVERIFY_REGION(canvas.image, QRect(0, 0, 160, 60), kRed, 30);
}

void TestImaging::drawCostCountsProgressiveCoefficients()
{
    // A few hundred bytes that declare 16000 x 16000: progressive, so the decoder would hold
    // every coefficient of the picture (4:4:4, 2 bytes a sample: 1.5 GB).
    QImage small(16, 16, QImage::Format_RGB32);
    small.fill(Qt::darkCyan);
    for (bool progressive : {false, true}) {
        QByteArray bytes;
        QBuffer buffer(&bytes);
        buffer.open(QIODevice::WriteOnly);
        QImageWriter writer(&buffer, "jpeg");
        writer.setProgressiveScanWrite(progressive);
        writer.setSubType("4:4:4");
        QVERIFY(writer.write(small));
        const qsizetype sof = bytes.indexOf(progressive ? "\xFF\xC2" : "\xFF\xC0");
        QVERIFY(sof > 0);
        bytes[sof + 5] = bytes[sof + 7] = char(0x3E); // 0x3E80 = 16000
        bytes[sof + 6] = bytes[sof + 8] = char(0x80);
        const QString file = path(progressive ? QStringLiteral("p.jpg") : QStringLiteral("b.jpg"));
        QVERIFY(writeBytes(file, bytes));
        Pw::FitParams params;
        params.fitMode = Pw::FitMode::Percent;
        params.scalePercent = 10;
        const Pw::DrawCost cost = Pw::EstimateDrawCost(file, params);
        QCOMPARE(cost.canvas, QSize(1600, 1600));
        if (progressive)
            QVERIFY2(cost.pictureBytes >= qint64(16000) * 16000 * 6,
                     qPrintable(QString::number(cost.pictureBytes)));
        else
            QVERIFY2(cost.pictureBytes < qint64(64) << 20,
                     qPrintable(QString::number(cost.pictureBytes)));
    }
    // Modes 1, 2 and 4 draw on the target whatever the file holds, even nothing.
    Pw::FitParams fixed;
    fixed.fitMode = Pw::FitMode::CentreCut;
    fixed.targetWidth = 60000;
    fixed.targetHeight = 50000;
    QCOMPARE(Pw::EstimateDrawCost(path(QStringLiteral("missing.jpg")), fixed).canvas,
             QSize(60000, 50000));
}

void TestImaging::pngNamedJpg()
{
    const QString file = path(QStringLiteral("really-a-png.jpg"));
    QVERIFY(halves(40, 20, kRed, kGreen).save(file, "PNG"));
    Pw::Canvas canvas;
    canvas.resize(40, 20);
    QCOMPARE(Pw::LoadAndMeasure(file).error, QString());
    QCOMPARE(Pw::LoadAndMeasure(file).size(), QSize(40, 20));
    QCOMPARE(Pw::DrawStretched(canvas, file), QString());
    QVERIFY_REGION(canvas.image, QRect(0, 0, 20, 20), kRed, 0);
    QVERIFY_REGION(canvas.image, QRect(20, 0, 20, 20), kGreen, 0);
}

void TestImaging::fiftyMegapixelPngLoads()
{
    // Qt's readers refuse anything over 128 MB unless told otherwise; this one decodes to 200 MB.
    QImage big(8660, 5774, QImage::Format_RGB32);
    QVERIFY(!big.isNull());
    big.fill(kGreen);
    QPainter(&big).fillRect(0, 0, 4330, 5774, kRed);
    const QString file = path(QStringLiteral("fifty.png"));
    QVERIFY(big.save(file, "PNG", 0));
    big = QImage();
    const Pw::PictureInfo info = Pw::LoadAndMeasure(file);
    QCOMPARE(info.error, QString());
    QCOMPARE(QSize(info.width, info.height), QSize(8660, 5774));
    Pw::Canvas canvas;
    canvas.resize(866, 577);
    QCOMPARE(Pw::DrawStretched(canvas, file), QString());
    QVERIFY_REGION(canvas.image, QRect(4, 4, 420, 569), kRed, 2);
    QVERIFY_REGION(canvas.image, QRect(442, 4, 420, 569), kGreen, 2);
}

void TestImaging::overTheMemoryLimit_data()
{
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<QSize>("size");
    const QByteArray jpeg = Pw::EncodeJpeg(halves(32, 16, kRed, kGreen), 90, 300);
    QTest::newRow("JPEG 60000 x 60000") << withJpegSize(jpeg, 60000, 60000) << QSize(60000, 60000);
    QTest::newRow("JPEG just over 1 GiB")
            << withJpegSize(jpeg, 16385, 16384) << QSize(16385, 16384);
    QTest::newRow("PNG 20000 x 20000") << pngHeaderOnly(20000, 20000) << QSize(20000, 20000);
    // Qt's own BMP reader refuses sizes like this outright: then it is simply not a picture.
    QTest::newRow("BMP 30000 x 30000") << bmpHeaderOnly(30000, 30000) << QSize(0, 0);
}

void TestImaging::overTheMemoryLimit()
{
    QFETCH(QByteArray, content);
    QFETCH(QSize, size);
    const QString file = path(QStringLiteral("huge.bin"));
    QVERIFY(writeBytes(file, content));
    const Pw::PictureInfo info = Pw::LoadAndMeasure(file);
    QCOMPARE(QSize(info.width, info.height), size);
    QVERIFY(!info.error.isEmpty());
    QCOMPARE(info.error == bothTexts(), size.isEmpty());
    Pw::Canvas canvas;
    canvas.resize(50, 50);
    Pw::FitParams params;
    params.fitMode = Pw::FitMode::Stretch;
    params.targetWidth = 50;
    params.targetHeight = 50;
    const QString drawText = size.isEmpty() ? QStringLiteral("显示失败!") : info.error;
    QCOMPARE(Pw::DrawFitted(canvas, file, params), drawText);
    QCOMPARE(Pw::DrawStretched(canvas, file), drawText);
}

void TestImaging::failedSaveLeavesNothing_data()
{
    QTest::addColumn<QString>("target");
    QTest::addColumn<QString>("cause");
    QTest::newRow("missing folder")
            << QStringLiteral("missing/out.jpg") << QStringLiteral("文件夹不存在（ENOENT: ");
    QTest::newRow("parent is a file")
            << QStringLiteral("afile/out.jpg") << QStringLiteral("路径中的文件夹不存在（ENOTDIR: ");
}

void TestImaging::failedSaveLeavesNothing()
{
    QFETCH(QString, target);
    QFETCH(QString, cause);
    QTemporaryDir dir;
    QVERIFY(writeBytes(dir.filePath(QStringLiteral("afile")), "x"));
    const QStringList before
            = QDir(dir.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden);
    const QString error = Pw::SaveJpeg(halves(20, 20, kRed, kGreen), dir.filePath(target), 85, 300);
    QVERIFY2(error.startsWith(QStringLiteral("无法保存图片：") + cause), qPrintable(error));
    QCOMPARE(QDir(dir.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden),
             before);
    // An empty encode is refused the same way.
    QCOMPARE(Pw::SaveJpeg(QImage(), dir.filePath(QStringLiteral("n.jpg")), 85, 300),
             QStringLiteral("无法保存图片：没有可保存的图片数据"));
    QVERIFY(!QFile::exists(dir.filePath(QStringLiteral("n.jpg"))));
    QCOMPARE(Pw::SaveJpeg(halves(20, 20, kRed, kGreen), dir.filePath(QStringLiteral("ok.jpg")), 85,
                          300),
             QString());
}

void TestImaging::tinyAndThinPictures_data()
{
    QTest::addColumn<QSize>("source");
    QTest::addColumn<QSize>("target");
    QTest::addColumn<bool>("jpeg");
    const QList<QPair<QSize, QSize>> cases{
            {{1, 1}, {1, 1}},     {{1, 1}, {300, 200}}, {{2, 1}, {1, 1}},  {{1, 3}, {7, 2}},
            {{4000, 1}, {40, 1}}, {{1, 4000}, {3, 9}},  {{17, 9}, {1, 1}}, {{3000, 2000}, {1, 1}}};
    for (const bool jpeg : {false, true})
        for (const auto &c : cases)
            QTest::addRow("%dx%d to %dx%d %s", c.first.width(), c.first.height(), c.second.width(),
                          c.second.height(), jpeg ? "JPEG" : "PNG")
                    << c.first << c.second << jpeg;
}

void TestImaging::tinyAndThinPictures()
{
    QFETCH(QSize, source);
    QFETCH(QSize, target);
    QFETCH(bool, jpeg);
    const QColor colour(200, 120, 40);
    QImage picture(source, QImage::Format_RGB32);
    picture.fill(colour);
    const QString file = path(jpeg ? QStringLiteral("tiny.jpg") : QStringLiteral("tiny.png"));
    QVERIFY(jpeg ? writeJpeg(file, picture, 0, 100) : picture.save(file));
    const Pw::LoadedPicture loaded = Pw::LoadPicture(file, target);
    QCOMPARE(loaded.error, QString());
    QCOMPARE(loaded.image.size(), target);
    QVERIFY_REGION(loaded.image, loaded.image.rect(), colour, jpeg ? 6 : 0);
}

void TestImaging::drawingOnManyThreadsMatchesOneThread()
{
    QStringList files;
    for (int i = 0; i < 6; ++i) {
        QImage picture = halves(600 + 37 * i, 400 + 23 * i, kRed, kGreen);
        QPainter(&picture).fillRect(0, 0, 100, 50 + i * 10, kBlue);
        const QString file = path(QStringLiteral("thread%1.jpg").arg(i));
        QVERIFY(writeJpeg(file, picture, i % 2 ? 6 : 1));
        files << file;
    }
    Pw::FitParams params;
    params.fitMode = Pw::FitMode::OneEdge;
    params.edgeLength = 250;
    QList<QImage> expected;
    for (const QString &file : files)
        expected << Pw::DrawFittedPicture(file, params).image;
    std::vector<QList<QImage>> results(4);
    std::vector<std::thread> threads;
    for (size_t t = 0; t < results.size(); ++t)
        threads.emplace_back([&, t] {
            for (int round = 0; round < 3; ++round)
                for (const QString &file : files)
                    results[t] << Pw::DrawFittedPicture(file, params).image;
        });
    for (std::thread &t : threads)
        t.join();
    for (const QList<QImage> &got : results) {
        QCOMPARE(got.size(), expected.size() * 3);
        for (qsizetype i = 0; i < got.size(); ++i)
            QVERIFY(got[i] == expected[i % expected.size()]);
    }
}

void TestImaging::resamplerSweep_data()
{
    QTest::addColumn<Pw::ResamplerKernels>("kernels");
    for (const auto &[name, kernels] : availableKernels())
        QTest::newRow(name) << kernels;
}

void TestImaging::resamplerSweep()
{
    QFETCH(Pw::ResamplerKernels, kernels);
    QCOMPARE(Pw::SetResamplerKernels(kernels), kernels);
    const auto restore = qScopeGuard([] { Pw::SetResamplerKernels(Pw::ResamplerKernels::Avx2); });
    const bool avx2 = kernels == Pw::ResamplerKernels::Avx2;
    const QList<int> sizes{1, 2, 3, 5, 7, 16, 31, 64, 100, 257, 1000};
    const QRgb colour = qRgb(51, 102, 153);
    for (int inW : sizes)
        for (int outW : sizes) {
            const int multiple = avx2 ? 4 : 2;
            const Pw::FilterAxis axis = Pw::MakeLanczos3Axis(inW, outW, multiple);
            QCOMPARE(int(axis.start.size()), outW);
            QVERIFY(axis.taps >= 2 && axis.taps % multiple == 0);
            for (int i = 0; i < outW; ++i) {
                int sum = 0;
                for (int k = 0; k < axis.taps / 2; ++k) {
                    const uint32_t pair = uint32_t(axis.weights[size_t(i) * (axis.taps / 2) + k]);
                    const int w0 = int16_t(pair & 0xFFFF), w1 = int16_t(pair >> 16);
                    sum += w0 + w1;
                    // A tap past the last sample must weigh nothing.
                    if (axis.start[i] + 2 * k >= inW)
                        QCOMPARE(w0, 0);
                    if (axis.start[i] + 2 * k + 1 >= inW)
                        QCOMPARE(w1, 0);
                }
                QCOMPARE(sum, 1 << Pw::FilterAxis::kShift);
                QVERIFY(axis.start[i] >= 0);
                QVERIFY(axis.start[i] + axis.taps <= inW + multiple - 1);
            }
        }
    for (int inW : {1, 3, 64, 257})
        for (int inH : {1, 2, 31, 100})
            for (int outW : {1, 5, 64, 500})
                for (int outH : {1, 7, 100}) {
                    QImage flat(inW, inH, QImage::Format_RGB32);
                    flat.fill(colour);
                    const QImage out = Pw::ResampleLanczos3(flat, outW, outH);
                    QCOMPARE(out.size(), QSize(outW, outH));
                    for (int y = 0; y < outH; ++y)
                        for (int x = 0; x < outW; ++x)
                            if (out.pixel(x, y) != colour)
                                QFAIL(qPrintable(QStringLiteral("%1x%2 -> %3x%4 at %5,%6")
                                                         .arg(inW)
                                                         .arg(inH)
                                                         .arg(outW)
                                                         .arg(outH)
                                                         .arg(x)
                                                         .arg(y)));
                }
    QVERIFY(Pw::ResampleLanczos3(QImage(4, 4, QImage::Format_RGB32), 0, 4).isNull());
    QVERIFY(Pw::ResampleLanczos3(QImage(), 4, 4).isNull());
}

void TestImaging::resamplerKernelsAgree_data()
{
    QTest::addColumn<QSize>("from");
    QTest::addColumn<QSize>("to");
    QTest::newRow("reduce") << QSize(257, 131) << QSize(61, 40);
    QTest::newRow("reduce a little") << QSize(257, 131) << QSize(250, 129);
    QTest::newRow("enlarge") << QSize(37, 23) << QSize(100, 77);
    QTest::newRow("odd width out") << QSize(200, 50) << QSize(33, 17);
    QTest::newRow("one axis only") << QSize(120, 80) << QSize(120, 31);
}

void TestImaging::resamplerKernelsAgree()
{
    QFETCH(QSize, from);
    QFETCH(QSize, to);
    // Noise with transparency: every channel and the ringing at its edges must come out alike.
    QImage noise(from, QImage::Format_ARGB32);
    uint32_t seed = 12345;
    for (int y = 0; y < from.height(); ++y)
        for (int x = 0; x < from.width(); ++x) {
            seed = seed * 1664525u + 1013904223u;
            noise.setPixel(x, y, seed | (x % 7 == 0 ? 0xFF000000u : 0u));
        }
    const auto restore = qScopeGuard([] { Pw::SetResamplerKernels(Pw::ResamplerKernels::Avx2); });
    QCOMPARE(Pw::SetResamplerKernels(Pw::ResamplerKernels::Portable),
             Pw::ResamplerKernels::Portable);
    const QImage portable = Pw::ResampleLanczos3(noise, to.width(), to.height());
    QCOMPARE(portable.size(), to);
    for (const auto &[name, kernels] : availableKernels()) {
        QCOMPARE(Pw::SetResamplerKernels(kernels), kernels);
        QVERIFY2(Pw::ResampleLanczos3(noise, to.width(), to.height()) == portable, name);
    }
}

void TestImaging::resamplerEdgesLandInPlace_data()
{
    QTest::addColumn<int>("in");
    QTest::addColumn<int>("out");
    QTest::addColumn<Pw::ResamplerKernels>("kernels");
    const QList<QPair<int, int>> sizes{{1000, 100},  {1000, 333}, {640, 639},
                                       {400, 400},   {100, 250},  {64, 1000},
                                       {6000, 1920}, {3, 1},      {5, 2}};
    for (const auto &[name, kernels] : availableKernels())
        for (const auto &size : sizes)
            QTest::addRow("%d to %d %s", size.first, size.second, name)
                    << size.first << size.second << kernels;
}

void TestImaging::resamplerEdgesLandInPlace()
{
    QFETCH(int, in);
    QFETCH(int, out);
    QFETCH(Pw::ResamplerKernels, kernels);
    QCOMPARE(Pw::SetResamplerKernels(kernels), kernels);
    const auto restore = qScopeGuard([] { Pw::SetResamplerKernels(Pw::ResamplerKernels::Avx2); });
    // A step at 3/8 of the width must land at 3/8 of the output, sharp to within the filter.
    const int step = in * 3 / 8;
    const QImage source = halves(in, 8, Qt::black, Qt::white, step);
    const QImage result = Pw::ResampleLanczos3(source, out, 8);
    QCOMPARE(result.size(), QSize(out, 8));
    const double at = step * double(out) / in;
    const int reach = 3 * std::max(1, int(std::ceil(double(out) / in))) + 1;
    for (int x = 0; x < out; ++x) {
        const int v = qGray(result.pixel(x, 4));
        if (x + 0.5 < at - reach)
            QVERIFY2(v <= 6, qPrintable(QStringLiteral("x %1 is %2").arg(x).arg(v)));
        else if (x + 0.5 > at + reach)
            QVERIFY2(v >= 249, qPrintable(QStringLiteral("x %1 is %2").arg(x).arg(v)));
    }
    // The half-way crossing sits within a pixel of the true edge.
    int crossing = 0;
    while (crossing < out && qGray(result.pixel(crossing, 4)) < 128)
        ++crossing;
    QVERIFY2(std::abs(crossing - at) <= 1.0,
             qPrintable(QStringLiteral("crossing %1, edge %2").arg(crossing).arg(at)));
}

QTEST_GUILESS_MAIN(TestImaging)
#include "tst_imaging.moc"
