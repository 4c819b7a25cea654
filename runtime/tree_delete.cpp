// rt_tree_delete: removing a tree entry by entry under a control, every
// failure put to the caller. See tree.h.
#include "runtime/control.h"
#include "runtime/os_path.h"
#include "runtime/syscalls.h"
#include "runtime/tree.h"

#include <cerrno>
#include <fcntl.h>
#include <unistd.h>

namespace {

// Unlinks (how = 0) or removes the folder (AT_REMOVEDIR) name of dirfd,
// asking again as long as the caller wants it tried again.
int remove_entry(RtTreeWalk* w, int dirfd, const char* name, const RtTreeEntry& e, int how) {
    for (;;) {
        if (rt_sys.unlinkat(dirfd, name, how) == 0 || errno == ENOENT) {
            rt_control_add_items(w->control, 1);
            return RtWalkDone; // gone, as asked (also when someone else was quicker)
        }
        const int answer = rt_tree_ask(w, e, errno);
        if (answer == RtTreeStop) return RtWalkHalt;
        if (answer == RtTreeSkip) return RtWalkKept;
    }
}

int entry(RtTreeWalk* w, int dirfd, const char* name, const RtTreeEntry& e) {
    if (S_ISDIR(e.mode)) return RtWalkEnter;
    return remove_entry(w, dirfd, name, e, 0);
}

// "." names exactly the folder behind fd, so the change cannot land on
// anything a link points to.
void enter(RtTreeWalk* w, int fd, const RtTreeEntry& folder) {
    const int flags = *static_cast<const int*>(w->visitor);
    if ((flags & RtTreeForce) && (folder.mode & S_IRWXU) != S_IRWXU)
        rt_sys.fchmodat(fd, ".", (folder.mode & 07777) | S_IRWXU, 0);
}

// A folder that still holds something stays; its contents were reported.
int leave(RtTreeWalk* w, int parentfd, const char* name, const RtTreeEntry& folder, bool complete) {
    if (!complete) return RtWalkKept;
    return remove_entry(w, parentfd, name, folder, AT_REMOVEDIR);
}

} // namespace

int rt_tree_delete(const std::string& root, int flags, RtControl* control, RtTreeFailureFn failed,
                   void* user) {
    RtTreeWalk w;
    w.entry = entry;
    w.enter = enter;
    w.leave = leave;
    w.visitor = &flags;
    w.control = control;
    w.failed = failed;
    w.user = user;
    w.one_file_system = true;
    const std::string path = rt_os_strip_slashes(root);
    const std::string_view base = rt_os_base_name(path);
    // Never the whole system; and a folder named "." or ".." cannot be
    // removed, so emptying it would destroy its contents for nothing.
    if (path.empty() || path == "/" || base == "." || base == "..") {
        w.root = path;
        rt_tree_ask(&w, RtTreeEntry{}, EINVAL);
        return RtTreeIncomplete;
    }
    return rt_tree_walk(path, &w);
}
