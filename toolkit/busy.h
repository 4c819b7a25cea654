// Small helpers the file operations need from the toolkit: the busy cursor
// while the main thread works through a long collection, and selecting the
// whole text of a string field. Main thread only.
#pragma once

#include <cstdint>

// on 1: every window of the program shows the busy cursor until the
// matching call with 0 (calls nest).
void tk_busy_cursor(int64_t on);
// Selects all text of a string gadget; 1 when it is one.
int64_t tk_string_select_all(int64_t gadget);
