// One step of the history undone or redone, item by item: see undo_job.h.
//
// An item of a finished step is undone by the runtime's checked move, folder
// removal or trash call for its kind. An item of a step a kill left begun is
// first looked for: what had not happened yet is dropped from the step,
// what had happened is undone like any other, and what cannot be told apart
// from the user's own files is listed, never touched.
#include "app/fileops/job_questions.h"
#include "app/fileops/undo_history.h"
#include "app/fileops/undo_job.h"
#include "platform/file_copy.h"
#include "platform/trash_undo.h"
#include "runtime/files.h"
#include "runtime/identity.h"
#include "runtime/os_moves.h"
#include "runtime/text.h"
#include "runtime/undo_items.h"

#include <cerrno>
#include <set>

namespace {

using ItemFn = RtUndoResult (*)(RtJournalItem*);

// An entry moved across file systems goes back by a copy: the copy is made
// only where nothing stands, and the moved entry goes only once its copy is
// complete.
RtUndoResult MoveByCopy(RtJournalItem* item, bool back) {
    const std::wstring& from = back ? item->to : item->from;
    const std::wstring& to = back ? item->from : item->to;
    if (const int r = rt_identity_check(item->identity, from); r != RtReasonNone) return {r, 0};
    RtIdentity there;
    if (rt_identity_take(to, &there)) return {RtReasonPlaceTaken, EEXIST};
    if (!rt_os_make_folders(rt_text_to_os(rt_path_folder(to)), 0777)) return rt_undo_failed(errno);
    if (!pf_file_copy(from, to, nullptr, nullptr)) return rt_undo_failed(errno);
    if (!rt_file_delete(from, RtDeleteForce)) return rt_undo_failed(errno);
    rt_identity_take(to, &item->identity);
    item->state = back ? RtStepUndone : RtStepDone;
    return {};
}

RtUndoResult MoveBack(RtJournalItem* item) {
    const RtUndoResult r = rt_undo_move_back(item);
    return r.reason == RtReasonOtherFs ? MoveByCopy(item, true) : r;
}

RtUndoResult MoveAgain(RtJournalItem* item) {
    const RtUndoResult r = rt_undo_move_again(item);
    return r.reason == RtReasonOtherFs ? MoveByCopy(item, false) : r;
}

struct ItemWay {
    int kind;
    ItemFn undo, redo;
};
constexpr ItemWay Ways[] = {
    {RtStepRename, MoveBack, MoveAgain},
    {RtStepMove, MoveBack, MoveAgain},
    {RtStepNewFolder, rt_undo_remove_folder, rt_undo_make_folder},
    {RtStepCopy, pf_undo_trash_copy, pf_undo_restore_copy},
    {RtStepTrash, pf_undo_restore, pf_undo_trash_again},
    {RtStepFolderRemoved, rt_undo_restore_folder, rt_undo_remove_emptied},
};

ItemFn WayOf(int kind, bool redo) {
    for (const ItemWay& w : Ways)
        if (w.kind == kind) return redo ? w.redo : w.undo;
    return nullptr;
}

// The path an item is known by: where the entry stands before this undo
// (redo), where a refused one stays; a trashed entry by its old place.
const std::wstring& NameOf(const RtJournalItem& item, bool redo) {
    const bool at_from = item.kind == RtStepTrash || (redo ? !item.from.empty() : item.to.empty());
    return at_from ? item.from : item.to;
}

// Where the entry of an item stands now, when the step was left begun.
enum class Found { Happened, NotYet, Refused };

Found Locate(RtJournalItem& item, int* reason) {
    if (item.identity.kind == RtIdNone) {
        // Planned but not recorded as done: with nothing at its new place it
        // had not happened; anything there may be the user's own.
        RtIdentity there;
        const std::wstring& place = item.kind == RtStepTrash ? item.from : item.to;
        const bool taken = rt_identity_take(place, &there);
        const bool not_yet = item.kind == RtStepTrash ? taken : !taken;
        *reason = RtReasonUnknown;
        return not_yet ? Found::NotYet : Found::Refused;
    }
    switch (pf_undo_locate(&item, reason)) {
    case RtWhereTo: return Found::Happened;
    case RtWhereFrom: return Found::NotYet;
    case RtWhereBoth: *reason = RtReasonPlaceTaken; return Found::Refused;
    default: return Found::Refused;
    }
}

struct Run {
    bool redo;
    UndoOutcome* out;
    const UndoHooks& hooks;
    std::set<std::wstring> folders;
    bool skipAll = false; // "Alle überspringen": later failures are not asked about
    bool skipped = false; // a failed item was left for a later run
    bool stopped = false; // "Abbrechen", or the job was cancelled
};

void Refuse(Run& run, const RtJournalItem& item, RtUndoResult r) {
    run.out->refused.push_back(NameOf(item, run.redo) + L" – " + rt_undo_reason_text(r));
}

// One item; false when it is to leave the step (it never happened).
bool Handle(Run& run, RtJournalItem& item, const std::set<std::wstring>& recorded) {
    const int wanted = run.redo ? RtStepUndone : RtStepDone;
    if (!run.redo && item.state == RtStepBegun) {
        // A planned item that also appears as done was recorded twice.
        if (!item.from.empty() && recorded.count(item.from)) return false;
        int reason = RtReasonNone;
        const Found f = Locate(item, &reason);
        if (f == Found::NotYet) return false;
        if (f == Found::Refused) {
            Refuse(run, item, {reason, 0});
            return true;
        }
    }
    if (item.state != wanted) return true;
    const ItemFn way = WayOf(item.kind, run.redo);
    RtUndoResult r = way ? way(&item) : RtUndoResult{RtReasonUnknown, 0};
    // What the checks refuse is listed at the end without a question; a
    // failure of the system may pass (a lock, a full disk), so it is asked.
    while (r.reason == RtReasonSystem && !run.skipAll) {
        const int answer = run.hooks.failed
                               ? run.hooks.failed(NameOf(item, run.redo), rt_undo_reason_text(r))
                               : JobAnswerSkip;
        if (answer != JobAnswerRetry) {
            run.skipAll = answer == JobAnswerSkipAll;
            run.stopped = answer == JobAnswerStop;
            break;
        }
        r = way(&item);
    }
    if (!rt_undo_ok(r)) {
        run.skipped = run.skipped || r.reason == RtReasonSystem;
        Refuse(run, item, r);
        return true;
    }
    ++run.out->changed;
    for (const std::wstring* p : {&item.from, &item.to})
        if (!p->empty()) run.folders.insert(rt_path_folder(*p));
    return true;
}

} // namespace

bool UndoRunStep(int64_t id, bool redo, UndoOutcome* out, const UndoHooks& hooks) {
    RtJournal& journal = UndoJournal();
    RtJournalStep step;
    if (!rt_journal_read(&journal, id, &step)) return false;
    Run run{redo, out, hooks, {}};
    std::set<std::wstring> recorded;
    for (const RtJournalItem& item : step.items)
        if (item.state != RtStepBegun && !item.from.empty()) recorded.insert(item.from);
    // Undo goes newest first, so files leave a created folder before it is
    // removed; redo goes in the order of the operation.
    const size_t n = step.items.size();
    std::vector<char> keep(n, 1);
    for (size_t k = 0; k < n; ++k) {
        const size_t i = redo ? k : n - 1 - k;
        run.stopped =
            run.stopped || (hooks.progress && !hooks.progress(k, n, NameOf(step.items[i], redo)));
        if (run.stopped) break;
        keep[i] = Handle(run, step.items[i], recorded);
    }
    std::vector<RtJournalItem> kept;
    for (size_t i = 0; i < n; ++i)
        if (keep[i]) kept.push_back(std::move(step.items[i]));
    step.items = std::move(kept);
    // A step of which nothing could be undone stays where it is, so that
    // the next Ctrl+Z tries it again once the reasons are dealt with; so
    // does one the run left unfinished, for the next Ctrl+Z to finish.
    const bool finished = !run.stopped && !run.skipped;
    if ((finished && out->changed > 0) || step.items.empty())
        step.state = redo ? RtStepDone : RtStepUndone;
    if (step.items.empty())
        rt_journal_drop(&journal, id);
    else
        rt_journal_update(&journal, step);
    out->folders.assign(run.folders.begin(), run.folders.end());
    UndoHistoryChanged();
    return true;
}

std::wstring UndoListText(const std::vector<std::wstring>& refused, const wchar_t* lead) {
    constexpr size_t Shown = 20; // the rest as a count, so the window fits the screen
    std::wstring text;
    for (size_t i = 0; i < refused.size() && i < Shown; ++i)
        text += (text.empty() ? L"" : L"\n") + std::wstring(lead) + refused[i];
    if (refused.size() > Shown)
        text += L"\n… und " + std::to_wstring(refused.size() - Shown) + L" weitere";
    return text;
}
