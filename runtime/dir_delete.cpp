// rt_dir_delete: removing a folder tree, or the matching files in it.
//
// The walk never builds a path. It holds one descriptor, the folder it is
// in, opens each subfolder relative to it with O_NOFOLLOW and climbs back up
// through "..", checking that ".." is the very folder it came from (same
// device and inode) before it removes anything there. So depth and path
// length never cut a path short, a symbolic link is always removed as a link
// and never entered, and only one descriptor is open at any depth. A folder
// that is another mounted file system (or a bind mount) is not entered: what
// lies behind it is not part of the tree. The walk is a loop over an explicit
// stack, so depth does not eat the thread's stack either.
#include "runtime/files.h"
#include "runtime/os_path.h"
#include "runtime/syscalls.h"
#include "runtime/text.h"

#include <dirent.h>
#include <fcntl.h>
#include <fnmatch.h>
#include <sys/sysmacros.h>
#include <unistd.h>
#include <vector>

namespace {

constexpr int kFolderFlags = O_PATH | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC;

struct Walk {
    int flags = 0;
    std::string pattern; // empty: remove everything and the folders too
    bool whole() const { return pattern.empty(); }
    bool recursive() const { return flags & RtDeleteRecursive; }
    bool force() const { return flags & RtDeleteForce; }
};

// One folder on the way down.
struct Frame {
    std::string name;                    // its name in the parent folder
    dev_t dev = 0;                       // identity, checked when climbing back
    ino_t ino = 0;                       //
    std::vector<std::string> subfolders; // still to visit
    bool incomplete = false;             // something inside stays
};

bool is_folder_entry(int fd, const dirent& d) {
    if (d.d_type != DT_UNKNOWN) return d.d_type == DT_DIR;
    struct stat st {};
    return rt_sys.fstatat(fd, d.d_name, &st, AT_SYMLINK_NOFOLLOW) == 0 && S_ISDIR(st.st_mode);
}

// A folder is a mount point when the kernel says so, or, on kernels that do
// not tell, when it lies on another device than its parent.
bool is_mount_point(int fd, dev_t parent_dev) {
    struct statx sx {};
    if (rt_sys.statx(fd, "", AT_EMPTY_PATH, STATX_BASIC_STATS, &sx) != 0) return true;
    if (sx.stx_attributes_mask & STATX_ATTR_MOUNT_ROOT)
        return sx.stx_attributes & STATX_ATTR_MOUNT_ROOT;
    return makedev(sx.stx_dev_major, sx.stx_dev_minor) != parent_dev;
}

// Reads the folder open as fd: returns its file and link names (those the
// walk removes) and keeps its subfolder names in the frame. False when the
// folder cannot be listed.
bool list_folder(int fd, const Walk& w, Frame* frame, std::vector<std::string>* files) {
    const int listing = rt_sys.openat(fd, ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC, 0);
    if (listing < 0) return false;
    DIR* dir = rt_sys.fdopendir(listing);
    if (!dir) {
        rt_sys.close(listing);
        return false;
    }
    while (const dirent* d = rt_sys.readdir(dir)) {
        const std::string_view name(d->d_name);
        if (name == "." || name == "..") continue;
        if (is_folder_entry(fd, *d)) {
            if (w.recursive())
                frame->subfolders.emplace_back(name);
            else if (w.whole())
                frame->incomplete = true; // it stays, so the folder stays
        } else if (w.whole() || fnmatch(w.pattern.c_str(), d->d_name, 0) == 0) {
            files->emplace_back(name);
        }
    }
    rt_sys.closedir(dir);
    return true;
}

// Takes over the folder open as fd: gives it owner rwx when forced, lists it
// and removes its files and links. False when it cannot be listed.
bool enter_folder(int fd, const Walk& w, Frame* frame) {
    struct stat st {};
    if (rt_sys.fstat(fd, &st) != 0) return false;
    frame->dev = st.st_dev;
    frame->ino = st.st_ino;
    // "." names exactly the folder behind fd, so the change cannot land
    // anywhere else.
    if (w.force() && (st.st_mode & S_IRWXU) != S_IRWXU)
        rt_sys.fchmodat(fd, ".", (st.st_mode & 07777) | S_IRWXU, 0);
    std::vector<std::string> files;
    if (!list_folder(fd, w, frame, &files)) return false;
    for (const std::string& name : files)
        if (rt_sys.unlinkat(fd, name.c_str(), 0) != 0) frame->incomplete = true;
    return true;
}

// Opens subfolder name of the folder fd for the walk; −1 when it is gone, has
// become a link, or is a mount point.
int open_subfolder(int fd, const std::string& name, dev_t dev) {
    const int child = rt_sys.openat(fd, name.c_str(), kFolderFlags, 0);
    if (child >= 0 && is_mount_point(child, dev)) {
        rt_sys.close(child);
        return -1;
    }
    return child;
}

// Climbs from the folder fd to its parent, which must be expected. Closes
// fd; returns the parent's descriptor or −1.
int climb(int fd, const Frame& expected) {
    const int parent = rt_sys.openat(fd, "..", O_PATH | O_DIRECTORY | O_CLOEXEC, 0);
    rt_sys.close(fd);
    struct stat st {};
    if (parent >= 0 && rt_sys.fstat(parent, &st) == 0 && st.st_dev == expected.dev &&
        st.st_ino == expected.ino)
        return parent;
    if (parent >= 0) rt_sys.close(parent);
    return -1; // moved away under us: stop rather than delete in a stranger
}

enum class Outcome { NotListed, Incomplete, Complete };

// Walks the tree below top (an O_PATH descriptor it takes over).
Outcome walk(int top, const Walk& w) {
    std::vector<Frame> stack(1);
    if (!enter_folder(top, w, &stack.back())) {
        rt_sys.close(top);
        return Outcome::NotListed;
    }
    int fd = top;
    for (;;) {
        if (!stack.back().subfolders.empty()) {
            Frame child;
            child.name = std::move(stack.back().subfolders.back());
            stack.back().subfolders.pop_back();
            const int child_fd = open_subfolder(fd, child.name, stack.back().dev);
            if (child_fd < 0 || !enter_folder(child_fd, w, &child)) {
                if (child_fd >= 0) rt_sys.close(child_fd);
                stack.back().incomplete = true;
                continue;
            }
            rt_sys.close(fd);
            fd = child_fd;
            stack.push_back(std::move(child));
            continue;
        }
        if (stack.size() == 1) break;
        const Frame done = std::move(stack.back());
        stack.pop_back();
        fd = climb(fd, stack.back());
        if (fd < 0) return Outcome::Incomplete;
        if (w.whole() &&
            (done.incomplete || rt_sys.unlinkat(fd, done.name.c_str(), AT_REMOVEDIR) != 0))
            stack.back().incomplete = true;
    }
    rt_sys.close(fd);
    return stack.back().incomplete ? Outcome::Incomplete : Outcome::Complete;
}

// The top is no folder: in the whole-folder case a link to one is removed as
// the link; anything else fails.
int delete_top_non_folder(int parent, const std::string& base, const Walk& w) {
    struct stat st {};
    if (!w.whole() || rt_sys.fstatat(parent, base.c_str(), &st, AT_SYMLINK_NOFOLLOW) != 0 ||
        !S_ISLNK(st.st_mode))
        return 0;
    return rt_sys.unlinkat(parent, base.c_str(), 0) == 0 ? 1 : 0;
}

int delete_in(int parent, const std::string& base, const Walk& w) {
    const int top = rt_sys.openat(parent, base.c_str(), kFolderFlags, 0);
    if (top < 0) return delete_top_non_folder(parent, base, w);
    const Outcome outcome = walk(top, w);
    if (outcome == Outcome::NotListed) return 0;
    if (!w.whole()) return 1;
    if (outcome != Outcome::Complete) return 0;
    return rt_sys.unlinkat(parent, base.c_str(), AT_REMOVEDIR) == 0 ? 1 : 0;
}

} // namespace

int rt_dir_delete(const std::wstring& folder, const std::wstring& pattern, int flags) {
    if (folder.empty()) return 0;
    const std::string path = rt_os_strip_slashes(rt_text_to_os(folder));
    const std::string base(rt_os_base_name(path));
    if (base.empty()) return 0; // "/": never empty the whole system
    Walk w;
    w.flags = flags;
    if (!pattern.empty() && pattern != L"*.*") w.pattern = rt_text_to_os(pattern);
    // rmdir refuses "." and "..", so removing such a folder can only fail;
    // emptying it first would destroy its content for nothing.
    if (w.whole() && (base == "." || base == "..")) return 0;
    const std::string parent_path = rt_os_folder_of(path);
    const int parent = rt_sys.open(parent_path.c_str(), O_PATH | O_DIRECTORY | O_CLOEXEC, 0);
    if (parent < 0) return 0;
    const int result = delete_in(parent, base, w);
    rt_sys.close(parent);
    return result;
}
