// The move to the trash as a file job: see undo_trash.h.
#include "app/fileops/undo_trash.h"

#include "app/core/app_state.h"
#include "app/core/ids.h"
#include "app/core/item_list.h"
#include "app/core/message_dialog.h"
#include "app/fileops/copy_job.h"
#include "app/fileops/fileops.h"
#include "app/fileops/fileops_internal.h"
#include "app/fileops/undo_history.h"
#include "app/fileops/undo_internal.h"
#include "app/fileops/undo_job.h"
#include "platform/trash.h"
#include "runtime/identity.h"
#include "toolkit/events.h"

namespace {

bool Trashable(const std::wstring& name) {
    return !name.empty() && name != L"." && name != L".." && name.find(L'/') == std::wstring::npos;
}

RtUndoResult ReasonOf(const PfTrashResult& t) {
    if (t.result == PfTrashNoTrash) return {RtReasonNoTrash, t.error};
    return rt_undo_failed(t.error);
}

// Every entry's identity goes into the step before the first one moves, so
// that after a kill the next start finds in the trash exactly those that
// had gone.
std::vector<RtJournalItem> Plan(const CopyJob& job) {
    std::vector<RtJournalItem> items;
    for (const std::wstring& name : job.fileList) {
        RtJournalItem item;
        item.kind = RtStepTrash;
        item.from = job.sourceFolder + name;
        rt_identity_take(item.from, &item.identity);
        items.push_back(std::move(item));
    }
    return items;
}

void TrashWorker(intptr_t parameter) {
    CopyJob& job = *reinterpret_cast<CopyJob*>(parameter);
    JournalRecord* r = JournalRecordOf(job);
    std::vector<RtJournalItem> items = Plan(job);
    if (r) JournalJobPlan(*r, items);
    for (size_t i = 0; i < items.size() && job.cancel == JobGoOn; ++i) {
        RtJournalItem& item = items[i];
        PublishProgress(job, 0, static_cast<int>(i * 100 / items.size()), item.from, false);
        const PfTrashResult t = pf_trash_move(item.from);
        if (t.result != PfTrashDone) {
            ++job.failures;
            if (r) r->refused.push_back(item.from + L" – " + rt_undo_reason_text(ReasonOf(t)));
            continue;
        }
        item.state = RtStepDone;
        item.trash = t.trashed;
        if (r) JournalJobItem(*r, item);
    }
    // What stayed is named by the job's end, not as a failed copy.
    job.result = 1;
    PublishProgress(job, 0, 100, L"", true);
    tk_event_post(EventJobDone, job.window);
}

} // namespace

void TrashCommand(const std::wstring& folder, const std::vector<std::wstring>& names) {
    if (folder.empty()) return;
    std::vector<std::wstring> list;
    for (const std::wstring& name : names)
        if (Trashable(name)) list.push_back(name);
    if (list.empty()) return;
    CopyJob& job = NewFileJob(JobTrash, folder, L"");
    job.fileList = std::move(list);
    StartFileJob(job, TrashWorker);
}

void DeleteOrTrash(const std::wstring& names, const std::wstring& folder) {
    if (App.settings.TrashOnDelete)
        TrashCommand(folder, ItemListSplit(names));
    else
        DeleteRequest(names, folder);
}

void TrashJobEnded(CopyJob& job, JournalRecord& record) {
    RefreshPanesShowing(job.sourceFolder);
    if (record.refused.empty()) return;
    const std::wstring text = UndoListText(record.refused, L"Nicht in den Papierkorb verschoben: ");
    Messages.Dialog(MessageKindError, L"Papierkorb", L"Nicht alles wurde verschoben !", text,
                    MessageOneButton, WinMain);
}
