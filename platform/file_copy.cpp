// File copy with progress through a temporary file: see file_copy.h.
#include "platform/file_copy.h"

#include <cerrno>
#include <fcntl.h>
#include <memory>
#include <sys/stat.h>
#include <unistd.h>

#include "runtime/replace.h"
#include "runtime/syscalls.h"
#include "runtime/text.h"

namespace {

// Bytes per chunk: one progress report each. Large enough that the reports
// cost nothing next to the copying, small enough that the bar moves.
constexpr size_t kChunk = 1 << 20;

// Errors of copy_file_range that only mean "not between these files": the
// kernel or the file systems cannot do it, so read and write instead.
bool range_unsupported(int err) {
    return err == EXDEV || err == ENOSYS || err == EOPNOTSUPP || err == EINVAL || err == EBADF ||
           err == ETXTBSY;
}

// Closes a descriptor when it goes out of scope.
struct Fd {
    int fd;
    ~Fd() {
        if (fd >= 0) rt_sys.close(fd);
    }
};

// Removes a temporary file without disturbing the errno being reported.
void discard(const std::string& temp) {
    const int saved = errno;
    rt_sys.unlink(temp.c_str());
    errno = saved;
}

// One chunk by read and write; 0 at the end of the file, -1 on error. The
// buffer is allocated, not cleared, on first use.
ssize_t copy_chunk_rw(int in, RtReplace* out, std::unique_ptr<char[]>& buffer) {
    if (!buffer) buffer.reset(new char[kChunk]);
    ssize_t n;
    do n = rt_sys.read(in, buffer.get(), kChunk);
    while (n < 0 && errno == EINTR);
    if (n > 0 && !rt_replace_write(out, std::string_view(buffer.get(), static_cast<size_t>(n))))
        return -1;
    return n;
}

// One chunk in the kernel. Falls back to read and write for good when the
// file systems cannot copy ranges, and also when copy_file_range reports an
// end before it gave a byte: some files (in /proc, for one) claim to be
// empty, or claim a size, and can be read all the same. An end after bytes
// of a file with a size (believed) is taken as it is: looking again cost
// every small file of a copy a buffer of a megabyte.
ssize_t copy_chunk(int in, RtReplace* out, bool believed_end, bool& use_range,
                   std::unique_ptr<char[]>& buffer) {
    if (use_range) {
        ssize_t n;
        do n = pf_copy_file_range(in, nullptr, rt_replace_fd(out), nullptr, kChunk, 0);
        while (n < 0 && errno == EINTR);
        if (n > 0 || (n == 0 && believed_end)) return n;
        if (n < 0 && !range_unsupported(errno)) return -1;
        use_range = false;
    }
    return copy_chunk_rw(in, out, buffer);
}

bool copy_contents(int in, RtReplace* out, int64_t total, PfCopyProgressFn progress, void* user) {
    bool use_range = true;
    std::unique_ptr<char[]> buffer;
    int64_t done = 0;
    bool reported = false;
    for (;;) {
        const ssize_t n = copy_chunk(in, out, total > 0 && done > 0, use_range, buffer);
        if (n < 0) return false;
        if (n == 0 && reported) return true;
        done += n;
        reported = true;
        if (progress && !progress(total, done, user)) {
            errno = ECANCELED;
            return false;
        }
        if (n == 0) return true; // an empty file still gets its one report
    }
}

// A symbolic link is recreated with the same target under a free temporary
// name and then renamed over the target.
int copy_link(const std::string& source, const std::string& target, const struct stat& st) {
    std::string link(static_cast<size_t>(st.st_size) + 1, '\0');
    const ssize_t n = rt_sys.readlink(source.c_str(), link.data(), link.size());
    if (n < 0) return 0;
    link.resize(static_cast<size_t>(n));
    for (int attempt = 0; attempt < 100; ++attempt) {
        const std::string temp = rt_replace_temp_name(target);
        if (rt_sys.symlink(link.c_str(), temp.c_str()) != 0) {
            if (errno == EEXIST) continue;
            return 0;
        }
        if (rt_sys.rename(temp.c_str(), target.c_str()) == 0) return 1;
        discard(temp);
        return 0;
    }
    errno = EEXIST;
    return 0;
}

// Opens the source for reading without hanging on a FIFO, and accepts only
// regular files: a device or FIFO has no end to copy up to.
int open_source(const std::string& source, struct stat& st) {
    const int fd = rt_sys.open(source.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK, 0);
    if (fd < 0) return -1;
    const bool stat_ok = rt_sys.fstat(fd, &st) == 0;
    if (!stat_ok || !S_ISREG(st.st_mode)) {
        const int err = !stat_ok ? errno : S_ISDIR(st.st_mode) ? EISDIR : EINVAL;
        rt_sys.close(fd);
        errno = err;
        return -1;
    }
    rt_sys.fcntl(fd, F_SETFL, rt_sys.fcntl(fd, F_GETFL, 0) & ~O_NONBLOCK);
    return fd;
}

// Permission bits and times follow the source where the target's file system
// can hold them. FAT and many network file systems refuse chmod (EPERM); a
// copy onto a USB stick must not fail for that, so these are best effort,
// as the contents are what the user asked for.
void keep_metadata(int fd, const struct stat& st) {
    const int saved = errno;
    const struct timespec times[2] = {st.st_atim, st.st_mtim};
    rt_sys.fchmod(fd, st.st_mode & 0777);
    rt_sys.futimens(fd, times);
    errno = saved;
}

// The contents go through a replacement (runtime/replace.h) without fsync:
// a copy runs at the speed of any other copy, and the file system writes it
// out in its own time. The temporary file is private (0600) until complete.
int copy_regular(const std::string& source, const std::string& target, PfCopyProgressFn progress,
                 void* user) {
    struct stat st;
    Fd in{open_source(source, st)};
    if (in.fd < 0) return 0;
    RtReplace out;
    if (!rt_replace_open(&out, target, 0, 0600)) return 0;
    if (!copy_contents(in.fd, &out, st.st_size, progress, user)) {
        rt_replace_abort(&out);
        return 0;
    }
    keep_metadata(rt_replace_fd(&out), st);
    return rt_replace_commit(&out) ? 1 : 0;
}

} // namespace

int pf_file_copy(const std::wstring& source, const std::wstring& target, PfCopyProgressFn progress,
                 void* user) {
    const std::string from = rt_text_to_os(source);
    const std::string to = rt_text_to_os(target);
    struct stat st;
    if (rt_sys.lstat(from.c_str(), &st) != 0) return 0;
    if (S_ISLNK(st.st_mode)) return copy_link(from, to, st);
    return copy_regular(from, to, progress, user);
}

namespace {

ssize_t range_through_seam(int in, off64_t* in_off, int out, off64_t* out_off, size_t len,
                           unsigned flags) {
    return rt_sys.copy_file_range(in, in_off, out, out_off, len, flags);
}

} // namespace

PfCopyRangeFn pf_copy_file_range = range_through_seam;

void pf_copy_sys_reset() {
    pf_copy_file_range = range_through_seam;
}
