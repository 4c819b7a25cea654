// Undo and redo as file jobs: the commands, the worker and the list at the
// end. See undo_job.h.
#include "app/fileops/undo_job.h"

#include "app/core/ids.h"
#include "app/core/message_dialog.h"
#include "app/fileops/copy_job.h"
#include "app/fileops/fileops_internal.h"
#include "app/fileops/undo_history.h"
#include "app/fileops/undo_internal.h"
#include "toolkit/events.h"
#include "toolkit/windows.h"

namespace {

void UndoWorker(intptr_t parameter) {
    CopyJob& job = *reinterpret_cast<CopyJob*>(parameter);
    const bool redo = job.operation == JobRedo;
    UndoOutcome outcome;
    if (JournalRecord* r = JournalRecordOf(job)) {
        const auto progress = [&job](size_t done, size_t total, const std::wstring& path) {
            const int percent = total ? static_cast<int>(done * 100 / total) : 0;
            PublishProgress(job, 0, percent, path, false);
            return job.cancel == JobGoOn;
        };
        if (!UndoRunStep(r->target, redo, &outcome, progress))
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

void Start(bool redo) {
    if (FileJobRunning()) return;
    const UndoChoice choice = redo ? RedoCandidate() : UndoCandidate();
    if (!choice.id) return;
    CopyJob& job = NewFileJob(redo ? JobRedo : JobUndo, L"", L"");
    JournalRecordNew(job).target = choice.id;
    StartFileJob(job, UndoWorker);
    tk_window_set_title(job.window, redo ? L"Wiederholen !" : L"Rückgängig !");
}

} // namespace

void UndoCommand() {
    Start(false);
}

void RedoCommand() {
    Start(true);
}

void UndoJobEnded(CopyJob& job, JournalRecord& record) {
    for (const std::wstring& folder : record.folders) RefreshPanesShowing(folder);
    const bool redo = job.operation == JobRedo;
    const std::wstring text = UndoListText(record.refused, UndoLead(redo));
    if (!text.empty())
        Messages.Dialog(MessageKindError, redo ? L"Wiederholen" : L"Rückgängig",
                        redo ? L"Nicht alles wurde wiederholt !"
                             : L"Nicht alles wurde rückgängig gemacht !",
                        text, MessageOneButton, WinMain);
}
