// Refreshing a shown folder after its watcher reported a change: rows of
// new entries are appended (looking exactly like rows of a listing) and rows
// whose entries vanished are removed, without reading the whole list again.
// Names are matched through a hash set, so a refresh costs about one
// enumeration of the folder. A shown folder that itself vanished (deleted or
// moved away outside the program) gives way to its nearest existing
// ancestor. Main thread only; the folder is read on a thread of its own
// (app/core/answers.h), so a folder on a slow mount keeps its rows
// until the answer comes. The results below are those of an answer that
// came in time; a late one gives 0 and is applied when it arrives, unless
// the pane shows another folder by then.
#pragma once

#include <cstdint>
#include <string>

struct Pane;

// Appends a row for every entry of path that is not listed yet and that the
// hidden and system settings show, and starts the workers for them.
// 1 if rows were appended, else 0 (also when path cannot be read).
int64_t AddNewEntries(int64_t list, const std::wstring& path);
// Removes every row whose name path no longer holds. 1 when path could be
// read, else 0 (nothing changed).
int64_t RemoveVanishedEntries(int64_t list, const std::wstring& path);
// The same for the pane's own folder.
int64_t RemoveVanishedEntries(Pane& pane);
// Both with one enumeration of the pane's folder, as a watcher report asks;
// when the folder is gone, shows its nearest existing ancestor instead.
// 1 when rows were added or removed.
int64_t RefreshPaneEntries(Pane& pane);
int64_t RefreshPaneEntries(int64_t list);
