// Whole-file reads, and whole-file replacement through runtime/replace.h:
// see prefs_io.h.
#include "runtime/prefs_io.h"

#include "runtime/replace.h"
#include "runtime/syscalls.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>

namespace {

// Settings are replaced durably, keep the old file's owner and mode, and
// write through a link so that a linked settings file stays linked.
constexpr int kPrefReplace = RtReplaceSync | RtReplaceFollowLink | RtReplaceLikeOld;

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
    return rt_replace_possible(path, kPrefReplace);
}

bool pref_replace_file(const std::string& path, std::string_view bytes) {
    return rt_replace_file(path, bytes, kPrefReplace);
}
