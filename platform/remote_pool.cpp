// Helper threads of remote operations: see RemotePoolRun in remote_internal.h.
//
// GVfs opens a private connection to a backend per thread on the first
// call, which costs a few milliseconds; a job of ten thousand small files
// must not pay that per file, so threads wait a while for the next task.
// Every task gets a thread of its own at once: a task stuck on a server
// that stopped answering never holds up another one.
#include <chrono>
#include <condition_variable>
#include <deque>
#include <functional>
#include <mutex>
#include <thread>

#include "platform/remote_internal.h"

namespace {

constexpr auto kIdleEnd = std::chrono::seconds(30); // an idle thread ends after this

struct Pool {
    std::mutex m;
    std::condition_variable cv;
    std::deque<std::function<void()>> tasks; // (m)
    size_t idle = 0;                         // (m) threads waiting for a task

    void Serve() {
        std::unique_lock lock(m);
        for (;;) {
            if (!cv.wait_for(lock, kIdleEnd, [this] { return !tasks.empty(); })) break;
            std::function<void()> task = std::move(tasks.front());
            tasks.pop_front();
            --idle;
            lock.unlock();
            task();
            task = nullptr; // its references go before the thread waits again
            lock.lock();
            ++idle;
        }
        --idle;
    }
};

// Never destroyed: threads may still wait on it while the process ends.
Pool& ThePool() {
    static Pool* pool = new Pool;
    return *pool;
}

} // namespace

void RemotePoolRun(std::function<void()> task) {
    Pool& pool = ThePool();
    std::lock_guard lock(pool.m);
    pool.tasks.push_back(std::move(task));
    if (pool.idle < pool.tasks.size()) {
        ++pool.idle; // counted as waiting from now, so the next task sees it
        std::thread([&pool] { pool.Serve(); }).detach();
    }
    pool.cv.notify_one();
}
