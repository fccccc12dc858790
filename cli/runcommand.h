#pragma once

#include <QStringList>

namespace Pw {

// Exit codes of `pixwright run`.
inline constexpr int kRunAllSucceeded = 0;
inline constexpr int kRunSomeFailed = 1;
inline constexpr int kRunBadArguments = 2;
inline constexpr int kRunNothingSelected = 3;

// `pixwright run [FOLDER] [options]`: the batch run without windows. args are the words after
// "run". Progress goes to stderr, the report and the result folder to stdout. Ctrl+C asks the
// run to stop after the file in hand. Reads the settings file, never writes it.
int RunBatchCommand(const QStringList &args);

} // namespace Pw
