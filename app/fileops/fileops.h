// File operations: copy and move (F5, F6, drops), delete (F8, Delete key),
// new folder (F7) and rename (F2, the context menu).
//
// The commands run on the main thread: they ask (MessageDialog through
// the message seam, app/core/message_dialog.h) and decide, open a progress window and start one
// worker thread on the global CopyJob (copy_job.h). What they must know of the file system first
// (what the selected items are, what the target holds) is asked on threads of their own
// (app/panes/pane_answers.h), so a command may finish in a later turn of the main loop; the window
// answers meanwhile. The worker collects the files of selected folders, copies, moves or deletes,
// reports progress through EventJobProgress and ends by posting EventJobDone to its progress
// window, whose handler (called by the main loop) closes it, says when anything failed and
// refreshes the panes. Only one job runs at a time; a request while one runs does nothing.
//
// What the user may rely on: an existing target is replaced only after the
// user agreed and only by a complete copy (platform/file_copy.h); a failed
// or cancelled copy leaves neither a partial nor a temporary file; a move
// deletes a source only after its copy succeeded, and a selected folder only
// when every file in it arrived; symbolic links are copied, moved and
// deleted as links, never followed. A failure never looks like success.
#pragma once

#include <cstdint>
#include <string>

// ---- item lists: one item per line, each ended by a line feed ----
int64_t ItemListCount(const std::wstring& list);
// The i-th line (1-based) without its line feed; empty outside 1..count.
std::wstring ItemListGet(const std::wstring& list, int64_t i);

// ---- copy and move ----
// names: an item list of bare names in sourceFolder; both folders end in
// "/". Asks, checks, asks about overwriting, then starts the worker. The
// caller sets Job.sourcePane and Job.targetPane first; they are taken at
// once, so a later command cannot change this one's panes.
void CopyMoveCommand(const std::wstring& names, const std::wstring& sourceFolder,
                     const std::wstring& targetFolder, int64_t move);
// F5 / F6: the selected names of pane `source` into the folder of `target`.
void CopyMoveBetweenPanes(const std::wstring& names, int64_t source, int64_t target, int64_t move);
// A drop of files onto a pane: files are full paths separated by line
// feeds, action TkDropCopy or TkDropMove; `selected` are the pane's selected
// names run together (a drop onto a selected folder row goes into that
// folder). Files that do not lie in the first file's folder are left out.
void DropOntoPane(int64_t pane, int64_t action, const std::wstring& files,
                  const std::wstring& selected);

// ---- delete ----
// F8 / Delete: the two questions, then DeleteCommand.
void DeleteRequest(const std::wstring& names, const std::wstring& folder);
// 1 when one of the named items in folder is a folder holding anything.
int64_t FolderHasContent(const std::wstring& folder, const std::wstring& names);
// The delete job without questions; it starts once the selection has been
// told apart into files and folders off the main thread.
void DeleteCommand(const std::wstring& names, const std::wstring& folder);

// ---- progress windows ----
// mode 0: the copy window 34, 1: the delete window 35.
void OpenProgressWindow(int64_t mode);
int64_t CopyProgressEvents(int64_t event);
int64_t DeleteProgressEvents(int64_t event);

// ---- new folder and rename ----
void OpenNewFolderDialog(int64_t x, int64_t y, int64_t width, int64_t height);
int64_t NewFolderEvents(int64_t event);
// Creates folder + name (one level); 1 when created, else says so and 0.
int64_t CreateFolderIn(int64_t pane, const std::wstring& folder, const std::wstring& name);
// F2: the rename window over the pane's current row.
void StartInlineRename(int64_t pane);
void OpenRenameWindow(int64_t x, int64_t y, int64_t width, int64_t height);
int64_t RenameEvents(int64_t event);
int64_t RenameSelected(int64_t pane);

// ---- the end of the program ----
// Cancels a running job, rolls its current file back and waits for the
// worker, so the program never ends in the middle of a file.
void EndFileJobs();
