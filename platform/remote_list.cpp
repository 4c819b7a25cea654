// Reading remote folders and entries: see remote_files.h.
//
// A listing asks for every attribute a pane needs in the one enumeration;
// GVfs sends the entries in batches, and each entry that arrives is a sign
// of life for the time limit.
#include "platform/remote_files.h"
#include "platform/remote_internal.h"
#include "platform/remote_location.h"

namespace {

GFileQueryInfoFlags QueryFlags(int flags) {
    return flags & PfRemoteNoFollow ? G_FILE_QUERY_INFO_NOFOLLOW_SYMLINKS : G_FILE_QUERY_INFO_NONE;
}

// The top of a server (or "/") lists no "..", as a local root.
bool IsTop(const std::wstring& folder) {
    if (folder == L"/") return true;
    PfRemoteLocation l;
    return pf_remote_parse(folder, &l) && l.path == L"/";
}

struct ListJob : RemoteJob {
    int flags = 0;
    bool want_mime = false;
    std::vector<RtDirEntry> entries;
    std::vector<std::wstring> mime;

    void AddDotEntries() {
        for (const wchar_t* name : {L".", L".."}) {
            entries.push_back({name, RtEntryFolder, 0, RtAttrFolder, 0});
            if (want_mime) mime.emplace_back(L"inode/directory");
        }
    }

    void Read(GFile* folder) {
        GError* error = nullptr;
        GRef<GFileEnumerator> en(g_file_enumerate_children(
            folder, want_mime ? kRemoteEntryAttributesWithMime : kRemoteEntryAttributes,
            QueryFlags(flags), Cancellable(), &error));
        Alive();
        if (!en) return Fail(error);
        RtWallClock clock;
        while (GFileInfo* info = g_file_enumerator_next_file(en.get(), Cancellable(), &error)) {
            Alive();
            entries.emplace_back();
            RemoteEntryOf(info, clock, &entries.back(), want_mime ? &mime.emplace_back() : nullptr);
            g_object_unref(info);
        }
        if (error) return Fail(error);
        g_file_enumerator_close(en.get(), Cancellable(), nullptr);
    }
};

struct QueryJob : RemoteJob {
    int flags = 0;
    RtDirEntry entry;
    std::wstring mime;
};

struct SpaceJob : RemoteJob {
    int64_t free_bytes = 0, total_bytes = 0;
};

} // namespace

int pf_remote_dir_read(PfRemoteCall* call, const std::wstring& folder, std::vector<RtDirEntry>* out,
                       std::vector<std::wstring>* mime, int flags) {
    auto job = std::make_shared<ListJob>();
    job->flags = flags;
    job->want_mime = mime != nullptr;
    if (!IsTop(folder)) job->AddDotEntries();
    if (!RemoteRunOn(call, folder, job, [](ListJob& j, GFile* f) { j.Read(f); })) return 0;
    *out = std::move(job->entries);
    if (mime) *mime = std::move(job->mime);
    return 1;
}

int pf_remote_query(PfRemoteCall* call, const std::wstring& location, RtDirEntry* out,
                    std::wstring* mime, int flags) {
    auto job = std::make_shared<QueryJob>();
    job->flags = flags;
    auto body = [](QueryJob& j, GFile* f) {
        GError* error = nullptr;
        GRef<GFileInfo> info(g_file_query_info(f, kRemoteEntryAttributesWithMime,
                                               QueryFlags(j.flags), j.Cancellable(), &error));
        if (!info) return j.Fail(error);
        RtWallClock clock;
        RemoteEntryOf(info.get(), clock, &j.entry, &j.mime);
    };
    if (!RemoteRunOn(call, location, job, body)) return 0;
    *out = std::move(job->entry);
    if (mime) *mime = std::move(job->mime);
    return 1;
}

int pf_remote_disk_space(PfRemoteCall* call, const std::wstring& location, int64_t* free_bytes,
                         int64_t* total_bytes) {
    auto job = std::make_shared<SpaceJob>();
    auto body = [](SpaceJob& j, GFile* f) {
        GError* error = nullptr;
        GRef<GFileInfo> info(g_file_query_filesystem_info(
            f, G_FILE_ATTRIBUTE_FILESYSTEM_FREE "," G_FILE_ATTRIBUTE_FILESYSTEM_SIZE,
            j.Cancellable(), &error));
        if (!info) return j.Fail(error);
        if (!g_file_info_has_attribute(info.get(), G_FILE_ATTRIBUTE_FILESYSTEM_FREE))
            return j.Fail(PfRemoteNotSupported);
        j.free_bytes = static_cast<int64_t>(
            g_file_info_get_attribute_uint64(info.get(), G_FILE_ATTRIBUTE_FILESYSTEM_FREE));
        j.total_bytes = static_cast<int64_t>(
            g_file_info_get_attribute_uint64(info.get(), G_FILE_ATTRIBUTE_FILESYSTEM_SIZE));
    };
    if (!RemoteRunOn(call, location, job, body)) return 0;
    if (free_bytes) *free_bytes = job->free_bytes;
    if (total_bytes) *total_bytes = job->total_bytes;
    return 1;
}
