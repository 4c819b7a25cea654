// A pane's folder watcher: a thread that waits for names to change in the
// shown folder and posts EventDirChanged (data = PaneReport of the pane) once
// a 250 ms wait passes without further change, so a burst of changes gives
// one report. A change flagged by another part (MarkPaneChanged, by copy and
// move in their target pane) gives a report within 250 ms without any
// notification.
//
// Threads: StartDirWatcher / StopDirWatcher run on the main thread. Each
// start begins a run of its own (DirWatchRun), shared by the record and the
// run's thread; a stop sets the run's Stop, closes its notification handle
// and lets go of it without waiting, since the watcher's first act, looking
// at the folder, may hang on a dead mount. The thread ends by itself and
// frees the run; it never waits for the main thread and touches no gadget,
// only the event queue. A stopped run reports nothing more.
//
// A remote folder is watched through GIO's monitor where its backend offers
// one (pane_remote_watch.h); where it offers none, or its server does not
// answer, the run serves the changed flag alone. Opening the monitor asks
// the server, on the run's thread; a stop cancels that at once.
#pragma once

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>

struct Pane;
struct PfRemoteCall;

// One run of a watcher. The main thread fills the first three before the
// thread starts; the rest as their comments say.
struct DirWatchRun {
    std::wstring Path;                             // watched folder
    intptr_t Report = 0;                           // data of its EventDirChanged
    int32_t TimeOut = 250;                         // ms without change before a report
    std::shared_ptr<std::atomic<int64_t>> Changed; // the record's flag (any thread sets 1)
    std::atomic<int64_t> Stop{0};                  // main sets 1 to end the run
    std::atomic<int64_t> Handle{0}; // pf_watch handle: the watcher stores it, whoever
                                    // takes it out (exchange 0) closes it
    bool Remote = false;            // a remote folder: Handle is a pf_remote_watch one
    // The watcher waits on Woken while it has no handle; it sets Ended and
    // signals it as its last act. Both under Lock.
    std::mutex Lock;
    std::condition_variable Woken;
    bool Ended = false;
    PfRemoteCall* Opening = nullptr; // the remote monitor being opened, for a stop to cancel
};

struct DirWatchRecord {
    int Thread = 0;                   // rt_thread number of the current run's thread, 0 = none
    std::shared_ptr<DirWatchRun> Run; // the current run; null when none watches (main)
    // Set by anyone to force a report; shared by every run of the record, so
    // that a flag set just before a restart is not lost.
    std::shared_ptr<std::atomic<int64_t>> Changed = std::make_shared<std::atomic<int64_t>>(0);
    std::shared_ptr<DirWatchRun> Stopped; // the last run stopped, for WaitForDirWatcherEnd
};

// (Re)starts the pane's watcher on its current folder; a folder that cannot
// be listed (found out on the watcher's thread) is not watched.
void StartDirWatcher(Pane& pane);
// Ends the pane's watcher, if any, without waiting for its thread.
void StopDirWatcher(Pane& pane);
void StopDirWatcher(int64_t list);
// Shutdown: waits a moment for the last stopped run to end; one that hangs on
// a dead mount is left to end by itself.
void WaitForDirWatcherEnd(Pane& pane);
// The watcher's procedure (parameter: a new shared_ptr<DirWatchRun>, which
// it takes over), on its own thread.
void DirWatcher(intptr_t run);
