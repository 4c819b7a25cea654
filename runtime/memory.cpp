// The heap: see memory.h.
#include "runtime/memory.h"

#include <malloc.h>

namespace {
constexpr int kHeapThresholdBytes = 1 << 20; // mapping and trimming thresholds
constexpr int kHeapGrowthBytes = 8 << 20;    // room a heap takes beyond each request
} // namespace

void rt_heap_setup() {
    mallopt(M_MMAP_THRESHOLD, kHeapThresholdBytes);
    mallopt(M_TRIM_THRESHOLD, kHeapThresholdBytes);
    mallopt(M_TOP_PAD, kHeapGrowthBytes);
}

void rt_heap_trim() {
    malloc_trim(0);
}
