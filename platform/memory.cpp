#include "platform/memory.h"

#include <malloc.h>

namespace platform {

void releaseFreeMemory()
{
    ::malloc_trim(0);
}

void returnLargeBlocksAtOnce()
{
    // Setting the threshold also turns off its raising after each large free.
    ::mallopt(M_MMAP_THRESHOLD, 256 * 1024);
}

} // namespace platform
