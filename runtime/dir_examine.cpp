// Folder enumeration with numbered objects: see files.h.
#include "runtime/entry_info.h"
#include "runtime/files.h"
#include "runtime/numbered.h"
#include "runtime/syscalls.h"
#include "runtime/text.h"

#include <cerrno>
#include <dirent.h>
#include <fcntl.h>
#include <fnmatch.h>

namespace {

struct Enumeration {
    std::mutex mutex;       // one user at a time even if callers share a number
    DIR* dir = nullptr;     // owned; closed with the object
    std::string pattern;    // fnmatch pattern; empty matches everything
    bool skip_dots = false; // the folder is "/", which lists no "." and ".."
    bool has_entry = false; // name and info describe a current entry
    std::wstring name;
    RtEntryInfo info;

    ~Enumeration() {
        if (dir) rt_sys.closedir(dir);
    }
};

RtNumberedTable<Enumeration>& table() {
    // Never destroyed: worker threads may still enumerate while the process exits.
    static auto* t = new RtNumberedTable<Enumeration>;
    return *t;
}

// The top of the tree is its own parent.
bool is_root(int fd) {
    struct stat self {
    }, parent{};
    return rt_sys.fstat(fd, &self) == 0 && rt_sys.fstatat(fd, "..", &parent, 0) == 0 &&
           self.st_dev == parent.st_dev && self.st_ino == parent.st_ino;
}

// An entry that readdir lists but statx cannot read (a folder with read but
// without search permission): what the listing itself says.
RtEntryInfo info_from_listing(const dirent& d) {
    RtEntryInfo info;
    info.type = d.d_type == DT_DIR ? RtEntryFolder : RtEntryFile;
    int bits = 0;
    if (d.d_name[0] == '.' && std::string_view(d.d_name) != "." &&
        std::string_view(d.d_name) != "..")
        bits |= RtAttrHidden;
    if (d.d_type == DT_DIR) bits |= RtAttrFolder;
    if (d.d_type == DT_LNK) bits |= RtAttrLink;
    if (d.d_type == DT_CHR || d.d_type == DT_BLK || d.d_type == DT_SOCK || d.d_type == DT_FIFO)
        bits |= RtAttrSystem;
    info.attributes = bits ? bits : RtAttrNormal;
    return info;
}

bool wanted(const Enumeration& e, const char* name) {
    const std::string_view n(name);
    if (e.skip_dots && (n == "." || n == "..")) return false;
    return e.pattern.empty() || fnmatch(e.pattern.c_str(), name, 0) == 0;
}

// Reads entries until one is wanted and still there; false at the end.
bool fetch_next(Enumeration& e) {
    while (const dirent* d = rt_sys.readdir(e.dir)) {
        if (!wanted(e, d->d_name)) continue;
        if (!rt_entry_info(dirfd(e.dir), d->d_name, d->d_name, &e.info)) {
            if (errno == ENOENT) continue; // removed since the listing was read
            e.info = info_from_listing(*d);
        }
        e.name = rt_text_from_os(d->d_name);
        return true;
    }
    return false;
}

std::shared_ptr<Enumeration> open_enumeration(const std::wstring& folder,
                                              const std::wstring& pattern) {
    const std::string path = folder.empty() ? "." : rt_text_to_os(folder);
    const int fd = rt_sys.open(path.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC, 0);
    if (fd < 0) return nullptr;
    auto e = std::make_shared<Enumeration>();
    e->skip_dots = is_root(fd);
    e->dir = rt_sys.fdopendir(fd);
    if (!e->dir) {
        rt_sys.close(fd);
        return nullptr;
    }
    if (!pattern.empty() && pattern != L"*.*") e->pattern = rt_text_to_os(pattern);
    return e;
}

} // namespace

int rt_dir_examine(int number, const std::wstring& folder, const std::wstring& pattern) {
    if (!rt_number_valid(number)) return 0;
    table().take(number); // the old enumeration ends even when the new one fails
    std::shared_ptr<Enumeration> e = open_enumeration(folder, pattern);
    if (!e) return 0;
    const int used = table().put(number, std::move(e));
    return number == kRtAutoNumber ? used : 1;
}

int rt_dir_next(int number) {
    std::shared_ptr<Enumeration> e = table().get(number);
    if (!e) return 0;
    std::lock_guard lock(e->mutex);
    e->has_entry = e->dir && fetch_next(*e);
    return e->has_entry ? 1 : 0;
}

bool rt_dir_entry_info(int number, RtEntryInfo* info) {
    std::shared_ptr<Enumeration> e = table().get(number);
    if (!e) return false;
    std::lock_guard lock(e->mutex);
    if (!e->has_entry) return false;
    *info = e->info;
    return true;
}

std::wstring rt_dir_entry_name(int number) {
    std::shared_ptr<Enumeration> e = table().get(number);
    if (!e) return {};
    std::lock_guard lock(e->mutex);
    return e->has_entry ? e->name : std::wstring();
}

int rt_dir_entry_type(int number) {
    RtEntryInfo info;
    return rt_dir_entry_info(number, &info) ? info.type : 0;
}

int64_t rt_dir_entry_size(int number) {
    RtEntryInfo info;
    return rt_dir_entry_info(number, &info) ? info.size : 0;
}

int rt_dir_entry_attributes(int number) {
    RtEntryInfo info;
    return rt_dir_entry_info(number, &info) ? info.attributes : 0;
}

int rt_dir_finish(int number) {
    return table().take(number) ? 1 : 0;
}
