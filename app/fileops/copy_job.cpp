// The job record, its preparation, the worker's progress reports, item
// lists and the orderly end of a job when the program quits.
#include "app/fileops/copy_job.h"

#include "app/core/ids.h"
#include "app/core/message_dialog.h"
#include "app/fileops/fileops.h"
#include "app/fileops/fileops_ids.h"
#include "toolkit/events.h"
#include "toolkit/requesters.h"

#include <chrono>

CopyJob Job;
ProgressObserverFn ProgressObserver = nullptr;

namespace {

// Fast enough that the bars move smoothly, rare enough that a job of many
// small files spends nothing on reporting.
constexpr int64_t ProgressIntervalMs = 40;

int64_t NowMs() {
    using namespace std::chrono;
    return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}

} // namespace

bool FileJobRunning() {
    return Job.thread != 0 && rt_thread_is_running(Job.thread);
}

void ResetJob(const std::wstring& sourceFolder, const std::wstring& targetFolder, int move) {
    // No worker runs, so nobody holds the old mutex.
    rt_mutex_free(Job.mutex);
    Job.mutex = rt_mutex_create();
    Job.doneEvent = EventJobDone;
    Job.sourceFolder = sourceFolder;
    Job.targetFolder = targetFolder;
    Job.progress = 0;
    Job.result = 0;
    Job.failures = 0;
    Job.move = move ? 1 : 0;
    Job.currentItem.clear();
    Job.fileList.clear();
    Job.folderList.clear();
    Job.folderWhole.clear();
    Job.sourceFolders.clear();
    // A late "Abbrechen" of the last job must not stop this one.
    Job.cancel = JobGoOn;
    std::lock_guard lock(Job.view.lock);
    Job.view.filePercent = Job.view.totalPercent = 0;
    Job.view.current.clear();
    Job.view.posted = false;
    Job.view.lastPostMs = 0;
}

void PublishProgress(int filePercent, int totalPercent, const std::wstring& item, bool now) {
    if (ProgressObserver) ProgressObserver(filePercent, totalPercent, item);
    const int64_t t = NowMs();
    std::lock_guard lock(Job.view.lock);
    if (!now && t - Job.view.lastPostMs < ProgressIntervalMs) {
        // Kept for the next report; the window shows the latest figures then.
        Job.view.filePercent = filePercent;
        Job.view.totalPercent = totalPercent;
        return;
    }
    Job.view.filePercent = filePercent;
    Job.view.totalPercent = totalPercent;
    Job.view.current = item.substr(0, CurrentItemShown);
    Job.view.lastPostMs = t;
    if (Job.view.posted) return;
    Job.view.posted = true;
    tk_event_post(EventJobProgress, Job.window);
}

void EndFileJobs() {
    if (!Job.thread) return;
    Job.cancel = JobQuitting;
    rt_thread_wait(Job.thread);
}

int64_t ItemListCount(const std::wstring& list) {
    int64_t n = 0;
    for (wchar_t c : list) n += c == L'\n';
    return n;
}

std::wstring ItemListGet(const std::wstring& list, int64_t i) {
    size_t start = 0;
    for (int64_t line = 1; line < i; ++line) {
        start = list.find(L'\n', start);
        if (start == std::wstring::npos) return {};
        ++start;
    }
    const size_t end = list.find(L'\n', start);
    if (i < 1 || end == std::wstring::npos) return {};
    return list.substr(start, end - start);
}

std::vector<std::wstring> ItemListSplit(const std::wstring& list) {
    std::vector<std::wstring> items;
    size_t start = 0;
    for (size_t end; (end = list.find(L'\n', start)) != std::wstring::npos; start = end + 1)
        items.push_back(list.substr(start, end - start));
    return items;
}
