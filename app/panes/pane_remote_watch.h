// The remote half of a pane's folder watcher (dir_watcher.h): GIO's monitor
// of a remote folder. sftp, dav and ftp offer none (the pane then refreshes
// when its tab or the window is shown again, on Ctrl+R and after the
// program's own jobs); mtp and a few others do, and their reports take the
// local watcher's road.
//
// The watcher's thread opens the monitor within the remote calls' time
// limit, the call published in the run (DirWatchRun::Opening, under its
// Lock) so that a stop cancels it at once: a server that stopped answering
// keeps neither the main thread nor, for longer than a stop, the watcher.
#pragma once

#include <cstdint>
#include <string>

struct DirWatchRun;
struct PfRemoteCall;

// The watcher's thread: a pf_remote_watch handle of run's folder, or 0 when
// it has no monitor, cannot be reached or the run was stopped meanwhile.
int64_t OpenRemoteWatch(DirWatchRun& run);

// How a monitor is opened: pf_remote_watch_open; tests put another
// backend's monitor of the same folder here.
using RemoteWatchOpenFn = int64_t (*)(PfRemoteCall* call, const std::wstring& folder);
extern RemoteWatchOpenFn RemoteWatchOpener;

// Main thread: the window is shown again (activated): every shown remote
// pane without a monitor is looked at again, through its watcher's changed
// flag, so the report takes the same road as any other.
void MarkUnwatchedRemotePanes();
