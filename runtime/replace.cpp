// Crash-safe whole-file replacement: see replace.h.
#include "runtime/replace.h"

#include "runtime/os_path.h"
#include "runtime/syscalls.h"
#include "runtime/text.h"

#include <atomic>
#include <cerrno>
#include <climits>
#include <csignal>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <utility>
#include <vector>

namespace {

// The file a write to path really changes when links are followed. A
// dangling link is replaced itself.
std::string resolved_target(const std::string& path, int flags) {
    if (!(flags & RtReplaceFollowLink)) return path;
    struct stat st;
    if (rt_sys.lstat(path.c_str(), &st) != 0 || !S_ISLNK(st.st_mode)) return path;
    char resolved[PATH_MAX];
    return rt_sys.realpath(path.c_str(), resolved) ? std::string(resolved) : path;
}

// With RtReplaceLikeOld: notes the old target's owner and mode, and refuses
// a target that exists but is no regular file.
bool note_old(RtReplace* r) {
    if (!(r->flags & RtReplaceLikeOld)) return true;
    struct stat st;
    r->had_old = rt_sys.stat(r->target.c_str(), &st) == 0;
    if (!r->had_old) return true;
    if (!S_ISREG(st.st_mode)) {
        errno = S_ISDIR(st.st_mode) ? EISDIR : EINVAL;
        return false;
    }
    r->old_uid = st.st_uid;
    r->old_gid = st.st_gid;
    r->old_mode = st.st_mode & 07777;
    return true;
}

int create_temp(const std::string& target, mode_t mode, std::string* temp) {
    for (int attempt = 0; attempt < 100; ++attempt) {
        *temp = rt_replace_temp_name(target);
        const int fd = rt_sys.open(temp->c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, mode);
        if (fd >= 0 || errno != EEXIST) return fd;
    }
    return -1;
}

// Removes the temporary file without disturbing the errno being reported.
void discard(RtReplace* r) {
    const int saved = errno;
    if (r->fd >= 0) rt_sys.close(r->fd);
    r->fd = -1;
    if (!r->temp.empty()) rt_sys.unlink(r->temp.c_str());
    r->temp.clear();
    errno = saved;
}

bool pass_old_owner_and_mode(const RtReplace* r) {
    if (!(r->flags & RtReplaceLikeOld) || !r->had_old) return true;
    // keeps the owner when root saves a user's file; fails harmlessly
    // otherwise. Before fchmod, since a change of owner clears set-id bits.
    const int saved = errno;
    if (rt_sys.fchown(r->fd, r->old_uid, r->old_gid) != 0) errno = saved;
    return rt_sys.fchmod(r->fd, r->old_mode) == 0;
}

// Flushes the folder so that the rename survives a power cut. A folder we
// may write in but not read cannot be opened for this, and some file systems
// cannot flush folders at all: both count as done, as nothing better is
// possible there. A real failure (EIO) is reported.
bool sync_folder(const std::string& folder) {
    const int fd = rt_sys.open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC, 0);
    if (fd < 0) return true;
    bool ok = rt_sys.fsync(fd) == 0 || errno == EINVAL || errno == EOPNOTSUPP || errno == EROFS;
    const int saved = errno;
    rt_sys.close(fd);
    errno = saved;
    return ok;
}

bool is_regular_file(const std::string& path) {
    struct stat st;
    return rt_sys.lstat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

// Makes a second name for the old target, so that it can be put back when
// the folder cannot be flushed after the rename. Empty when there is no old
// file or the file system has no hard links (FAT): then a failed flush
// cannot be undone, only reported.
std::string keep_old(const std::string& target) {
    if (!is_regular_file(target)) return {};
    for (int attempt = 0; attempt < 100; ++attempt) {
        std::string backup = rt_replace_temp_name(target);
        if (rt_sys.link(target.c_str(), backup.c_str()) == 0) return backup;
        if (errno != EEXIST) break;
    }
    return {};
}

// The durable rename: the new file goes over the target and the folder is
// flushed. When the flush fails the old file gets its name back (or a new
// target is removed again), so a failure changes nothing.
bool swap_in_synced(RtReplace* r) {
    const char* temp = r->temp.c_str();
    const char* target = r->target.c_str();
    const std::string backup = keep_old(r->target);
    struct stat st;
    const bool existed = !backup.empty() || rt_sys.lstat(target, &st) == 0 || errno != ENOENT;
    bool ok = rt_sys.rename(temp, target) == 0;
    if (ok) {
        ok = sync_folder(rt_os_folder_of(r->target));
        if (ok) {
            r->temp.clear();
        } else if (!backup.empty()) {
            const int saved = errno;
            if (rt_sys.rename(backup.c_str(), target) == 0) r->temp.clear();
            errno = saved;
        } else if (!existed) {
            const int saved = errno;
            rt_sys.rename(target, temp); // back to the temporary name, to be removed
            errno = saved;
        }
    }
    if (!backup.empty()) {
        const int saved = errno;
        rt_sys.unlink(backup.c_str()); // harmless when the rename back consumed it
        errno = saved;
    }
    return ok;
}

constexpr char kTempPrefix[] = ".tc-tmp-";

// The pid in a temporary file's name, or 0 when name is not
// ".tc-tmp-<pid>-<n>".
pid_t temp_owner(const char* name) {
    const size_t prefix = sizeof kTempPrefix - 1;
    if (std::strncmp(name, kTempPrefix, prefix) != 0) return 0;
    const char* rest = name + prefix;
    char* end = nullptr;
    errno = 0;
    const long pid = std::strtol(rest, &end, 10);
    if (errno || end == rest || *end != '-' || pid <= 0 || pid > INT_MAX) return 0;
    const char* count = end + 1;
    if (!*count) return 0;
    for (const char* c = count; *c; ++c)
        if (*c < '0' || *c > '9') return 0;
    return static_cast<pid_t>(pid);
}

// When this process started, on the coarse clock that file times are taken
// from. A temporary file named with our own pid but older than that was left
// by an earlier process that happened to get the same pid (a container
// starts its programs with the same few pids every time).
const struct timespec kStarted = [] {
    struct timespec now {};
    clock_gettime(CLOCK_REALTIME_COARSE, &now);
    return now;
}();

// Whether the writer of a temporary file may still be writing it, asking the
// system once per pid in one clean-up.
class Writers {
  public:
    bool alive(pid_t owner, int dirfd, const char* name) {
        if (owner == self_) return !left_before_us(dirfd, name);
        for (const auto& [pid, running] : known_)
            if (pid == owner) return running;
        // EPERM: it runs under another user; anything but ESRCH counts as alive
        const bool running = rt_sys.kill(owner, 0) == 0 || errno != ESRCH;
        known_.emplace_back(owner, running);
        return running;
    }

  private:
    pid_t self_ = rt_sys.getpid();
    std::vector<std::pair<pid_t, bool>> known_;

    // A second of slack, as file times and the clock need not tick together.
    static bool left_before_us(int dirfd, const char* name) {
        struct stat st;
        return rt_sys.fstatat(dirfd, name, &st, AT_SYMLINK_NOFOLLOW) == 0 &&
               st.st_mtim.tv_sec + 1 < kStarted.tv_sec;
    }
};

} // namespace

std::string rt_replace_temp_name(const std::string& path) {
    static std::atomic<uint64_t> counter{0};
    const std::string folder = rt_os_folder_of(path);
    return (folder == "/" ? "" : folder) + "/" + kTempPrefix + std::to_string(rt_sys.getpid()) +
           "-" + std::to_string(++counter);
}

std::string rt_replace_target(const std::string& path, int flags) {
    return resolved_target(path, flags);
}

void rt_replace_remove_stale(const std::string& target) {
    rt_replace_remove_stale_in(rt_os_folder_of(target));
}

void rt_replace_remove_stale_in(const std::string& folder) {
    const int fd = rt_sys.open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC, 0);
    if (fd < 0) return;
    DIR* dir = rt_sys.fdopendir(fd);
    if (!dir) {
        rt_sys.close(fd);
        return;
    }
    Writers writers;
    while (const dirent* entry = rt_sys.readdir(dir)) {
        const pid_t owner = temp_owner(entry->d_name);
        if (owner == 0 || writers.alive(owner, fd, entry->d_name)) continue;
        rt_sys.unlinkat(fd, entry->d_name, 0);
    }
    rt_sys.closedir(dir);
}

bool rt_replace_open(RtReplace* r, const std::string& target, int flags, mode_t mode) {
    *r = RtReplace{};
    r->flags = flags;
    r->target = resolved_target(target, flags);
    if (!note_old(r)) return false;
    r->fd = create_temp(r->target, mode, &r->temp);
    if (r->fd < 0) {
        r->temp.clear();
        return false;
    }
    return true;
}

bool rt_replace_write(RtReplace* r, std::string_view bytes) {
    while (!bytes.empty()) {
        const ssize_t n = rt_sys.write(r->fd, bytes.data(), bytes.size());
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) {
            if (n == 0) errno = ENOSPC;
            return false;
        }
        bytes.remove_prefix(static_cast<size_t>(n));
    }
    return true;
}

bool rt_replace_commit(RtReplace* r) {
    if (r->fd < 0) {
        errno = EBADF;
        return false;
    }
    bool ok = pass_old_owner_and_mode(r);
    ok = ok && (!(r->flags & RtReplaceSync) || rt_sys.fsync(r->fd) == 0);
    // a late write error (NFS, full disk) shows up at close
    const int fd = std::exchange(r->fd, -1);
    ok = rt_sys.close(fd) == 0 && ok;
    if (ok && (r->flags & RtReplaceSync)) {
        ok = swap_in_synced(r);
    } else if (ok) {
        ok = rt_sys.rename(r->temp.c_str(), r->target.c_str()) == 0;
        if (ok) r->temp.clear();
    }
    if (!ok) discard(r);
    return ok;
}

void rt_replace_abort(RtReplace* r) {
    discard(r);
}

bool rt_replace_file(const std::string& target, std::string_view bytes, int flags) {
    RtReplace r;
    if (!rt_replace_open(&r, target, flags, 0666)) return false;
    if (!rt_replace_write(&r, bytes)) {
        rt_replace_abort(&r);
        return false;
    }
    return rt_replace_commit(&r);
}

bool rt_replace_file(const std::wstring& target, std::string_view bytes, int flags) {
    return rt_replace_file(rt_text_to_os(target), bytes, flags);
}

bool rt_replace_possible(const std::string& target, int flags) {
    RtReplace r;
    if (!rt_replace_open(&r, target, flags, 0600)) return false;
    rt_replace_abort(&r);
    return true;
}
