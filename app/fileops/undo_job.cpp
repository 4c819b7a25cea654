// Undo and redo as file jobs: the commands, the worker and the list at the
// end. See undo_job.h.
//
// The command takes its step at once and asks aside which devices the step
// touches; the job goes to the queue once that answer is in. The answers may
// come in any order, the jobs are queued in the order they were asked for,
// and every undo or redo job holds one device of their own besides, so they
// run one at a time, in that order.
#include "app/fileops/undo_job.h"

#include "app/core/answers.h"
#include "app/core/ids.h"
#include "app/core/message_dialog.h"
#include "app/fileops/copy_job.h"
#include "app/fileops/fileops_internal.h"
#include "app/fileops/job_questions.h"
#include "app/fileops/job_queue.h"
#include "app/fileops/undo_history.h"
#include "app/fileops/undo_internal.h"
#include "runtime/file_checks.h"
#include "runtime/files.h"
#include "toolkit/events.h"

#include <algorithm>
#include <deque>
#include <memory>

namespace {

// Held by every undo and redo job; st_dev + 1 of a real device never reaches it.
constexpr uint64_t UndoDevice = ~uint64_t{0};

bool Stopped(const CopyJob& job) {
    return job.cancel != JobGoOn || job.control.state == RtControlCancelled;
}

void UndoWorker(intptr_t parameter) {
    CopyJob& job = *reinterpret_cast<CopyJob*>(parameter);
    const bool redo = job.operation == JobRedo;
    UndoOutcome outcome;
    if (JournalRecord* r = JournalRecordOf(job)) {
        UndoHooks hooks;
        // Each item is one rename or folder call: a pause holds the run and a
        // cancel ends it between two of them.
        hooks.progress = [&job](size_t done, size_t total, const std::wstring& path) {
            const int percent = total ? static_cast<int>(done * 100 / total) : 0;
            PublishProgress(job, 0, percent, path, false);
            return !Stopped(job);
        };
        hooks.failed = [&job](const std::wstring& path, const std::wstring& reason) {
            return JobAsk(job, JobAskFailure, path, reason);
        };
        if (!UndoRunStep(r->target, redo, &outcome, hooks))
            outcome.refused.push_back(L"Verlauf – Schritt nicht lesbar");
        r->refused = std::move(outcome.refused);
        r->folders = std::move(outcome.folders);
        job.failures = static_cast<int>(r->refused.size());
    }
    // What was refused is listed by the end of the job, not as a failed copy.
    job.result = 1;
    PublishProgress(job, 0, 100, L"", true);
    tk_event_post(EventJobDone, job.window);
}

// The folder an entry is in, or the nearest one above it that exists: a
// move's source folders may be gone until its undo makes them again.
uint64_t DeviceOf(std::wstring path) {
    while (!path.empty() && path != L"/") {
        if (path.back() == L'/') path.pop_back();
        path = rt_path_folder(path);
        if (const uint64_t d = rt_path_device(path)) return d;
    }
    return rt_path_device(L"/");
}

// The devices of a step: those of its first item's places, which every item
// of one operation shares. Off the main thread.
std::vector<uint64_t> StepDevices(int64_t id) {
    std::vector<uint64_t> devices{UndoDevice};
    RtJournalStep step;
    if (!rt_journal_read(&UndoJournal(), id, &step) || step.items.empty()) return devices;
    const RtJournalItem& first = step.items.front();
    for (const std::wstring* place : {&first.from, &first.to, &first.trash})
        if (!place->empty())
            if (const uint64_t d = DeviceOf(*place);
                d && std::find(devices.begin(), devices.end(), d) == devices.end())
                devices.push_back(d);
    return devices;
}

struct Asked {
    CopyJob* job = nullptr;
    std::wstring what;
    bool answered = false;
    std::vector<uint64_t> devices;
};
std::deque<std::shared_ptr<Asked>> Asking; // main thread, in the order asked for

void Queue(const Asked& a) {
    CopyJob& job = *a.job;
    job.devices = a.devices;
    StartFileJob(job, UndoWorker);
    if (QueuedJob* e = QueuedJobOf(job)) e->what = a.what;
}

// Queues the answered requests at the front, so a later request whose
// answer came first still waits for the earlier one.
void QueueAnswered() {
    while (!Asking.empty() && Asking.front()->answered) {
        const std::shared_ptr<Asked> a = Asking.front();
        Asking.pop_front();
        Queue(*a);
    }
}

void Start(bool redo) {
    const UndoChoice choice = redo ? RedoCandidate() : UndoCandidate();
    if (!choice.id) return;
    CopyJob& job = NewFileJob(redo ? JobRedo : JobUndo, L"", L"");
    JournalRecord& record = JournalRecordNew(job);
    record.target = choice.id;
    record.claim = UndoHistoryClaim(choice.id, redo);
    UndoHistoryChanged();
    auto a = std::make_shared<Asked>();
    a->job = &job;
    a->what = (redo ? L"Wiederholen: " : L"Rückgängig: ") + choice.text;
    Asking.push_back(a);
    const int64_t id = choice.id;
    auto devices = std::make_shared<std::vector<uint64_t>>();
    AskAside(
        AskAnyTime, [id, devices] { *devices = StepDevices(id); },
        [a, devices] {
            a->devices = std::move(*devices);
            a->answered = true;
            QueueAnswered();
        });
}

} // namespace

void UndoCommand() {
    Start(false);
}

void RedoCommand() {
    Start(true);
}

void UndoJobEnded(CopyJob& job, JournalRecord& record) {
    UndoHistoryRelease(record.target, record.claim);
    for (const std::wstring& folder : record.folders) RefreshPanesShowing(folder);
    const bool redo = job.operation == JobRedo;
    const std::wstring text = UndoListText(record.refused, UndoLead(redo));
    if (!text.empty())
        Messages.Dialog(MessageKindError, redo ? L"Wiederholen" : L"Rückgängig",
                        redo ? L"Nicht alles wurde wiederholt !"
                             : L"Nicht alles wurde rückgängig gemacht !",
                        text, MessageOneButton, WinMain);
}
