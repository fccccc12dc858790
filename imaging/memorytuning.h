#pragma once

namespace Pw {

// Call once at start-up, before any picture is loaded. Keeps the big decode buffers in the
// heap instead of a fresh mmap per picture (whose pages would fault in again on every file)
// and uses one arena, so worker threads do not each hold on to their own copies.
void TuneAllocator();

} // namespace Pw
