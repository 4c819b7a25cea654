// Watching a remote folder for changes, reported as platform/dir_watch.h
// reports a local folder's, so a pane's watcher serves both alike.
//
// A watch is GIO's file monitor, where the backend offers one (mtp and a
// few others; sftp, dav and ftp offer none). Without one pf_remote_watch_open
// returns 0 with the status PfRemoteNotSupported, and the pane refreshes
// when it is shown again, on request and after the program's own jobs.
//
// Threads: open on a worker thread, within the call's time limit (it asks
// the backend). Afterwards one thread waits; any thread may wake or close,
// neither of which waits. The monitor's reports are taken in while a thread
// waits (on a main context of the watch's own). Handles are numbers never
// reused, so a stale one is unknown; whoever opened one closes it once.
#pragma once
#include <cstdint>
#include <string>

#include "platform/remote.h"

// Starts watching folder (a location text). A handle, or 0 when the folder
// cannot be watched: the call's status says why (PfRemoteNotSupported when
// the backend has no monitor).
int64_t pf_remote_watch_open(PfRemoteCall* call, const std::wstring& folder);

// Waits up to timeout_ms milliseconds (negative: no limit). 1 when something
// changed (what came meanwhile is taken along), 0 on time-out, -1 when
// woken, closed or unknown. A wake wins over pending changes.
int pf_remote_watch_wait(int64_t handle, int timeout_ms);

// Ends the current or the next wait with -1. Any thread.
void pf_remote_watch_wake(int64_t handle);

// Stops watching; a waiting thread returns -1. Any thread.
void pf_remote_watch_close(int64_t handle);
