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

// Main thread; nothing while another job runs or when there is nothing to do.
void UndoCommand();
void RedoCommand();

// What undoing or redoing one step came to.
struct UndoOutcome {
    int changed = 0;                   // items undone (redone)
    std::vector<std::wstring> refused; // "<path> – <reason>" per item left as it was
    std::vector<std::wstring> folders; // folders where something changed
};

// Called before each item with how many are done, of how many, and the
// item's path; false stops the run (the items done so far stay done).
using UndoProgressFn = std::function<bool(size_t done, size_t total, const std::wstring& path)>;

// Undoes (redoes) step id of the history on the calling thread and writes
// the step as it came out. false when the step cannot be read.
bool UndoRunStep(int64_t id, bool redo, UndoOutcome* out, const UndoProgressFn& progress = {});

// The list shown at the end of a job: each line after lead, the first
// twenty and how many more; empty when there are none.
std::wstring UndoListText(const std::vector<std::wstring>& lines, const wchar_t* lead);
inline const wchar_t* UndoLead(bool redo) {
    return redo ? L"Nicht wiederholt: " : L"Nicht rückgängig gemacht: ";
}
