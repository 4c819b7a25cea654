// rt_dir_read: a whole folder in one pass, and rt_file_read_all. See files.h.
//
// The listing of a pane reads tens of thousands of entries; the numbered
// enumeration costs a table lookup and a lock per field of each entry and a
// time-zone conversion per date. Here each entry costs its statx and its name
// conversion, and the wall-clock offset is remembered per hour of file times.
#include "runtime/entry_info.h"
#include "runtime/files.h"
#include "runtime/syscalls.h"
#include "runtime/text.h"
#include "runtime/threads.h"
#include "runtime/wall_clock.h"

#include <algorithm>
#include <cerrno>
#include <dirent.h>
#include <fcntl.h>
#include <iterator>
#include <string_view>

namespace {

bool is_root(int fd) {
    struct stat self {
    }, parent{};
    return rt_sys.fstat(fd, &self) == 0 && rt_sys.fstatat(fd, "..", &parent, 0) == 0 &&
           self.st_dev == parent.st_dev && self.st_ino == parent.st_ino;
}

// An entry readdir lists but statx cannot read: what the listing says.
RtEntryInfo info_from_listing(const dirent& d) {
    const std::string_view n(d.d_name);
    RtEntryInfo info;
    info.type = d.d_type == DT_DIR ? RtEntryFolder : RtEntryFile;
    int bits = 0;
    if (n[0] == '.' && n != "." && n != "..") bits |= RtAttrHidden;
    if (d.d_type == DT_DIR) bits |= RtAttrFolder;
    if (d.d_type == DT_LNK) bits |= RtAttrLink;
    if (d.d_type == DT_CHR || d.d_type == DT_BLK || d.d_type == DT_SOCK || d.d_type == DT_FIFO)
        bits |= RtAttrSystem;
    info.attributes = bits ? bits : RtAttrNormal;
    return info;
}

} // namespace

namespace {

constexpr size_t kSplitAbove = 4096; // entries from which a second thread shares the statx work

struct RawEntry {
    std::string name;
    unsigned char type; // d_type, for entries statx cannot read
};

// What the listing itself says of a raw entry.
RtEntryInfo info_from_raw(const RawEntry& r) {
    dirent d{};
    d.d_type = r.type;
    r.name.copy(d.d_name, std::min(r.name.size(), sizeof d.d_name - 1));
    return info_from_listing(d);
}

// The entries [from, to) of raw, stat-ed and converted into out; an entry
// gone since the listing was read gets an empty name.
struct StatRange {
    int dirfd = -1;
    const std::vector<RawEntry>* raw = nullptr;
    std::vector<RtDirEntry>* out = nullptr;
    size_t from = 0, to = 0;
    const std::atomic<int>* cancel = nullptr;

    void Run() const {
        RtWallClock clock;
        RtEntryInfo info;
        for (size_t i = from; i < to; ++i) {
            if (cancel && cancel->load(std::memory_order_relaxed)) return;
            const RawEntry& r = (*raw)[i];
            if (!rt_entry_info(dirfd, r.name.c_str(), r.name, &info)) {
                if (errno == ENOENT) continue; // removed since the listing was read
                info = info_from_raw(r);
            }
            RtDirEntry& e = (*out)[i];
            e.name = rt_text_from_os(r.name);
            e.type = info.type;
            e.size = info.size;
            e.attributes = info.attributes;
            e.modified = clock.Convert(info.modified);
        }
    }
    static void OnThread(intptr_t self) { reinterpret_cast<const StatRange*>(self)->Run(); }
};

bool cancelled(const std::atomic<int>* cancel) {
    return cancel && cancel->load(std::memory_order_relaxed);
}

} // namespace

bool rt_dir_read(const std::wstring& folder, std::vector<RtDirEntry>* out,
                 const std::atomic<int>* cancel) {
    const std::string path = folder.empty() ? "." : rt_text_to_os(folder);
    const int fd = rt_sys.open(path.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC, 0);
    if (fd < 0) return false;
    const bool root = is_root(fd);
    DIR* dir = rt_sys.fdopendir(fd);
    if (!dir) {
        rt_sys.close(fd);
        return false;
    }
    // Names first (cheap), then one statx per entry, shared by two threads
    // in a large folder: the kernel's inode lookups are the cost.
    std::vector<RawEntry> raw;
    while (const dirent* d = rt_sys.readdir(dir)) {
        const std::string_view n(d->d_name);
        if (root && (n == "." || n == "..")) continue;
        raw.push_back({std::string(n), d->d_type});
    }
    std::vector<RtDirEntry> entries(raw.size());
    StatRange whole{dirfd(dir), &raw, &entries, 0, raw.size(), cancel};
    if (raw.size() > kSplitAbove) {
        StatRange second = whole;
        whole.to = second.from = raw.size() / 2;
        const int helper =
            rt_thread_create(StatRange::OnThread, reinterpret_cast<intptr_t>(&second));
        whole.Run();
        if (helper)
            rt_thread_wait(helper);
        else
            second.Run();
    } else {
        whole.Run();
    }
    rt_sys.closedir(dir);
    if (cancelled(cancel)) return false;
    // The entries stay where the threads wrote them: a second vector of a
    // large folder's entries is megabytes of fresh pages to fill.
    std::erase_if(entries, [](const RtDirEntry& e) { return e.name.empty(); });
    if (out->empty()) {
        out->swap(entries);
    } else {
        out->reserve(out->size() + entries.size());
        std::move(entries.begin(), entries.end(), std::back_inserter(*out));
    }
    return true;
}

bool rt_file_read_all(const std::wstring& path, std::string* out) {
    const int fd = rt_sys.open(rt_text_to_os(path).c_str(), O_RDONLY | O_CLOEXEC, 0);
    if (fd < 0) return false;
    char buffer[4096];
    bool ok = true;
    for (;;) {
        const ssize_t n = rt_sys.read(fd, buffer, sizeof buffer);
        if (n > 0) {
            out->append(buffer, static_cast<size_t>(n));
        } else {
            ok = n == 0;
            if (n < 0 && errno == EINTR) continue;
            break;
        }
    }
    rt_sys.close(fd);
    return ok;
}
