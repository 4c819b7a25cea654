// Single-path file and folder calls: sizes, attributes, delete, rename,
// create, current folder. See files.h.
#include "runtime/files.h"

#include "runtime/entry_info.h"
#include "runtime/os_path.h"
#include "runtime/syscalls.h"
#include "runtime/text.h"

#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <unistd.h>
#include <vector>

namespace {

bool info_of(const std::wstring& path, RtEntryInfo* info) {
    if (path.empty()) return false;
    const std::string os = rt_os_strip_slashes(rt_text_to_os(path));
    return rt_entry_info(AT_FDCWD, os.c_str(), rt_os_base_name(os), info);
}

} // namespace

int64_t rt_file_size(const std::wstring& path) {
    RtEntryInfo info;
    if (!info_of(path, &info)) return RtSizeMissing;
    return info.type == RtEntryFolder ? RtSizeFolder : info.size;
}

int rt_file_attributes(const std::wstring& path) {
    RtEntryInfo info;
    return info_of(path, &info) ? info.attributes : -1;
}

int rt_file_delete(const std::wstring& path, int /*flags*/) {
    // Deleting needs write permission on the folder only; the file's own
    // permission bits do not matter on Linux, so flag 2 has nothing to do.
    if (path.empty()) return 0;
    return rt_sys.unlink(rt_text_to_os(path).c_str()) == 0 ? 1 : 0;
}

int rt_file_rename(const std::wstring& old_path, const std::wstring& new_path) {
    if (old_path.empty() || new_path.empty()) return 0;
    const std::string from = rt_text_to_os(old_path);
    const std::string to = rt_text_to_os(new_path);
    // A plain rename() would silently replace an existing file or empty
    // folder under the new name; a rename must never destroy another entry.
    if (rt_sys.renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) == 0)
        return 1;
    if (errno != EINVAL && errno != ENOSYS) return 0;
    // The file system cannot refuse replacing by itself: check first. The gap
    // between check and rename is the best such a file system allows.
    struct stat st {};
    if (rt_sys.fstatat(AT_FDCWD, to.c_str(), &st, AT_SYMLINK_NOFOLLOW) == 0) {
        errno = EEXIST; // the caller tells the user why
        return 0;
    }
    return rt_sys.rename(from.c_str(), to.c_str()) == 0 ? 1 : 0;
}

int rt_dir_create(const std::wstring& path) {
    std::wstring trimmed = path;
    while (!trimmed.empty() && (trimmed.back() == L' ' || trimmed.back() == L'/'))
        trimmed.pop_back();
    if (trimmed.empty()) return 0;
    return rt_sys.mkdir(rt_text_to_os(trimmed).c_str(), 0777) == 0 ? 1 : 0;
}

std::wstring rt_dir_current() {
    std::vector<char> buffer(4096);
    while (!rt_sys.getcwd(buffer.data(), buffer.size())) {
        if (errno != ERANGE) return {};
        buffer.resize(buffer.size() * 2);
    }
    std::wstring folder = rt_text_from_os(buffer.data());
    if (folder.empty() || folder.back() != L'/') folder += L'/';
    return folder;
}
