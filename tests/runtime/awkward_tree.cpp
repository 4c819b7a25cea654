// Builds the awkward test tree and emulates permissions: see awkward_tree.h.
#include "awkward_tree.h"

#include <cerrno>
#include <fcntl.h>
#include <fstream>
#include <stdexcept>
#include <sys/stat.h>
#include <unistd.h>

namespace {

void check(int rc, const std::string& what) {
    if (rc != 0) throw std::runtime_error("awkward tree: " + what);
}

void write_file(const std::string& path, const std::string& bytes) {
    std::ofstream f(path, std::ios::binary);
    f << bytes;
    if (!f) throw std::runtime_error("awkward tree: write " + path);
}

} // namespace

AwkwardTree make_awkward_tree(const std::string& base) {
    using namespace awkward;
    AwkwardTree t{base + "/tree", base + "/outside", {}, {}};
    const auto at = [&](const std::string& name) { return t.root + "/" + name; };
    check(mkdir(t.root.c_str(), 0755), "root");
    check(mkdir(t.outside.c_str(), 0755), "outside");
    write_file(t.outside + "/" + kOutsideFile, "keep me");
    for (const std::string& name :
         {kBlank, kUmlaut, kLineFeed, kBadUtf8, kLongName, kHidden, kReadOnlyFile, kLockedFile})
        write_file(at(name), name == kBlank ? "blank" : "x");
    check(mkfifo(at(kFifo).c_str(), 0644), "fifo");
    check(symlink("does-not-exist", at(kBrokenLink).c_str()), "broken link");
    check(symlink(kLoopLink.c_str(), at(kLoopLink).c_str()), "loop");
    check(symlink(kBlank.c_str(), at(kFileLink).c_str()), "file link");
    check(symlink(t.outside.c_str(), at(kOutsideLink).c_str()), "outside link");
    check(mkdir(at(kSub).c_str(), 0755) || mkdir(at(kSub + "/deeper").c_str(), 0755), "sub");
    write_file(at(kSub + "/deeper/leaf.txt"), "leaf");
    write_file(at(kSub + "/notes.txt"), "notes");
    check(mkdir(at(kLockedFolder).c_str(), 0755), "locked folder");
    write_file(at(kLockedFolder + "/inside.txt"), "inside");
    check(mkdir(at(kReadOnlyFolder).c_str(), 0755), "read-only folder");
    write_file(at(kReadOnlyFolder + "/kept.txt"), "kept");
    check(mkdir(at(kReadOnlyFolder + "/inner").c_str(), 0755), "inner");
    write_file(at(kReadOnlyFolder + "/inner/x.txt"), "x");
    // permissions last, innermost first
    check(chmod(at(kReadOnlyFolder + "/inner").c_str(), 0555), "chmod inner");
    check(chmod(at(kReadOnlyFolder).c_str(), 0555), "chmod read-only folder");
    check(chmod(at(kLockedFolder).c_str(), 0), "chmod locked folder");
    check(chmod(at(kReadOnlyFile).c_str(), 0444), "chmod read-only file");
    check(chmod(at(kLockedFile).c_str(), 0), "chmod locked file");
    t.files = {kBlank,        kUmlaut,     kLineFeed, kBadUtf8,    kLongName, kHidden,
               kReadOnlyFile, kLockedFile, kFifo,     kBrokenLink, kLoopLink, kFileLink};
    t.folders = {kOutsideLink, kSub, kLockedFolder, kReadOnlyFolder};
    return t;
}

// ---- permission emulation ----

namespace {

mode_t mode_at(int dirfd, const char* path) {
    struct stat st {};
    const RtSyscalls& real = rt_syscalls_real();
    if (real.fstatat(dirfd, path, &st, AT_SYMLINK_NOFOLLOW | AT_EMPTY_PATH) != 0) return 0777;
    return st.st_mode;
}

bool is_self_or_parent(const char* path) {
    return std::string(path) == "." || std::string(path) == "..";
}

int refuse() {
    errno = EACCES;
    return -1;
}

// Entering needs search permission on the folder holding the entry; listing
// needs read permission on the folder listed.
int emulated_openat(int dirfd, const char* path, int flags, mode_t mode) {
    if (!is_self_or_parent(path) && !(mode_at(dirfd, "") & S_IXUSR)) return refuse();
    const mode_t target = mode_at(dirfd, path);
    if (!(flags & O_PATH) && S_ISDIR(target) && !(target & S_IRUSR)) return refuse();
    return rt_syscalls_real().openat(dirfd, path, flags, mode);
}

int emulated_open(const char* path, int flags, mode_t mode) {
    const mode_t target = mode_at(AT_FDCWD, path);
    if (!(flags & O_PATH) && S_ISDIR(target) && !(target & S_IRUSR)) return refuse();
    return rt_syscalls_real().open(path, flags, mode);
}

// Removing an entry needs write and search permission on its folder.
int emulated_unlinkat(int dirfd, const char* path, int flags) {
    if ((mode_at(dirfd, "") & (S_IWUSR | S_IXUSR)) != (S_IWUSR | S_IXUSR)) return refuse();
    return rt_syscalls_real().unlinkat(dirfd, path, flags);
}

} // namespace

EmulatedPermissions::EmulatedPermissions() {
    rt_sys.openat = emulated_openat;
    rt_sys.open = emulated_open;
    rt_sys.unlinkat = emulated_unlinkat;
}

EmulatedPermissions::~EmulatedPermissions() = default;
