// Paths of any length relative to folder descriptors: see at_path.h.
#include "runtime/at_path.h"

#include "runtime/os_path.h"
#include "runtime/syscalls.h"

#include <cerrno>
#include <climits>
#include <unistd.h>

namespace {

constexpr int kFolderFlags = O_PATH | O_DIRECTORY | O_CLOEXEC;

// Opens piece (a path shorter than PATH_MAX) below at, which it replaces;
// the caller's own descriptor is never closed.
bool step(int* at, int caller_fd, const std::string& piece, int flags) {
    const int next = rt_sys.openat(*at, piece.c_str(), flags, 0);
    const int saved = errno;
    if (*at != caller_fd) rt_sys.close(*at);
    *at = next;
    errno = saved;
    return next >= 0;
}

// Where the next piece of path from start ends: as far as the limit allows,
// at a "/" so that no component is cut. npos when one component alone is too
// long.
size_t piece_end(const std::string& path, size_t start) {
    if (path.size() - start < PATH_MAX) return path.size();
    const size_t slash = path.rfind('/', start + PATH_MAX - 1);
    return slash == std::string::npos || slash <= start ? std::string::npos : slash;
}

int open_in_pieces(int dirfd, const std::string& path) {
    int at = dirfd;
    size_t start = 0;
    while (start < path.size()) {
        const size_t end = piece_end(path, start);
        if (end == std::string::npos) {
            if (at != dirfd) rt_sys.close(at);
            errno = ENAMETOOLONG;
            return -1;
        }
        // a leading "/" stays in the first piece, so that it starts at the top
        if (!step(&at, dirfd, path.substr(start, end - start), kFolderFlags)) return -1;
        start = end + 1;
    }
    return at == dirfd ? rt_sys.openat(dirfd, ".", kFolderFlags, 0) : at;
}

int open_without_links(int dirfd, const std::string& path) {
    int at = dirfd;
    size_t start = 0;
    if (!path.empty() && path[0] == '/') {
        if (!step(&at, dirfd, "/", kFolderFlags)) return -1;
        start = 1;
    }
    while (start < path.size()) {
        size_t end = path.find('/', start);
        if (end == std::string::npos) end = path.size();
        if (end > start &&
            !step(&at, dirfd, path.substr(start, end - start), kFolderFlags | O_NOFOLLOW))
            return -1;
        start = end + 1;
    }
    return at == dirfd ? rt_sys.openat(dirfd, ".", kFolderFlags, 0) : at;
}

} // namespace

RtAtPath::~RtAtPath() {
    if (dirfd >= 0) rt_sys.close(dirfd);
}

bool rt_at_path_open(RtAtPath* at, const std::string& path) {
    if (at->dirfd >= 0) rt_sys.close(at->dirfd);
    at->dirfd = AT_FDCWD;
    at->name.clear();
    if (path.size() < PATH_MAX) {
        at->name = path;
        return true;
    }
    const std::string whole = rt_os_strip_slashes(path);
    const int fd = open_in_pieces(AT_FDCWD, rt_os_folder_of(whole));
    if (fd < 0) return false;
    at->dirfd = fd;
    at->name = std::string(rt_os_base_name(whole));
    return true;
}

std::string rt_at_path_join(const std::string& folder, const std::string& name) {
    if (folder.empty()) return name;
    if (name.empty()) return folder;
    return folder.back() == '/' ? folder + name : folder + "/" + name;
}

int rt_at_open(int dirfd, const std::string& name, int flags, mode_t mode) {
    if (dirfd == AT_FDCWD) return rt_sys.open(name.c_str(), flags, mode);
    return rt_sys.openat(dirfd, name.c_str(), flags, mode);
}

int rt_at_lstat(int dirfd, const std::string& name, struct stat* out) {
    return rt_sys.fstatat(dirfd, name.c_str(), out, AT_SYMLINK_NOFOLLOW);
}

int rt_at_open_folder(int dirfd, const std::string& path, bool follow) {
    return follow ? open_in_pieces(dirfd, path) : open_without_links(dirfd, path);
}
