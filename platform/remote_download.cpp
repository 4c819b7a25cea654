// The download road of a copy: a regular remote file into a local folder.
// See remote_transfer.h.
//
// GVfs serves one read of a stream at a time, so a single stream waits a
// round trip through ssh, the backend and its socket for every chunk. A few
// streams, each reading its own stretch of the file, keep the server busy:
// a large file comes in about the time scp takes. Chunks are written with
// pwrite to their place in a temporary file (runtime/replace.h), which is
// renamed over the target once every stretch is in. Pause holds each stream
// between two chunks.
#include <algorithm>
#include <cerrno>
#include <cstring>
#include <sys/stat.h>

#include "platform/remote_transfer.h"
#include "runtime/replace.h"
#include "runtime/syscalls.h"
#include "runtime/text.h"

namespace {

constexpr size_t kChunk = 512 << 10;      // bytes per read
constexpr int64_t kStretchMin = 16 << 20; // a stream gets at least this many bytes
constexpr int kMaxStreams = 4;

// One download, shared by its streams: the first one's helper waits for the
// others and then finishes the temporary file.
struct Download {
    std::shared_ptr<RemoteCopyJob> job;
    RtReplace replace;
    int64_t size = 0;
    int64_t stretch = 0; // bytes per stream
    std::atomic<int64_t> done{0};
    std::atomic<bool> failed{false};
    std::mutex m;
    std::condition_variable cv;
    int reading = 0; // (m) streams not finished yet

    void Finished(bool ok) {
        if (!ok) failed = true;
        std::lock_guard lock(m);
        --reading;
        cv.notify_all();
    }
    void WaitForStreams() {
        std::unique_lock lock(m);
        cv.wait(lock, [this] { return reading == 0; });
    }
};

void FailWithErrno(RemoteJob& job, int error) {
    job.Fail(RemoteStatusOfErrno(error), rt_text_from_os(std::strerror(error)));
}

bool WriteAt(int fd, const char* bytes, size_t count, int64_t at) {
    while (count > 0) {
        const ssize_t n = rt_sys.pwrite(fd, bytes, count, static_cast<off_t>(at));
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) {
            if (n == 0) errno = ENOSPC;
            return false;
        }
        bytes += n;
        count -= static_cast<size_t>(n);
        at += n;
    }
    return true;
}

// Reads the bytes [from, to) of the source from stream into place.
bool ReadStretch(Download& d, GInputStream* stream, int64_t from, int64_t to) {
    RemoteJob& job = *d.job;
    std::unique_ptr<char[]> buffer(new char[kChunk]);
    for (int64_t at = from; at < to;) {
        if (d.failed || !job.WaitWhilePaused()) return false;
        GError* error = nullptr;
        const size_t want = static_cast<size_t>(std::min<int64_t>(kChunk, to - at));
        // No cancellable: GVfs does not end a read on cancel anyway (the
        // operation gives up on it instead), and one costs every chunk a
        // poll and an eventfd made and closed again. A cancel is seen here,
        // between chunks, at the next check above.
        const gssize n = g_input_stream_read(stream, buffer.get(), want, nullptr, &error);
        if (n < 0) {
            job.Fail(error);
            return false;
        }
        if (n == 0) {
            job.Fail(PfRemoteFailed, L"Die Datei wurde während des Kopierens kürzer");
            return false;
        }
        if (!WriteAt(rt_replace_fd(&d.replace), buffer.get(), static_cast<size_t>(n), at)) {
            FailWithErrno(job, errno);
            return false;
        }
        at += n;
        job.Progress(d.done += n, d.size);
    }
    return true;
}

// A stream of its own for stretch k (from 1): opened, moved to its start.
void ReadOtherStretch(const std::shared_ptr<Download>& d, int k) {
    RemoteJob& job = *d->job;
    const int64_t from = k * d->stretch, to = std::min(d->size, from + d->stretch);
    GError* error = nullptr;
    GRef<GFileInputStream> stream(g_file_read(d->job->source.get(), job.Cancellable(), &error));
    bool ok = stream && g_seekable_seek(G_SEEKABLE(stream.get()), from, G_SEEK_SET,
                                        job.Cancellable(), &error);
    job.Alive();
    if (!ok) job.Fail(error);
    ok = ok && ReadStretch(*d, G_INPUT_STREAM(stream.get()), from, to);
    if (stream) g_input_stream_close(G_INPUT_STREAM(stream.get()), job.Cancellable(), nullptr);
    d->Finished(ok);
}

// Mode and modification time of the source on the finished file.
void KeepMetadata(int fd, GFileInfo* info) {
    mode_t mode = 0644;
    if (g_file_info_has_attribute(info, G_FILE_ATTRIBUTE_UNIX_MODE))
        mode = g_file_info_get_attribute_uint32(info, G_FILE_ATTRIBUTE_UNIX_MODE) & 07777;
    rt_sys.fchmod(fd, mode);
    if (!g_file_info_has_attribute(info, G_FILE_ATTRIBUTE_TIME_MODIFIED)) return;
    struct timespec times[2];
    times[0].tv_sec = 0;
    times[0].tv_nsec = UTIME_OMIT;
    times[1].tv_sec =
        static_cast<time_t>(g_file_info_get_attribute_uint64(info, G_FILE_ATTRIBUTE_TIME_MODIFIED));
    times[1].tv_nsec = static_cast<long>(
        g_file_info_get_attribute_uint32(info, G_FILE_ATTRIBUTE_TIME_MODIFIED_USEC) * 1000);
    rt_sys.futimens(fd, times);
}

} // namespace

bool RemoteDownload(const std::shared_ptr<RemoteCopyJob>& job, GFileInfo* info) {
    auto d = std::make_shared<Download>();
    d->job = job;
    d->size = g_file_info_get_size(info);
    gchar* target_path = g_file_get_path(job->target.get()); // a local file
    const std::string target = target_path ? target_path : "";
    g_free(target_path);
    if (!rt_replace_open(&d->replace, target, 0, 0600)) {
        FailWithErrno(*job, errno);
        return false;
    }
    GError* error = nullptr;
    GRef<GFileInputStream> first;
    if (d->size > 0) {
        first.reset(g_file_read(job->source.get(), job->Cancellable(), &error));
        job->Alive();
        if (!first) job->Fail(error);
    }
    int streams = 1;
    if (first && g_seekable_can_seek(G_SEEKABLE(first.get())))
        streams = static_cast<int>(std::clamp<int64_t>(d->size / kStretchMin, 1, kMaxStreams));
    d->stretch = (d->size + streams - 1) / streams;
    d->reading = streams;
    for (int k = 1; k < streams; ++k) job->Spawn([d, k] { ReadOtherStretch(d, k); });
    bool ok = first || d->size == 0;
    if (first) {
        ok = ReadStretch(*d, G_INPUT_STREAM(first.get()), 0, std::min(d->size, d->stretch));
        g_input_stream_close(G_INPUT_STREAM(first.get()), job->Cancellable(), nullptr);
    }
    d->Finished(ok);
    d->WaitForStreams();
    if (d->failed || job->Stopped()) {
        rt_replace_abort(&d->replace);
        return false;
    }
    KeepMetadata(rt_replace_fd(&d->replace), info);
    if (!rt_replace_commit(&d->replace)) {
        FailWithErrno(*job, errno);
        return false;
    }
    return true;
}
