// Remote folder watches on GIO's file monitor: see remote_watch.h.
//
// Each watch has a main context of its own. The monitor is made with that
// context as the thread's default, so GIO delivers its reports there, and
// pf_remote_watch_wait runs the context while it waits; a wake or a close
// sets a flag and wakes the context.
#include <chrono>
#include <map>

#include "platform/remote_internal.h"
#include "platform/remote_watch.h"

namespace {

struct Watch {
    GMainContext* context = g_main_context_new();
    GFileMonitor* monitor = nullptr; // set once by the opening helper
    std::atomic<int> changed{0};
    std::atomic<int> woken{0};
    std::atomic<int> closed{0};

    Watch() = default;
    Watch(const Watch&) = delete;
    Watch& operator=(const Watch&) = delete;
    // By the last user. The monitor is let go with its own context as the
    // default, so what GIO does on that goes there, not to the main loop.
    ~Watch() {
        const bool owned = g_main_context_acquire(context);
        g_main_context_push_thread_default(context);
        if (monitor) {
            g_file_monitor_cancel(monitor);
            g_object_unref(monitor);
        }
        while (owned && g_main_context_iteration(context, FALSE)) {
        }
        g_main_context_pop_thread_default(context);
        if (owned) g_main_context_release(context);
        g_main_context_unref(context);
    }

    static void OnChanged(GFileMonitor*, GFile*, GFile*, GFileMonitorEvent event, gpointer data) {
        if (event != G_FILE_MONITOR_EVENT_PRE_UNMOUNT) static_cast<Watch*>(data)->changed = 1;
    }
};

struct WatchJob : RemoteJob {
    std::shared_ptr<Watch> watch;
};

std::mutex TableLock;
std::map<int64_t, std::shared_ptr<Watch>> Table; // (TableLock)
int64_t NextHandle = 1;                          // (TableLock)

std::shared_ptr<Watch> Find(int64_t handle) {
    std::lock_guard lock(TableLock);
    auto it = Table.find(handle);
    return it == Table.end() ? nullptr : it->second;
}

void MakeMonitor(WatchJob& job, GFile* folder) {
    Watch& w = *job.watch;
    g_main_context_push_thread_default(w.context);
    GError* error = nullptr;
    GFileMonitor* monitor =
        g_file_monitor_directory(folder, G_FILE_MONITOR_WATCH_MOVES, job.Cancellable(), &error);
    if (monitor) g_signal_connect(monitor, "changed", G_CALLBACK(Watch::OnChanged), &w);
    g_main_context_pop_thread_default(w.context);
    w.monitor = monitor;
    job.Fail(error);
}

// One round of the context, for at most ms milliseconds (negative: no limit).
void RunOnce(GMainContext* context, int64_t ms) {
    GSource* timer = nullptr;
    if (ms >= 0) {
        timer = g_timeout_source_new(static_cast<guint>(ms));
        g_source_set_callback(
            timer, [](gpointer) { return G_SOURCE_REMOVE; }, nullptr, nullptr);
        g_source_attach(timer, context);
    }
    g_main_context_iteration(context, TRUE);
    if (timer) {
        g_source_destroy(timer);
        g_source_unref(timer);
    }
}

} // namespace

int64_t RemoteWatchOpen(PfRemoteCall* call, GFile* folder) {
    auto job = std::make_shared<WatchJob>();
    job->watch = std::make_shared<Watch>();
    g_object_ref(folder);
    std::shared_ptr<GFile> file(folder, g_object_unref);
    if (!RemoteRun(call, job, [job, file] { MakeMonitor(*job, file.get()); })) return 0;
    std::lock_guard lock(TableLock);
    Table[NextHandle] = job->watch;
    return NextHandle++;
}

int64_t pf_remote_watch_open(PfRemoteCall* call, const std::wstring& folder) {
    GFile* file = RemoteFileFor(folder);
    if (!file || g_file_is_native(file)) {
        if (file) g_object_unref(file);
        RemoteSetStatus(call, PfRemoteBadLocation);
        return 0;
    }
    const int64_t handle = RemoteWatchOpen(call, file);
    g_object_unref(file);
    return handle;
}

int pf_remote_watch_wait(int64_t handle, int timeout_ms) {
    std::shared_ptr<Watch> w = Find(handle);
    if (!w || !g_main_context_acquire(w->context)) return -1; // unknown, or another waiter
    using Clock = std::chrono::steady_clock;
    const auto end = Clock::now() + std::chrono::milliseconds(timeout_ms);
    int result = 0;
    for (;;) {
        if (w->woken.exchange(0) || w->closed) {
            result = -1;
            break;
        }
        if (w->changed.exchange(0)) {
            while (g_main_context_iteration(w->context, FALSE)) {
            } // what came meanwhile belongs to this report
            w->changed = 0;
            result = 1;
            break;
        }
        int64_t left = -1;
        if (timeout_ms >= 0) {
            left =
                std::chrono::duration_cast<std::chrono::milliseconds>(end - Clock::now()).count();
            if (left <= 0) break;
        }
        RunOnce(w->context, left);
    }
    g_main_context_release(w->context);
    return result;
}

void pf_remote_watch_wake(int64_t handle) {
    if (std::shared_ptr<Watch> w = Find(handle)) {
        w->woken = 1;
        g_main_context_wakeup(w->context);
    }
}

void pf_remote_watch_close(int64_t handle) {
    std::shared_ptr<Watch> w;
    {
        std::lock_guard lock(TableLock);
        auto it = Table.find(handle);
        if (it == Table.end()) return;
        w = std::move(it->second);
        Table.erase(it);
    }
    w->closed = 1;
    g_main_context_wakeup(w->context);
    // Letting the monitor go may ask the backend: never on the closing
    // thread, which may be the main one.
    RemotePoolRun([w = std::move(w)]() mutable { w.reset(); });
}
