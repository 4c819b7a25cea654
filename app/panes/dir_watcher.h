// A pane's folder watcher: a thread per pane that waits for names to change
// in the shown folder and posts EventDirChanged (data = the pane's
// DirWatchRecord) once a 250 ms wait passes without further change, so a
// burst of changes gives one report. A change flagged by another part
// (Changed = 1, set by copy and move in their target pane's record) gives a
// report within 250 ms without any notification.
//
// Threads: StartDirWatcher / StopDirWatcher run on the main thread and stop
// a running watcher by setting Stop and closing its notification handle,
// which wakes its wait at once; the watcher never waits for the main thread.
#pragma once

#include <atomic>
#include <cstdint>
#include <string>

struct DirWatchRecord {
    int Thread = 0;                  // rt_thread number of the watcher, 0 = none (main)
    int64_t Pane = 0;                // 5 or 10 (main, before the start)
    std::wstring Path;               // watched folder (main, before the start)
    int32_t TimeOut = 250;           // ms without change before a report
    std::atomic<int64_t> Stop{0};    // main sets 1 to end the watcher
    std::atomic<int64_t> Changed{0}; // any thread sets 1 to force a report
    std::atomic<int64_t> Handle{0};  // pf_watch handle: the watcher stores it, whoever
                                     // takes it out (exchange 0) closes it
};

// The watch record of a pane; null for any other number.
DirWatchRecord* DirWatchOf(int64_t pane);
// (Re)starts the pane's watcher on PanePath (pane); a folder that cannot be
// listed (found out on the watcher's thread) is not watched.
void StartDirWatcher(int64_t pane);
// Ends the pane's watcher, if any, and waits until it has ended.
void StopDirWatcher(int64_t pane);
// The watcher's procedure (parameter: the record), on its own thread.
void DirWatcher(intptr_t record);
