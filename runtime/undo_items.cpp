// One item undone or redone, and where an interrupted item stands: see
// undo_items.h.
#include "runtime/undo_items.h"

#include "runtime/os_moves.h"
#include "runtime/os_path.h"
#include "runtime/syscalls.h"
#include "runtime/text.h"

#include <cerrno>

namespace {

std::string os(const std::wstring& path) {
    return rt_os_strip_slashes(rt_text_to_os(path));
}

// The entry with identity moved from from to to, its folder made again when
// it is gone.
RtUndoResult move_checked(const RtIdentity& identity, const std::wstring& from,
                          const std::wstring& to) {
    if (const int r = rt_identity_check(identity, from); r != RtReasonNone) return {r, 0};
    return rt_os_move_into(os(from), os(to)) ? RtUndoResult{} : rt_undo_failed(errno);
}

// The reason to give when neither place holds the entry: a change seen at
// either place says more than "gone".
int neither_reason(int at_to, int at_from) {
    for (const int r : {at_to, at_from})
        if (r == RtReasonResized || r == RtReasonRetimed) return r;
    return RtReasonGone;
}

int locate_move(RtJournalItem* item, int* reason) {
    RtIdentity to, from;
    rt_identity_take(item->to, &to);
    rt_identity_take(item->from, &from);
    const int at_to = rt_identity_compare(item->identity, to);
    const int at_from = rt_identity_compare(item->identity, from);
    const bool copy_at_to = to.device != item->identity.device &&
                            rt_identity_compare_copy(item->identity, to) == RtReasonNone;
    if (at_to == RtReasonNone) return RtWhereTo;
    if (copy_at_to) item->identity = to;
    if (at_from == RtReasonNone) return copy_at_to ? RtWhereBoth : RtWhereFrom;
    if (copy_at_to) return RtWhereTo;
    *reason = neither_reason(at_to, at_from);
    return RtWhereNeither;
}

int locate_copy(RtJournalItem* item, int* reason) {
    RtIdentity to;
    if (!rt_identity_take(item->to, &to)) return RtWhereFrom;
    const int r = rt_identity_compare_copy(item->identity, to);
    if (r != RtReasonNone) {
        *reason = r;
        return RtWhereNeither;
    }
    item->identity = to;
    return RtWhereTo;
}

int locate_folder(RtJournalItem* item, int* reason) {
    const int r = rt_identity_check(item->identity, item->to);
    if (r == RtReasonNone) return RtWhereTo;
    if (r == RtReasonGone) return RtWhereFrom;
    *reason = r;
    return RtWhereNeither;
}

int locate_trashed(RtJournalItem* item, int* reason) {
    if (item->trash.empty()) {
        *reason = RtReasonUnknown;
        return RtWhereUnknown;
    }
    const int in_trash = rt_identity_check(item->identity, item->trash);
    const int at_from = rt_identity_check(item->identity, item->from);
    if (in_trash == RtReasonNone) return RtWhereTo;
    if (at_from == RtReasonNone) return RtWhereFrom;
    *reason = neither_reason(in_trash, at_from);
    return RtWhereNeither;
}

} // namespace

RtUndoResult rt_undo_move_back(RtJournalItem* item) {
    const RtUndoResult r = move_checked(item->identity, item->to, item->from);
    if (rt_undo_ok(r)) item->state = RtStepUndone;
    return r;
}

RtUndoResult rt_undo_move_again(RtJournalItem* item) {
    const RtUndoResult r = move_checked(item->identity, item->from, item->to);
    if (rt_undo_ok(r)) item->state = RtStepDone;
    return r;
}

RtUndoResult rt_undo_remove_folder(RtJournalItem* item) {
    if (const int r = rt_identity_check(item->identity, item->to); r != RtReasonNone) return {r, 0};
    if (rt_sys.rmdir(os(item->to).c_str()) != 0) {
        if (errno == ENOTEMPTY || errno == EEXIST) return {RtReasonNotEmpty, errno};
        return rt_undo_failed(errno);
    }
    item->state = RtStepUndone;
    return {};
}

RtUndoResult rt_undo_make_folder(RtJournalItem* item) {
    const std::string path = os(item->to);
    if (rt_sys.mkdir(path.c_str(), 0777) != 0) {
        if (errno != ENOENT || !rt_os_make_folders(path, 0777)) return rt_undo_failed(errno);
    }
    rt_identity_take(item->to, &item->identity);
    item->state = RtStepDone;
    return {};
}

RtUndoResult rt_undo_restore_folder(RtJournalItem* item) {
    const std::string path = os(item->from);
    RtIdentity there;
    if (rt_identity_take(item->from, &there) && there.kind != RtIdFolder)
        return {RtReasonPlaceTaken, EEXIST};
    if (there.kind == RtIdNone && !rt_os_make_folders(path, 0777)) return rt_undo_failed(errno);
    rt_identity_take(item->from, &item->identity);
    item->state = RtStepUndone;
    return {};
}

RtUndoResult rt_undo_remove_emptied(RtJournalItem* item) {
    if (item->identity.kind != RtIdNone) {
        const int r = rt_identity_check(item->identity, item->from);
        if (r == RtReasonGone) {
            item->state = RtStepDone; // removed already: nothing to do
            return {};
        }
        if (r != RtReasonNone) return {r, 0};
    }
    if (rt_sys.rmdir(os(item->from).c_str()) != 0 && errno != ENOTEMPTY && errno != EEXIST &&
        errno != ENOENT)
        return rt_undo_failed(errno);
    item->state = RtStepDone;
    return {};
}

int rt_undo_locate(RtJournalItem* item, int* reason) {
    int unused = 0;
    int* why = reason ? reason : &unused;
    *why = RtReasonNone;
    int where = RtWhereUnknown;
    if (item->identity.kind == RtIdNone) {
        *why = RtReasonUnknown;
    } else {
        switch (item->kind) {
        case RtStepRename:
        case RtStepMove: where = locate_move(item, why); break;
        case RtStepCopy: where = locate_copy(item, why); break;
        case RtStepNewFolder: where = locate_folder(item, why); break;
        case RtStepTrash: where = locate_trashed(item, why); break;
        default: *why = RtReasonUnknown;
        }
    }
    item->state = where == RtWhereTo || where == RtWhereBoth ? RtStepDone : RtStepBegun;
    return where;
}
