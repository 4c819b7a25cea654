// Entry identity, containment and empty-folder removal: see file_checks.h.
#include "runtime/file_checks.h"

#include "runtime/os_path.h"
#include "runtime/syscalls.h"
#include "runtime/text.h"

#include <cerrno>
#include <dirent.h>
#include <fcntl.h>
#include <unistd.h>
#include <vector>

namespace {

std::string os_path(const std::wstring& path) {
    return rt_os_strip_slashes(rt_text_to_os(path));
}

bool stat_of(const std::wstring& path, int flags, struct stat* st) {
    if (path.empty()) return false;
    return rt_sys.fstatat(AT_FDCWD, os_path(path).c_str(), st, flags) == 0;
}

bool same(const struct stat& a, const struct stat& b) {
    return a.st_dev == b.st_dev && a.st_ino == b.st_ino;
}

} // namespace

int rt_path_same_entry(const std::wstring& a, const std::wstring& b) {
    struct stat sa {
    }, sb{};
    return stat_of(a, 0, &sa) && stat_of(b, 0, &sb) && same(sa, sb) ? 1 : 0;
}

int rt_path_inside(const std::wstring& folder, const std::wstring& path) {
    struct stat top {};
    if (!stat_of(folder, 0, &top) || path.empty()) return 0;
    int fd = rt_sys.open(os_path(path).c_str(), O_PATH | O_DIRECTORY | O_CLOEXEC, 0);
    int inside = 0;
    // ".." of a real folder is its real parent, whatever links the path
    // text went through; the top of the tree is its own parent.
    while (fd >= 0) {
        struct stat here {
        }, up{};
        if (rt_sys.fstat(fd, &here) != 0) break;
        if (same(here, top)) {
            inside = 1;
            break;
        }
        const int parent = rt_sys.openat(fd, "..", O_PATH | O_DIRECTORY | O_CLOEXEC, 0);
        rt_sys.close(fd);
        fd = parent;
        if (fd < 0 || rt_sys.fstat(fd, &up) != 0 || same(up, here)) break;
    }
    if (fd >= 0) rt_sys.close(fd);
    return inside;
}

int rt_path_same_device(const std::wstring& a, const std::wstring& b) {
    struct stat sa {
    }, sb{};
    return stat_of(a, 0, &sa) && stat_of(b, 0, &sb) && sa.st_dev == sb.st_dev ? 1 : 0;
}

uint64_t rt_path_device(const std::wstring& path) {
    struct stat st {};
    return stat_of(path, 0, &st) ? static_cast<uint64_t>(st.st_dev) + 1 : 0;
}

int rt_path_exists(const std::wstring& path) {
    struct stat st {};
    return stat_of(path, AT_SYMLINK_NOFOLLOW, &st) ? 1 : 0;
}

int rt_path_kind(const std::wstring& path) {
    struct stat st {};
    if (!stat_of(path, AT_SYMLINK_NOFOLLOW, &st)) return PathMissing;
    return S_ISDIR(st.st_mode) ? PathFolder : PathOther;
}

int rt_path_is_link(const std::wstring& path) {
    struct stat st {};
    return stat_of(path, AT_SYMLINK_NOFOLLOW, &st) && S_ISLNK(st.st_mode) ? 1 : 0;
}

int rt_dir_remove_empty(const std::wstring& path) {
    if (path.empty()) return 0;
    if (rt_sys.rmdir(os_path(path).c_str()) == 0) return 1;
    return errno == ENOTEMPTY || errno == EEXIST ? -1 : 0;
}

namespace {

// Sums the folder open as fd (which it closes).
int64_t tree_bytes(int fd, int recursive) {
    DIR* dir = rt_sys.fdopendir(fd);
    if (!dir) {
        rt_sys.close(fd);
        return 0;
    }
    int64_t sum = 0;
    std::vector<std::string> subfolders;
    while (const dirent* d = rt_sys.readdir(dir)) {
        const std::string_view name(d->d_name);
        if (name == "." || name == ".." || d->d_type == DT_LNK) continue;
        if (d->d_type == DT_DIR) {
            if (recursive) subfolders.emplace_back(name);
            continue;
        }
        struct stat st {};
        if (rt_sys.fstatat(dirfd(dir), d->d_name, &st, AT_SYMLINK_NOFOLLOW) != 0) continue;
        if (S_ISDIR(st.st_mode)) {
            if (recursive) subfolders.emplace_back(name);
        } else if (!S_ISLNK(st.st_mode)) {
            sum += st.st_size;
        }
    }
    for (const std::string& name : subfolders) {
        const int child = rt_sys.openat(dirfd(dir), name.c_str(),
                                        O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC, 0);
        if (child >= 0) sum += tree_bytes(child, recursive);
    }
    rt_sys.closedir(dir);
    return sum;
}

} // namespace

int64_t rt_dir_tree_bytes(const std::wstring& folder, int recursive) {
    if (folder.empty()) return 0;
    const int fd =
        rt_sys.open(os_path(folder).c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC, 0);
    return fd < 0 ? 0 : tree_bytes(fd, recursive);
}
