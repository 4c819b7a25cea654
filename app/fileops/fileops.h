// File operations: copy and move (F5, F6, drops, "Einfügen"), delete (F8,
// Delete key), new folder (F7) and rename (F2, the context menu).
//
// The commands run on the main thread: they ask (MessageDialog through the
// message seam, app/core/message_dialog.h) and decide, then build a job
// record (CopyJob, copy_job.h) with everything the job needs, open its
// progress window and start its worker thread with the record as the
// worker's parameter. What they must know of the file system first (what the
// selected items are, what the target holds) is asked on threads of their
// own (app/core/answers.h), so a command may finish in a later turn of the
// main loop; the window answers meanwhile. The worker collects the files of
// selected folders, copies, moves or deletes, reports progress through
// EventJobProgress and ends by posting EventJobDone to its progress window,
// whose handler (called by the main loop) closes it, says when anything
// failed, refreshes the panes and frees the record. A job asked for while
// others run is queued (job_queue.h), never dropped.
//
// What the user may rely on: an existing target is replaced only after the
// user agreed and only by a complete copy (platform/file_copy.h); a failed
// or cancelled copy leaves neither a partial nor a temporary file; a move
// deletes a source only after its copy succeeded, and a selected folder only
// when every file in it arrived; symbolic links are copied, moved and
// deleted as links, never followed. A failure never looks like success.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

struct CopyJob;

// ---- copy and move ----
// names: an item list (one bare name in sourceFolder per line, each ended by
// a line feed); both folders end in "/". sourcePane and targetPane are the
// lists of the panes the items come from and go to, 0 for none: the target
// pane's watcher is told its folder is about to change. Asks, checks, asks
// about overwriting, then starts the job.
void CopyMoveCommand(const std::wstring& names, const std::wstring& sourceFolder,
                     const std::wstring& targetFolder, int64_t move, int64_t sourcePane,
                     int64_t targetPane);
// F5 / F6: the selected names of pane `source` into the folder of `target`.
void CopyMoveBetweenPanes(const std::wstring& names, int64_t source, int64_t target, int64_t move);
// A drop of files onto a pane: files are full paths separated by line
// feeds, action TkDropCopy or TkDropMove; `selected` are the pane's selected
// names run together (a drop onto a selected folder row goes into that
// folder). Files that do not lie in the first file's folder are left out.
void DropOntoPane(int64_t pane, int64_t action, const std::wstring& files,
                  const std::wstring& selected);

// ---- delete ----
// F8 / Delete: the two questions, then the job.
void DeleteRequest(const std::wstring& names, const std::wstring& folder);
// The delete job without questions; it starts once the selection has been
// told apart into files and folders off the main thread.
void DeleteCommand(const std::wstring& names, const std::wstring& folder);

// ---- progress windows ----
// Opens the job's window, saying "Wartet …" until ShowJobStarted: the copy
// window 34 for a copy or move, the delete window 35 for a delete, or one
// of fresh numbers while another progress window is open.
void OpenProgressWindow(CopyJob& job);
void ShowJobStarted(CopyJob& job);
// The pause button and the figures follow the job's pause state.
void ShowPauseState(CopyJob& job, bool paused);
void CloseProgressWindow(CopyJob& job);
// The number of a gadget of the job's window: GadCurrentFile,
// GadFilePercent, GadTotalPercent, GadCancel, ProgressPauseButton or
// ProgressFigures (fileops_ids.h); 0 for none.
int64_t FileJobProgressGadget(const CopyJob& job, int64_t which);
// Handlers of windows 34 and 35: the events of the job whose window it is.
int64_t CopyProgressEvents(int64_t event);
int64_t DeleteProgressEvents(int64_t event);
// The handler of every window of the file jobs (progress windows of any
// number, the lists of failures); the main loop calls it for the windows
// for which IsFileJobWindow holds.
int64_t ProgressWindowEvents(int64_t event);
int64_t FileJobWindowEvents(int64_t event);
bool IsProgressWindow(int64_t window);
bool IsFileJobWindow(int64_t window);
// A job that ended with failures: a window lists every failed file with its
// reason and offers "Erneut versuchen", which queues a job of just those.
void ShowJobFailures(const CopyJob& job);
int64_t FailureWindowEvents(int64_t event);
// The window of the index-th list of failures open (oldest first) and its
// "Erneut versuchen" button; 0 for none (tests).
int64_t FailureListWindow(size_t index);
// Closes every list of failures (the end of a test, of the program).
void CloseFailureLists();
int64_t FailureRetryButton(int64_t window);

// ---- new folder and rename ----
void OpenNewFolderDialog(int64_t x, int64_t y, int64_t width, int64_t height);
int64_t NewFolderEvents(int64_t event);
// F2: the rename window over the pane's current row.
void StartInlineRename(int64_t pane);
void OpenRenameWindow(int64_t x, int64_t y, int64_t width, int64_t height);
int64_t RenameEvents(int64_t event);

// ---- the end of the program ----
// How long the end of the program waits for the workers to stop (ms).
inline constexpr int64_t EndJobsWaitMs = 5000;
// Cancels every running job, rolls its current file back and waits for its
// worker, so the program never ends in the middle of a file: true once all
// have ended. A worker held up in the system (a dead mount) does not hold
// the end for good: after waitMs it is given up on, and false says that the
// program must end without freeing what such a worker may still touch. Its
// file is then left as a kill leaves it: a temporary the next write into the
// folder removes, never a part under the final name.
bool EndFileJobs(int64_t waitMs = EndJobsWaitMs);
// 1 while any job waits or runs: quitting asks first.
bool FileJobsPending();
