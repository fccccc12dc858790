#include "run/backgroundpicture.h"

#include "imaging/pictureservice.h"

#include <QCoreApplication>

namespace Pw {

namespace {

// The translation context of this file's texts.
struct BackgroundText
{
    Q_DECLARE_TR_FUNCTIONS(Pw::RunBackground)
};

QString megabytes(qint64 bytes)
{
    constexpr qint64 kMiB = qint64(1) << 20;
    return QString::number((bytes + kMiB - 1) / kMiB) + QStringLiteral(" MB");
}

} // namespace

RunBackground LoadRunBackground(const QString &path, QSize canvas, qint64 budget)
{
    RunBackground background;
    const PictureInfo info = LoadAndMeasure(path);
    if (!info.error.isEmpty()) {
        background.problem = info.error;
        return background;
    }
    FitParams params;
    params.fitMode = FitMode::Stretch;
    params.targetWidth = canvas.width();
    params.targetHeight = canvas.height();
    const DrawCost cost = EstimateDrawCost(path, params);
    const qint64 stretched = qint64(canvas.width()) * canvas.height() * 4;
    const qint64 needed = stretched + cost.pictureBytes;
    if (stretched > budget / 2 || needed > budget) {
        background.problem = BackgroundText::tr("背景图片需要%1内存，超过本次处理的限额%2")
                                     .arg(megabytes(needed), megabytes(budget));
        return background;
    }
    const LoadedPicture loaded = LoadPicture(path, canvas);
    background.problem = loaded.error;
    background.note = loaded.note;
    background.image = loaded.image;
    background.bytes = loaded.image.isNull() ? 0 : stretched;
    return background;
}

} // namespace Pw
