// The undo steps that go through the trash (trash.h): a move to the trash
// undone and redone, a copy undone by sending the copy to the trash (never
// deleted outright) and redone by taking it out again, and where an item of
// such a step that a kill interrupted now is.
//
// Like runtime/undo_items.h, every call checks first that the entry is still
// the one the step left (identity.h) and never replaces anything; on success
// the item's state becomes RtStepUndone or RtStepDone and its trash field
// says where the trash holds it (empty when it is out); on refusal the item
// stays as it was and the result says why. Plain calls through rt_sys on the
// calling thread.
#pragma once
#include "runtime/journal.h"
#include "runtime/undo_reasons.h"

// A trash item back from item->trash to where its record says it was.
RtUndoResult pf_undo_restore(RtJournalItem* item);
// The entry at item->from into the trash again (redo of a trash item).
RtUndoResult pf_undo_trash_again(RtJournalItem* item);

// The copy at item->to into the trash while it is still as copied (undo of
// a copy item).
RtUndoResult pf_undo_trash_copy(RtJournalItem* item);
// The copy out of the trash back to item->to (redo of a copy item).
RtUndoResult pf_undo_restore_copy(RtJournalItem* item);

// rt_undo_locate for every kind of item: a trash item whose place in the
// trash was not yet recorded is looked for there by its identity, and found
// noted in item->trash.
int pf_undo_locate(RtJournalItem* item, int* reason);
