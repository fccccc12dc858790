#pragma once

#include <QtGlobal>

namespace Pw {

// The machine's physical memory in bytes, or 0 when the system does not say.
qint64 PhysicalMemoryBytes();

} // namespace Pw
