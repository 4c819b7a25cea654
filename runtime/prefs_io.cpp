// Whole-file reads, and whole-file replacement through runtime/replace.h:
// see prefs_io.h.
#include "runtime/prefs_io.h"

#include "runtime/replace.h"
#include "runtime/syscalls.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// Settings are replaced durably, keep the old file's owner and mode, and
// write through a link so that a linked settings file stays linked.
constexpr int kPrefReplace = RtReplaceSync | RtReplaceFollowLink | RtReplaceLikeOld;

// A file no one may write is never replaced, even where the folder would
// let a rename do it. false for a file that is not there.
bool write_protected(const std::string& target) {
    struct stat st;
    if (rt_sys.stat(target.c_str(), &st) != 0) return false;
    return (st.st_mode & 0222) == 0 || rt_sys.access(target.c_str(), W_OK) != 0;
}

// Where the folder takes no new file, a preference file that may be written
// is rewritten in place, as preference files always could be.
int open_in_place(const std::string& target) {
    struct stat st;
    if (rt_sys.stat(target.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) return -1;
    return rt_sys.open(target.c_str(), O_WRONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK, 0);
}

bool write_in_place(const std::string& target, std::string_view bytes) {
    const int fd = open_in_place(target);
    if (fd < 0) return false;
    bool ok = true;
    while (ok && !bytes.empty()) {
        const ssize_t n = rt_sys.write(fd, bytes.data(), bytes.size());
        if (n < 0 && errno == EINTR) continue;
        ok = n > 0;
        if (ok) bytes.remove_prefix(static_cast<size_t>(n));
    }
    ok = ok && rt_sys.ftruncate(fd, rt_sys.lseek(fd, 0, SEEK_CUR)) == 0 && rt_sys.fsync(fd) == 0;
    return rt_sys.close(fd) == 0 && ok;
}

// A temporary file beside the target could not be made for want of room
// or rights in the folder, not because the target itself is refused.
bool folder_refused(int error) {
    return error == EACCES || error == EPERM || error == EROFS || error == EDQUOT;
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
    rt_sys.close(fd);
    return ok;
}

bool pref_can_replace(const std::string& path) {
    const std::string target = rt_replace_target(path, kPrefReplace);
    if (write_protected(target)) return false;
    if (rt_replace_possible(path, kPrefReplace)) return true;
    if (!folder_refused(errno)) return false;
    const int fd = open_in_place(target);
    if (fd < 0) return false;
    rt_sys.close(fd);
    return true;
}

bool pref_replace_file(const std::string& path, std::string_view bytes) {
    const std::string target = rt_replace_target(path, kPrefReplace);
    if (write_protected(target)) return false;
    rt_replace_remove_stale(target);
    RtReplace r;
    if (!rt_replace_open(&r, path, kPrefReplace, 0666))
        return folder_refused(errno) && write_in_place(target, bytes);
    if (!rt_replace_write(&r, bytes)) {
        rt_replace_abort(&r);
        return false;
    }
    return rt_replace_commit(&r);
}
