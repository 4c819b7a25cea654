// Delete: the two questions on the main thread and the job they start
// (its worker is delete_worker.cpp).
//
// Nothing here looks at the file system on the main thread: the selection
// is split into files and folders on a thread of its own (AskAside), which
// for F8 also answers whether a selected folder holds anything. So a
// selection on a hanging mount leaves the window answering, and each
// selected name is looked at once.
#include "app/core/answers.h"
#include "app/core/ids.h"
#include "app/core/item_list.h"
#include "app/core/message_dialog.h"
#include "app/fileops/copy_job.h"
#include "app/fileops/fileops.h"
#include "app/fileops/fileops_internal.h"
#include "app/fileops/fileops_texts.h"
#include "app/fileops/job_queue.h"
#include "app/fileops/remote_job.h"
#include "runtime/file_checks.h"
#include "runtime/files.h"

#include <memory>

namespace {

int64_t Ask(const std::wstring& headline, const std::wstring& text) {
    return Messages.Dialog(MessageKindQuestion, TextAttention, headline, text, MessageTwoButtons,
                           WinMain);
}

bool Deletable(const std::wstring& name) {
    return !name.empty() && name != L"." && name != L"..";
}

// A folder that lists anything.
bool ListsAnything(const std::wstring& folder) {
    const int number = rt_dir_examine(-1, folder + L"/", L"*.*");
    if (!number) return false;
    bool found = false;
    while (!found && rt_dir_next(number)) {
        const std::wstring name = rt_dir_entry_name(number);
        found = name != L"." && name != L"..";
    }
    rt_dir_finish(number);
    return found;
}

// A delete on its way from the questions to the job: the selection split
// into files (bare names) and folders of their own (full paths), as the
// question's thread found them.
struct DeletePlan {
    std::wstring folder;
    std::vector<std::wstring> names, files, folders;
    std::vector<uint64_t> devices;
    bool full = false; // a folder among them lists anything
};

// On the question's thread: one look at each selected name, and with
// look_inside a look into each folder for anything it holds.
void SplitSelection(DeletePlan& p, bool look_inside) {
    p.devices = JobDevices(p.folder, L"");
    for (std::wstring& name : p.names) {
        if (!Deletable(name)) continue;
        std::wstring path = p.folder + name;
        if (rt_path_kind(path) != PathFolder) {
            p.files.push_back(std::move(name));
            continue;
        }
        p.full = p.full || (look_inside && ListsAnything(path));
        p.folders.push_back(std::move(path));
    }
}

std::shared_ptr<DeletePlan> PlanOf(const std::wstring& names, const std::wstring& folder) {
    auto p = std::make_shared<DeletePlan>();
    p->folder = folder;
    p->names = ItemListSplit(names);
    return p;
}

// The job for a selection its question has split: the progress window and
// the worker, as soon as the queue lets it run.
void StartDelete(DeletePlan& p) {
    CopyJob& job = NewFileJob(JobDelete, p.folder, L"");
    job.devices = std::move(p.devices);
    job.fileList = std::move(p.files);
    job.folderList = std::move(p.folders);
    StartFileJob(job, DeleteWorker);
}

} // namespace

void DeleteRequest(const std::wstring& names, const std::wstring& folder) {
    if (Ask(TextDeleteHeadline, TextDeleteQuestion) != MessageAnswerOk) return;
    if (RemoteJobPath(folder)) return RemoteDeleteCommand(names, folder, true);
    auto p = PlanOf(names, folder);
    AskAside(
        AskAnyTime, [p] { SplitSelection(*p, true); },
        [p] {
            if (p->full && Ask(TextNotEmptyHeadline, TextNotEmptyQuestion) != MessageAnswerOk)
                return;
            StartDelete(*p);
        });
}

void DeleteCommand(const std::wstring& names, const std::wstring& folder) {
    if (RemoteJobPath(folder)) return RemoteDeleteCommand(names, folder, false);
    auto p = PlanOf(names, folder);
    AskAside(
        AskAnyTime, [p] { SplitSelection(*p, false); }, [p] { StartDelete(*p); });
}
