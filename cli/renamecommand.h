#pragma once

#include <QStringList>

namespace Pw {

// pixwright rename [FOLDER] [--select NAME]... [--types jpg,png,bmp] [--rule DIGITS]
//                  [--separator CHAR] [--settings FILE] [--yes]
// args are the words after "rename". 0 done, 1 a rename was refused or stopped, 2 bad arguments.
int RunRenameCommand(const QStringList &args);

} // namespace Pw
