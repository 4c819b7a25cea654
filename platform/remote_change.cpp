// Changing remote folders: new folder, rename, delete. See remote_files.h.
#include <string>
#include <vector>

#include "platform/remote_files.h"
#include "platform/remote_internal.h"
#include "runtime/text.h"

namespace {

constexpr auto kNoFollow = G_FILE_QUERY_INFO_NOFOLLOW_SYMLINKS;

struct DeleteJob : RemoteJob {
    int64_t deleted = 0;

    // Deletes file, and first what is in it when it is a folder (not a link
    // to one). false once the operation is stopped.
    bool DeleteEntry(GFile* file, bool folder) {
        if (folder && !DeleteChildren(file)) return false;
        GError* error = nullptr;
        if (g_file_delete(file, Cancellable(), &error))
            Progress(++deleted, 0);
        else
            Fail(error);
        Alive();
        return !Stopped();
    }

    // The children are named first and the listing closed before any is
    // deleted: a deep tree keeps one folder open on the server at a time.
    bool DeleteChildren(GFile* folder) {
        GError* error = nullptr;
        GRef<GFileEnumerator> en(g_file_enumerate_children(
            folder, G_FILE_ATTRIBUTE_STANDARD_NAME "," G_FILE_ATTRIBUTE_STANDARD_TYPE, kNoFollow,
            Cancellable(), &error));
        Alive();
        if (!en) {
            Fail(error);
            return !Stopped();
        }
        std::vector<std::pair<GRef<GFile>, bool>> children;
        while (GFileInfo* info = g_file_enumerator_next_file(en.get(), Cancellable(), &error)) {
            Alive();
            const bool is_folder = g_file_info_get_file_type(info) == G_FILE_TYPE_DIRECTORY;
            children.emplace_back(GRef<GFile>(g_file_enumerator_get_child(en.get(), info)),
                                  is_folder);
            g_object_unref(info);
        }
        g_file_enumerator_close(en.get(), Cancellable(), nullptr);
        if (error) {
            Fail(error);
            return false;
        }
        for (auto& [child, is_folder] : children)
            if (!DeleteEntry(child.get(), is_folder)) return false;
        return true;
    }
};

bool BadName(const std::wstring& name) {
    return name.empty() || name == L"." || name == L".." || name.find(L'/') != std::wstring::npos;
}

} // namespace

int pf_remote_make_folder(PfRemoteCall* call, const std::wstring& folder) {
    auto job = std::make_shared<RemoteJob>();
    return RemoteRunOn(call, folder, job, [](RemoteJob& j, GFile* f) {
        GError* error = nullptr;
        if (!g_file_make_directory(f, j.Cancellable(), &error)) j.Fail(error);
    });
}

int pf_remote_rename(PfRemoteCall* call, const std::wstring& location,
                     const std::wstring& new_name) {
    if (BadName(new_name)) {
        RemoteSetStatus(call, PfRemoteBadLocation);
        return 0;
    }
    auto job = std::make_shared<RemoteJob>();
    const std::string name = rt_text_to_os(new_name);
    return RemoteRunOn(call, location, job, [name](RemoteJob& j, GFile* f) {
        GRef<GFile> parent(g_file_get_parent(f));
        if (!parent) return j.Fail(PfRemoteBadLocation);
        GRef<GFile> target(g_file_get_child(parent.get(), name.c_str()));
        GError* error = nullptr;
        const auto flags = static_cast<GFileCopyFlags>(G_FILE_COPY_NOFOLLOW_SYMLINKS |
                                                       G_FILE_COPY_NO_FALLBACK_FOR_MOVE);
        if (!g_file_move(f, target.get(), flags, j.Cancellable(), nullptr, nullptr, &error))
            j.Fail(error);
    });
}

int pf_remote_delete(PfRemoteCall* call, const std::wstring& location, PfRemoteProgressFn progress,
                     void* user) {
    auto job = std::make_shared<DeleteJob>();
    auto body = [](DeleteJob& j, GFile* f) {
        GError* error = nullptr;
        GRef<GFileInfo> info(g_file_query_info(f, G_FILE_ATTRIBUTE_STANDARD_TYPE, kNoFollow,
                                               j.Cancellable(), &error));
        j.Alive();
        if (!info) return j.Fail(error);
        j.DeleteEntry(f, g_file_info_get_file_type(info.get()) == G_FILE_TYPE_DIRECTORY);
    };
    return RemoteRunOn(call, location, job, body, progress, user);
}
