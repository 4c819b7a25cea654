// Call handles, the state of one operation and the runner that waits for
// its helpers: see remote.h (the promises) and remote_internal.h.
//
// The calling thread sleeps on the operation's condition variable until
// a helper ends, reports progress or the deadline (last sign of life +
// limit) passes. A stop (cancel, time-out, progress callback saying no)
// cancels the GCancellable and waits PfRemoteGraceMs for the helpers; a
// helper that does not come back is left with its shared state.
#include "platform/remote_internal.h"

#include <chrono>

#include "runtime/text.h"

struct PfRemoteCall {
    int limit_ms = PfRemoteDefaultLimitMs;
    std::atomic<int> cancelled{0}; // any thread; sticky
    std::atomic<int> paused{0};    // any thread
    std::atomic<int64_t> done{0};  // calling thread writes, any reads
    std::atomic<int64_t> total{0};
    int status = PfRemoteOk; // calling thread
    std::wstring message;    // calling thread
    mutable std::mutex m;
    std::shared_ptr<RemoteJob> job; // (m) the running operation
};

namespace {

using Clock = std::chrono::steady_clock;

constexpr int64_t kReportMs = 50; // the least time between two progress reports

int64_t NowMs() {
    return std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now().time_since_epoch())
        .count();
}

Clock::time_point AtMs(int64_t ms) {
    return Clock::time_point(std::chrono::milliseconds(ms));
}

} // namespace

// ---- call handles ----

PfRemoteCall* pf_remote_call_new(int limit_ms) {
    auto* call = new PfRemoteCall;
    call->limit_ms = limit_ms > 0 ? limit_ms : PfRemoteDefaultLimitMs;
    return call;
}

void pf_remote_call_free(PfRemoteCall* call) {
    delete call;
}

void pf_remote_call_cancel(PfRemoteCall* call) {
    if (!call) return;
    call->cancelled = 1; // before the lock: an operation attaching now sees it
    std::shared_ptr<RemoteJob> job;
    {
        std::lock_guard lock(call->m);
        job = call->job;
    }
    if (job) job->Stop(true);
}

int pf_remote_call_cancelled(const PfRemoteCall* call) {
    return call && call->cancelled.load() ? 1 : 0;
}

void pf_remote_call_pause(PfRemoteCall* call, int paused) {
    if (!call) return;
    call->paused = paused ? 1 : 0;
    std::shared_ptr<RemoteJob> job;
    {
        std::lock_guard lock(call->m);
        job = call->job;
    }
    if (job) job->SetPaused(paused != 0);
}

void pf_remote_call_progress(const PfRemoteCall* call, int64_t* done, int64_t* total) {
    int64_t d = 0, t = 0;
    if (call) {
        std::lock_guard lock(call->m);
        d = call->job ? call->job->done.load() : call->done.load();
        t = call->job ? call->job->total.load() : call->total.load();
    }
    if (done) *done = d;
    if (total) *total = t;
}

int pf_remote_call_status(const PfRemoteCall* call) {
    return call ? call->status : PfRemoteFailed;
}

std::wstring pf_remote_call_message(const PfRemoteCall* call) {
    return call ? call->message : std::wstring();
}

// ---- one operation ----

RemoteJob::RemoteJob() : cancellable_(g_cancellable_new()), alive_ms_(NowMs()) {}

RemoteJob::~RemoteJob() {
    g_object_unref(cancellable_);
    if (error_) g_error_free(error_);
}

void RemoteJob::Alive() {
    alive_ms_.store(NowMs(), std::memory_order_relaxed);
}

void RemoteJob::Progress(int64_t done_bytes, int64_t total_bytes) {
    Alive();
    total.store(total_bytes);
    done.store(done_bytes);
    // The waiting thread hears of it at most every kReportMs: a wake per
    // chunk costs a fast download a tenth of its time in thread switches.
    const int64_t now = alive_ms_.load(std::memory_order_relaxed);
    int64_t last = reported_ms_.load(std::memory_order_relaxed);
    if (now - last < kReportMs && done_bytes != total_bytes) return;
    if (!reported_ms_.compare_exchange_strong(last, now)) return;
    std::lock_guard lock(m_);
    cv_.notify_all();
}

bool RemoteJob::WaitWhilePaused() {
    std::unique_lock lock(m_);
    cv_.wait(lock, [this] { return !paused_ || stop_; });
    return !stop_;
}

bool RemoteJob::Stopped() {
    std::lock_guard lock(m_);
    return stop_;
}

bool RemoteJob::Paused() {
    std::lock_guard lock(m_);
    return paused_;
}

void RemoteJob::Fail(GError* error) {
    if (!error) return;
    std::lock_guard lock(m_);
    if (error_ || status_ != PfRemoteOk)
        g_error_free(error);
    else
        error_ = error;
}

void RemoteJob::Fail(int status, const std::wstring& message) {
    std::lock_guard lock(m_);
    if (error_ || status_ != PfRemoteOk) return;
    status_ = status;
    message_ = message;
}

void RemoteJob::Spawn(std::function<void()> body) {
    {
        std::lock_guard lock(m_);
        ++running_;
    }
    RemotePoolRun([self = shared_from_this(), body = std::move(body)] {
        body();
        std::lock_guard lock(self->m_);
        --self->running_;
        self->cv_.notify_all();
    });
}

void RemoteJob::Stop(bool by_user) {
    {
        std::lock_guard lock(m_);
        if (!stop_) (by_user ? by_user_ : timed_out_) = true;
        stop_ = true;
        cv_.notify_all();
    }
    // Outside the lock: cancelling runs GIO's handlers on this thread.
    g_cancellable_cancel(cancellable_);
}

void RemoteJob::SetPaused(bool paused) {
    std::lock_guard lock(m_);
    if (paused_ && !paused) Alive(); // the time limit starts again
    paused_ = paused;
    cv_.notify_all();
}

void RemoteJob::SetAsking(bool asking) {
    std::lock_guard lock(m_);
    asking_ += asking ? 1 : -1;
    if (!asking) Alive();
}

bool RemoteJob::LimitPassed() {
    std::lock_guard lock(m_);
    return !paused_ && asking_ == 0 && NowMs() >= alive_ms_.load() + limit_ms;
}

// Reports the bytes done when they changed since *reported; a callback
// saying no stops the operation. Called with the lock held.
void RemoteJob::Report(std::unique_lock<std::mutex>& lock, PfRemoteProgressFn progress, void* user,
                       int64_t* reported) {
    if (!progress || done.load() == *reported) return;
    *reported = done.load();
    lock.unlock();
    const int go = progress(total.load(), *reported, user);
    if (!go) Stop(true);
    lock.lock();
}

void RemoteJob::WaitForHelpers(PfRemoteProgressFn progress, void* user) {
    std::unique_lock lock(m_);
    int64_t reported = -1;
    while (running_ > 0 && !stop_) {
        if (!paused_ && asking_ == 0)
            cv_.wait_until(lock, AtMs(alive_ms_.load() + limit_ms));
        else
            cv_.wait(lock);
        Report(lock, progress, user, &reported);
        if (!stop_ && !paused_ && asking_ == 0 && NowMs() >= alive_ms_.load() + limit_ms) {
            lock.unlock();
            Stop(false);
            lock.lock();
        }
    }
    if (running_ > 0 &&
        !cv_.wait_until(lock, AtMs(NowMs() + PfRemoteGraceMs), [this] { return running_ == 0; }))
        abandoned_ = true;
    if (!stop_) Report(lock, progress, user, &reported); // the last bytes, when all went well
}

int RemoteJob::Outcome(std::wstring* message) {
    std::lock_guard lock(m_);
    message->clear();
    if (timed_out_) return PfRemoteNotAnswering;
    if (by_user_) return PfRemoteCancelled;
    if (status_ != PfRemoteOk) {
        *message = message_;
        return status_;
    }
    if (error_) {
        *message = rt_text_from_utf8(error_->message ? error_->message : "");
        return RemoteStatusOf(error_);
    }
    return PfRemoteOk;
}

// ---- the runner ----

bool RemoteBegin(PfRemoteCall* call, const std::shared_ptr<RemoteJob>& job) {
    call->status = PfRemoteOk;
    call->message.clear();
    call->done = 0;
    call->total = 0;
    job->limit_ms = call->limit_ms;
    job->Alive();
    {
        std::lock_guard lock(call->m);
        call->job = job;
    }
    // After attaching: a cancel from now on finds the job, one before it
    // left the flag.
    if (call->paused.load()) job->SetPaused(true);
    if (call->cancelled.load()) job->Stop(true);
    return !job->Stopped();
}

int RemoteEnd(PfRemoteCall* call, const std::shared_ptr<RemoteJob>& job) {
    {
        std::lock_guard lock(call->m);
        call->job.reset();
    }
    call->done = job->done.load();
    call->total = job->total.load();
    call->status = job->Outcome(&call->message);
    return call->status == PfRemoteOk ? 1 : 0;
}

int RemoteRun(PfRemoteCall* call, const std::shared_ptr<RemoteJob>& job, std::function<void()> body,
              PfRemoteProgressFn progress, void* user) {
    if (!call) return 0;
    if (RemoteBegin(call, job)) {
        job->Spawn(std::move(body));
        job->WaitForHelpers(progress, user);
    }
    return RemoteEnd(call, job);
}

void RemoteSetStatus(PfRemoteCall* call, int status) {
    if (!call) return;
    call->status = status;
    call->message.clear();
}
