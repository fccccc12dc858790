#pragma once

#include "options/processingoptions.h"

#include <QColor>
#include <QImage>
#include <QSize>
#include <QString>

namespace Pw {

// One picture drawn as the batch run saves it: canvas, background (border modes), picture and
// text overlay. Pure: it reads only its inputs, so it runs on any thread.
struct ResultDrawing
{
    QImage canvas;
    QString loadError;         // the picture could not be measured or sized: no canvas
    QString drawError;         // the canvas shows only part of the picture, or none of it
    bool nothingDrawn = false; // with drawError: no part of the picture is on the canvas
    QString note;              // a remark for the report beside a good drawing
};

// backgroundPicture is already stretched to the target size (modes 1 and 2), or null.
ResultDrawing DrawResult(const QString &file, const ProcessingOptions &options,
                         const QColor &background, const QImage &backgroundPicture = QImage());

// Canvases above this many pixels are not drawn for a preview (a 40-inch print is 108
// megapixels, over 400 MB while it is drawn).
inline constexpr qint64 kPreviewMaxPixels = 40'000'000;

struct ResultPreview
{
    QImage image;    // the result reduced to fit the box, keeping its proportions
    QSize fullSize;  // the size the run would save
    QString message; // why there is no image
};

// Step 2's live preview: DrawResult of the file, reduced to fit `box`. backgroundPicture is
// step 3's choice (a path, "" for none): in modes 1 and 2 it is stretched under the picture as
// the run does.
ResultPreview DrawResultPreview(const QString &file, const ProcessingOptions &options,
                                const QColor &background, QSize box,
                                const QString &backgroundPicture = QString());

} // namespace Pw
