// rt_tree_walk: the depth-first walk under rt_tree_collect and
// rt_tree_delete. See tree.h.
//
// One frame per folder on the way down holds the folder's listing, read in
// full before its entries are visited (a visitor may remove them). Only the
// folder the walk is in is open; the walk climbs through ".." and checks
// that it arrives in the folder it came from, so that a folder moved away
// meanwhile stops the walk instead of leading it into a stranger's.
#include "runtime/at_path.h"
#include "runtime/control.h"
#include "runtime/os_path.h"
#include "runtime/syscalls.h"
#include "runtime/tree.h"

#include <cerrno>
#include <dirent.h>
#include <sys/sysmacros.h>
#include <unistd.h>

namespace {

constexpr int kFolderFlags = O_PATH | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC;

struct Child {
    std::string name;
    unsigned char type; // d_type of the listing
};

struct Frame {
    RtTreeEntry entry;           // the folder itself
    std::string name;            // its name in its parent (the root: as opened)
    std::vector<Child> children; // its listing
    size_t next = 0;             // the next child to visit
    bool complete = true;        // nothing in it stays
};

void describe_from_stat(RtTreeEntry* e, const struct stat& st) {
    e->mode = st.st_mode;
    e->uid = st.st_uid;
    e->gid = st.st_gid;
    e->links = st.st_nlink;
    e->dev = st.st_dev;
    e->ino = st.st_ino;
    e->size = st.st_size;
    e->accessed = st.st_atim;
    e->modified = st.st_mtim;
}

mode_t type_of(unsigned char d_type) {
    switch (d_type) {
    case DT_DIR: return S_IFDIR;
    case DT_REG: return S_IFREG;
    case DT_LNK: return S_IFLNK;
    case DT_FIFO: return S_IFIFO;
    case DT_SOCK: return S_IFSOCK;
    case DT_CHR: return S_IFCHR;
    case DT_BLK: return S_IFBLK;
    default: return 0;
    }
}

// Fills e for child c of the folder fd; an errno when it cannot be stat-ed.
int describe(const RtTreeWalk* w, int fd, const Child& c, RtTreeEntry* e) {
    if (!w->full_stat && c.type != DT_UNKNOWN) {
        e->mode = type_of(c.type);
        return 0;
    }
    struct stat st;
    if (rt_at_lstat(fd, c.name, &st) != 0) return errno;
    describe_from_stat(e, st);
    return 0;
}

// Reads the names of the folder fd (an O_PATH descriptor); 0 or an errno.
int list(int fd, std::vector<Child>* out) {
    const int listing = rt_sys.openat(fd, ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC, 0);
    if (listing < 0) return errno;
    DIR* dir = rt_sys.fdopendir(listing);
    if (!dir) {
        const int err = errno;
        rt_sys.close(listing);
        return err;
    }
    int err = 0;
    for (;;) {
        errno = 0;
        const dirent* d = rt_sys.readdir(dir);
        if (!d) {
            err = errno;
            break;
        }
        const std::string_view name(d->d_name);
        if (name != "." && name != "..") out->push_back({std::string(name), d->d_type});
    }
    rt_sys.closedir(dir);
    return err;
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

std::string below(const std::string& folder, const std::string& name) {
    return folder.empty() ? name : folder + "/" + name;
}

class Walker {
  public:
    Walker(RtTreeWalk* w) : w_(w) {}
    int run(int top_dirfd, const std::string& top_name, RtTreeEntry root);

  private:
    RtTreeWalk* w_;
    int fd_ = -1;       // the folder the walk is in
    bool kept_ = false; // something was skipped or stays
    std::vector<Frame> stack_;

    int open_folder(int dirfd, Frame* f, const dev_t* parent_dev, int* answer);
    int visit_child(Frame& f);
    int finish_folder(int top_dirfd);
};

// Opens and lists folder f (at dirfd + f->name; parent_dev is its parent's
// device, null for the root); its descriptor, or -1 after the failure was
// put to the caller: *answer is then RtWalkKept or RtWalkHalt.
int Walker::open_folder(int dirfd, Frame* f, const dev_t* parent_dev, int* answer) {
    for (;;) {
        int err = 0;
        const int fd = rt_sys.openat(dirfd, f->name.c_str(), kFolderFlags, 0);
        struct stat st;
        if (fd < 0 || rt_sys.fstat(fd, &st) != 0) {
            err = errno;
        } else if (parent_dev && w_->one_file_system && is_mount_point(fd, *parent_dev)) {
            err = EXDEV;
        } else {
            describe_from_stat(&f->entry, st); // the folder as opened, not as listed
            if (w_->enter) w_->enter(w_, fd, f->entry);
            err = list(fd, &f->children);
            if (!err) return fd;
        }
        if (fd >= 0) rt_sys.close(fd);
        f->children.clear();
        const int a = rt_tree_ask(w_, f->entry, err);
        if (a == RtTreeRetry && err != EXDEV) continue;
        if (w_->unlisted) w_->unlisted(w_, f->entry, err);
        kept_ = true;
        *answer = a == RtTreeStop ? RtWalkHalt : RtWalkKept;
        return -1;
    }
}

// Visits the next child of f, the folder fd_ is in; enters it when it is a
// folder to enter. An RtTree… result to end the walk with, or -1 to go on.
int Walker::visit_child(Frame& f) {
    const Child& c = f.children[f.next++];
    if (!rt_control_go_on(w_->control)) return RtTreeCancelled;
    RtTreeEntry e;
    e.path = below(f.entry.path, c.name);
    for (int err; (err = describe(w_, fd_, c, &e)) != 0;) {
        if (err == ENOENT) return -1; // gone since the listing: nothing to do
        const int a = rt_tree_ask(w_, e, err);
        if (a == RtTreeStop) return RtTreeStopped;
        if (a == RtTreeSkip) {
            f.complete = false;
            kept_ = true;
            return -1;
        }
    }
    const int r = w_->entry(w_, fd_, c.name.c_str(), e);
    if (r == RtWalkHalt) return RtTreeStopped;
    if (r == RtWalkKept) {
        f.complete = false;
        kept_ = true;
    }
    if (r != RtWalkEnter || !S_ISDIR(e.mode)) return -1;
    Frame child;
    child.entry = std::move(e);
    child.name = c.name;
    int answer = 0;
    const int child_fd = open_folder(fd_, &child, &f.entry.dev, &answer);
    if (child_fd < 0) {
        f.complete = false;
        return answer == RtWalkHalt ? RtTreeStopped : -1;
    }
    rt_sys.close(fd_);
    fd_ = child_fd;
    stack_.push_back(std::move(child)); // f is not used after this
    return -1;
}

// The folder on top of the stack is done: climbs to its parent and lets the
// visitor leave it. An RtTree… result to end the walk with, or -1.
int Walker::finish_folder(int top_dirfd) {
    Frame done = std::move(stack_.back());
    stack_.pop_back();
    int parent = top_dirfd;
    if (stack_.empty()) {
        rt_sys.close(fd_);
        fd_ = -1;
    } else {
        const RtTreeEntry& expected = stack_.back().entry;
        parent = rt_sys.openat(fd_, "..", O_PATH | O_DIRECTORY | O_CLOEXEC, 0);
        rt_sys.close(fd_);
        fd_ = parent;
        struct stat st;
        if (parent < 0 || rt_sys.fstat(parent, &st) != 0 || st.st_dev != expected.dev ||
            st.st_ino != expected.ino) {
            // moved away meanwhile: what is left of it cannot be reached
            kept_ = true;
            return rt_tree_ask(w_, expected, ENOENT) == RtTreeStop ? RtTreeStopped
                                                                   : RtTreeIncomplete;
        }
    }
    const int r = w_->leave ? w_->leave(w_, parent, done.name.c_str(), done.entry, done.complete)
                            : (done.complete ? RtWalkDone : RtWalkKept);
    if (r == RtWalkHalt) return RtTreeStopped;
    if (r == RtWalkKept) {
        kept_ = true;
        if (!stack_.empty()) stack_.back().complete = false;
    }
    return -1;
}

int Walker::run(int top_dirfd, const std::string& top_name, RtTreeEntry root) {
    if (!rt_control_go_on(w_->control)) return RtTreeCancelled;
    const int r = w_->entry(w_, top_dirfd, top_name.c_str(), root);
    if (r == RtWalkHalt) return RtTreeStopped;
    if (r == RtWalkKept) return RtTreeIncomplete;
    if (r != RtWalkEnter || !S_ISDIR(root.mode)) return RtTreeComplete;
    Frame top;
    top.entry = std::move(root);
    top.name = top_name;
    int answer = 0;
    fd_ = open_folder(top_dirfd, &top, nullptr, &answer);
    if (fd_ < 0) return answer == RtWalkHalt ? RtTreeStopped : RtTreeIncomplete;
    stack_.push_back(std::move(top));
    int result = -1;
    while (result < 0 && !stack_.empty()) {
        Frame& f = stack_.back();
        result = f.next < f.children.size() ? visit_child(f) : finish_folder(top_dirfd);
    }
    if (fd_ >= 0) rt_sys.close(fd_);
    if (result >= 0) return result;
    return kept_ ? RtTreeIncomplete : RtTreeComplete;
}

} // namespace

std::string rt_tree_path(const RtTreeWalk* w, const RtTreeEntry& e) {
    return rt_at_path_join(w->root, e.path);
}

int rt_tree_ask(const RtTreeWalk* w, const RtTreeEntry& e, int error) {
    return w->failed ? w->failed(rt_tree_path(w, e), error, w->user) : RtTreeSkip;
}

int rt_tree_walk(const std::string& root, RtTreeWalk* w) {
    w->root = rt_os_strip_slashes(root);
    RtTreeEntry e;
    RtAtPath top;
    for (;;) {
        struct stat st;
        if (rt_at_path_open(&top, w->root) && rt_at_lstat(top.dirfd, top.name, &st) == 0) {
            describe_from_stat(&e, st);
            break;
        }
        const int a = rt_tree_ask(w, e, errno);
        if (a == RtTreeStop) return RtTreeStopped;
        if (a == RtTreeSkip) return RtTreeIncomplete;
    }
    Walker walker(w);
    return walker.run(top.dirfd, top.name, std::move(e));
}
