#pragma once

#include <QStringList>

namespace Pw {

// `pixwright info FILE...`: prints each file's camera information text. args are the
// arguments after "info". Returns the exit status: 0 when every file could be read, 1 when one
// could not, 2 for a usage error.
int RunInfoCommand(const QStringList &args);

} // namespace Pw
