#include "run/resultdrawing.h"

#include "imaging/pictureservice.h"
#include "run/textoverlay.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QPainter>

namespace Pw {

namespace {

// The translation context of this file's texts.
struct PreviewText
{
    Q_DECLARE_TR_FUNCTIONS(Pw::ResultDrawing)
};

// The canvas size of the file under the options, or an error.
FitResult canvasOf(const QString &file, const FitParams &params)
{
    if (params.fitMode == FitMode::OneEdge || params.fitMode == FitMode::Percent) {
        const PictureInfo info = LoadAndMeasure(file);
        if (!info.error.isEmpty())
            return FitResult{{}, info.error};
        return ComputeFitGeometry(info.width, info.height, params);
    }
    // Modes 1, 2 and 4 do not measure; the target alone decides the canvas.
    FitResult fit = ComputeFitGeometry(1, 1, params);
    fit.geometry.canvasWidth = params.targetWidth;
    fit.geometry.canvasHeight = params.targetHeight;
    return fit;
}

} // namespace

ResultDrawing DrawResult(const QString &file, const ProcessingOptions &options,
                         const QColor &background, const QImage &backgroundPicture)
{
    ResultDrawing result;
    const FitParams params = ToFitParams(options);
    const FitResult fit = canvasOf(file, params);
    if (!fit.ok()) {
        result.loadError = fit.error;
        return result;
    }
    const QSize canvasSize(fit.geometry.canvasWidth, fit.geometry.canvasHeight);
    const FitMode mode = params.fitMode;
    Canvas canvas;
    canvas.fillColour = hasBorder(mode) ? background : QColor(Qt::white);
    canvas.resize(canvasSize.width(), canvasSize.height());
    if (hasBorder(mode) && !backgroundPicture.isNull()) {
        QPainter painter(&canvas.image);
        painter.drawImage(QRect(QPoint(0, 0), canvasSize), backgroundPicture);
    }
    const DrawnPicture drawn = DrawFittedPicture(file, params, canvasSize);
    // A picture whose data ended early is painted as far as it goes and still reported.
    result.drawError = PaintDrawnPicture(canvas, drawn, mode);
    result.nothingDrawn = drawn.image.isNull() && !result.drawError.isEmpty();
    result.note = drawn.note;
    DrawTextOverlay(canvas.image, options);
    result.canvas = canvas.image;
    return result;
}

ResultPreview DrawResultPreview(const QString &file, const ProcessingOptions &options,
                                const QColor &background, QSize box,
                                const QString &backgroundPicture)
{
    ResultPreview preview;
    if (file.isEmpty()) {
        preview.message = PreviewText::tr("第1步未预览图片");
        return preview;
    }
    const FitParams params = ToFitParams(options);
    const FitResult fit = canvasOf(file, params);
    if (!fit.ok()) {
        preview.message = fit.error;
        return preview;
    }
    preview.fullSize = QSize(fit.geometry.canvasWidth, fit.geometry.canvasHeight);
    if (qint64(preview.fullSize.width()) * preview.fullSize.height() > kPreviewMaxPixels) {
        preview.message = PreviewText::tr("尺寸过大，不预览");
        return preview;
    }
    // As the run: a background picture only under the border of modes 1 and 2, stretched to
    // the given width and height, and only when the file is there.
    QImage stretched;
    const QString backgroundPath = backgroundPicture.trimmed();
    const bool border = options.fitMode == FitMode::CentreCut
                        || options.fitMode == FitMode::FitInside;
    if (border && !backgroundPath.isEmpty() && QFileInfo::exists(backgroundPath))
        stretched = LoadPicture(backgroundPath, QSize(params.targetWidth, params.targetHeight))
                            .image;
    const ResultDrawing drawing = DrawResult(file, options, background, stretched);
    if (!drawing.loadError.isEmpty()) {
        preview.message = drawing.loadError;
        return preview;
    }
    if (!drawing.drawError.isEmpty())
        preview.message = drawing.drawError;
    const QSize shown = preview.fullSize.scaled(box.expandedTo(QSize(1, 1)), Qt::KeepAspectRatio)
                                .expandedTo(QSize(1, 1));
    preview.image = shown.width() >= drawing.canvas.width()
                            ? drawing.canvas
                            : drawing.canvas.scaled(shown, Qt::IgnoreAspectRatio,
                                                    Qt::SmoothTransformation);
    return preview;
}

} // namespace Pw
