// Which trash an entry goes to, and making it ready: see trash.h for the
// rules, trash_internal.h for the call.
#include "platform/trash_internal.h"

#include "runtime/os_moves.h"
#include "runtime/os_path.h"
#include "runtime/syscalls.h"

#include <cerrno>
#include <cstdlib>
#include <fcntl.h>
#include <pwd.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>

namespace {

// The file system and mount a path lies on (links followed).
struct Where {
    dev_t device = 0;
    uint64_t mount = 0;
    bool has_mount = false;
};

bool where_of(const std::string& path, Where* w) {
    struct statx st {};
    if (rt_sys.statx(AT_FDCWD, path.c_str(), AT_NO_AUTOMOUNT, STATX_TYPE | STATX_MNT_ID, &st) != 0)
        return false;
    w->device = makedev(st.stx_dev_major, st.stx_dev_minor);
    w->has_mount = (st.stx_mask & STATX_MNT_ID) != 0;
    w->mount = st.stx_mnt_id;
    return true;
}

// Where the nearest existing folder at or above path lies: a home trash that
// does not exist yet will be made there.
bool nearest_where(std::string path, Where* w) {
    while (!where_of(path, w)) {
        if (path == "/" || path == ".") return false;
        path = rt_os_folder_of(path);
    }
    return true;
}

std::string without_trailing_slashes(std::string path) {
    return rt_os_strip_slashes(std::move(path));
}

// $XDG_DATA_HOME/Trash, or ~/.local/share/Trash; empty without a home.
std::string home_trash() {
    const char* data = std::getenv("XDG_DATA_HOME");
    if (data && data[0] == '/') return without_trailing_slashes(data) + "/Trash";
    const char* home = std::getenv("HOME");
    std::string folder = home && home[0] == '/' ? home : "";
    if (folder.empty()) {
        struct passwd entry {};
        struct passwd* pw = nullptr;
        char buffer[4096];
        if (getpwuid_r(rt_sys.getuid(), &entry, buffer, sizeof buffer, &pw) == 0 && pw &&
            pw->pw_dir && pw->pw_dir[0] == '/')
            folder = pw->pw_dir;
    }
    if (folder.empty()) return {};
    folder = without_trailing_slashes(folder);
    return (folder == "/" ? "" : folder) + "/.local/share/Trash";
}

bool same_place(const Where& a, const Where& b) {
    return a.device == b.device && (!a.has_mount || !b.has_mount || a.mount == b.mount);
}

// Whether path is the top of its mount: the kernel says so where it can,
// else the folder above lies on another device.
bool is_mount_top(const std::string& path) {
    if (path == "/") return true;
    struct statx st {};
    if (rt_sys.statx(AT_FDCWD, path.c_str(), AT_NO_AUTOMOUNT, STATX_TYPE, &st) != 0) return false;
    if (st.stx_attributes_mask & STATX_ATTR_MOUNT_ROOT)
        return (st.stx_attributes & STATX_ATTR_MOUNT_ROOT) != 0;
    struct statx up {};
    const std::string parent = rt_os_folder_of(path);
    return rt_sys.statx(AT_FDCWD, parent.c_str(), AT_NO_AUTOMOUNT, STATX_TYPE, &up) != 0 ||
           up.stx_dev_major != st.stx_dev_major || up.stx_dev_minor != st.stx_dev_minor;
}

std::string mount_top_of(std::string folder) {
    while (folder != "." && !is_mount_top(folder)) folder = rt_os_folder_of(folder);
    return folder;
}

// 0 when path is a folder of ours (no link; with owner, owned by that user),
// made with mode 0700 when it is missing and create is set; else an errno.
int usable_folder(const std::string& path, bool create, bool check_owner) {
    struct stat st {};
    if (rt_sys.lstat(path.c_str(), &st) != 0) {
        if (errno != ENOENT || !create) return errno;
        return rt_sys.mkdir(path.c_str(), 0700) == 0 ? 0 : errno;
    }
    if (!S_ISDIR(st.st_mode)) return ENOTDIR;
    if (check_owner && st.st_uid != rt_sys.getuid()) return EPERM;
    return 0;
}

int prepare(const PfTrashPlace& place, bool create) {
    if (const int e = usable_folder(place.trash + "/files", create, false)) return e;
    return usable_folder(place.trash + "/info", create, false);
}

// $topdir/.Trash/$uid when the administrator's $topdir/.Trash is a folder,
// no link and sticky; else $topdir/.Trash-$uid.
int mount_trash(const std::string& top, bool create, PfTrashPlace* out) {
    const std::string base = top == "/" ? "" : top;
    const std::string uid = std::to_string(rt_sys.getuid());
    const std::string shared = base + "/.Trash";
    struct stat st {};
    if (rt_sys.lstat(shared.c_str(), &st) == 0 && S_ISDIR(st.st_mode) && (st.st_mode & S_ISVTX)) {
        *out = {shared + "/" + uid, top};
        if (usable_folder(out->trash, create, true) == 0 && prepare(*out, create) == 0) return 0;
    }
    *out = {base + "/.Trash-" + uid, top};
    if (const int e = usable_folder(out->trash, create, true)) return e;
    return prepare(*out, create);
}

} // namespace

int pf_trash_place_for(const std::string& real_folder, bool create, PfTrashPlace* out) {
    Where item, home;
    if (!where_of(real_folder, &item)) return errno;
    const std::string home_path = home_trash();
    if (!home_path.empty() && nearest_where(home_path, &home) && same_place(item, home)) {
        if (create && !rt_os_make_folders(home_path, 0700)) return errno;
        *out = {home_path, {}};
        return prepare(*out, create);
    }
    return mount_trash(mount_top_of(real_folder), create, out);
}

std::string pf_trash_topdir_of(const std::string& trash) {
    const std::string above = rt_os_folder_of(trash);
    if (rt_os_base_name(trash).starts_with(".Trash-")) return above;
    if (rt_os_base_name(above) == ".Trash") return rt_os_folder_of(above);
    return above; // the home trash: $XDG_DATA_HOME
}
