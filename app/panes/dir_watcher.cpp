// The panes' folder watchers: see dir_watcher.h.
#include "app/panes/dir_watcher.h"

#include "app/core/ids.h"
#include "app/panes/pane.h"
#include "app/panes/pane_remote.h"
#include "app/panes/pane_remote_watch.h"
#include "app/panes/pane_sides.h"
#include "platform/dir_watch.h"
#include "platform/remote_watch.h"
#include "runtime/files.h"
#include "runtime/threads.h"
#include "toolkit/events.h"

#include <chrono>

namespace {

// How long shutdown waits for a stopped run to end.
constexpr int EndWaitMs = 500;

using Clock = std::chrono::steady_clock;
// Changes that never pause are still reported this often.
constexpr auto LongestWait = std::chrono::milliseconds(1000);

void CloseHandleOf(DirWatchRun& r) {
    if (const int64_t h = r.Handle.exchange(0))
        r.Remote ? pf_remote_watch_close(h) : pf_watch_close(h);
}

void Report(DirWatchRun& r) {
    r.Changed->store(0);
    tk_event_post(EventDirChanged, WinMain, 0, 0, r.Report);
}

// One wait of at most the time-out: 1 changed, 0 timed out, -1 woken.
// Without a notification handle (inotify refused the folder) the run still
// serves the changed flag, and a stop wakes the wait.
int WaitOnce(DirWatchRun& r, int64_t handle) {
    if (handle)
        return r.Remote ? pf_remote_watch_wait(handle, r.TimeOut)
                        : pf_watch_wait(handle, r.TimeOut);
    std::unique_lock guard(r.Lock);
    const bool stopped = r.Woken.wait_for(guard, std::chrono::milliseconds(r.TimeOut),
                                          [&] { return r.Stop.load() != 0; });
    return stopped ? -1 : 0;
}

// The notification handle of a local folder; 0, without watching, when it
// cannot be listed (found out here, not on the main thread, where a hanging
// mount would freeze the window).
bool OpenLocal(DirWatchRun& r, int64_t* handle) {
    const int listing = rt_dir_examine(-1, r.Path, L"*");
    if (!listing) return false;
    rt_dir_finish(listing);
    *handle = pf_watch_open(r.Path);
    return true;
}

void Watch(DirWatchRun& r) {
    int64_t handle = 0;
    // A remote folder without a monitor still serves the changed flag, so
    // the program's own jobs on it show.
    if (r.Remote)
        handle = OpenRemoteWatch(r);
    else if (!OpenLocal(r, &handle))
        return;
    r.Handle = handle;
    bool pending = false;
    Clock::time_point first; // of the changes not reported yet
    // Stop may have come before the handle was stored: looked at after it.
    while (!r.Stop.load()) {
        if (r.Changed->load() && !pending) pending = true, first = Clock::now();
        const int result = WaitOnce(r, r.Handle.load() ? handle : 0);
        if (r.Stop.load()) break;
        if (result == 1 && !pending) pending = true, first = Clock::now();
        if (result == 0 && r.Changed->load() && !pending) pending = true, first = Clock::now();
        // A report after a quiet time, or while changes go on (a file being
        // written for minutes) at least every LongestWaitMs.
        if (pending && (result == 0 || Clock::now() - first >= LongestWait)) {
            pending = false;
            Report(r);
        }
    }
}

} // namespace

void StopDirWatcher(Pane& pane) {
    DirWatchRecord& w = pane.Watcher;
    if (!w.Run) return;
    DirWatchRun& r = *w.Run;
    r.Stop = 1;
    CloseHandleOf(r); // wakes a wait on the handle at once
    {
        std::lock_guard guard(r.Lock);
        if (r.Opening) pf_remote_call_cancel(r.Opening); // a monitor asked of a server
        r.Woken.notify_all();
    }
    w.Stopped = std::move(w.Run);
    w.Thread = 0;
}

void StopDirWatcher(int64_t list) {
    if (Pane* pane = PaneOf(list)) StopDirWatcher(*pane);
}

void StartDirWatcher(Pane& pane) {
    StopDirWatcher(pane);
    DirWatchRecord& w = pane.Watcher;
    auto run = std::make_shared<DirWatchRun>();
    run->Path = PaneFolder(pane);
    run->Remote = PaneIsRemote(run->Path);
    run->Report = PaneReport(pane);
    run->Changed = w.Changed;
    auto* handed = new std::shared_ptr<DirWatchRun>(run);
    w.Thread = rt_thread_create(DirWatcher, reinterpret_cast<intptr_t>(handed));
    if (!w.Thread) {
        delete handed;
        return;
    }
    w.Run = std::move(run);
}

void WaitForDirWatcherEnd(Pane& pane) {
    std::shared_ptr<DirWatchRun> run = std::move(pane.Watcher.Stopped);
    if (!run) return;
    std::unique_lock guard(run->Lock);
    run->Woken.wait_for(guard, std::chrono::milliseconds(EndWaitMs), [&] { return run->Ended; });
}

void DirWatcher(intptr_t parameter) {
    std::unique_ptr<std::shared_ptr<DirWatchRun>> handed(
        reinterpret_cast<std::shared_ptr<DirWatchRun>*>(parameter));
    const std::shared_ptr<DirWatchRun> run = *handed;
    Watch(*run);
    CloseHandleOf(*run);
    std::lock_guard guard(run->Lock);
    run->Ended = true;
    run->Woken.notify_all();
}
