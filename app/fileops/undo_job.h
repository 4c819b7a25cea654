// Undo and redo of the history's steps (undo_history.h) as file jobs.
//
// UndoCommand and RedoCommand start a job (operation JobUndo / JobRedo) with
// a progress window for the step the menu names; its worker undoes the
// items newest first (redo: oldest first), checking before each that the
// entry is still the one the step left and that nothing stands where it is
// to go (runtime/undo_items.h, platform/trash_undo.h). What is refused stays
// where it is and is listed at the end, "Nicht rückgängig gemacht: …" with
// the reason; the rest is undone. A step that a kill left begun is undone
// item by item from where each entry is found.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

// Main thread; nothing when there is nothing to do. The job goes to the
// queue like any other and waits while another job uses its devices; the
// step it takes counts as undone (redone) at once (UndoHistoryClaim), so the
// menu names the step the next Ctrl+Z takes.
void UndoCommand();
void RedoCommand();

// What undoing or redoing one step came to.
struct UndoOutcome {
    int changed = 0;                   // items undone (redone)
    std::vector<std::wstring> refused; // "<path> – <reason>" per item left as it was
    std::vector<std::wstring> folders; // folders where something changed
};

// What a run asks of its job. progress: before each item, with how many are
// done, of how many, and the item's path; false stops the run (the items
// done so far stay done). failed: an item the system would not move, with
// its path and the reason; answers JobAnswer… (job_questions.h): retry,
// skip, skip this and every later failure, or stop. Without it a failure is
// skipped.
struct UndoHooks {
    std::function<bool(size_t done, size_t total, const std::wstring& path)> progress;
    std::function<int(const std::wstring& path, const std::wstring& reason)> failed;
};

// Undoes (redoes) step id of the history on the calling thread and writes
// the step as it came out. A run that was stopped or skipped items leaves
// the step where it was, each item as it came out: the next Ctrl+Z
// (Ctrl+Shift+Z) takes the same step and does only what is left. false
// when the step cannot be read.
bool UndoRunStep(int64_t id, bool redo, UndoOutcome* out, const UndoHooks& hooks = {});

// The list shown at the end of a job: each line after lead, the first
// twenty and how many more; empty when there are none.
std::wstring UndoListText(const std::vector<std::wstring>& lines, const wchar_t* lead);
inline const wchar_t* UndoLead(bool redo) {
    return redo ? L"Nicht wiederholt: " : L"Nicht rückgängig gemacht: ";
}
