#pragma once

namespace platform {

// Gives memory freed inside the program back to the system where the allocator keeps it: after
// a list of a million names is replaced, tens of megabytes.
void releaseFreeMemory();

// Has every large block (a quarter of a megabyte and up) taken from the system on its own and
// given back as soon as it is freed. By default the allocator keeps such a block for reuse once
// one was freed, and the buffers of a run over a million files (plans, indexes, listings) then
// stay with the program, on several threads' heaps: some 25 MB more at the peak.
void returnLargeBlocksAtOnce();

} // namespace platform
