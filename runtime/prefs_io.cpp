// Whole-file reads and crash-safe whole-file replacement: see prefs_io.h.
#include "runtime/prefs_io.h"

#include "runtime/syscalls.h"

#include <atomic>
#include <cerrno>
#include <climits>
#include <csignal>
#include <cstdlib>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

std::string folder_of(const std::string& path) {
    const size_t slash = path.rfind('/');
    if (slash == std::string::npos) return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

// The file a write to path really changes: a symbolic link is followed so a
// linked settings file stays linked. A dangling link is replaced itself.
std::string write_target(const std::string& path) {
    struct stat st;
    if (lstat(path.c_str(), &st) != 0 || !S_ISLNK(st.st_mode)) return path;
    char resolved[PATH_MAX];
    return realpath(path.c_str(), resolved) ? std::string(resolved) : path;
}

// Temporary files of target are named "." + base + ".tmp-<pid>-<n>" in the
// folder of target; *folder gets that folder ("" or ending in "/").
std::string temp_prefix(const std::string& target, std::string* folder) {
    const size_t slash = target.rfind('/');
    *folder = slash == std::string::npos ? "" : target.substr(0, slash + 1);
    // cut long names so the temporary name stays within the name length limit
    return "." + target.substr(folder->size(), 200) + ".tmp-";
}

// Creates a fresh temporary file beside target; its name goes to *name.
// Mode 0666 lets the umask decide, as for any newly created file.
int create_temp(const std::string& target, std::string* name) {
    static std::atomic<unsigned> counter{0};
    std::string folder;
    const std::string prefix = temp_prefix(target, &folder);
    for (int attempt = 0; attempt < 100; ++attempt) {
        *name = folder + prefix + std::to_string(getpid()) + "-" + std::to_string(counter++);
        const int fd = rt_sys.open(name->c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd >= 0 || errno != EEXIST) return fd;
    }
    return -1;
}

bool write_all(int fd, std::string_view bytes) {
    while (!bytes.empty()) {
        const ssize_t n = rt_sys.write(fd, bytes.data(), bytes.size());
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        bytes.remove_prefix(static_cast<size_t>(n));
    }
    return true;
}

// Existing path that is no regular file (a folder, a device): never replaced.
bool is_non_file(const std::string& path, struct stat* st, bool* exists) {
    *exists = stat(path.c_str(), st) == 0;
    return *exists && !S_ISREG(st->st_mode);
}

// The pid in a temporary file's name after prefix, or 0 when the rest is
// not "<pid>-<n>".
pid_t temp_owner(const std::string& name, const std::string& prefix) {
    if (name.compare(0, prefix.size(), prefix) != 0) return 0;
    const char* rest = name.c_str() + prefix.size();
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

// Temporary files a killed writer left beside target: those of processes
// that no longer run go. A live writer's file is never touched.
void remove_stale_temps(const std::string& target) {
    std::string folder;
    const std::string prefix = temp_prefix(target, &folder);
    DIR* dir = opendir(folder.empty() ? "." : folder.c_str());
    if (!dir) return;
    while (const dirent* entry = readdir(dir)) {
        const pid_t owner = temp_owner(entry->d_name, prefix);
        if (owner == 0 || owner == getpid()) continue;
        if (kill(owner, 0) == 0 || errno != ESRCH) continue;
        rt_sys.unlink((folder + entry->d_name).c_str());
    }
    closedir(dir);
}

// A file no one may write is never replaced, even where the folder would
// let a rename do it.
bool write_protected(const std::string& path, const struct stat& st) {
    return (st.st_mode & 0222) == 0 || access(path.c_str(), W_OK) != 0;
}

// Where the folder takes no new file, a preference file that may be written
// is rewritten in place, as preference files always could be.
bool can_write_in_place(const std::string& path) {
    const int fd = rt_sys.open(path.c_str(), O_WRONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK, 0);
    if (fd < 0) return false;
    rt_sys.close(fd);
    return true;
}

bool write_in_place(const std::string& path, std::string_view bytes) {
    const int fd = rt_sys.open(path.c_str(), O_WRONLY | O_CLOEXEC | O_NOCTTY, 0);
    if (fd < 0) return false;
    bool ok = write_all(fd, bytes) && ftruncate(fd, static_cast<off_t>(bytes.size())) == 0;
    ok = ok && fsync(fd) == 0;
    return rt_sys.close(fd) == 0 && ok;
}

// Best effort: makes the rename itself durable.
void sync_folder(const std::string& folder) {
    const int fd = open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return;
    fsync(fd);
    close(fd);
}

} // namespace

bool pref_read_file(const std::string& path, std::string* bytes) {
    // O_NONBLOCK: opening a FIFO must not hang; it is refused below anyway
    const int fd = rt_sys.open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK, 0);
    if (fd < 0) return false;
    struct stat st;
    bool ok = rt_sys.fstat(fd, &st) == 0 && S_ISREG(st.st_mode);
    bytes->clear();
    if (ok) bytes->reserve(static_cast<size_t>(st.st_size));
    char buf[16384];
    while (ok) {
        const ssize_t n = rt_sys.read(fd, buf, sizeof buf);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) {
            ok = n == 0;
            break;
        }
        bytes->append(buf, static_cast<size_t>(n));
    }
    close(fd);
    return ok;
}

bool pref_can_replace(const std::string& path) {
    const std::string target = write_target(path);
    struct stat st;
    bool exists;
    if (is_non_file(target, &st, &exists)) return false;
    if (exists && write_protected(target, st)) return false;
    std::string temp;
    const int fd = create_temp(target, &temp);
    if (fd < 0) return exists && can_write_in_place(target);
    rt_sys.close(fd);
    rt_sys.unlink(temp.c_str());
    return true;
}

bool pref_replace_file(const std::string& path, std::string_view bytes) {
    const std::string target = write_target(path);
    struct stat old;
    bool existed;
    if (is_non_file(target, &old, &existed)) return false;
    if (existed && write_protected(target, old)) return false;
    remove_stale_temps(target);
    std::string temp;
    const int fd = create_temp(target, &temp);
    if (fd < 0) return existed && write_in_place(target, bytes);
    bool ok = write_all(fd, bytes);
    if (ok && existed) {
        // keeps the owner when root saves a user's file; fails harmlessly otherwise.
        // Before fchmod, since a change of owner clears set-id bits.
        if (fchown(fd, old.st_uid, old.st_gid) != 0) errno = 0;
        ok = rt_sys.fchmod(fd, old.st_mode & 07777) == 0;
    }
    ok = ok && fsync(fd) == 0;
    ok = rt_sys.close(fd) == 0 && ok;
    ok = ok && rt_sys.rename(temp.c_str(), target.c_str()) == 0;
    if (!ok) {
        rt_sys.unlink(temp.c_str());
        return false;
    }
    sync_folder(folder_of(target));
    return true;
}
