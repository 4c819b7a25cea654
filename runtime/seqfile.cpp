// Numbered, buffered line files: see seqfile.h.
#include "runtime/seqfile.h"

#include "runtime/numbered.h"
#include "runtime/syscalls.h"
#include "runtime/text.h"

#include <cerrno>
#include <fcntl.h>
#include <string_view>

namespace {

constexpr size_t kBufferSize = 4096;

struct SeqFile {
    std::mutex mutex;         // one user at a time even if callers share a number
    int fd = -1;              // owned
    bool reading = false;     // opened by rt_seqfile_open_read
    bool failed = false;      // a write failed or fell short
    char buffer[kBufferSize]; // writing: pending bytes; reading: bytes read ahead
    size_t fill = 0;          // bytes in buffer
    size_t pos = 0;           // reading: next byte to hand out

    ~SeqFile() {
        flush();
        if (fd >= 0) rt_sys.close(fd);
    }

    // Writes all of data; a short write goes on with the rest.
    void write_all(const char* data, size_t size) {
        while (size > 0 && !failed) {
            const ssize_t n = rt_sys.write(fd, data, size);
            if (n < 0 && errno == EINTR) continue;
            if (n <= 0) {
                failed = true;
                break;
            }
            data += n;
            size -= static_cast<size_t>(n);
        }
    }

    void flush() {
        if (reading || fd < 0 || fill == 0) return;
        write_all(buffer, fill);
        fill = 0;
    }

    void append(std::string_view data) {
        if (fill + data.size() > kBufferSize) flush();
        if (data.size() >= kBufferSize) {
            write_all(data.data(), data.size());
            return;
        }
        data.copy(buffer + fill, data.size());
        fill += data.size();
    }

    // The next byte without taking it; −1 at the end of the file.
    int peek() {
        while (pos == fill) {
            const ssize_t n = rt_sys.read(fd, buffer, kBufferSize);
            if (n < 0 && errno == EINTR) continue;
            if (n <= 0) return -1; // end, or a read error that ends the file here
            fill = static_cast<size_t>(n);
            pos = 0;
        }
        return static_cast<unsigned char>(buffer[pos]);
    }

    int take() {
        const int c = peek();
        if (c >= 0) ++pos;
        return c;
    }
};

RtNumberedTable<SeqFile>& table() {
    // Never destroyed, so that the flush below and late callers find it.
    static auto* t = new RtNumberedTable<SeqFile>;
    return *t;
}

// Files left open are written out when the process ends normally.
struct CloseAtExit {
    ~CloseAtExit() { table().take_all(); }
} close_at_exit;

int open_numbered(int number, int fd, bool reading) {
    if (fd < 0) return 0;
    auto file = std::make_shared<SeqFile>();
    file->fd = fd;
    file->reading = reading;
    const int used = table().put(number, std::move(file));
    return number == kRtAutoNumber ? used : 1;
}

} // namespace

int rt_seqfile_create(int number, const std::wstring& path) {
    if (!rt_number_valid(number)) return 0;
    table().take(number);
    if (path.empty()) return 0;
    const std::string os = rt_text_to_os(path);
    int fd = rt_sys.open(os.c_str(), O_RDWR | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
    // a file we may write but not read can still be rewritten
    if (fd < 0) fd = rt_sys.open(os.c_str(), O_WRONLY | O_TRUNC | O_CLOEXEC, 0);
    return open_numbered(number, fd, false);
}

int rt_seqfile_open_read(int number, const std::wstring& path) {
    if (!rt_number_valid(number)) return 0;
    table().take(number);
    if (path.empty()) return 0;
    const std::string os = rt_text_to_os(path);
    return open_numbered(number, rt_sys.open(os.c_str(), O_RDONLY | O_CLOEXEC, 0), true);
}

int rt_seqfile_write_line(int number, const std::wstring& text) {
    std::shared_ptr<SeqFile> file = table().get(number);
    if (!file) return 0;
    std::lock_guard lock(file->mutex);
    if (file->reading) return 0;
    file->append(rt_text_to_utf8(text) + "\r\n");
    return file->failed ? 0 : 1;
}

std::wstring rt_seqfile_read_line(int number) {
    std::shared_ptr<SeqFile> file = table().get(number);
    if (!file) return {};
    std::lock_guard lock(file->mutex);
    if (!file->reading) return {};
    std::string bytes;
    for (int c = file->take(); c >= 0 && c != '\n'; c = file->take()) {
        if (c == '\r') {
            if (file->peek() == '\n') file->take();
            break;
        }
        bytes.push_back(static_cast<char>(c));
    }
    return rt_text_from_utf8(bytes);
}

int rt_seqfile_eof(int number) {
    std::shared_ptr<SeqFile> file = table().get(number);
    // Nothing can be read from a file that is not open for reading; saying so
    // keeps a "read until the end" loop from spinning forever.
    if (!file) return 1;
    std::lock_guard lock(file->mutex);
    return !file->reading || file->peek() < 0 ? 1 : 0;
}

int rt_seqfile_close(int number) {
    std::shared_ptr<SeqFile> file = table().take(number);
    if (!file) return 0;
    std::lock_guard lock(file->mutex);
    file->flush();
    // close can report a write the kernel deferred (network file systems)
    const bool closed = rt_sys.close(file->fd) == 0;
    file->fd = -1;
    return !file->failed && closed ? 1 : 0;
}
