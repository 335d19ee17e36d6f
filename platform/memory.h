#pragma once

namespace platform {

// Gives memory freed inside the program back to the system where the allocator keeps it: after
// a list of a million names is replaced, tens of megabytes.
void releaseFreeMemory();

} // namespace platform
