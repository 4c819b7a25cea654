// Heap trimming: see memory.h.
#include "runtime/memory.h"

#include <malloc.h>

void rt_heap_trim() {
    malloc_trim(0);
}
