#include "core/memory.h"

#if defined(__GLIBC__)
#include <malloc.h>
#endif

namespace vx
{

void keepFreedMemoryForReuse()
{
#if defined(__GLIBC__)
    // Buffers up to 32 MiB come from the heap, and up to 128 MiB of free heap is kept.
    mallopt(M_MMAP_THRESHOLD, 32 * 1024 * 1024);
    mallopt(M_TRIM_THRESHOLD, 128 * 1024 * 1024);
#endif
}

} // namespace vx
