// Reading a copy back from the disk while it is still being written: the
// writing of each finished window of the copy is started at once, and a
// window is read back (O_DIRECT, past the cache) as soon as the one after
// it has been handed to the disk too. So the disk writes while the copy
// goes on, and reads back while it writes, instead of the three one after
// another; what is left at the end is the last two windows. See copy.h.
#include "platform/copy_internal.h"
#include "runtime/control.h"
#include "runtime/syscalls.h"

#include <cstdlib>
#include <fcntl.h>
#include <unistd.h>

namespace {

// Large enough that the disk streams, small enough that a pause or cancel
// waits for little.
constexpr int64_t kWindow = 8 << 20;
constexpr size_t kAlign = 4096;
constexpr size_t kRead = 4 << 20;

constexpr unsigned kWaitWritten =
    SYNC_FILE_RANGE_WAIT_BEFORE | SYNC_FILE_RANGE_WRITE | SYNC_FILE_RANGE_WAIT_AFTER;

} // namespace

PfReadBack::~PfReadBack() {
    if (fd_ >= 0) rt_sys.close(fd_);
    std::free(buffer_);
    if (hash_) XXH3_freeState(hash_);
}

bool PfReadBack::start(PfCopyRun* run, int out) {
    run_ = run;
    out_ = out;
    fd_ = rt_at_open(run->to.dirfd, run->temp, O_RDONLY | O_DIRECT | O_CLOEXEC, 0);
    if (fd_ < 0) return false; // tmpfs, some FUSE: read back at the end from an emptied cache
    buffer_ = static_cast<char*>(std::aligned_alloc(kAlign, kRead));
    hash_ = XXH3_createState();
    if (!buffer_ || !hash_) return false;
    XXH3_64bits_reset(hash_);
    return true;
}

bool PfReadBack::fail(int err) {
    if (err == ECANCELED) return run_->fail(PfCopyCancelled, PfStepNone, ECANCELED);
    return run_->fail(PfCopyFailed, PfStepVerify, err);
}

// Reads back from where the last read ended, up to `until` (-1: to the end
// of the file). 0 or an errno.
int PfReadBack::read(int64_t until) {
    while (until < 0 || read_ < until) {
        if (!rt_control_go_on(run_->control)) return ECANCELED;
        ssize_t n;
        do n = rt_sys.read(fd_, buffer_, kRead);
        while (n < 0 && errno == EINTR);
        if (n < 0) return errno;
        if (n == 0) return 0;
        XXH3_64bits_update(hash_, buffer_, static_cast<size_t>(n));
        read_ += n;
    }
    return 0;
}

bool PfReadBack::follow(int64_t done) {
    if (off_) return true;
    for (; done - handed_ >= kWindow; handed_ += kWindow)
        rt_sys.sync_file_range(out_, handed_, kWindow, SYNC_FILE_RANGE_WRITE);
    while (handed_ - read_ >= 2 * kWindow) {
        const int64_t from = read_;
        if (rt_sys.sync_file_range(out_, from, kWindow, kWaitWritten) != 0)
            return run_->failed_step(PfStepSyncTarget);
        const int err = read(from + kWindow);
        if (err == EINVAL && read_ == 0) { // wants other alignments: at the end, as without
            off_ = true;
            return true;
        }
        if (err) return fail(err);
        // read: its pages are of no more use in the cache
        rt_sys.posix_fadvise(out_, from, kWindow, POSIX_FADV_DONTNEED);
    }
    return true;
}

bool PfReadBack::finish(int64_t* length, uint64_t* digest) {
    if (rt_sys.fdatasync(out_) != 0) return run_->failed_step(PfStepSyncTarget);
    rt_sys.posix_fadvise(out_, 0, 0, POSIX_FADV_DONTNEED);
    if (const int err = read(-1)) return fail(err);
    *length = read_;
    *digest = XXH3_64bits_digest(hash_);
    return true;
}
