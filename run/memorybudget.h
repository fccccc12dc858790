#pragma once

#include <QString>
#include <QtGlobal>

namespace Pw {

// The memory a batch run may hold in pictures drawn ahead: a quarter of physical memory, at most
// 4 GiB (at least 256 MiB). PIXWRIGHT_MEMORY_MB in the environment sets another figure in MiB,
// kept between 256 MiB and the machine's physical memory; a figure moved into that range is said
// once on standard error.
qint64 DefaultRunMemoryBudget();

// The budget PIXWRIGHT_MEMORY_MB = asked gives on a machine with physicalBytes of memory: 0 when
// asked is not a whole number above 0 (the default applies), else the figure in bytes, clamped
// to 256 MiB .. physicalBytes. note says what was changed, when anything was.
qint64 BudgetFromEnvironment(const QString &asked, qint64 physicalBytes, QString *note);

// Admission of drawings by their memory. Used on the run's own thread only.
class MemoryBudget
{
public:
    explicit MemoryBudget(qint64 total)
        : m_total(total)
    {}
    qint64 total() const { return m_total; }
    qint64 inUse() const { return m_inUse; }
    // Takes bytes when they fit in what is left; with nothing taken, anything that is not alone
    // over the whole budget is taken, so a large picture runs by itself rather than never.
    bool tryTake(qint64 bytes);
    void give(qint64 bytes);

private:
    qint64 m_total;
    qint64 m_inUse = 0;
};

// The per-file error for a canvas that alone needs more than the budget.
QString CanvasTooLargeMessage(int width, int height, qint64 budget);

} // namespace Pw
