// Undo steps through the trash: see trash_undo.h.
#include "platform/trash_undo.h"

#include "platform/trash.h"
#include "runtime/identity.h"
#include "runtime/undo_items.h"

namespace {

RtUndoResult trash_result(const PfTrashResult& r) {
    if (r.result == PfTrashDone) return {};
    if (r.result == PfTrashNoTrash) return {RtReasonNoTrash, r.error};
    return rt_undo_failed(r.error);
}

// Moves the entry at path into the trash once check allowed it; notes where.
RtUndoResult trash_checked(RtJournalItem* item, int check, const std::wstring& path, int state) {
    if (check != RtReasonNone) return {check, 0};
    const PfTrashResult r = pf_trash_move(path);
    if (r.result == PfTrashDone) {
        item->trash = r.trashed;
        item->state = state;
    }
    return trash_result(r);
}

// Takes the entry at item->trash out again once check allowed it.
RtUndoResult restore_checked(RtJournalItem* item, int check, int state) {
    if (check != RtReasonNone) return {check, 0};
    const RtUndoResult r = pf_trash_restore(item->trash, nullptr);
    if (rt_undo_ok(r)) {
        item->trash.clear();
        item->state = state;
    }
    return r;
}

} // namespace

RtUndoResult pf_undo_restore(RtJournalItem* item) {
    return restore_checked(item, rt_identity_check(item->identity, item->trash), RtStepUndone);
}

RtUndoResult pf_undo_trash_again(RtJournalItem* item) {
    return trash_checked(item, rt_identity_check(item->identity, item->from), item->from,
                         RtStepDone);
}

RtUndoResult pf_undo_trash_copy(RtJournalItem* item) {
    return trash_checked(item, rt_identity_check_copy(item->identity, item->to), item->to,
                         RtStepUndone);
}

RtUndoResult pf_undo_restore_copy(RtJournalItem* item) {
    return restore_checked(item, rt_identity_check_copy(item->identity, item->trash), RtStepDone);
}

int pf_undo_locate(RtJournalItem* item, int* reason) {
    if (item->kind == RtStepTrash && item->trash.empty() && item->identity.kind != RtIdNone) {
        std::wstring trashed;
        if (!pf_trash_search(item->from, item->identity, &trashed)) {
            const int r = rt_identity_check(item->identity, item->from);
            item->state = RtStepBegun;
            if (reason) *reason = r;
            return r == RtReasonNone ? RtWhereFrom : RtWhereNeither;
        }
        item->trash = trashed;
    }
    return rt_undo_locate(item, reason);
}
