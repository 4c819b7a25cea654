// The contents of one regular file: clone, copy_file_range or read and
// write, holes kept, pause and cancel between chunks, the verifying read
// back. See copy.h.
#include "platform/copy_internal.h"
#include "runtime/control.h"
#include "runtime/syscalls.h"

#include <algorithm>
#include <cstdlib>
#include <fcntl.h>
#include <memory>
#include <unistd.h>
#include <xxhash.h>

namespace {

// Bytes per chunk: the control is asked and progress reported after each.
// A megabyte takes a few milliseconds even on a slow disk, so pause and
// cancel act at once; the system calls it costs are nothing next to it.
constexpr size_t kChunk = 1 << 20;
// Files from this size on are cloned where the file system can.
constexpr int64_t kCloneFrom = 1 << 20;
// The buffer of the read-and-write road: small enough that what is read
// into it is still in the processor's cache when it is written out. Measured
// here, a 1 MiB buffer made the kernel's two copies three times as dear as a
// 256 KiB one. Small files get a smaller one.
constexpr size_t kBuffer = 256 << 10;
constexpr size_t kSmallBuffer = 64 << 10;
// Reading a copy back from the disk: O_DIRECT wants aligned buffers, and
// reads large enough that the disk streams.
constexpr size_t kAlign = 4096;
constexpr size_t kDirectChunk = 4 << 20;
// A verified copy from this size on is read back while it is written
// (copy_verify.cpp); a smaller one is read back when complete.
constexpr int64_t kFollowFrom = 32 << 20;

struct HashFree {
    void operator()(XXH3_state_t* s) const { XXH3_freeState(s); }
};
using Hash = std::unique_ptr<XXH3_state_t, HashFree>;

// Hashes length zero bytes: a hole reads as zeros.
void hash_zeros(XXH3_state_t* hash, int64_t length) {
    static const char kZeros[kSmallBuffer] = {};
    for (; length > 0; length -= static_cast<int64_t>(sizeof kZeros))
        XXH3_64bits_update(hash, kZeros,
                           static_cast<size_t>(std::min<int64_t>(length, sizeof kZeros)));
}

class Contents {
  public:
    Contents(PfCopyRun* run, int in, int out, const struct stat& st)
        : run_(run), in_(in), out_(out), total_(st.st_size),
          sparse_(st.st_size > 0 && st.st_blocks * 512 < st.st_size),
          use_range_(!(run->options.flags & PfCopyNoClone)) {}
    bool copy();
    bool verify();

  private:
    int hash_all(int fd, char* data, size_t size, int64_t* length);
    bool read_back(int64_t* length);
    PfCopyRun* run_;
    int in_, out_;
    int64_t total_;
    bool sparse_;
    bool use_range_;         // copy_file_range still worth trying
    int64_t done_ = 0;       // bytes of the file dealt with (holes included)
    bool positioned_ = true; // both file positions stand at done_
    bool reported_ = false;  // progress was reported at least once
    std::unique_ptr<char[]> buffer_;
    size_t buffer_size_ = 0;
    Hash hash_;
    PfReadBack back_;
    bool following_ = false; // back_ reads the copy back behind the writing

    bool go_on();
    ssize_t failure(int step, int error) {
        run_->fail(PfCopyFailed, step, error);
        return -1;
    }
    bool advance(int64_t n);
    bool clone();
    ssize_t chunk_by_range(size_t wanted, bool believed_end);
    bool hash_source(int64_t from, ssize_t n);
    ssize_t chunk_by_read_write(size_t wanted);
    bool segment(int64_t end);
    bool sparse_segments();
    char* buffer();
};

bool Contents::go_on() {
    if (rt_control_go_on(run_->control)) return true;
    return run_->fail(PfCopyCancelled, PfStepNone, ECANCELED);
}

// n more bytes are done: publish them and let the caller cancel.
bool Contents::advance(int64_t n) {
    done_ += n;
    if (following_ && !back_.follow(done_)) return false;
    run_->result->bytes = done_;
    rt_control_add_bytes(run_->control, n);
    reported_ = true;
    const PfCopyOptions& o = run_->options;
    if (o.progress && !o.progress(total_, done_, o.user))
        return run_->fail(PfCopyCancelled, PfStepNone, ECANCELED);
    return true;
}

char* Contents::buffer() {
    if (!buffer_) {
        buffer_size_ = static_cast<size_t>(std::clamp<int64_t>(total_ + 1, kSmallBuffer, kBuffer));
        buffer_.reset(new char[buffer_size_]);
    }
    return buffer_.get();
}

// The whole file in one call where the file system shares blocks (btrfs,
// XFS): instant, and the copy takes no space until one of them changes.
// Small files are left to copy_file_range, which shares blocks by itself
// where it can: asking for a clone first cost every small file a call.
bool Contents::clone() {
    if (run_->options.flags & (PfCopyVerify | PfCopyNoClone)) return false;
    if (total_ < kCloneFrom) return false;
    if (rt_sys.ficlone(out_, in_) != 0) return false;
    run_->result->how = PfHowClone;
    return true;
}

// One chunk in the kernel at done_. 0 at the end, -1 when this road is closed
// (unsupported, or an error that the read-and-write road will meet again and
// can tell apart, source or target): the caller then reads and writes the
// same chunk. Never a failure of its own.
ssize_t Contents::chunk_by_range(size_t wanted, bool believed_end) {
    off64_t in_off = done_, out_off = done_;
    ssize_t n;
    do n = pf_copy_file_range(in_, &in_off, out_, &out_off, wanted, 0);
    while (n < 0 && errno == EINTR);
    // Some files (in /proc, for one) claim to be empty, or claim a size, and
    // read all the same: an end before the first byte is checked by reading.
    if (n > 0 || (n == 0 && believed_end)) {
        positioned_ = false;
        run_->result->how = PfHowRange;
        return n;
    }
    use_range_ = false;
    return -1;
}

// With verify, the n bytes the kernel just copied from `from` are read for
// the hash, from the cache the copy left them in: the kernel's copy costs
// one pass over the bytes where a copy through the buffer costs two, and
// the reading one more. Should the source change in between, the copy read
// back differs from the hash, or the source's size and time differ at the
// end: a failure either way, never a wrong copy taken for a good one.
// Where the file system shares blocks through copy_file_range, the copy
// read back is those shared blocks, as on the disk; PfCopyNoClone asks for
// bytes of its own.
bool Contents::hash_source(int64_t from, ssize_t n) {
    char* data = buffer();
    if (rt_sys.lseek(in_, from, SEEK_SET) < 0) return run_->failed_step(PfStepReadSource);
    for (ssize_t left = n; left > 0;) {
        ssize_t r;
        do r = rt_sys.read(in_, data, std::min(static_cast<size_t>(left), buffer_size_));
        while (r < 0 && errno == EINTR);
        if (r < 0) return run_->failed_step(PfStepReadSource);
        if (r == 0) return run_->fail(PfCopySourceChanged, PfStepReadSource, EAGAIN);
        XXH3_64bits_update(hash_.get(), data, static_cast<size_t>(r));
        left -= r;
    }
    return true;
}

// One chunk through the buffer at done_: its size, 0 at the end, -1 after a
// failure (recorded). Short writes are carried on; a write that makes no
// progress means a full disk.
ssize_t Contents::chunk_by_read_write(size_t wanted) {
    char* data = buffer();
    if (!positioned_) {
        if (rt_sys.lseek(in_, done_, SEEK_SET) < 0) return failure(PfStepReadSource, errno);
        if (rt_sys.lseek(out_, done_, SEEK_SET) < 0) return failure(PfStepWriteTarget, errno);
        positioned_ = true;
    }
    ssize_t n;
    do n = rt_sys.read(in_, data, std::min(wanted, buffer_size_));
    while (n < 0 && errno == EINTR);
    if (n < 0) return failure(PfStepReadSource, errno);
    if (hash_) XXH3_64bits_update(hash_.get(), data, static_cast<size_t>(n));
    for (ssize_t written = 0; written < n;) {
        const ssize_t w = rt_sys.write(out_, data + written, static_cast<size_t>(n - written));
        if (w < 0 && errno == EINTR) continue;
        if (w <= 0) return failure(PfStepWriteTarget, w == 0 ? ENOSPC : errno);
        written += w;
    }
    run_->result->how = PfHowReadWrite;
    return n;
}

// Copies from done_ up to end, or to the end of the file if that comes
// first (-1: wherever the end turns out to be, for files that claim to be
// empty). A file that grows meanwhile shows in its size afterwards.
bool Contents::segment(int64_t end) {
    while (end < 0 || done_ < end) {
        if (!go_on()) return false;
        const size_t wanted =
            end < 0 ? kChunk : static_cast<size_t>(std::min<int64_t>(kChunk, end - done_));
        ssize_t n = use_range_ ? chunk_by_range(wanted, total_ > 0 && done_ > 0) : -1;
        if (n > 0 && hash_ && !hash_source(done_, n)) return false;
        if (n < 0) n = chunk_by_read_write(wanted);
        if (n < 0) return false;
        if (n == 0) return true;
        if (!advance(n)) return false;
    }
    return true;
}

// A sparse file: only its data is copied; the holes between are skipped in
// the target too (a write after a gap leaves a hole), the last one by
// setting the size.
bool Contents::sparse_segments() {
    while (done_ < total_) {
        const off_t data = rt_sys.lseek(in_, done_, SEEK_DATA);
        if (data < 0 && errno != ENXIO) return segment(total_); // no hole map: copy it all
        const off_t start = data < 0 ? total_ : data;           // ENXIO: only a hole is left
        if (hash_) hash_zeros(hash_.get(), start - done_);
        positioned_ = false; // looking for data and holes moved the source's position
        if (start > done_ && !advance(start - done_)) return false;
        if (start >= total_) break;
        off_t hole = rt_sys.lseek(in_, start, SEEK_HOLE);
        if (hole < 0) hole = total_;
        if (!segment(std::min<int64_t>(hole, total_))) return false;
    }
    if (rt_sys.ftruncate(out_, total_) != 0) return run_->failed_step(PfStepWriteTarget);
    return true;
}

bool Contents::copy() {
    if (run_->options.flags & PfCopyVerify) {
        hash_.reset(XXH3_createState());
        if (!hash_) return run_->fail(PfCopyFailed, PfStepReadSource, ENOMEM);
        XXH3_64bits_reset(hash_.get());
        following_ = !sparse_ && total_ >= kFollowFrom && back_.start(run_, out_);
    }
    if (clone()) return advance(total_);
    const bool ok = sparse_ ? sparse_segments() : segment(total_ > 0 ? total_ : -1);
    if (ok && !reported_) return advance(0); // an empty file still gets its one report
    return ok;
}

// Hashes everything fd gives from where it stands, size bytes a read; 0 or
// the errno of a failed read (ECANCELED after a cancel).
int Contents::hash_all(int fd, char* data, size_t size, int64_t* length) {
    for (*length = 0;;) {
        if (!rt_control_go_on(run_->control)) return ECANCELED;
        ssize_t n;
        do n = rt_sys.read(fd, data, size);
        while (n < 0 && errno == EINTR);
        if (n < 0) return errno;
        if (n == 0) return 0;
        XXH3_64bits_update(hash_.get(), data, static_cast<size_t>(n));
        *length += n;
    }
}

// Reads the copy back from its start into the hash; false after a failure
// (recorded). With O_DIRECT and large reads the disk gives the data at its
// full speed and nothing comes from the cache; where the file system refuses
// O_DIRECT (tmpfs, some FUSE), the cache was emptied of the copy instead.
bool Contents::read_back(int64_t* length) {
    int err = EINVAL;
    PfCopyFd direct{rt_at_open(run_->to.dirfd, run_->temp, O_RDONLY | O_DIRECT | O_CLOEXEC, 0)};
    std::unique_ptr<char, decltype(&std::free)> aligned(
        direct.fd >= 0 ? static_cast<char*>(std::aligned_alloc(kAlign, kDirectChunk)) : nullptr,
        &std::free);
    if (aligned) err = hash_all(direct.fd, aligned.get(), kDirectChunk, length);
    // refused at the first read: the file system wants other alignments
    if (err == EINVAL && *length == 0) {
        if (rt_sys.lseek(out_, 0, SEEK_SET) < 0) return run_->failed_step(PfStepVerify);
        XXH3_64bits_reset(hash_.get());
        err = hash_all(out_, buffer(), buffer_size_, length);
    }
    if (err == ECANCELED) return run_->fail(PfCopyCancelled, PfStepNone, ECANCELED);
    if (err) return run_->fail(PfCopyFailed, PfStepVerify, err);
    return true;
}

// Flushes the copy, drops it from the cache and reads it back from the disk,
// comparing its hash with the source's.
bool Contents::verify() {
    if (!hash_) return true;
    const XXH64_hash_t expected = XXH3_64bits_digest(hash_.get());
    if (following_ && !back_.off()) {
        int64_t length = 0;
        uint64_t digest = 0;
        if (!back_.finish(&length, &digest)) return false;
        if (length != done_ || digest != expected)
            return run_->fail(PfCopyMismatch, PfStepVerify, EIO);
        return true;
    }
    if (rt_sys.fdatasync(out_) != 0) return run_->failed_step(PfStepSyncTarget);
    rt_sys.posix_fadvise(out_, 0, 0, POSIX_FADV_DONTNEED);
    XXH3_64bits_reset(hash_.get());
    int64_t length = 0;
    if (!read_back(&length)) return false;
    if (length != done_ || XXH3_64bits_digest(hash_.get()) != expected)
        return run_->fail(PfCopyMismatch, PfStepVerify, EIO);
    return true;
}

bool changed(const struct stat& before, const struct stat& after) {
    return before.st_size != after.st_size || before.st_mtim.tv_sec != after.st_mtim.tv_sec ||
           before.st_mtim.tv_nsec != after.st_mtim.tv_nsec;
}

} // namespace

bool pf_copy_contents(PfCopyRun* run, int in, int out, const struct stat& st) {
    Contents contents(run, in, out, st);
    if (!contents.copy()) return false;
    // A copy of a file that changed meanwhile matches no state of it.
    struct stat after;
    if (rt_sys.fstat(in, &after) != 0) return run->failed_step(PfStepReadSource);
    if (changed(st, after)) return run->fail(PfCopySourceChanged, PfStepReadSource, EAGAIN);
    return contents.verify();
}
