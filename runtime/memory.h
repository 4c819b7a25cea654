// Giving memory back to the system after a large temporary burst.
#pragma once

// Returns the free pages of the heap to the system. A folder listing frees
// its temporary records between the rows it keeps, so without this the
// program would hold that memory until it happened to be reused.
// Any thread; costs a few milliseconds on a large heap.
void rt_heap_trim();
