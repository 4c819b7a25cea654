// Local copies of remote files for viewers and editors: see remote_copy.h.
//
// A fetched file lives alone in a private folder made for it, under its own
// name, so that an editor shows the name and a type guess by extension
// works. The copy keeps the server's modification time; an editor's save
// changes it, which is how an edit is seen. Writing back first checks that
// the server's file is still the one fetched, so an edit never silently
// overwrites someone else's newer version.
#include <cerrno>
#include <sys/stat.h>

#include "platform/remote_copy.h"
#include "platform/remote_location.h"
#include "platform/remote_transfer.h"
#include "runtime/syscalls.h"
#include "runtime/text.h"

namespace {

constexpr char kFolderPrefix[] = "tarn-commander-";

struct LocalState {
    int64_t modified_ns = -1;
    int64_t size = -1;
};

LocalState StateOf(const std::wstring& path) {
    struct stat st {};
    if (rt_sys.stat(rt_text_to_os(path).c_str(), &st) != 0) return {};
    return {static_cast<int64_t>(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec,
            static_cast<int64_t>(st.st_size)};
}

// Removes the local copy and its folder, and nothing else: a folder that
// is not one of ours stays.
void RemoveLocal(const std::wstring& local) {
    const std::string path = rt_text_to_os(local);
    const size_t slash = path.rfind('/');
    if (slash == std::string::npos) return;
    const std::string folder = path.substr(0, slash);
    if (folder.find(kFolderPrefix, folder.rfind('/') + 1) != folder.rfind('/') + 1) return;
    rt_sys.unlink(path.c_str());
    rt_sys.rmdir(folder.c_str());
}

struct WriteBackJob : RemoteCopyJob {
    bool check = true;           // the server's file must be the fetched one
    int64_t expect_modified = 0; // seconds since 1970 UTC
    int64_t expect_size = 0;
    int64_t now_modified = 0, now_size = 0; // the server's file after writing

    // Reads the server's modification time and size into *modified, *size.
    bool Stat(int64_t* modified, int64_t* size) {
        GError* error = nullptr;
        GRef<GFileInfo> info(g_file_query_info(
            target.get(), G_FILE_ATTRIBUTE_TIME_MODIFIED "," G_FILE_ATTRIBUTE_STANDARD_SIZE,
            G_FILE_QUERY_INFO_NOFOLLOW_SYMLINKS, Cancellable(), &error));
        Alive();
        if (!info) {
            if (check && g_error_matches(error, G_IO_ERROR, G_IO_ERROR_NOT_FOUND)) {
                g_error_free(error);
                Fail(PfRemoteChanged); // gone from the server since the fetch
            } else {
                Fail(error);
            }
            return false;
        }
        *modified = static_cast<int64_t>(
            g_file_info_get_attribute_uint64(info.get(), G_FILE_ATTRIBUTE_TIME_MODIFIED));
        *size = g_file_info_get_size(info.get());
        return true;
    }

    void Run(const std::shared_ptr<WriteBackJob>& self) {
        if (check) {
            int64_t modified = 0, size = 0;
            if (!Stat(&modified, &size)) return;
            if (modified != expect_modified || size != expect_size) return Fail(PfRemoteChanged);
        }
        check = false;
        if (RemoteCopyFile(self)) Stat(&now_modified, &now_size);
    }
};

} // namespace

int pf_remote_fetch(PfRemoteCall* call, const std::wstring& remote, PfRemoteFetched* out,
                    PfRemoteProgressFn progress, void* user) {
    const std::wstring name = pf_remote_name(remote);
    if (name.empty() || !pf_remote_is_location(remote)) {
        RemoteSetStatus(call, PfRemoteBadLocation);
        return 0;
    }
    GError* error = nullptr;
    gchar* folder = g_dir_make_tmp("tarn-commander-XXXXXX", &error);
    if (!folder) {
        RemoteSetStatus(call, RemoteStatusOfErrno(errno));
        g_clear_error(&error);
        return 0;
    }
    const std::wstring local = rt_text_from_os(folder) + L"/" + name;
    g_free(folder);
    auto job = RemoteCopyJobFor(remote, local, 0);
    if (!RemoteRun(
            call, job, [job] { RemoteCopyFile(job); }, progress, user)) {
        RemoveLocal(local);
        return 0;
    }
    const LocalState state = StateOf(local);
    *out = {pf_remote_normalise(remote), local,     job->source_modified, job->source_size,
            state.modified_ns,           state.size};
    return 1;
}

int pf_remote_fetched_changed(const PfRemoteFetched& fetched) {
    const LocalState state = StateOf(fetched.local);
    return state.modified_ns != fetched.local_modified_ns || state.size != fetched.local_size ? 1
                                                                                              : 0;
}

int pf_remote_write_back(PfRemoteCall* call, PfRemoteFetched* fetched, int flags,
                         PfRemoteProgressFn progress, void* user) {
    auto job = std::make_shared<WriteBackJob>();
    job->source.reset(RemoteFileFor(fetched->local));
    job->target.reset(RemoteFileFor(fetched->remote));
    if (!job->source || !job->target) {
        RemoteSetStatus(call, PfRemoteBadLocation);
        return 0;
    }
    job->flags = PfRemoteOverwrite;
    job->check = !(flags & PfRemoteOverwrite);
    job->expect_modified = fetched->remote_modified;
    job->expect_size = fetched->remote_size;
    const LocalState before = StateOf(fetched->local);
    if (!RemoteRun(
            call, job, [job] { job->Run(job); }, progress, user))
        return 0;
    fetched->remote_modified = job->now_modified;
    fetched->remote_size = job->now_size;
    fetched->local_modified_ns = before.modified_ns;
    fetched->local_size = before.size;
    return 1;
}

void pf_remote_fetch_discard(PfRemoteFetched* fetched) {
    if (!fetched || fetched->local.empty()) return;
    RemoveLocal(fetched->local);
    fetched->local.clear();
}
