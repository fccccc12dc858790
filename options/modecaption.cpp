#include "options/modecaption.h"

#include <QCoreApplication>

namespace Pw {

namespace {

// The translation context of this file's texts.
struct CaptionText
{
    Q_DECLARE_TR_FUNCTIONS(Pw::ModeCaption)
};

} // namespace

QString ModeCaption(const ProcessingOptions &options)
{
    switch (options.fitMode) {
    case FitMode::CentreCut:
        return CaptionText::tr("1.指定图形的宽和高，抛弃超出的部分，不缩放不变形，有白边");
    case FitMode::FitInside:
        return CaptionText::tr("2.指定图形的宽和高，最大化可视原图，缩放而不变形，有白边");
    case FitMode::OneEdge:
        if (options.edgeChoice == 2)
            return CaptionText::tr("3.指定图形的  宽  ，最大化可视原图，缩放而不变形，无白边");
        if (options.edgeChoice == 3)
            return CaptionText::tr("3.指定图形的  高  ，最大化可视原图，缩放而不变形，无白边");
        return CaptionText::tr("3.指定图形的 长边 ，最大化可视原图，缩放而不变形，无白边");
    case FitMode::Stretch:
        return CaptionText::tr("4.指定图形的宽和高，图形撑满四周边框，缩放后变形，无白边");
    case FitMode::Percent:
        if (options.scalePercent == 100)
            return CaptionText::tr("5.原图原样100%复制，不变形，此时不影响画质压缩体积，无白边");
        if (options.scalePercent > 100)
            return CaptionText::tr("5.原图按 %1 倍（允许5%-5倍）进行（缩）放，不变形，无白边")
                    .arg(QString::number(options.scalePercent / 100.0));
        return CaptionText::tr("5.原图按 %1% 比例(允许5%-5倍)进行缩(放)，不变形，无白边")
                .arg(options.scalePercent);
    default:
        return QString();
    }
}

} // namespace Pw
