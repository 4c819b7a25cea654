// One-shot timers: a procedure runs on the main thread once a time has
// passed, from the event loop (tk_event_wait), never inside the call that
// set it. Main thread only.
#pragma once

#include <cstdint>

// Calls fn(user) after ms milliseconds.
void tk_timer_once(int64_t ms, void (*fn)(intptr_t user), intptr_t user);
