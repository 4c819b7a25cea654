// Copy and move of one entry: see remote_copy.h and remote_transfer.h.
//
// Everything but a download goes through g_file_copy into a temporary file
// beside the target, which is then renamed over it. g_file_copy chooses
// GVfs's fastest road (an upload is one "push" the backend runs itself), so
// its progress reports arrive while the backend goes on regardless; pause
// therefore cancels the attempt and the file starts again on resume.
#include <atomic>
#include <string>

#include "platform/remote_copy.h"
#include "platform/remote_transfer.h"
#include "runtime/syscalls.h"

namespace {

constexpr const char* kSourceAttributes = G_FILE_ATTRIBUTE_STANDARD_TYPE
    "," G_FILE_ATTRIBUTE_STANDARD_SIZE "," G_FILE_ATTRIBUTE_TIME_MODIFIED
    "," G_FILE_ATTRIBUTE_TIME_MODIFIED_USEC "," G_FILE_ATTRIBUTE_UNIX_MODE;

constexpr auto kNoFollow = G_FILE_QUERY_INFO_NOFOLLOW_SYMLINKS;

std::atomic<unsigned> TempCounter{0};

// A target that exists may only be replaced when the caller said so, and
// never when it is a folder.
bool TargetAllowed(RemoteCopyJob& job) {
    GError* error = nullptr;
    GRef<GFileInfo> info(g_file_query_info(job.target.get(), G_FILE_ATTRIBUTE_STANDARD_TYPE,
                                           kNoFollow, job.Cancellable(), &error));
    job.Alive();
    if (!info) {
        if (g_error_matches(error, G_IO_ERROR, G_IO_ERROR_NOT_FOUND)) {
            g_error_free(error);
            return true;
        }
        job.Fail(error);
        return false;
    }
    if (g_file_info_get_file_type(info.get()) == G_FILE_TYPE_DIRECTORY) {
        job.Fail(PfRemoteIsFolder);
        return false;
    }
    if (!(job.flags & PfRemoteOverwrite)) {
        job.Fail(PfRemoteExists);
        return false;
    }
    return true;
}

// What the progress callback of one g_file_copy attempt works with.
struct Attempt {
    RemoteCopyJob* job;
    GCancellable* cancellable; // this attempt's; the operation's cancels it too
    bool paused = false;       // the attempt was cancelled for a pause
};

void OnProgress(goffset done, goffset total, gpointer data) {
    auto* a = static_cast<Attempt*>(data);
    a->job->Progress(done, total);
    if (!a->paused && a->job->Paused()) {
        a->paused = true;
        g_cancellable_cancel(a->cancellable);
    }
}

void CancelAttempt(GCancellable*, gpointer attempt_cancellable) {
    g_cancellable_cancel(static_cast<GCancellable*>(attempt_cancellable));
}

// One g_file_copy of source into temp; true when complete. A pause ends
// the attempt, which then tells so.
bool CopyAttempt(RemoteCopyJob& job, GFile* temp, bool* paused) {
    GRef<GCancellable> own(g_cancellable_new());
    Attempt attempt{&job, own.get()};
    const gulong hook =
        g_cancellable_connect(job.Cancellable(), G_CALLBACK(CancelAttempt), own.get(), nullptr);
    GError* error = nullptr;
    const auto flags =
        static_cast<GFileCopyFlags>(G_FILE_COPY_OVERWRITE | G_FILE_COPY_NOFOLLOW_SYMLINKS);
    const bool ok =
        g_file_copy(job.source.get(), temp, flags, own.get(), OnProgress, &attempt, &error);
    g_cancellable_disconnect(job.Cancellable(), hook);
    job.Alive();
    *paused = !ok && attempt.paused && !job.Stopped();
    if (ok || *paused)
        g_clear_error(&error);
    else
        job.Fail(error);
    return ok;
}

// GIO's transfer into a temporary file, renamed over the target at the end.
bool CopyThroughTemp(RemoteCopyJob& job) {
    GRef<GFile> temp(RemoteTempBeside(job.target.get()));
    if (!temp) {
        job.Fail(PfRemoteBadLocation); // the top of a server is no file
        return false;
    }
    bool ok = false, paused = false;
    for (;;) {
        ok = CopyAttempt(job, temp.get(), &paused);
        if (!paused) break;
        RemoteDiscard(temp.get()); // the file starts again on resume
        job.Progress(0, job.source_size);
        if (!job.WaitWhilePaused()) break;
    }
    if (ok && !job.Stopped()) {
        GError* error = nullptr;
        const auto flags = static_cast<GFileCopyFlags>(
            G_FILE_COPY_NOFOLLOW_SYMLINKS | G_FILE_COPY_NO_FALLBACK_FOR_MOVE |
            (job.flags & PfRemoteOverwrite ? G_FILE_COPY_OVERWRITE : 0));
        ok = g_file_move(temp.get(), job.target.get(), flags, job.Cancellable(), nullptr, nullptr,
                         &error);
        job.Alive();
        if (!ok) job.Fail(error);
    } else {
        ok = false;
    }
    if (!ok) RemoteDiscard(temp.get());
    return ok;
}

bool IsLocal(GFile* file) {
    return g_file_is_native(file);
}

} // namespace

GFile* RemoteTempBeside(GFile* file) {
    GRef<GFile> parent(g_file_get_parent(file));
    const std::string name = ".tc-tmp-" + std::to_string(rt_sys.getpid()) + "-" +
                             std::to_string(TempCounter.fetch_add(1));
    return parent ? g_file_get_child(parent.get(), name.c_str()) : nullptr;
}

void RemoteDiscard(GFile* temp) {
    if (temp) g_file_delete(temp, nullptr, nullptr);
}

bool RemoteCopyFile(const std::shared_ptr<RemoteCopyJob>& job) {
    GError* error = nullptr;
    GRef<GFileInfo> info(g_file_query_info(job->source.get(), kSourceAttributes, kNoFollow,
                                           job->Cancellable(), &error));
    job->Alive();
    if (!info) {
        job->Fail(error);
        return false;
    }
    const GFileType type = g_file_info_get_file_type(info.get());
    if (type == G_FILE_TYPE_DIRECTORY) {
        job->Fail(PfRemoteIsFolder);
        return false;
    }
    job->source_size = g_file_info_get_size(info.get());
    job->source_modified = static_cast<int64_t>(
        g_file_info_get_attribute_uint64(info.get(), G_FILE_ATTRIBUTE_TIME_MODIFIED));
    job->Progress(0, job->source_size);
    if (!TargetAllowed(*job)) return false;
    if (type == G_FILE_TYPE_REGULAR && !IsLocal(job->source.get()) && IsLocal(job->target.get()))
        return RemoteDownload(job, info.get());
    return CopyThroughTemp(*job);
}

std::shared_ptr<RemoteCopyJob> RemoteCopyJobFor(const std::wstring& source,
                                                const std::wstring& target, int flags) {
    auto job = std::make_shared<RemoteCopyJob>();
    job->source.reset(RemoteFileFor(source));
    job->target.reset(RemoteFileFor(target));
    job->flags = flags;
    return job->source && job->target ? job : nullptr;
}

int pf_remote_copy(PfRemoteCall* call, const std::wstring& source, const std::wstring& target,
                   int flags, PfRemoteProgressFn progress, void* user) {
    auto job = RemoteCopyJobFor(source, target, flags);
    if (!job) {
        RemoteSetStatus(call, PfRemoteBadLocation);
        return 0;
    }
    return RemoteRun(
        call, job, [job] { RemoteCopyFile(job); }, progress, user);
}
