#pragma once

#include "options/processingoptions.h"

#include <QFont>
#include <QImage>

namespace Pw {

// The overlay font as the canvas measures and draws it: points at 96 dpi (10.5 pt = 14 px),
// whatever the screen, so a text covers the same pixels on every machine.
QFont OverlayCanvasFont(const QFont &font);

// Draws the step-2 text centred on the canvas: directly, or on a filled box when textInverse
// is on (a red box with white text when the text colour is black). Nothing when addText is off.
// Lines break at CR LF, LF or CR.
void DrawTextOverlay(QImage &canvas, const ProcessingOptions &options);

} // namespace Pw
