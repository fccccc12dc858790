#include "run/summarytext.h"

#include "naming/outputname.h"
#include "run/step3choices.h"

#include <QCoreApplication>
#include <QFileInfo>

namespace Pw {

namespace {

const QString kBreak = QStringLiteral("\r\n");

// The translation context of this file's texts.
struct SummaryWords
{
    Q_DECLARE_TR_FUNCTIONS(Pw::Summary)
};

QString yesNo(bool on)
{
    return on ? SummaryWords::tr("是") : SummaryWords::tr("否");
}

} // namespace

QString SummarySizePart(const ProcessingOptions &options, QChar separator)
{
    const QString t1 = options.targetWidth;
    const QString t2 = options.targetHeight;
    switch (options.fitMode) {
    case FitMode::OneEdge:
        if (options.edgeChoice == 2)
            return SummaryWords::tr("[横图竖图](") + t1 + SummaryWords::tr("[宽]x自动判定值[高]");
        if (options.edgeChoice == 3)
            return SummaryWords::tr("[横图竖图](自动判定值[宽]x") + t2 + SummaryWords::tr("[高]");
        return SummaryWords::tr("[横图](") + t1 + SummaryWords::tr("[宽]*自动判定值[高]") + u')'
               + kBreak + SummaryWords::tr("或 [竖图](自动判定值[宽]*") + t1
               + SummaryWords::tr("[高]");
    case FitMode::Percent: {
        const QString p = QString::number(options.scalePercent);
        return SummaryWords::tr("原图宽*") + p + SummaryWords::tr("%[宽] x 原图高*") + p
               + SummaryWords::tr("%[高]") + separator;
    }
    default: // modes 1, 2 and 4
        return t1 + SummaryWords::tr("[宽]x") + t2 + SummaryWords::tr("[高]");
    }
}

QString SummaryQualityText(const ProcessingOptions &options, int qualityIndex)
{
    if (options.sizeLimitOn)
        return SummaryWords::tr("Q[自动]");
    return u'Q' + QString::number(QualityOfIndex(qualityIndex));
}

QString SummaryText(const SummaryInputs &in)
{
    const ProcessingOptions &o = in.options;
    // The heading step 3 shows above it is not part of the summary: the report has its own.
    QString text;
    if (in.selectedCount > 0)
        text += SummaryWords::tr("→ 即将处理：%1 个图片").arg(in.selectedCount) + kBreak + kBreak;
    text += SummaryWords::tr("→ 保留数码信息：") + yesNo(in.keepCamera) + kBreak + kBreak
            + SummaryWords::tr("→ 命名规则为：");
    // The rule the run applies, not the one stored: the names must match what is announced.
    const NamingRule rule = EffectiveNamingRule(in.rule, false, in.keepCamera);
    const NamingPattern pattern = NamingPatternText(rule, false,
                                                    SummaryQualityText(o, in.qualityIndex));
    text += kBreak + kBreak + pattern.front;
    if (rule.isOn(2))
        text += SummarySizePart(o, rule.NamingSeparator);
    text += pattern.back;
    text += kBreak + SummaryWords::tr("“[]中括号内的内容不会出现在文件名中”");
    text += kBreak + kBreak + SummaryWords::tr("→ 处理方式为：") + kBreak + ModeCaption(o);
    const QString background = in.backgroundPicture.trimmed();
    if (hasBorder(o.fitMode) && !background.isEmpty() && QFileInfo::exists(background))
        text += kBreak + kBreak + SummaryWords::tr("→ 背景图：") + QFileInfo(background).fileName();
    text += kBreak + kBreak + SummaryWords::tr("→ 图片加字：") + yesNo(o.addText)
            + SummaryWords::tr("  文字反白：") + yesNo(o.textInverse);
    text += kBreak + kBreak + SummaryWords::tr("→ 限制体积：");
    if (o.sizeLimitOn)
        text += SummaryWords::tr("不超过") + o.sizeLimitValue
                + (o.sizeLimitUnit == 1 ? u'M' : u'K');
    else
        text += SummaryWords::tr("否");
    return text;
}

QString SummaryHeading(int selectedCount)
{
    return SummaryWords::tr("---======即将处理选定的【%1】个文件======---").arg(selectedCount);
}

QString SummaryHint(const QString &summaryText)
{
    return summaryText + kBreak + kBreak
           + SummaryWords::tr("以上信息如无误，请点击“完成”开始处理！");
}

QString RenameModeText(const NamingRule &rule, int selectedCount)
{
    const NamingPattern pattern = NamingPatternText(rule, true, QString());
    const QString parts[] = {SummaryWords::tr("===============命名规则==============="),
                             pattern.front + pattern.back,
                             SummaryWords::tr("即将处理选定的【%1】个文件").arg(selectedCount),
                             SummaryWords::tr("======================================="),
                             SummaryWords::tr("点击“批量改名”以继续")};
    QString text;
    for (const QString &part : parts)
        text += part + kBreak + kBreak;
    return text;
}

QString RunningHint()
{
    return SummaryWords::tr("按压“终止”按钮可结束图片处理");
}

} // namespace Pw
