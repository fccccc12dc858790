#pragma once

#include <QString>

namespace Pw {

// A file name as the terminal and the windows show it: control characters written as escapes
// ("\n", "\t", "\r", "\x1b", "\x7f", "\u0085"), so a name can neither break a line of a report
// nor send the terminal a command. The backslash itself stays as it is. Only for showing: the
// file keeps its real name.
QString ShownName(const QString &name);

} // namespace Pw
