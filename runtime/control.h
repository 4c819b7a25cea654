// Pause, resume and cancel for long work on a worker thread, and the counts
// the work publishes while it runs.
//
// An RtControl is shared between the thread that does the work (a copy, a
// folder walk, a tree delete) and the threads that steer or watch it (the
// progress window's buttons on the main thread). The worker calls
// rt_control_go_on between steps small enough to take well under 200 ms (a
// chunk of a file, one entry of a folder): while the control is paused it
// sleeps on a condition variable, without spinning, and returns when resumed
// (true) or cancelled (false). Cancelling wins over pausing and is final.
//
// bytes and items are counts the work adds to as it goes (bytes copied,
// entries removed or collected); any thread reads them whenever it likes, so
// nothing needs to be posted per chunk. Several workers may share one
// control (the copies of one job on several threads): the counts then sum
// them all. The caller owns the record and keeps it alive while work uses
// it; a null control means "never paused, never cancelled".
#pragma once
#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <mutex>

// States of RtControl::state.
enum : int {
    RtControlRun = 0,       // work goes on
    RtControlPaused = 1,    // work waits in rt_control_go_on
    RtControlCancelled = 2, // work stops at its next step; final
};

struct RtControl {
    std::atomic<int> state{RtControlRun}; // RtControl…; written by the steering threads
    std::atomic<int64_t> bytes{0};        // bytes of file contents done; added by workers
    std::atomic<int64_t> items{0};        // entries done (removed, collected); added by workers
    std::mutex lock;                      // guards the waits on changed
    std::condition_variable changed;      // signalled on every change of state
};

// From any thread. Pausing a cancelled control does nothing; resuming wakes
// the waiting workers; cancelling wakes them too and stays.
void rt_control_pause(RtControl* control);
void rt_control_resume(RtControl* control);
void rt_control_cancel(RtControl* control);

// Worker side, between two steps: returns at once while the control runs
// (true), waits while it is paused, and returns false once it is cancelled.
bool rt_control_go_on(RtControl* control);

// Worker side: adds to the published counts (nothing for a null control).
inline void rt_control_add_bytes(RtControl* control, int64_t bytes) {
    if (control) control->bytes.fetch_add(bytes, std::memory_order_relaxed);
}
inline void rt_control_add_items(RtControl* control, int64_t items) {
    if (control) control->items.fetch_add(items, std::memory_order_relaxed);
}
