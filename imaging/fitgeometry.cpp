#include "imaging/fitgeometry.h"

#include <QCoreApplication>

#include <cfenv>
#include <cmath>
#include <limits>

namespace Pw {

namespace {

// The translation context of this file's texts.
struct GeometryText
{
    Q_DECLARE_TR_FUNCTIONS(Pw::FitGeometry)
};

QString invalidTargetError()
{
    return GeometryText::tr("目标尺寸无效");
}

// A huge intermediate (a 500 % enlargement of a huge picture) is kept as a double so it
// can be refused instead of overflowing an int.
double roundHalfEvenDouble(double value)
{
    return std::nearbyint(value); // the default rounding mode rounds halves to even
}

// Centres a span of `inner` pixels in `outer`; the offset may be negative when inner > outer.
int centred(int outer, int inner)
{
    return RoundHalfEven((outer - inner) / 2.0);
}

// Mode 2 step 1, also mode 1's enlargement: the whole picture as large as fits in W x H.
void fitInside(double r, double t, int W, int H, FitGeometry &g)
{
    if (r > t) {
        g.destWidth = W;
        g.destHeight = std::max(1, RoundHalfEven(W / r));
        g.destX = 0;
        g.destY = centred(H, g.destHeight);
    } else {
        g.destHeight = H;
        g.destWidth = std::max(1, RoundHalfEven(H * r));
        g.destY = 0;
        g.destX = centred(W, g.destWidth);
    }
}

void wholeSource(int sw, int sh, FitGeometry &g)
{
    g.srcX = 0;
    g.srcY = 0;
    g.srcWidth = sw;
    g.srcHeight = sh;
}

void wholeCanvas(FitGeometry &g)
{
    g.destX = 0;
    g.destY = 0;
    g.destWidth = g.canvasWidth;
    g.destHeight = g.canvasHeight;
}

// One axis of the centre cut: a source shorter than the canvas is drawn whole, centred; a longer
// one is cut to the canvas around its own centre.
void centreCutAxis(int source, int canvas, int &dest, int &destLength, int &src)
{
    if (source < canvas) {
        dest = centred(canvas, source);
        destLength = source;
        src = 0;
    } else {
        dest = 0;
        destLength = canvas;
        src = centred(source, canvas);
    }
}

FitGeometry centreCut(int sw, int sh, const FitParams &p)
{
    const int W = p.targetWidth;
    const int H = p.targetHeight;
    FitGeometry g;
    g.canvasWidth = W;
    g.canvasHeight = H;
    centreCutAxis(sw, W, g.destX, g.destWidth, g.srcX);
    centreCutAxis(sh, H, g.destY, g.destHeight, g.srcY);
    g.srcWidth = g.destWidth;
    g.srcHeight = g.destHeight;

    const bool small = sw < W && sh < H;
    if (small && p.enlargeSmall) {
        fitInside(double(sw) / sh, double(W) / H, W, H, g);
        wholeSource(sw, sh, g);
    }
    return g;
}

FitGeometry fitWhole(int sw, int sh, const FitParams &p)
{
    const int W = p.targetWidth;
    const int H = p.targetHeight;
    FitGeometry g;
    g.canvasWidth = W;
    g.canvasHeight = H;
    wholeSource(sw, sh, g);
    fitInside(double(sw) / sh, double(W) / H, W, H, g);
    if (!p.enlargeSmall && sw < g.destWidth && sh < g.destHeight) {
        g.destWidth = sw;
        g.destHeight = sh;
        g.destX = centred(W, sw);
        g.destY = centred(H, sh);
    }
    return g;
}

} // namespace

int RoundHalfEven(double value)
{
    const double rounded = roundHalfEvenDouble(value);
    if (!(rounded >= std::numeric_limits<int>::min()))
        return std::numeric_limits<int>::min();
    if (rounded > std::numeric_limits<int>::max())
        return std::numeric_limits<int>::max();
    return int(rounded);
}

FitResult ComputeFitGeometry(int sw, int sh, const FitParams &p)
{
    FitResult result;
    if (sw < 1 || sh < 1) {
        result.error = GeometryText::tr("无法取得图片尺寸");
        return result;
    }
    const double r = double(sw) / sh;
    FitGeometry &g = result.geometry;
    // Canvas sides are computed as doubles first so that an absurd size is refused, not wrapped.
    double canvasWidth = 0;
    double canvasHeight = 0;

    switch (p.fitMode) {
    case FitMode::CentreCut:
    case FitMode::FitInside:
    case FitMode::Stretch:
        if (p.targetWidth < 1 || p.targetHeight < 1) {
            result.error = invalidTargetError();
            return result;
        }
        if (p.fitMode == FitMode::CentreCut) {
            g = centreCut(sw, sh, p);
        } else if (p.fitMode == FitMode::FitInside) {
            g = fitWhole(sw, sh, p);
        } else {
            g.canvasWidth = p.targetWidth;
            g.canvasHeight = p.targetHeight;
            wholeCanvas(g);
            wholeSource(sw, sh, g);
        }
        canvasWidth = g.canvasWidth;
        canvasHeight = g.canvasHeight;
        break;
    case FitMode::OneEdge: {
        const int L = p.edgeLength;
        if (L < 1) {
            result.error = invalidTargetError();
            return result;
        }
        const bool fixWidth = p.edgeChoice == 2 || (p.edgeChoice != 3 && sh < sw);
        if (fixWidth) {
            canvasWidth = L;
            canvasHeight = roundHalfEvenDouble(L / r);
        } else {
            canvasHeight = L;
            canvasWidth = roundHalfEvenDouble(r * L);
        }
        if (!p.enlargeSmall && sw < canvasWidth && sh < canvasHeight) {
            canvasWidth = sw;
            canvasHeight = sh;
        }
        break;
    }
    case FitMode::Percent: {
        const double percent = p.scalePercent;
        if (percent < 1) {
            result.error = invalidTargetError();
            return result;
        }
        if (p.scalePercent == 100) {
            canvasWidth = sw;
            canvasHeight = sh;
        } else if (p.scalePercent > 100) {
            canvasWidth = roundHalfEvenDouble(percent / 100 * sw);
            if (canvasWidth > p.percentCap)
                canvasWidth = p.percentCap;
            canvasHeight = roundHalfEvenDouble(canvasWidth / r);
        } else {
            canvasHeight = roundHalfEvenDouble(percent / 100 * sh);
            if (canvasHeight < p.percentFloor)
                canvasHeight = p.percentFloor;
            canvasWidth = roundHalfEvenDouble(r * canvasHeight);
        }
        break;
    }
    default:
        result.error = GeometryText::tr("处理方式无效");
        return result;
    }

    if (canvasWidth < 1 || canvasHeight < 1) {
        result.error = invalidTargetError();
        return result;
    }
    if (canvasWidth > kMaxCanvasSide || canvasHeight > kMaxCanvasSide) {
        result.error = GeometryText::tr("目标尺寸超过JPEG所能保存的65500像素");
        return result;
    }
    if (p.fitMode == FitMode::OneEdge || p.fitMode == FitMode::Percent) {
        g.canvasWidth = int(canvasWidth);
        g.canvasHeight = int(canvasHeight);
        wholeCanvas(g);
        wholeSource(sw, sh, g);
    }
    return result;
}

} // namespace Pw
