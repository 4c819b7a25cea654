// File jobs where a remote location (app/panes/pane_remote.h) is the source,
// the target or both: copy and move between local and remote folders and
// between two servers, delete, new folder and rename. The commands of
// fileops.h hand over to these when a folder involved is remote.
//
// As for local jobs, the questions come first on the main thread, each look
// at the servers is asked off it, and the job runs as a worker with its
// progress window; a move deletes a source only after its copy arrived, and
// a moved folder only once it is empty. Every operation goes through one
// remote call of the job (platform/remote.h): "Abbrechen" and the job's
// control cancel and pause it at once, also while a server does not answer.
// A server that stops answering does not fail the job: the job waits,
// saying so in its window, and goes on when the server answers again, or
// ends when cancelled. A target that is there and any other failure are
// asked about per file when the job meets them, with the local jobs'
// questions (job_questions.h) and their "all" answers.
#pragma once

#include <cstdint>
#include <string>

// Any thread: 1 when path is a remote location.
bool RemoteJobPath(const std::wstring& path);

// The copy or move command (CopyMoveCommand) once confirmed; the panes are
// list gadget numbers, 0 for none.
void RemoteCopyMoveCommand(const std::wstring& names, const std::wstring& sourceFolder,
                           const std::wstring& targetFolder, int64_t move, int64_t sourcePane,
                           int64_t targetPane);

// F8 once its first question was answered; with ask_full the second
// question comes when a selected folder holds anything.
void RemoteDeleteCommand(const std::wstring& names, const std::wstring& folder, bool ask_full);

// The workers of those jobs (parameter: the job's record), as StartFileJob
// starts them.
void RemoteCopyWorker(intptr_t job);
void RemoteDeleteWorker(intptr_t job);

// Any thread: one new folder (full location) and one rename in its folder;
// false when it did not work, and *reason (when given) says why in the
// words the local F7 and F2 use (a name that is taken, no permission) or
// the server's (not answering, GIO's own words).
bool RemoteMakeFolder(const std::wstring& location, std::wstring* reason = nullptr);
bool RemoteRename(const std::wstring& location, const std::wstring& new_name,
                  std::wstring* reason = nullptr);
