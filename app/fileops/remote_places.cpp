// Local and remote folders alike for the remote jobs: see remote_places.h.
#include "app/fileops/remote_places.h"

#include "platform/remote_files.h"
#include "platform/remote_location.h"
#include "runtime/file_checks.h"
#include "runtime/files.h"

namespace {

std::wstring WithSlash(std::wstring path) {
    if (path.empty() || path.back() != L'/') path += L'/';
    return path;
}

bool OnlyDots(const std::vector<RtDirEntry>& entries) {
    for (const RtDirEntry& e : entries)
        if (e.name != L"." && e.name != L"..") return false;
    return true;
}

} // namespace

bool RemotePlaceIsRemote(const std::wstring& path) {
    return pf_remote_is_location(path) != 0;
}

int RemotePlaceKind(PfRemoteCall* call, const std::wstring& path) {
    if (!RemotePlaceIsRemote(path)) {
        const int kind = rt_path_kind(path);
        return kind == PathFolder ? PlaceFolder : kind == PathMissing ? PlaceMissing : PlaceFile;
    }
    RtDirEntry e;
    if (pf_remote_query(call, path, &e, nullptr, PfRemoteNoFollow))
        return e.type == RtEntryFolder && !(e.attributes & RtAttrLink) ? PlaceFolder : PlaceFile;
    return pf_remote_call_status(call) == PfRemoteNotFound ? PlaceMissing : PlaceUnknown;
}

bool RemotePlaceRead(PfRemoteCall* call, const std::wstring& folder,
                     std::vector<RtDirEntry>* entries) {
    if (RemotePlaceIsRemote(folder))
        return pf_remote_dir_read(call, WithSlash(folder), entries, nullptr, PfRemoteNoFollow);
    return rt_dir_read(WithSlash(folder), entries);
}

bool RemotePlaceMakeFolder(PfRemoteCall* call, const std::wstring& folder) {
    if (!RemotePlaceIsRemote(folder))
        return rt_dir_create(folder) || rt_path_kind(folder) == PathFolder;
    if (pf_remote_make_folder(call, folder)) return true;
    return pf_remote_call_status(call) == PfRemoteExists &&
           RemotePlaceKind(call, folder) == PlaceFolder;
}

bool RemotePlaceRemoveEmpty(PfRemoteCall* call, const std::wstring& folder) {
    if (!RemotePlaceIsRemote(folder)) return rt_dir_remove_empty(folder) == 1;
    std::vector<RtDirEntry> entries;
    // Only a folder seen empty is deleted: the delete would take everything.
    return RemotePlaceRead(call, folder, &entries) && OnlyDots(entries) &&
           pf_remote_delete(call, folder);
}
