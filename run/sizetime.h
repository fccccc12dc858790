#pragma once

#include <QString>
#include <QtGlobal>

namespace Pw {

// A byte count as the report shows it: "512B", "1.5K", "5.0M", "1.0G", "2.0T"
// (one decimal, halves away from zero, no blank, no grouping).
QString FormatFileSize(qint64 bytes);

// Elapsed time as "1小时2分钟5.250秒"; the argument is seconds scaled by 10 000
// (four decimals, as the run's millisecond clock gives them).
QString FormatElapsed(qint64 tenThousandthsOfSecond);

// The time a run still needs, from the time the files done so far took: "剩余约42秒",
// "剩余约3分5秒", "剩余约1小时20分" (rounded up). Empty before two files are done or when
// none is left.
QString TimeLeftText(qint64 elapsedMs, int done, int total);

} // namespace Pw
