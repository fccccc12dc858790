#include "run/reporttext.h"

#include "platform/fileutils.h"
#include "run/sizetime.h"

#include <QCoreApplication>

namespace Pw {

namespace {

const QString kBreak = QStringLiteral("\r\n");

// The translation context of this file's texts.
struct ReportText
{
    Q_DECLARE_TR_FUNCTIONS(Pw::Report)
};

} // namespace

QString CompressionRatioText(qint64 sourceBytes, qint64 outputBytes)
{
    if (sourceBytes <= 0)
        return QStringLiteral("0.00");
    return QString::number(double(outputBytes) / double(sourceBytes) * 100.0, 'f', 2);
}

QString ComposeReport(const ReportFacts &facts, const QDateTime &now)
{
    QString summary = facts.summaryText;
    summary.replace(kBreak + kBreak, kBreak);

    QString text = ReportText::tr("【文件处理报告】") + kBreak + kBreak;
    // A stopped run counts what it took in hand, and says that the rest was never tried.
    text += ReportText::tr("共处理【%1】个文件，成功【%2】个！")
                    .arg(facts.stopped ? facts.processedCount : facts.selectedCount)
                    .arg(facts.successCount)
            + kBreak;
    if (facts.stopped)
        text += ReportText::tr("→ 已中途停止：选中的%1个文件中有%2个未处理")
                        .arg(facts.selectedCount)
                        .arg(facts.selectedCount - facts.processedCount)
                + kBreak;
    text += kBreak;
    text += summary + kBreak;
    text += ReportText::tr("→ 源文件大小：") + FormatFileSize(facts.sourceBytes)
            + ReportText::tr(" 处理后大小：") + FormatFileSize(facts.outputBytes)
            + ReportText::tr(" 压缩比率：")
            + CompressionRatioText(facts.sourceBytes, facts.outputBytes) + u'%' + kBreak;
    text += ReportText::tr("→ 耗时：") + FormatElapsed(facts.elapsedMs * 10) + kBreak + kBreak;
    text += facts.errorLog + kBreak;
    text += QString(35, u' ') + FormatGeneralDateTime(now);
    return text;
}

} // namespace Pw
