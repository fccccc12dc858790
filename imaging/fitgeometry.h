#pragma once

#include <QString>

namespace Pw {

// The step-2 choices the geometry reads; run/ fills it from the processing options.
struct FitParams
{
    int fitMode = 1;           // 1 centre cut, 2 fit inside, 3 one edge, 4 stretch, 5 per cent
    int targetWidth = 400;     // W: modes 1, 2, 4
    int targetHeight = 400;    // H: modes 1, 2, 4
    int edgeChoice = 1;        // mode 3: 1 long edge, 2 width, 3 height
    int edgeLength = 400;      // L: mode 3
    int scalePercent = 50;     // p: mode 5
    int percentFloor = 2;      // F: mode 5, lower bound of the height when reducing
    int percentCap = 16000;    // C: mode 5, upper bound of the width when enlarging
    bool enlargeSmall = false; // E: modes 1, 2, 3
};

// Where one picture goes: the canvas, the rectangle drawn into, the rectangle taken from.
struct FitGeometry
{
    int canvasWidth = 0;
    int canvasHeight = 0;
    int destX = 0;
    int destY = 0;
    int destWidth = 0;
    int destHeight = 0;
    int srcX = 0;
    int srcY = 0;
    int srcWidth = 0;
    int srcHeight = 0;

    bool operator==(const FitGeometry &) const = default;
};

struct FitResult
{
    FitGeometry geometry;
    QString error; // empty on success, else the per-picture message

    bool ok() const { return error.isEmpty(); }
};

// JPEG cannot store a side longer than this.
inline constexpr int kMaxCanvasSide = 65500;

// Rounds to the nearest whole number, halves to the even neighbour (R(2.5) = 2, R(3.5) = 4).
int RoundHalfEven(double value);

// The canvas and rectangles for a sourceWidth x sourceHeight picture under params.
// Sizes it cannot use (W, H or L below 1, a canvas below 1 pixel or beyond what JPEG stores)
// give an error instead of a geometry.
FitResult ComputeFitGeometry(int sourceWidth, int sourceHeight, const FitParams &params);

} // namespace Pw
