// The heap: how it gives memory back to the system after a large
// temporary burst.
#pragma once

// Fixes the heap's thresholds for the life of the process; call once at
// start-up, before other threads run. Without it the C library raises them
// after each large block it frees, so the free room a folder listing leaves
// on a reading thread stays resident for good (rt_heap_trim cannot reach the
// free end of another thread's heap). Blocks of a megabyte and more are then
// mapped on their own and unmapped when freed, and every heap gives back a
// free end of more than a megabyte. A heap grows by eight megabytes at a
// time instead of the default 128 KB: a listing of 100,000 rows grew its
// heap some four hundred times, each a system call that changes the
// process's memory map while the other threads fault pages in (start until
// usable: 6-8 % less). A trimmed heap keeps that much of its end.
void rt_heap_setup();

// Returns the free pages of the heap to the system. A folder listing frees
// its temporary records between the rows it keeps, so without this the
// program would hold that memory until it happened to be reused.
// Any thread; costs a few milliseconds on a large heap.
void rt_heap_trim();
