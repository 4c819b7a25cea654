// The job records, the workers' progress reports and the orderly end of the
// jobs when the program quits. See copy_job.h.
#include "app/fileops/copy_job.h"

#include "app/core/app_state.h"
#include "app/core/ids.h"
#include "app/fileops/fileops.h"
#include "app/fileops/fileops_ids.h"
#include "app/fileops/job_journal.h"
#include "app/fileops/job_questions.h"
#include "app/fileops/job_queue.h"
#include "toolkit/events.h"

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <deque>
#include <list>
#include <memory>
#include <mutex>

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
    return job.working.load();
}

// The threads the workers run on. A queue of a hundred small jobs would
// spend more on starting and ending a thread per job than on its files, so
// a thread that finished a job waits for the next one. Threads are added
// while none is idle and stay until the program ends (runtime/threads.h).
struct WorkerPool {
    std::mutex lock;
    std::condition_variable wake;
    std::condition_variable ended;                      // a worker finished its job
    std::deque<std::pair<RtThreadProc, CopyJob*>> work; // under lock
    int idle = 0;                                       // under lock
};
// Never destroyed: its threads still wait on it while the program ends.
WorkerPool& Pool = *new WorkerPool;

void PoolThread(intptr_t) {
    std::unique_lock lock(Pool.lock);
    ++Pool.idle;
    for (;;) {
        Pool.wake.wait(lock, [] { return !Pool.work.empty(); });
        --Pool.idle;
        const auto [worker, job] = Pool.work.front();
        Pool.work.pop_front();
        lock.unlock();
        worker(reinterpret_cast<intptr_t>(job));
        const int64_t id = job->queueId, window = job->window;
        // Idle again before the main thread can hand out the next job.
        lock.lock();
        ++Pool.idle;
        lock.unlock();
        // The last touch of the record: the main thread frees it once it
        // sees this, never before, and hears of it without asking again.
        job->working.store(false);
        tk_event_post(EventJobGone, window, 0, 0, static_cast<intptr_t>(id));
        lock.lock();
        Pool.ended.notify_all(); // under the lock: EndFileJobs cannot miss it
    }
}

} // namespace

CopyJob& NewFileJob(int operation, const std::wstring& sourceFolder,
                    const std::wstring& targetFolder) {
    CopyJob& job = *Jobs.emplace_back(std::make_unique<CopyJob>());
    job.operation = operation;
    job.sourceFolder = sourceFolder;
    job.targetFolder = targetFolder;
    job.verify = App.settings.VerifyCopies != 0;
    return job;
}

void StartFileJob(CopyJob& job, RtThreadProc worker) {
    QueueFileJob(job, worker);
}

void StartFileWorker(CopyJob& job, RtThreadProc worker) {
    job.working.store(true);
    std::unique_lock lock(Pool.lock);
    Pool.work.emplace_back(worker, &job);
    const bool idle = Pool.idle > 0;
    lock.unlock();
    if (idle) {
        Pool.wake.notify_one();
        return;
    }
    job.thread = rt_thread_create(PoolThread, 0);
    if (job.thread) return;
    lock.lock();
    std::erase_if(Pool.work, [&](const auto& w) { return w.second == &job; });
    lock.unlock();
    job.working.store(false);
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
    Jobs.remove_if([&](const std::unique_ptr<CopyJob>& j) { return j.get() == &job; });
}

bool FileJobRunning() {
    return std::any_of(Jobs.begin(), Jobs.end(), [](const auto& job) { return Running(*job); });
}

void PublishProgress(CopyJob& job, int filePercent, int totalPercent, const std::wstring& item,
                     bool now) {
    if (ProgressObserver) ProgressObserver(job, filePercent, totalPercent, item);
    // "Anhalten" holds the worker here; a cancel lets it go on to its next check.
    rt_control_go_on(&job.control);
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

bool EndFileJobs(int64_t waitMs) {
    for (const auto& job : Jobs) {
        job->cancel = JobQuitting;
        rt_control_cancel(&job->control);
    }
    WakeJobQuestions();
    // The workers stop at their next step; the program ends when all have.
    std::unique_lock lock(Pool.lock);
    return Pool.ended.wait_for(lock, std::chrono::milliseconds(waitMs),
                               [] { return !FileJobRunning(); });
}
