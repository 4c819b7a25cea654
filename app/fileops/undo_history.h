// The undo history of this program's file operations: the one journal
// (runtime/journal.h) in "Data/Undo/" beside "Settings.pref", which step
// Ctrl+Z and Ctrl+Shift+Z act on next, and the two operations that are not
// jobs (F2 and F7), recorded here around the change itself.
//
// The history is a line of steps, oldest first. The next undo is the newest
// step not yet undone; the next redo is the oldest undone step after it. A
// new step drops the undone ones: after a new operation they can no longer
// be redone in order. A step a killed process left begun counts as done; its
// undo finds out per item what had happened.
//
// Threads: the journal may be written from any thread (it has its own lock);
// UndoHistoryOpen belongs to start-up. Every change posts EventUndoChanged
// (app/core/ids.h) to the main window, whose handler brings the menu up to date.
#pragma once

#include "runtime/journal.h"

#include <cstdint>
#include <string>

// Opens the history kept in folder (wide, ending in "/"); an empty folder
// means "Data/Undo/" below the current folder, where "Settings.pref" is.
void UndoHistoryOpen(const std::wstring& folder = L"");
RtJournal& UndoJournal();
// Forgets the opened history (tests: a start without one, or a restart).
void UndoHistoryClose();
void UndoHistoryChanged();

struct UndoChoice {
    int64_t id = 0; // 0: nothing to undo (redo)
    std::wstring text;
};
UndoChoice UndoCandidate();
UndoChoice RedoCandidate();

// A queued undo (redo) takes its step at once: the candidates above and the
// menu count the step as undone (redone) from then on, so two undos asked in
// a row take two steps in order, and a redo asked after a queued undo takes
// the step back. Of several claims on one step the newest counts. A claim
// ends with its job, or when the job is dropped from the queue; once the
// last has ended the step counts as the jobs left it. Any thread.
int64_t UndoHistoryClaim(int64_t id, bool redo);
void UndoHistoryRelease(int64_t id, int64_t claim);

// Writes a new step begun (see rt_journal_begin), after dropping the steps
// only a redo could reach. false when it could not be written.
bool UndoHistoryBegin(RtJournalStep* step);

// What a step is called in the menu: the operation and the first name, e.g.
// "Verschieben „a.txt“ und 3 weitere".
std::wstring UndoStepText(const wchar_t* operation, const std::wstring& first_path, size_t count);

// F2 and F7: the change made with its step written around it. Same results
// as rt_file_rename and rt_dir_create (non-zero on success). Any thread.
int JournalRename(const std::wstring& from, const std::wstring& to);
int JournalNewFolder(const std::wstring& path);
