// CopyFiles: the files of a job, several in flight at once. Many small
// files are bound by the time each one waits for the file system, not by
// the disk, so a few copy threads take them from a short queue; a large
// file is copied by the worker itself with the threads idle, which keeps
// one large file from competing with another for the disk and keeps its
// progress readable. The worker decides in order which file comes next,
// so a cancel starts nothing after the file it came in, and a later name of
// a hard-linked file is always queued after its first.
#include "app/fileops/copy_job.h"
#include "app/fileops/file_work.h"
#include "app/fileops/fileops_internal.h"

#include <condition_variable>
#include <deque>
#include <memory>
#include <mutex>
#include <sys/stat.h>
#include <thread>
#include <vector>

namespace {

constexpr int CopyThreads = 8;
constexpr size_t QueueLength = 64;
// Below this a file is "small": its copy is mostly opening and closing.
constexpr int64_t SmallFile = 256 << 10;

class Pool {
  public:
    explicit Pool(FileWork& w) : w_(w) {
        for (int i = 0; i < CopyThreads; ++i) threads_.emplace_back([this] { Run(); });
    }
    ~Pool() {
        {
            std::lock_guard guard(lock_);
            ending_ = true;
        }
        wake_.notify_all();
        for (std::thread& t : threads_) t.join();
    }
    void Add(WorkItem* item) {
        std::unique_lock guard(lock_);
        room_.wait(guard, [this] { return queue_.size() < QueueLength; });
        queue_.push_back(item);
        wake_.notify_one();
    }
    // Until every queued file is done.
    void Drain() {
        std::unique_lock guard(lock_);
        room_.wait(guard, [this] { return queue_.empty() && busy_ == 0; });
    }

  private:
    void Run() {
        std::unique_lock guard(lock_);
        for (;;) {
            wake_.wait(guard, [this] { return ending_ || !queue_.empty(); });
            if (queue_.empty()) return;
            WorkItem* item = queue_.front();
            queue_.pop_front();
            ++busy_;
            guard.unlock();
            TransferItem(w_, *item);
            guard.lock();
            --busy_;
            room_.notify_all();
        }
    }

    FileWork& w_;
    std::mutex lock_;
    std::condition_variable wake_, room_;
    std::deque<WorkItem*> queue_;
    int busy_ = 0;
    bool ending_ = false;
    std::vector<std::thread> threads_;
};

} // namespace

void CopyFiles(FileWork& w) {
    size_t files = 0;
    for (const WorkItem& item : w.items) files += !S_ISDIR(item.entry.mode);
    // A handful of files gains nothing from threads.
    std::unique_ptr<Pool> pool = files > 8 ? std::make_unique<Pool>(w) : nullptr;
    for (WorkItem& item : w.items) {
        if (S_ISDIR(item.entry.mode) || item.state != ItemPending) continue;
        if (WorkStopped(w)) break;
        if (!ParentReady(w, item)) {
            item.state = ItemBlocked;
            continue;
        }
        if (pool && item.entry.size < SmallFile) {
            pool->Add(&item);
            continue;
        }
        if (pool) pool->Drain();
        TransferItem(w, item);
    }
}
