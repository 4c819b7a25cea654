// Numbered threads, recursive mutexes and pauses: see threads.h.
#include "runtime/threads.h"

#include "runtime/syscalls.h"

#include <cerrno>
#include <condition_variable>
#include <cstdio>
#include <map>
#include <memory>
#include <mutex>
#include <sched.h>
#include <sys/resource.h>
#include <system_error>
#include <thread>
#include <time.h>

namespace {

constexpr int kBackgroundNice = 10; // nice value of rt_thread_lower_priority

// What a thread and its waiters share; lives as long as either needs it.
struct ThreadRecord {
    std::mutex mutex;
    std::condition_variable ended_signal;
    bool ended = false; // written by the thread itself as its last act
    std::thread::id id; // set before the procedure runs
};

struct ThreadTable {
    std::mutex mutex;
    std::map<int, std::shared_ptr<ThreadRecord>> running; // may hold ended ones until pruned
    int last_number = 0;
};

ThreadTable& table() {
    // Never destroyed: threads may outlive static destruction at exit.
    static auto* t = new ThreadTable;
    return *t;
}

bool has_ended(ThreadRecord& r) {
    std::lock_guard lock(r.mutex);
    return r.ended;
}

void prune_ended(ThreadTable& t) {
    for (auto it = t.running.begin(); it != t.running.end();)
        it = has_ended(*it->second) ? t.running.erase(it) : std::next(it);
}

void run_thread(std::shared_ptr<ThreadRecord> record, RtThreadProc procedure, intptr_t parameter) {
    procedure(parameter);
    std::lock_guard lock(record->mutex);
    record->ended = true;
    record->ended_signal.notify_all();
}

} // namespace

int rt_thread_create(RtThreadProc procedure, intptr_t parameter) {
    if (!procedure) return 0;
    ThreadTable& t = table();
    std::lock_guard lock(t.mutex);
    prune_ended(t);
    auto record = std::make_shared<ThreadRecord>();
    try {
        // The lock is held while the thread starts so that its record is
        // in the table before anyone can ask about its number.
        std::thread thread(run_thread, record, procedure, parameter);
        record->id = thread.get_id();
        thread.detach();
    } catch (const std::system_error&) {
        return 0; // no thread could be made; no number is used up
    }
    t.running[++t.last_number] = record;
    return t.last_number;
}

namespace {

std::shared_ptr<ThreadRecord> find(int thread) {
    ThreadTable& t = table();
    std::lock_guard lock(t.mutex);
    auto it = t.running.find(thread);
    return it == t.running.end() ? nullptr : it->second;
}

bool was_handed_out(int thread) {
    ThreadTable& t = table();
    std::lock_guard lock(t.mutex);
    return thread >= 1 && thread <= t.last_number;
}

} // namespace

int rt_thread_is_running(int thread) {
    std::shared_ptr<ThreadRecord> record = find(thread);
    return record && !has_ended(*record) ? 1 : 0;
}

int rt_thread_wait(int thread) {
    std::shared_ptr<ThreadRecord> record = find(thread);
    if (!record) return was_handed_out(thread) ? 1 : 0; // pruned, so it has ended
    std::unique_lock lock(record->mutex);
    if (!record->ended && record->id == std::this_thread::get_id()) return 0;
    record->ended_signal.wait(lock, [&] { return record->ended; });
    return 1;
}

struct RtMutex {
    std::recursive_mutex lock;
};

RtMutex* rt_mutex_create() {
    return new RtMutex;
}

void rt_mutex_lock(RtMutex* mutex) {
    if (mutex) mutex->lock.lock();
}

void rt_mutex_unlock(RtMutex* mutex) {
    if (mutex) mutex->lock.unlock();
}

void rt_mutex_free(RtMutex* mutex) {
    delete mutex;
}

void rt_thread_lower_priority() {
    // Linux keeps a nice value per thread; 10 leaves a tenth of a busy
    // processor to the thread when normal threads want it too.
    [[maybe_unused]] int ignored =
        rt_sys.setpriority(PRIO_PROCESS, static_cast<id_t>(rt_sys.gettid()), kBackgroundNice);
}

void rt_delay(int milliseconds) {
    // Linux timers are fine-grained already; nothing to raise first.
    if (milliseconds <= 0) {
        rt_sys.sched_yield();
        return;
    }
    timespec left{milliseconds / 1000, (milliseconds % 1000) * 1000000L};
    while (rt_sys.nanosleep(&left, &left) != 0 && errno == EINTR) {
    }
}

void rt_process_end_now(int code) {
    std::fflush(nullptr); // what the program printed still goes out
    rt_sys.exit_now(code);
}
