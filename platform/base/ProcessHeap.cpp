#include "ProcessHeap.h"

#include <cstdint>
#include <cstdlib>

#if defined(__linux__) && defined(__GLIBC__) && !defined(__SANITIZE_ADDRESS__) &&                            \
    !defined(__SANITIZE_THREAD__)
#define TEMBROOK_GLIBC_HEAP 1
#include <malloc.h>
#include <sys/mman.h>
#include <unistd.h>
#endif

namespace tembrook::platform {

bool PrepareHeapForBulkWork(std::size_t reserve)
{
#ifdef TEMBROOK_GLIBC_HEAP
    // The largest threshold the allocator accepts on 64-bit systems.
    constexpr int kMmapThreshold = 32 * 1024 * 1024;
    constexpr std::uintptr_t kHugePage = 2 * 1024 * 1024;
    if (reserve == 0 || reserve > (std::size_t{1} << 30))
        return false;
    const int pad = static_cast<int>(reserve);
    if (mallopt(M_ARENA_MAX, 1) != 1 || mallopt(M_MMAP_THRESHOLD, kMmapThreshold) != 1 ||
        mallopt(M_TOP_PAD, pad) != 1 || mallopt(M_TRIM_THRESHOLD, 2 * pad) != 1)
        return false;
    // One block larger than what the heap has free makes it grow by the block
    // and the pad; freed, the block returns to the (kept) top of the heap.
    void* block = std::malloc(1024 * 1024);
    if (block == nullptr)
        return false;
    std::free(block);
    const auto end = reinterpret_cast<std::uintptr_t>(sbrk(0));
    const std::uintptr_t first = (end - reserve + kHugePage - 1) & ~(kHugePage - 1);
    const std::uintptr_t last = end & ~(kHugePage - 1);
    if (last > first)
        (void)madvise(reinterpret_cast<void*>(first), last - first,
                      MADV_HUGEPAGE);  // a hint: no THP, no harm
    return true;
#else
    (void)reserve;
    return false;
#endif
}

}  // namespace tembrook::platform
