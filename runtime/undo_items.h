// Undoing and redoing one item of a journal step (journal.h), and finding
// out where an item of a step that a kill interrupted now is.
//
// Nothing is ever overwritten: every call first checks that the entry is
// still the one the step left (identity.h), and moves with a rename that
// refuses to replace anything. A folder that is to take an entry back and is
// gone (a move removes its emptied source folders) is created again. On
// success the item's state becomes RtStepUndone (undo) or RtStepDone (redo),
// with what changed on disk noted in the item; on refusal the item is left
// as it was and the result says why (undo_reasons.h), for the application's
// "Nicht rückgängig gemacht: …" list.
//
// Moving across file systems needs a copy, which is not done here: such a
// move answers RtReasonOtherFs, so the caller can hand it to the copy engine.
// Trash items are platform/trash_undo.h's. Plain calls through rt_sys on the
// calling thread (an undo job's worker).
#pragma once
#include "runtime/journal.h"
#include "runtime/undo_reasons.h"

// A renamed or moved entry back from to to from. Needs its identity.
RtUndoResult rt_undo_move_back(RtJournalItem* item);
// The same move again, from from to to (redo).
RtUndoResult rt_undo_move_again(RtJournalItem* item);

// A created folder removed again, only while it is empty and still the one
// created.
RtUndoResult rt_undo_remove_folder(RtJournalItem* item);
// The folder created again (redo); its new identity is noted.
RtUndoResult rt_undo_make_folder(RtJournalItem* item);

// A source folder a move emptied and removed, made again where it was
// (nothing happens when a folder stands there already); its identity is
// noted, so that a redo removes only this folder.
RtUndoResult rt_undo_restore_folder(RtJournalItem* item);
// The folder removed again (redo), only while it is empty and still the one
// made; one that holds something stays, as the move itself leaves it.
RtUndoResult rt_undo_remove_emptied(RtJournalItem* item);

// Where an item of a step a killed process left begun stands now.
enum : int {
    RtWhereUnknown = 0, // nothing recorded tells (no identity; a trash item not yet searched)
    RtWhereFrom = 1,    // it had not happened: the entry is still at from (or no copy exists)
    RtWhereTo = 2,      // it had happened: the entry is at to (or in the trash)
    RtWhereBoth = 3,    // a move by copy had not finished: the entry at from and its copy at to
    RtWhereNeither = 4, // at neither place as recorded; *reason says why
};

// Works out where item is by its identity, and notes it in the item: state
// RtStepDone for RtWhereTo and RtWhereBoth, RtStepBegun otherwise, and for
// an entry found as a copy (a copy, or a move across file systems) the
// copy's identity, so that its undo checks the copy. *reason (when given)
// is the reason for RtWhereNeither and RtWhereUnknown, else RtReasonNone.
int rt_undo_locate(RtJournalItem* item, int* reason);
