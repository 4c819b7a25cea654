// The hooks through which file jobs reach the undo history (job_journal.h),
// and the per-job records behind them (undo_internal.h).
//
// A job's step is written begun with its planned items (the selected
// entries, as from and to) before the worker starts. The worker's items are
// kept in memory and written with the step at most every JournalBatchMs, so
// a move of many small files waits for the disk a handful of times, not once
// per file. The end writes the step done with what really happened; a job
// that did nothing leaves no step.
#include "app/fileops/job_journal.h"

#include "app/fileops/copy_job.h"
#include "app/fileops/undo_history.h"
#include "app/fileops/undo_internal.h"
#include "app/fileops/undo_trash.h"
#include "runtime/files.h"
#include "runtime/identity.h"
#include "runtime/threads.h"

#include <chrono>
#include <memory>
#include <mutex>
#include <unordered_map>

int64_t JournalBatchMs = 500;

namespace {

std::mutex RecordsLock;
std::unordered_map<const CopyJob*, std::unique_ptr<JournalRecord>> Records;

int64_t NowMs() {
    using namespace std::chrono;
    return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}

// The step's items as the journal should hold them now: what happened, then
// what was planned and is not yet known to have happened.
void Write(JournalRecord& r) {
    r.step.items = r.done;
    r.step.items.reserve(r.done.size() + r.planned.size());
    for (size_t i = 0; i < r.planned.size(); ++i)
        if (i >= r.plannedDone.size() || !r.plannedDone[i]) r.step.items.push_back(r.planned[i]);
    rt_journal_update(&UndoJournal(), r.step);
    r.step.items.clear();
    r.lastWriteMs = NowMs();
}

struct StepKindOfJob {
    int operation;
    int kind;
    const wchar_t* text;
};
constexpr StepKindOfJob Recorded[] = {
    {JobCopy, RtStepCopy, L"Kopieren"},
    {JobMove, RtStepMove, L"Verschieben"},
    {JobTrash, RtStepTrash, L"In den Papierkorb"},
};

const StepKindOfJob* RecordedKind(int operation) {
    for (const StepKindOfJob& k : Recorded)
        if (k.operation == operation) return &k;
    return nullptr;
}

RtJournalItem Planned(int kind, const std::wstring& from, const std::wstring& to) {
    RtJournalItem item;
    item.kind = kind;
    item.from = from;
    item.to = kind == RtStepTrash ? L"" : to;
    return item;
}

// What a job's report of one item is in the journal; kind 0 for what cannot
// be undone (a permanent delete). An emptied source folder a move removed is
// kept too: its undo makes it again, even with no file to go back into it,
// and its redo removes it again.
int ItemKind(const JobStep& s) {
    switch (s.kind) {
    case StepCopied: return RtStepCopy;
    case StepMoved: return RtStepMove;
    case StepFolderCreated: return RtStepNewFolder;
    case StepFolderRemoved: return RtStepFolderRemoved;
    default: return 0;
    }
}

// What stands at a step's target now. A moved entry the command looked at
// keeps its identity through a rename: once the first such move shows that
// this job's moves are renames, the planned identity is taken as it is. An
// entry copied instead (over an existing one) then has another inode, and
// its undo refuses it as replaced: never a wrong move.
void TakeIdentity(JournalRecord& r, const JobStep& step, RtIdentity* out) {
    const auto it = step.kind == StepMoved ? r.plannedAt.find(step.source) : r.plannedAt.end();
    if (it == r.plannedAt.end() || r.renamesKeep == 0) {
        rt_identity_take(step.target, out);
        return;
    }
    const RtIdentity& planned = r.planned[it->second].identity;
    if (r.renamesKeep < 0) {
        rt_identity_take(step.target, out);
        r.renamesKeep = out->device == planned.device && out->inode == planned.inode;
        return;
    }
    *out = planned;
}

// The step begun on the disk, on a thread of its own or in place.
void WriteBegun(intptr_t parameter) {
    JournalRecord& r = *reinterpret_cast<JournalRecord*>(parameter);
    UndoHistoryBegin(&r.step);
    r.step.items.swap(r.planned);
    r.lastWriteMs = NowMs();
    std::lock_guard hold(r.beginLock);
    r.begun = true;
    r.beginEnded.notify_all();
}

} // namespace

void JournalBegun(JournalRecord& r) {
    std::unique_lock hold(r.beginLock);
    r.beginEnded.wait(hold, [&r] { return r.begun; });
}

JournalRecord* JournalRecordOf(const CopyJob& job) {
    std::lock_guard hold(RecordsLock);
    const auto it = Records.find(&job);
    return it == Records.end() ? nullptr : it->second.get();
}

JournalRecord& JournalRecordNew(const CopyJob& job) {
    std::lock_guard hold(RecordsLock);
    auto& slot = Records[&job];
    slot = std::make_unique<JournalRecord>();
    return *slot;
}

void JournalRecordFree(const CopyJob& job) {
    if (JournalRecord* r = JournalRecordOf(job)) JournalBegun(*r);
    std::lock_guard hold(RecordsLock);
    Records.erase(&job);
}

void JournalJobItem(JournalRecord& r, RtJournalItem item) {
    JournalBegun(r);
    if (!r.step.id) return;
    r.done.push_back(std::move(item));
    if (NowMs() - r.lastWriteMs >= JournalBatchMs) Write(r);
}

void JournalJobPlan(JournalRecord& r, std::vector<RtJournalItem> planned) {
    JournalBegun(r);
    if (!r.step.id) return;
    r.planned = std::move(planned);
    Write(r);
}

void JournalJobStarting(CopyJob& job) {
    const StepKindOfJob* kind = RecordedKind(job.operation);
    if (!kind) {
        // An undo's record, made by its command, says which step it is for.
        if ((job.operation == JobUndo || job.operation == JobRedo) && !JournalRecordOf(job))
            JournalRecordNew(job);
        return;
    }
    JournalRecord& r = JournalRecordNew(job);
    const bool known = job.fileIdentities.size() == job.fileList.size();
    for (size_t i = 0; i < job.fileList.size(); ++i) {
        const std::wstring& name = job.fileList[i];
        r.planned.push_back(Planned(kind->kind, job.sourceFolder + name, job.targetFolder + name));
        if (known && job.fileIdentities[i].kind != RtIdNone) {
            r.planned.back().identity = job.fileIdentities[i];
            r.plannedAt.emplace(r.planned.back().from, i);
        }
    }
    for (const std::wstring& folder : job.folderList)
        r.planned.push_back(Planned(kind->kind, folder, job.targetFolder + rt_path_name(folder)));
    if (r.planned.empty()) return;
    r.step.kind = kind->kind;
    r.step.text = UndoStepText(kind->text, r.planned.front().from, r.planned.size());
    r.step.items.swap(r.planned); // written as they are, without a copy
    // The worker collects meanwhile and waits for the write before its first
    // change (JournalJobReady), so the disk's flush costs the job little.
    r.begun = false;
    if (!rt_thread_create(WriteBegun, reinterpret_cast<intptr_t>(&r)))
        WriteBegun(reinterpret_cast<intptr_t>(&r));
}

void JournalJobReady(CopyJob& job) {
    if (JournalRecord* r = JournalRecordOf(job)) JournalBegun(*r);
}

void JournalJobStep(CopyJob& job, const JobStep& step) {
    const int kind = ItemKind(step);
    JournalRecord* r = kind ? JournalRecordOf(job) : nullptr;
    if (r) JournalBegun(*r);
    if (!r || !r->step.id) return; // no history kept: not even the identity is taken
    RtJournalItem item;
    item.kind = kind;
    item.state = RtStepDone;
    if (kind != RtStepNewFolder) item.from = step.source;
    item.to = step.target;
    if (kind != RtStepFolderRemoved) TakeIdentity(*r, step, &item.identity);
    if (const auto it = r->plannedAt.find(step.source); it != r->plannedAt.end()) {
        r->plannedDone.resize(r->planned.size());
        r->plannedDone[it->second] = 1;
    }
    JournalJobItem(*r, std::move(item));
}

void JournalJobEnded(CopyJob& job) {
    JournalRecord* r = JournalRecordOf(job);
    if (!r) return;
    JournalBegun(*r);
    if (job.operation == JobUndo || job.operation == JobRedo) {
        UndoJobEnded(job, *r);
        JournalRecordFree(job);
        return;
    }
    if (job.operation == JobTrash) TrashJobEnded(job, *r);
    if (r->step.id && r->done.empty()) {
        rt_journal_drop(&UndoJournal(), r->step.id);
    } else if (r->step.id) {
        // Written aside: the job's window closes without waiting for it.
        r->step.state = RtStepDone;
        r->step.items = std::move(r->done);
        rt_journal_update_later(&UndoJournal(), std::move(r->step));
    }
    JournalRecordFree(job);
    UndoHistoryChanged();
}

void JournalJobDropped(CopyJob& job) {
    if (JournalRecord* r = JournalRecordOf(job)) UndoHistoryRelease(r->target, r->claim);
    JournalRecordFree(job);
}
