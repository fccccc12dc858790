#include "run/summarytext.h"

#include "naming/outputname.h"
#include "run/step3choices.h"

#include <QCoreApplication>

namespace Pw {

namespace {

const QString kBreak = QStringLiteral("\r\n");

QString tr(const char *text)
{
    return QCoreApplication::translate("Pw::Summary", text);
}

QString yesNo(bool on)
{
    return on ? tr("是") : tr("否");
}

} // namespace

QString SummarySizePart(const ProcessingOptions &options, QChar separator)
{
    const QString t1 = options.targetWidth;
    const QString t2 = options.targetHeight;
    switch (options.fitMode) {
    case FitMode::OneEdge:
        if (options.edgeChoice == 2)
            return tr("[横图竖图](") + t1 + tr("[宽]x自动判定值[高]");
        if (options.edgeChoice == 3)
            return tr("[横图竖图](自动判定值[宽]x") + t2 + tr("[高]");
        return tr("[横图](") + t1 + tr("[宽]*自动判定值[高]") + u')' + kBreak
               + tr("或 [竖图](自动判定值[宽]*") + t1 + tr("[高]");
    case FitMode::Percent: {
        const QString p = QString::number(options.scalePercent);
        return tr("原图宽*") + p + tr("%[宽] x 原图高*") + p + tr("%[高]") + separator;
    }
    default: // modes 1, 2 and 4
        return t1 + tr("[宽]x") + t2 + tr("[高]");
    }
}

QString SummaryQualityText(const ProcessingOptions &options, int qualityIndex)
{
    if (options.sizeLimitOn)
        return tr("Q[自动]");
    return u'Q' + QString::number(QualityOfIndex(qualityIndex));
}

QString SummaryText(const SummaryInputs &in)
{
    const ProcessingOptions &o = in.options;
    // The heading step 3 shows above it is not part of the summary: the report has its own.
    QString text = tr("→ 保留数码信息：") + yesNo(in.keepCamera) + kBreak + kBreak
                   + tr("→ 命名规则为：");
    const NamingPattern pattern = NamingPatternText(in.rule, false,
                                                    SummaryQualityText(o, in.qualityIndex));
    text += kBreak + kBreak + pattern.front;
    if (in.rule.isOn(2))
        text += SummarySizePart(o, in.rule.NamingSeparator);
    text += pattern.back;
    text += kBreak + tr("“[]中括号内的内容不会出现在文件名中”");
    text += kBreak + kBreak + tr("→ 处理方式为：") + kBreak + ModeCaption(o);
    text += kBreak + kBreak + tr("→ 图片加字：") + yesNo(o.addText) + tr("  文字反白：")
            + yesNo(o.textInverse);
    text += kBreak + kBreak + tr("→ 限制体积：");
    if (o.sizeLimitOn)
        text += tr("不超过") + o.sizeLimitValue + (o.sizeLimitUnit == 1 ? u'M' : u'K');
    else
        text += tr("否");
    return text;
}

QString SummaryHeading(int selectedCount)
{
    return tr("---======即将处理选定的【%1】个文件======---").arg(selectedCount);
}

QString SummaryHint(const QString &summaryText)
{
    return summaryText + kBreak + kBreak + tr("以上信息如无误，请点击“完成”开始处理！");
}

} // namespace Pw
