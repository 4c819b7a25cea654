// The job records, the workers' progress reports and the orderly end of the
// jobs when the program quits. See copy_job.h.
#include "app/fileops/copy_job.h"

#include "app/core/ids.h"
#include "app/fileops/fileops.h"
#include "app/fileops/fileops_ids.h"
#include "app/fileops/job_journal.h"
#include "toolkit/events.h"

#include <algorithm>
#include <chrono>
#include <list>
#include <memory>

ProgressObserverFn ProgressObserver = nullptr;

namespace {

// Fast enough that the bars move smoothly, rare enough that a job of many
// small files spends nothing on reporting.
constexpr int64_t ProgressIntervalMs = 40;

std::list<std::unique_ptr<CopyJob>> Jobs; // main thread

int64_t NowMs() {
    using namespace std::chrono;
    return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}

bool Running(const CopyJob& job) {
    return job.thread != 0 && rt_thread_is_running(job.thread);
}

} // namespace

CopyJob& NewFileJob(int operation, const std::wstring& sourceFolder,
                    const std::wstring& targetFolder) {
    CopyJob& job = *Jobs.emplace_back(std::make_unique<CopyJob>());
    job.operation = operation;
    job.sourceFolder = sourceFolder;
    job.targetFolder = targetFolder;
    return job;
}

void StartFileJob(CopyJob& job, RtThreadProc worker) {
    JournalJobStarting(job);
    OpenProgressWindow(job);
    job.thread = rt_thread_create(worker, reinterpret_cast<intptr_t>(&job));
    if (job.thread) return;
    // No worker: nothing was done, and the window must not wait for one.
    job.result = 0;
    job.failures = 1;
    tk_event_post(EventJobDone, job.window);
}

CopyJob* FileJobOfWindow(int64_t window) {
    for (const auto& job : Jobs)
        if (job->window == window) return job.get();
    return nullptr;
}

void EndFileJob(CopyJob& job) {
    if (job.thread) rt_thread_wait(job.thread);
    JournalJobEnded(job);
    Jobs.remove_if([&](const std::unique_ptr<CopyJob>& j) { return j.get() == &job; });
}

bool FileJobRunning() {
    return std::any_of(Jobs.begin(), Jobs.end(), [](const auto& job) { return Running(*job); });
}

void PublishProgress(CopyJob& job, int filePercent, int totalPercent, const std::wstring& item,
                     bool now) {
    if (ProgressObserver) ProgressObserver(job, filePercent, totalPercent, item);
    const int64_t t = NowMs();
    JobView& view = job.view;
    std::lock_guard lock(view.lock);
    view.filePercent = filePercent;
    view.totalPercent = totalPercent;
    // Kept for the next report; the window shows the latest figures then.
    if (!now && t - view.lastPostMs < ProgressIntervalMs) return;
    view.current = item.substr(0, CurrentItemShown);
    view.lastPostMs = t;
    if (view.posted) return;
    view.posted = true;
    tk_event_post(EventJobProgress, job.window);
}

void EndFileJobs() {
    for (const auto& job : Jobs) job->cancel = JobQuitting;
    for (const auto& job : Jobs)
        if (job->thread) rt_thread_wait(job->thread);
}
