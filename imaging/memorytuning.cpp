#include "imaging/memorytuning.h"

#include <malloc.h>

namespace Pw {

void TuneAllocator()
{
    // Blocks below 256 MB come from the heap and are reused from file to file; freed memory is
    // handed back to the system only beyond 512 MB.
    mallopt(M_MMAP_THRESHOLD, 256 * 1024 * 1024);
    mallopt(M_TRIM_THRESHOLD, 512 * 1024 * 1024);
    mallopt(M_ARENA_MAX, 1);
}

} // namespace Pw
