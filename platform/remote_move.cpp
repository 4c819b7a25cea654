// Moving one entry: a rename on one server, else a copy whose source is
// deleted after it succeeded. See remote_copy.h.
#include "platform/remote_copy.h"
#include "platform/remote_transfer.h"

namespace {

// GIO's answers of a move without fallback that mean "not on one server".
bool NeedsCopy(const GError* error) {
    return g_error_matches(error, G_IO_ERROR, G_IO_ERROR_NOT_SUPPORTED) ||
           g_error_matches(error, G_IO_ERROR, G_IO_ERROR_WOULD_RECURSE);
}

void MoveEntry(const std::shared_ptr<RemoteCopyJob>& job) {
    GError* error = nullptr;
    const auto flags = static_cast<GFileCopyFlags>(
        G_FILE_COPY_NOFOLLOW_SYMLINKS | G_FILE_COPY_NO_FALLBACK_FOR_MOVE |
        (job->flags & PfRemoteOverwrite ? G_FILE_COPY_OVERWRITE : 0));
    if (g_file_move(job->source.get(), job->target.get(), flags, job->Cancellable(), nullptr,
                    nullptr, &error))
        return;
    job->Alive();
    if (!NeedsCopy(error)) return job->Fail(error);
    g_clear_error(&error);
    const GFileType type = g_file_query_file_type(
        job->source.get(), G_FILE_QUERY_INFO_NOFOLLOW_SYMLINKS, job->Cancellable());
    if (type == G_FILE_TYPE_DIRECTORY) return job->Fail(PfRemoteOtherServer);
    if (!RemoteCopyFile(job) || job->Stopped()) return;
    if (!g_file_delete(job->source.get(), job->Cancellable(), &error)) job->Fail(error);
}

} // namespace

int pf_remote_move(PfRemoteCall* call, const std::wstring& source, const std::wstring& target,
                   int flags, PfRemoteProgressFn progress, void* user) {
    auto job = RemoteCopyJobFor(source, target, flags);
    if (!job) {
        RemoteSetStatus(call, PfRemoteBadLocation);
        return 0;
    }
    return RemoteRun(
        call, job, [job] { MoveEntry(job); }, progress, user);
}
