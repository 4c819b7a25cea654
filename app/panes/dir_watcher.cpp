// The panes' folder watchers: see dir_watcher.h.
#include "app/panes/dir_watcher.h"

#include "app/core/ids.h"
#include "app/panes/panes.h"
#include "platform/dir_watch.h"
#include "runtime/files.h"
#include "runtime/threads.h"
#include "toolkit/events.h"

namespace {

DirWatchRecord Watchers[2]; // [0] pane 5, [1] pane 10

// Without a notification handle (inotify refused the folder) the watcher
// still serves Changed flags, looking at Stop this often.
constexpr int NoHandleStepMs = 10;

void CloseHandleOf(DirWatchRecord& r) {
    if (const int64_t h = r.Handle.exchange(0)) pf_watch_close(h);
}

void Report(DirWatchRecord& r) {
    r.Changed = 0;
    tk_event_post(EventDirChanged, WinMain, 0, 0, reinterpret_cast<intptr_t>(&r));
}

// One wait of at most the time-out: 1 changed, 0 timed out, -1 woken.
int WaitOnce(DirWatchRecord& r, int64_t handle) {
    if (handle) return pf_watch_wait(handle, r.TimeOut);
    for (int waited = 0; waited < r.TimeOut; waited += NoHandleStepMs) {
        if (r.Stop.load()) return -1;
        rt_delay(NoHandleStepMs);
    }
    return 0;
}

} // namespace

DirWatchRecord* DirWatchOf(int64_t pane) {
    if (pane == GadLeftPane) return &Watchers[0];
    if (pane == GadRightPane) return &Watchers[1];
    return nullptr;
}

void StopDirWatcher(int64_t pane) {
    DirWatchRecord* r = DirWatchOf(pane);
    if (!r || !r->Thread) return;
    r->Stop = 1;
    CloseHandleOf(*r); // wakes the wait at once
    rt_thread_wait(r->Thread);
    r->Thread = 0;
}

void StartDirWatcher(int64_t pane) {
    DirWatchRecord* r = DirWatchOf(pane);
    if (!r) return;
    StopDirWatcher(pane);
    r->Pane = pane;
    r->Stop = 0;
    r->Path = PanePath(pane);
    r->TimeOut = 250;
    r->Thread = rt_thread_create(DirWatcher, reinterpret_cast<intptr_t>(r));
}

void DirWatcher(intptr_t record) {
    DirWatchRecord& r = *reinterpret_cast<DirWatchRecord*>(record);
    // Whether the folder can be listed is asked here, not on the main thread,
    // where a hanging mount would freeze the window.
    const int listing = rt_dir_examine(-1, r.Path, L"*");
    if (!listing) return;
    rt_dir_finish(listing);
    const int64_t handle = pf_watch_open(r.Path);
    r.Handle = handle;
    bool pending = false;
    // Stop may have come before the handle was stored: looked at after it.
    while (!r.Stop.load()) {
        if (r.Changed.load()) pending = true;
        const int result = WaitOnce(r, r.Handle.load() ? handle : 0);
        if (r.Stop.load()) break;
        if (result == 1) {
            pending = true;
        } else if (result == 0) {
            if (r.Changed.load()) pending = true;
            if (pending) {
                pending = false;
                Report(r);
            }
        }
    }
    CloseHandleOf(r);
}
