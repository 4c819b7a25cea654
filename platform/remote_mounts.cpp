// The mounted remote locations: see pf_remote_mounts in remote_mount.h.
//
// GIO's volume monitor keeps its list of mounts up to date from signals it
// receives in the main context that was the thread's default when it was
// made; a context nobody runs leaves the list as it was at the start. So a
// thread of its own makes the monitor and runs its context for good, and
// asking for the list is a short visit there (g_main_context_invoke): it
// reads what the monitor already knows and never waits for a server.
#include <thread>

#include "platform/remote_internal.h"
#include "platform/remote_location.h"
#include "platform/remote_mount.h"
#include "runtime/text.h"

namespace {

struct MountsThread {
    GMainContext* context = nullptr;
    std::mutex m;
    void (*changed)(void*) = nullptr; // (m)
    void* changed_user = nullptr;     // (m)

    void Run() {
        g_main_context_push_thread_default(context);
        GVolumeMonitor* monitor = g_volume_monitor_get(); // kept for good
        for (const char* signal : {"mount-added", "mount-removed", "mount-changed"})
            g_signal_connect(monitor, signal, G_CALLBACK(OnChange), this);
        GMainLoop* loop = g_main_loop_new(context, FALSE);
        g_main_loop_run(loop); // never quits
    }

    static void OnChange(GVolumeMonitor*, GMount*, gpointer data) {
        auto* self = static_cast<MountsThread*>(data);
        std::lock_guard lock(self->m);
        if (self->changed) self->changed(self->changed_user);
    }
};

// Started on first use; never ends, as the monitor it keeps.
MountsThread& TheMountsThread() {
    static MountsThread* t = [] {
        auto* thread = new MountsThread;
        thread->context = g_main_context_new();
        std::thread([thread] { thread->Run(); }).detach();
        return thread;
    }();
    return *t;
}

// The remote mounts the monitor knows, on its thread.
std::vector<PfRemoteMount> ListMounts() {
    std::vector<PfRemoteMount> out;
    GList* mounts = g_volume_monitor_get_mounts(g_volume_monitor_get());
    for (GList* m = mounts; m; m = m->next) {
        GMount* mount = G_MOUNT(m->data);
        GRef<GFile> root(g_mount_get_root(mount));
        gchar* uri = g_file_get_uri(root.get());
        PfRemoteLocation l;
        if (uri && pf_remote_parse_uri(uri, &l)) {
            gchar* name = g_mount_get_name(mount);
            out.push_back({rt_text_from_utf8(name ? name : ""), pf_remote_text(l), l.scheme});
            g_free(name);
        }
        g_free(uri);
    }
    g_list_free_full(mounts, g_object_unref);
    return out;
}

struct MountsJob : RemoteJob {
    std::vector<PfRemoteMount> mounts;
    std::mutex visit_m;
    std::condition_variable visited_cv;
    bool visited = false; // (visit_m) the mounts thread has filled mounts

    // On a helper: asks the mounts thread for the list and waits for it.
    void Visit() {
        auto* held =
            new std::shared_ptr<MountsJob>(std::static_pointer_cast<MountsJob>(shared_from_this()));
        g_main_context_invoke_full(
            TheMountsThread().context, G_PRIORITY_DEFAULT,
            [](gpointer data) -> gboolean {
                MountsJob& j = **static_cast<std::shared_ptr<MountsJob>*>(data);
                j.mounts = ListMounts();
                std::lock_guard lock(j.visit_m);
                j.visited = true;
                j.visited_cv.notify_all();
                return G_SOURCE_REMOVE;
            },
            held, [](gpointer data) { delete static_cast<std::shared_ptr<MountsJob>*>(data); });
        std::unique_lock lock(visit_m);
        visited_cv.wait(lock, [this] { return visited; });
    }
};

} // namespace

bool RemoteMountListed(const std::wstring& location) {
    auto job = std::make_shared<MountsJob>();
    job->Visit();
    const std::wstring key = pf_remote_key(pf_remote_root(location));
    for (const PfRemoteMount& m : job->mounts)
        if (pf_remote_key(m.location) == key) return true;
    return false;
}

int pf_remote_mounts(PfRemoteCall* call, std::vector<PfRemoteMount>* out) {
    auto job = std::make_shared<MountsJob>();
    if (!RemoteRun(call, job, [job] { job->Visit(); })) return 0;
    *out = std::move(job->mounts);
    return 1;
}

void pf_remote_mounts_notify(void (*changed)(void* user), void* user) {
    MountsThread& t = TheMountsThread();
    std::lock_guard lock(t.m);
    t.changed = changed;
    t.changed_user = user;
}
