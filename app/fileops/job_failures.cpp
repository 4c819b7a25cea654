// The list at the end of a job that could not handle everything: every
// failed file or folder with its reason, and "Erneut versuchen", which
// queues a job of the same kind, folders and panes over just those. The
// window does not hold anything up: other jobs go on and the program may
// end while it is open.
#include "app/core/answers.h"
#include "app/core/ids.h"
#include "app/fileops/copy_job.h"
#include "app/fileops/fileops.h"
#include "app/fileops/fileops_internal.h"
#include "app/fileops/fileops_texts.h"
#include "app/fileops/job_queue.h"
#include "runtime/file_checks.h"
#include "toolkit/gadgets.h"

#include <map>
#include <memory>

namespace {

constexpr int64_t FailureWidth = 560;
constexpr int64_t FailureHeight = 300;

// What a retry needs of the job that failed, and the window's gadgets.
struct FailedJob {
    int operation = JobCopy;
    std::wstring sourceFolder, targetFolder, targetName;
    intptr_t sourcePane = 0, targetPane = 0;
    std::vector<std::wstring> paths; // full paths of what failed
    int64_t retry = 0, close = 0;
};

std::map<int64_t, FailedJob> Lists; // by window; main thread

// The retry's items, sorted into files and folders on the question's
// thread. A file directly in the source folder goes by its bare name, as a
// selected one does; one further down by its path below the folder for a
// delete, by its full path (which keeps its place below the target) for a
// copy or move.
struct RetryPlan {
    FailedJob from;
    std::vector<std::wstring> files, folders;
    std::vector<uint64_t> devices;
};

void Sort(RetryPlan& p) {
    const std::wstring& source = p.from.sourceFolder;
    for (const std::wstring& path : p.from.paths) {
        if (rt_path_kind(path) == PathFolder) {
            p.folders.push_back(path);
            continue;
        }
        const bool below = path.compare(0, source.size(), source) == 0;
        const std::wstring rest = below ? path.substr(source.size()) : path;
        const bool direct = below && rest.find(L'/') == std::wstring::npos;
        p.files.push_back(direct || (below && p.from.operation == JobDelete) ? rest : path);
    }
    p.devices = JobDevices(source, p.from.targetFolder);
}

void StartRetry(RetryPlan& p) {
    if (p.files.empty() && p.folders.empty()) return;
    const FailedJob& f = p.from;
    CopyJob& job = NewFileJob(f.operation, f.sourceFolder, f.targetFolder);
    job.sourcePane = f.sourcePane;
    job.targetPane = f.targetPane;
    job.fileList = std::move(p.files);
    job.folderList = std::move(p.folders);
    job.folderWhole.assign(job.folderList.size(), 0);
    job.devices = std::move(p.devices);
    // A single file under a new name keeps that name.
    if (job.fileList.size() == 1 && job.fileList[0].find(L'/') == std::wstring::npos)
        job.targetName = f.targetName;
    StartFileJob(job, f.operation == JobDelete ? DeleteWorker : CopyWorker);
}

void Retry(const FailedJob& failed) {
    auto p = std::make_shared<RetryPlan>();
    p->from = failed;
    AskAside(
        AskAnyTime, [p] { Sort(*p); }, [p] { StartRetry(*p); });
}

std::wstring LineOf(const JobFailure& f) {
    return f.reason.empty() ? f.path : f.path + L"  –  " + f.reason;
}

} // namespace

void ShowJobFailures(const CopyJob& job) {
    const bool copy = job.operation != JobDelete;
    const int64_t window = tk_window_open(
        -1, 0, 0, FailureWidth, FailureHeight, TextFailuresTitle,
        TkWindowDialog | TkWindowCentreOnParent, tk_window_handle(WinMain));
    if (!window) return;
    FailedJob f;
    f.operation = job.operation;
    f.sourceFolder = job.sourceFolder;
    f.targetFolder = job.targetFolder;
    f.targetName = job.targetName;
    f.sourcePane = job.sourcePane;
    f.targetPane = job.targetPane;
    tk_text_create(-1, 10, 8, 540, 20, copy ? TextCopyFailed : TextDeleteFailed);
    const int64_t list = tk_listbox_create(-1, 10, 32, 540, 220);
    for (const JobFailure& failure : job.failedItems) {
        tk_gadget_add_item(list, -1, LineOf(failure));
        f.paths.push_back(failure.path);
    }
    f.retry = tk_button_create(-1, 300, 262, 150, 28, TextRetry);
    f.close = tk_button_create(-1, 460, 262, 90, 28, TextClose);
    tk_window_fit(window);
    tk_window_set_default_button(window, f.retry);
    tk_window_set_cancel_button(window, f.close);
    tk_gadget_activate(f.retry);
    Lists[window] = std::move(f);
}

int64_t FailureWindowEvents(int64_t event) {
    const int64_t window = tk_event_window();
    auto at = Lists.find(window);
    if (at == Lists.end()) return 0;
    const bool retry = event == EventGadget && tk_event_gadget() == at->second.retry;
    const bool close = event == EventCloseWindow ||
                       (event == EventGadget && tk_event_gadget() == at->second.close);
    if (!retry && !close) return 0;
    if (retry) Retry(at->second);
    Lists.erase(at);
    tk_window_close(window);
    return 0;
}

void CloseFailureLists() {
    for (const auto& [window, list] : Lists) tk_window_close(window);
    Lists.clear();
}

int64_t FailureListWindow(size_t index) {
    if (index >= Lists.size()) return 0;
    auto at = Lists.begin();
    std::advance(at, static_cast<long>(index));
    return at->first;
}

int64_t FailureRetryButton(int64_t window) {
    auto at = Lists.find(window);
    return at == Lists.end() ? 0 : at->second.retry;
}

bool IsFileJobWindow(int64_t window) {
    return IsProgressWindow(window) || Lists.count(window) > 0;
}

int64_t FileJobWindowEvents(int64_t event) {
    const int64_t window = tk_event_window();
    if (Lists.count(window)) return FailureWindowEvents(event);
    return ProgressWindowEvents(event);
}
