#pragma once

#include <QString>

#include <algorithm>

namespace Pw {

// The five ways of fitting a picture. The values are the mode numbers the user sees and the
// run folders are named after; the settings store the index, number - 1.
enum class FitMode { CentreCut = 1, FitInside = 2, OneEdge = 3, Stretch = 4, Percent = 5 };

// Modes 1 and 2 may leave part of the canvas uncovered: the background colour or picture shows
// there, and transparent pixels are flattened onto it.
constexpr bool hasBorder(FitMode mode)
{
    return mode == FitMode::CentreCut || mode == FitMode::FitInside;
}

// The mode number 1..5, and the mode of a number (clamped into 1..5).
constexpr int ModeNumber(FitMode mode)
{
    return int(mode);
}
constexpr FitMode FitModeFromNumber(int number)
{
    return FitMode(std::clamp(number, 1, 5));
}
// The stored index 0..4 (also the index of the mode's button), and the mode of an index
// (clamped into 0..4).
constexpr int FitModeIndex(FitMode mode)
{
    return int(mode) - 1;
}
constexpr FitMode FitModeFromIndex(int index)
{
    return FitModeFromNumber(index + 1);
}

// The step-2 choices the geometry reads; run/ fills it from the processing options.
struct FitParams
{
    FitMode fitMode = FitMode::CentreCut;
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
