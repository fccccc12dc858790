#pragma once

#include <QDateTime>
#include <QString>
#include <QtGlobal>

namespace Pw {

// The report colours, 0x00BBGGRR: blue when every selected file succeeded, else red.
inline constexpr qint32 kReportBlue = 0xFF0000;
inline constexpr qint32 kReportRed = 0x0000FF;

// The counters of a finished (or stopped) run that the report is composed from.
struct ReportFacts
{
    int selectedCount = 0;
    int successCount = 0;
    bool stopped = false;   // a stop ended the run before the last selected file
    int processedCount = 0; // files taken in hand before the stop (read when stopped)
    qint64 sourceBytes = 0;
    qint64 outputBytes = 0;
    qint64 elapsedMs = 0;
    QString summaryText; // SummaryText of step 3
    QString errorLog;    // as collected, starting with its first CR LF
};

// OutputBytes / SourceBytes x 100 with two decimals; "0.00" when no byte was read.
QString CompressionRatioText(qint64 sourceBytes, qint64 outputBytes);

// The report text, line by line, CR LF line breaks; `now` is the closing time stamp.
QString ComposeReport(const ReportFacts &facts, const QDateTime &now);

inline qint32 ReportColour(int selectedCount, int successCount)
{
    return successCount == selectedCount ? kReportBlue : kReportRed;
}

} // namespace Pw
