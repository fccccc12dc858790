#include "run/memorybudget.h"

#include "platform/systemmemory.h"

#include <QCoreApplication>

#include <algorithm>

namespace Pw {

namespace {

constexpr qint64 kMiB = qint64(1) << 20;

QString megabytes(qint64 bytes)
{
    return QString::number((bytes + kMiB - 1) / kMiB) + QStringLiteral(" MB");
}

} // namespace

qint64 DefaultRunMemoryBudget()
{
    bool ok = false;
    const qint64 asked = qEnvironmentVariable("PIXWRIGHT_MEMORY_MB").toLongLong(&ok);
    if (ok && asked > 0)
        return asked * kMiB;
    const qint64 known = PhysicalMemoryBytes();
    const qint64 physical = known > 0 ? known : 4096 * kMiB;
    return std::clamp(physical / 4, 256 * kMiB, 4096 * kMiB);
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
