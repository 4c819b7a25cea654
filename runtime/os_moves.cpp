// Moves that never replace, and missing folders: see os_moves.h.
#include "runtime/os_moves.h"

#include "runtime/os_path.h"
#include "runtime/syscalls.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>

bool rt_os_make_folders(const std::string& path, mode_t mode) {
    if (path.empty()) {
        errno = ENOENT;
        return false;
    }
    size_t slash = path.find('/', 1);
    for (;; slash = path.find('/', slash + 1)) {
        const std::string part = path.substr(0, slash);
        if (!part.empty() && rt_sys.mkdir(part.c_str(), mode) != 0 && errno != EEXIST) return false;
        if (slash == std::string::npos || slash + 1 == path.size()) break;
    }
    struct stat st {};
    if (rt_sys.stat(path.c_str(), &st) != 0) return false;
    if (S_ISDIR(st.st_mode)) return true;
    errno = ENOTDIR;
    return false;
}

bool rt_os_rename_noreplace(const std::string& from, const std::string& to) {
    if (rt_sys.renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) == 0)
        return true;
    if (errno != EINVAL && errno != ENOSYS) return false;
    struct stat st {};
    if (rt_sys.lstat(to.c_str(), &st) == 0) {
        errno = EEXIST;
        return false;
    }
    return rt_sys.rename(from.c_str(), to.c_str()) == 0;
}

bool rt_os_move_into(const std::string& from, const std::string& to) {
    if (rt_os_rename_noreplace(from, to)) return true;
    if (errno != ENOENT) return false;
    const std::string folder = rt_os_folder_of(to);
    struct stat st {};
    if (rt_sys.lstat(folder.c_str(), &st) == 0 || errno != ENOENT) {
        errno = ENOENT; // the folder is there: it is the entry that is gone
        return false;
    }
    return rt_os_make_folders(folder, 0777) && rt_os_rename_noreplace(from, to);
}
