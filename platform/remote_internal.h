// What the remote files of platform/ share: GIO references held by scope,
// the state one operation's calling thread shares with its helper threads,
// the runner that waits for them, GIO's errors as statuses, and GIO's file
// information as directory entries. Platform-internal (and for tests): the
// application includes the remote*.h headers without GIO types, never this.
#pragma once
#include <gio/gio.h>

#include <atomic>
#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>
#include <string>

#include "platform/remote.h"
#include "runtime/files.h"
#include "runtime/wall_clock.h"

// ---- GIO references ----

// A GObject reference released at the end of its scope.
template <class T> class GRef {
  public:
    GRef() = default;
    explicit GRef(T* object) : p_(object) {}
    GRef(const GRef&) = delete;
    GRef& operator=(const GRef&) = delete;
    GRef(GRef&& other) noexcept : p_(other.p_) { other.p_ = nullptr; }
    GRef& operator=(GRef&& other) noexcept {
        if (this != &other) reset(other.release());
        return *this;
    }
    ~GRef() { reset(); }
    T* get() const { return p_; }
    explicit operator bool() const { return p_ != nullptr; }
    void reset(T* object = nullptr) {
        if (p_) g_object_unref(p_);
        p_ = object;
    }
    T* release() {
        T* p = p_;
        p_ = nullptr;
        return p;
    }

  private:
    T* p_ = nullptr;
};

// ---- one operation ----

// The state of one operation, shared (std::shared_ptr) by the calling
// thread and the helper threads that do its GIO work: helpers may run on
// after the caller stopped waiting for them, so everything they touch lives
// here. Operations derive from it for their inputs and results. Fields
// marked (m) are guarded by m.
class RemoteJob : public std::enable_shared_from_this<RemoteJob> {
  public:
    RemoteJob();
    virtual ~RemoteJob();
    RemoteJob(const RemoteJob&) = delete;
    RemoteJob& operator=(const RemoteJob&) = delete;

    // Every GIO call of the operation takes this; it is cancelled by the
    // caller's cancel, by the time-out and by giving up.
    GCancellable* Cancellable() const { return cancellable_; }

    // ---- for helpers ----
    // A sign of life from the server: the time limit starts again.
    void Alive();
    // Bytes of the current file: also a sign of life.
    void Progress(int64_t done, int64_t total);
    // Waits while the operation is paused; false when it was stopped.
    bool WaitWhilePaused();
    // Cancelled, out of time or given up on: helpers end at their next step.
    bool Stopped();
    // The caller asked for a pause.
    bool Paused();
    // Records a failure (takes error); the first one counts.
    void Fail(GError* error);
    void Fail(int status, const std::wstring& message = {});
    // Runs body on another helper of this operation.
    void Spawn(std::function<void()> body);

    // ---- for the calling thread and the call's other threads ----
    void Stop(bool by_user);
    void SetPaused(bool paused);
    // A question to the user is being asked: the limit does not run.
    void SetAsking(bool asking);
    // The limit passed without a sign of life (not counting pauses and
    // questions).
    bool LimitPassed();
    // Waits until no helper runs, reporting progress, stopping the helpers
    // when the limit passes or progress says so, and giving up on them
    // PfRemoteGraceMs after a stop.
    void WaitForHelpers(PfRemoteProgressFn progress, void* user);
    // How the operation ended: a status, and GIO's words for it.
    int Outcome(std::wstring* message);

    int limit_ms = PfRemoteDefaultLimitMs;
    std::atomic<int64_t> done{0}, total{0}; // bytes of the current file

  private:
    void Report(std::unique_lock<std::mutex>& lock, PfRemoteProgressFn progress, void* user,
                int64_t* reported);

    GCancellable* cancellable_;
    std::atomic<int64_t> alive_ms_;       // the last sign of life, monotonic milliseconds
    std::atomic<int64_t> reported_ms_{0}; // when the waiting thread last heard of progress
    std::mutex m_;
    std::condition_variable cv_;
    int running_ = 0;         // (m) helpers inside their body
    bool abandoned_ = false;  // (m) the caller stopped waiting
    bool stop_ = false;       // (m) helpers are asked to end
    bool by_user_ = false;    // (m) the stop was the caller's cancel
    bool timed_out_ = false;  // (m) the stop was the time limit
    bool paused_ = false;     // (m)
    int asking_ = 0;          // (m) questions to the user under way
    GError* error_ = nullptr; // (m) the first failure
    int status_ = PfRemoteOk; // (m) a failure found without a GIO error
    std::wstring message_;    // (m) its words
};

// A new GFile of a location text, or of a local path (starting with "/");
// null for anything else. A remote one is made from its URI, never from a
// path, so it never reaches GVfs's FUSE mount.
GFile* RemoteFileFor(const std::wstring& location);

// Sets a call's status without an operation (a bad location).
void RemoteSetStatus(PfRemoteCall* call, int status);

// Runs body on a helper thread for call and waits on the calling thread,
// reporting progress (may be null), until the helpers of job are done or the
// operation is cancelled or out of time. Sets the call's status; 1 when the
// operation succeeded.
int RemoteRun(PfRemoteCall* call, const std::shared_ptr<RemoteJob>& job, std::function<void()> body,
              PfRemoteProgressFn progress = nullptr, void* user = nullptr);

// RemoteRun of body(*job, file) for the GFile of location;
// PfRemoteBadLocation when location is neither a location text nor a path.
template <class Job, class Body>
int RemoteRunOn(PfRemoteCall* call, const std::wstring& location, const std::shared_ptr<Job>& job,
                Body body, PfRemoteProgressFn progress = nullptr, void* user = nullptr) {
    std::shared_ptr<GFile> file(RemoteFileFor(location), [](GFile* f) {
        if (f) g_object_unref(f);
    });
    if (!file) {
        RemoteSetStatus(call, PfRemoteBadLocation);
        return 0;
    }
    return RemoteRun(
        call, job, [job, file, body] { body(*job, file.get()); }, progress, user);
}

// For an operation that runs on the calling thread (a mount): attaches job
// to call so that cancel and pause reach it; false (status set) when the
// call was cancelled already. RemoteEnd detaches it and sets the status.
bool RemoteBegin(PfRemoteCall* call, const std::shared_ptr<RemoteJob>& job);
int RemoteEnd(PfRemoteCall* call, const std::shared_ptr<RemoteJob>& job);

// Runs task on a pooled helper thread. Threads are kept a while for the
// next task, so GVfs keeps its connection per thread; a task that hangs
// keeps its thread, and the next task gets another.
void RemotePoolRun(std::function<void()> task);

// ---- mounts ----

struct PfRemoteAsk;
// A new mount operation whose questions go to ask (may be null) on the
// thread that runs the mount; a password given answers the first login
// question. job's limit stands still while the caller is asked.
GMountOperation* RemoteMountOperation(const std::shared_ptr<RemoteJob>& job, const PfRemoteAsk* ask,
                                      const std::wstring& user, const std::wstring& password);

// Whether the volume monitor still lists the mount of location's server.
// Waits briefly for the thread that keeps the monitor (remote_mounts.cpp).
bool RemoteMountListed(const std::wstring& location);

// pf_remote_watch_open for a GFile of any scheme (tests watch GVfs's
// "localtest" backend, which has a monitor).
int64_t RemoteWatchOpen(PfRemoteCall* call, GFile* folder);

// ---- errors and entries ----

// The status that stands for a GIO error, and for an errno of a local call.
int RemoteStatusOf(const GError* error);
int RemoteStatusOfErrno(int error);

// The attributes an entry needs, asked for in one query; the second list
// adds the MIME type.
extern const char* const kRemoteEntryAttributes;
extern const char* const kRemoteEntryAttributesWithMime;

// An entry as rt_dir_read gives it, from GIO's information (which must hold
// kRemoteEntryAttributes); mime (may be null) gets the content type, "" when
// GIO knows none.
void RemoteEntryOf(GFileInfo* info, RtWallClock& clock, RtDirEntry* entry, std::wstring* mime);
