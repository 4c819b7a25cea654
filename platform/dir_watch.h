// Change notification for one folder.
//
// A watch reports that names in a folder changed: entries created, deleted,
// moved in or out, attributes changed, a file closed after writing, and the
// folder itself deleted or moved away. It is inotify on that one folder (not
// its sub-folders) plus an eventfd, and pf_watch_wait polls both, so another
// thread can end a wait at once with pf_watch_wake instead of waiting for a
// time-out.
//
// Threads: one thread (the pane's watcher) waits; any thread may wake or
// close. Handles are numbers that are never reused, so a stale handle is
// simply unknown. Closing a handle that a thread is waiting on wakes that
// wait (-1); the descriptors are released when the last user lets go.
// Whoever opened a handle closes it once, with pf_watch_close.
#pragma once
#include <cstdint>
#include <string>

// Starts watching a folder. Returns a handle, or 0 when the folder cannot be
// watched (missing, not a folder, no permission, inotify limits).
int64_t pf_watch_open(const std::wstring& folder);

// Waits up to timeout_ms milliseconds (negative: no limit). Returns 1 when
// something changed (all pending notifications are taken), 0 on time-out,
// -1 when woken, closed or unknown. A wake wins over pending changes.
int pf_watch_wait(int64_t handle, int timeout_ms);

// Ends the current or the next wait of the handle with -1. Any thread.
void pf_watch_wake(int64_t handle);

// Stops watching; a thread waiting on the handle returns -1. Any thread.
void pf_watch_close(int64_t handle);
