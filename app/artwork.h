#pragma once

#include <QIcon>
#include <QPixmap>
#include <QSize>

class QPainter;
class QRectF;

namespace Pw {

// The program's own pictures, drawn in code so that they stay sharp at every scaling and the
// repository holds no image files.

// The window icon: a photo with a shrink arrow on a blue tile, at the usual icon sizes.
QIcon AppIcon();

// The step banner (PicL): a vertical strip with a stack of shrinking photo frames and the
// product name, filling rect whatever its height.
void PaintBanner(QPainter &painter, const QRectF &rect);

// The banner as a picture of the given logical size, for the screen's pixel ratio.
QPixmap BannerPixmap(QSize logicalSize, qreal devicePixelRatio = 1.0);

// The glyphs of the picture buttons of step 1.
enum class ButtonGlyph { Folder, Camera, Refresh };
void PaintGlyph(QPainter &painter, const QRectF &rect, ButtonGlyph glyph);

} // namespace Pw
