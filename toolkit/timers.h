// Timers: a procedure called on the main thread once a time has passed, or
// again and again at that interval, for things that end by themselves after
// a pause (a search field that closes after some seconds without a key) or
// look now and then whether something changed. The call comes from the
// window system's loop, also while a dialog waits for its answer. A timer
// runs as long as the program; a once-only timer cannot be stopped, so the
// procedure tells a stale call from a fresh one by the data it is given.
// Main thread only.
#pragma once

#include <cstdint>

using TkTimerCallback = void (*)(intptr_t data);
// Calls callback(data) after milliseconds, and with repeat 1 every
// milliseconds from then on. Returns 1, 0 when the toolkit is not started.
int64_t tk_timer_start(int64_t milliseconds, TkTimerCallback callback, intptr_t data,
                       int64_t repeat = 0);
