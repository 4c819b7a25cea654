// Mounting and unmounting on the calling thread: see remote_mount.h.
//
// Both are asynchronous GIO calls on a private main context pushed for the
// calling thread, so GIO delivers their questions and their end here and
// nothing reaches the default context of the Qt main loop. A timer on that
// context watches the time limit; a cancel from another thread wakes the
// context through the cancellable. (A mount that stalls in its handshake
// does end at once on cancel, unlike a stalled read: see remote.h.)
#include "platform/remote_mount.h"
#include "platform/remote_internal.h"
#include "platform/remote_location.h"
#include "platform/remote_mount_seam.h"

#include <algorithm>

namespace {

constexpr guint kTickMs = 50; // how often the timer looks at the limit

void RealStart(GFile* file, GMountOperation* operation, GCancellable* cancellable,
               GAsyncReadyCallback done, gpointer data) {
    g_file_mount_enclosing_volume(file, G_MOUNT_MOUNT_NONE, operation, cancellable, done, data);
}

// A private main context, the calling thread's default while it lives.
class ThreadContext {
  public:
    ThreadContext() : context_(g_main_context_new()) {
        g_main_context_push_thread_default(context_);
    }
    ~ThreadContext() {
        while (g_main_context_iteration(context_, FALSE)) {
        }
        g_main_context_pop_thread_default(context_);
        g_main_context_unref(context_);
    }
    ThreadContext(const ThreadContext&) = delete;
    ThreadContext& operator=(const ThreadContext&) = delete;

    // Runs the context until *done, stopping job once its limit passed.
    void RunUntil(const bool& done, RemoteJob& job) {
        GSource* tick = g_timeout_source_new(kTickMs);
        g_source_set_callback(
            tick,
            [](gpointer data) -> gboolean {
                auto* j = static_cast<RemoteJob*>(data);
                if (j->LimitPassed()) j->Stop(false);
                return G_SOURCE_CONTINUE;
            },
            &job, nullptr);
        g_source_attach(tick, context_);
        while (!done) g_main_context_iteration(context_, TRUE);
        g_source_destroy(tick);
        g_source_unref(tick);
    }

  private:
    GMainContext* context_;
};

struct Ending {
    bool done = false;
    GError* error = nullptr;
};

void OnMounted(GObject* file, GAsyncResult* result, gpointer data) {
    auto* e = static_cast<Ending*>(data);
    pf_remote_mount_seam.finish(G_FILE(file), result, &e->error);
    e->done = true;
}

void OnUnmounted(GObject* mount, GAsyncResult* result, gpointer data) {
    auto* e = static_cast<Ending*>(data);
    g_mount_unmount_with_operation_finish(G_MOUNT(mount), result, &e->error);
    e->done = true;
}

void Mount(const std::shared_ptr<RemoteJob>& shared, GFile* file, const PfRemoteLocation& l,
           const PfRemoteAsk* ask) {
    RemoteJob& job = *shared;
    ThreadContext context;
    GRef<GMountOperation> op(RemoteMountOperation(shared, ask, l.user, l.password));
    Ending e;
    pf_remote_mount_seam.start(file, op.get(), job.Cancellable(), OnMounted, &e);
    context.RunUntil(e.done, job);
    if (g_error_matches(e.error, G_IO_ERROR, G_IO_ERROR_ALREADY_MOUNTED)) g_clear_error(&e.error);
    job.Fail(e.error);
}

// The backend answers an unmount before it has gone; a mount meanwhile
// would find it "mounted" and then see it go. So an unmount ends when the
// volume monitor no longer lists it (or the limit passes). Not by looking
// the mount up: a lookup now would put the leaving backend into GVfs's
// cache of mounts, where nothing takes it out again.
void WaitUntilGone(RemoteJob& job, const std::wstring& location) {
    while (RemoteMountListed(location) && !job.Stopped()) {
        if (job.LimitPassed()) return job.Stop(false);
        g_usleep(kTickMs * 1000 / 5);
    }
}

void Unmount(const std::shared_ptr<RemoteJob>& shared, GFile* file, const PfRemoteLocation& l,
             const PfRemoteAsk* ask) {
    RemoteJob& job = *shared;
    ThreadContext context;
    GError* error = nullptr;
    GRef<GMount> mount(g_file_find_enclosing_mount(file, job.Cancellable(), &error));
    if (!mount) {
        if (g_error_matches(error, G_IO_ERROR, G_IO_ERROR_NOT_FOUND) ||
            g_error_matches(error, G_IO_ERROR, G_IO_ERROR_NOT_MOUNTED)) {
            g_clear_error(&error);
            return job.Fail(PfRemoteNotMounted);
        }
        return job.Fail(error);
    }
    GRef<GMountOperation> op(RemoteMountOperation(shared, ask, L"", L""));
    Ending e;
    g_mount_unmount_with_operation(mount.get(), G_MOUNT_UNMOUNT_NONE, op.get(), job.Cancellable(),
                                   OnUnmounted, &e);
    context.RunUntil(e.done, job);
    if (e.error) return job.Fail(e.error);
    WaitUntilGone(job, pf_remote_text(l));
}

} // namespace

PfRemoteMountSeam pf_remote_mount_seam = {RealStart, g_file_mount_enclosing_volume_finish};

void pf_remote_mount_seam_reset() {
    pf_remote_mount_seam = {RealStart, g_file_mount_enclosing_volume_finish};
}

namespace {

// A mount or unmount of location's server on the calling thread.
int OnCallingThread(PfRemoteCall* call, const std::wstring& location, const PfRemoteAsk* ask,
                    void (*work)(const std::shared_ptr<RemoteJob>&, GFile*, const PfRemoteLocation&,
                                 const PfRemoteAsk*)) {
    if (!call) return 0;
    PfRemoteLocation l;
    if (!pf_remote_parse(location, &l)) {
        RemoteSetStatus(call, PfRemoteBadLocation);
        return 0;
    }
    GRef<GFile> file(g_file_new_for_uri(pf_remote_uri(l).c_str()));
    auto job = std::make_shared<RemoteJob>();
    if (RemoteBegin(call, job)) work(job, file.get(), l, ask);
    std::fill(l.password.begin(), l.password.end(), L'\0');
    return RemoteEnd(call, job);
}

} // namespace

int pf_remote_mount(PfRemoteCall* call, const std::wstring& location, const PfRemoteAsk* ask) {
    return OnCallingThread(call, location, ask, Mount);
}

int pf_remote_unmount(PfRemoteCall* call, const std::wstring& location, const PfRemoteAsk* ask) {
    return OnCallingThread(call, location, ask, Unmount);
}
