#include "run/memorybudget.h"

#include "platform/systemmemory.h"

#include <QCoreApplication>

#include <algorithm>
#include <atomic>
#include <cstdio>

namespace Pw {

namespace {

constexpr qint64 kMiB = qint64(1) << 20;
constexpr qint64 kMinimumBudget = 256 * kMiB;

QString megabytes(qint64 bytes)
{
    return QString::number((bytes + kMiB - 1) / kMiB) + QStringLiteral(" MB");
}

// The machine's memory, or 4 GiB when the system does not say.
qint64 physicalMemoryOrGuess()
{
    const qint64 known = PhysicalMemoryBytes();
    return known > 0 ? known : 4096 * kMiB;
}

} // namespace

qint64 BudgetFromEnvironment(const QString &asked, qint64 physicalBytes, QString *note)
{
    bool ok = false;
    const qint64 mebibytes = asked.trimmed().toLongLong(&ok);
    if (!ok || mebibytes <= 0)
        return 0;
    const qint64 low = kMinimumBudget;
    const qint64 high = std::max(low, physicalBytes);
    // Compared in MiB first: the figure times 2^20 may not fit in 64 bits.
    const bool over = mebibytes > high / kMiB;
    const bool under = !over && mebibytes * kMiB < low;
    const qint64 bytes = over ? high : under ? low : mebibytes * kMiB;
    if (over || under) {
        if (note)
            *note = QCoreApplication::translate("Pw::MemoryBudget",
                                                "PIXWRIGHT_MEMORY_MB=%1 不在 %2 到 %3 之间，"
                                                "按 %4 处理")
                            .arg(asked.trimmed(), megabytes(low), megabytes(high),
                                 megabytes(bytes));
    }
    return bytes;
}

qint64 DefaultRunMemoryBudget()
{
    QString note;
    const qint64 asked = BudgetFromEnvironment(qEnvironmentVariable("PIXWRIGHT_MEMORY_MB"),
                                               physicalMemoryOrGuess(), &note);
    if (!note.isEmpty()) {
        // Said once: the wizard asks again for every run.
        static std::atomic_bool said = false;
        if (!said.exchange(true))
            std::fprintf(stderr, "pixwright: %s\n", note.toUtf8().constData());
    }
    if (asked > 0)
        return asked;
    return std::clamp(physicalMemoryOrGuess() / 4, kMinimumBudget, 4096 * kMiB);
}

bool MemoryBudget::tryTake(qint64 bytes)
{
    bytes = std::max<qint64>(0, bytes);
    if (m_inUse > 0 && bytes > m_total - m_inUse)
        return false;
    m_inUse += bytes;
    return true;
}

void MemoryBudget::give(qint64 bytes)
{
    m_inUse = std::max<qint64>(0, m_inUse - std::max<qint64>(0, bytes));
}

QString CanvasTooLargeMessage(int width, int height, qint64 budget)
{
    return QCoreApplication::translate("Pw::MemoryBudget",
                                       "画布太大：%1×%2像素需要%3内存，超过本次处理的限额%4")
            .arg(width)
            .arg(height)
            .arg(megabytes(qint64(width) * height * 4), megabytes(budget));
}

} // namespace Pw
