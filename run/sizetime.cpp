#include "run/sizetime.h"

#include <QCoreApplication>

#include <cmath>

namespace Pw {

namespace {

// The translation context of the time units.
struct SizeTimeText
{
    Q_DECLARE_TR_FUNCTIONS(Pw::SizeTime)
};

} // namespace

QString FormatFileSize(qint64 bytes)
{
    struct Unit
    {
        qint64 size;
        char16_t letter;
    };
    static constexpr Unit units[] = {
            {1LL << 40, u'T'}, {1LL << 30, u'G'}, {1LL << 20, u'M'}, {1LL << 10, u'K'}};
    for (const Unit &unit : units) {
        if (bytes >= unit.size) {
            // long double holds every qint64 exactly, so the half test is exact.
            const auto tenths = qint64(
                    std::round(static_cast<long double>(bytes) * 10 / unit.size));
            return QString::number(tenths / 10) + u'.' + QString::number(tenths % 10)
                   + QChar(unit.letter);
        }
    }
    return QString::number(bytes) + u'B';
}

QString FormatElapsed(qint64 tenThousandths)
{
    if (tenThousandths < 0)
        tenThousandths = 0;
    const qint64 wholeSeconds = tenThousandths / 10000;
    const qint64 hours = wholeSeconds / 3600;
    const qint64 minutes = (wholeSeconds - hours * 3600) / 60;
    const qint64 seconds = wholeSeconds - hours * 3600 - minutes * 60;
    const qint64 millis = (tenThousandths % 10000) / 10;
    return SizeTimeText::tr("%1小时%2分钟%3.%4秒")
            .arg(hours)
            .arg(minutes)
            .arg(seconds)
            .arg(millis, 3, 10, QLatin1Char('0'));
}

QString TimeLeftText(qint64 elapsedMs, int done, int total)
{
    if (done < 2 || total <= done || elapsedMs < 0)
        return QString();
    const qint64 leftMs = static_cast<qint64>(
            std::ceil(static_cast<long double>(elapsedMs) * (total - done) / done));
    const qint64 seconds = (leftMs + 999) / 1000;
    if (seconds < 60)
        return SizeTimeText::tr("剩余约%1秒").arg(seconds);
    if (seconds < 3600)
        return SizeTimeText::tr("剩余约%1分%2秒").arg(seconds / 60).arg(seconds % 60);
    return SizeTimeText::tr("剩余约%1小时%2分").arg(seconds / 3600).arg(seconds % 3600 / 60);
}

} // namespace Pw
