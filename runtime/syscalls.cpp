// The real system calls behind rt_sys: see syscalls.h.
#include "runtime/syscalls.h"

#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <linux/fs.h>
#include <sched.h>
#include <signal.h>
#include <sys/eventfd.h>
#include <sys/inotify.h>
#include <sys/ioctl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <sys/xattr.h>
#include <unistd.h>

namespace {

// open and openat are variadic in libc; these fix the mode argument so that
// the table entries have one plain signature.
int real_open(const char* path, int flags, mode_t mode) {
    return ::open(path, flags, mode);
}
int real_openat(int dirfd, const char* path, int flags, mode_t mode) {
    return ::openat(dirfd, path, flags, mode);
}
int real_fcntl(int fd, int cmd, int arg) {
    return ::fcntl(fd, cmd, arg);
}

const RtSyscalls kReal = {
    .open = real_open,
    .openat = real_openat,
    .close = ::close,
    .read = ::read,
    .write = ::write,
    .rename = ::rename,
    .renameat2 = ::renameat2,
    .unlink = ::unlink,
    .unlinkat = ::unlinkat,
    .mkdir = ::mkdir,
    .rmdir = ::rmdir,
    .statvfs = ::statvfs,
    .fstat = ::fstat,
    .fstatat = ::fstatat,
    .statx = ::statx,
    .fchmod = ::fchmod,
    .fchmodat = ::fchmodat,
    .fsync = ::fsync,
    .fchown = ::fchown,
    .stat = ::stat,
    .lstat = ::lstat,
    .access = ::access,
    .readlink = ::readlink,
    .symlink = ::symlink,
    .link = ::link,
    .futimens = ::futimens,
    .fcntl = real_fcntl,
    .realpath = ::realpath,
    .getcwd = ::getcwd,
    .chdir = ::chdir,
    .opendir = ::opendir,
    .fdopendir = ::fdopendir,
    .readdir = ::readdir,
    .closedir = ::closedir,
    .copy_file_range = ::copy_file_range,
    .getpid = ::getpid,
    .setsid = ::setsid,
    .waitpid = ::waitpid,
    .posix_spawn = ::posix_spawn,
    .posix_spawnp = ::posix_spawnp,
    .sched_yield = ::sched_yield,
    .nanosleep = ::nanosleep,
    .poll = ::poll,
    .inotify_init1 = ::inotify_init1,
    .inotify_add_watch = ::inotify_add_watch,
    .eventfd = ::eventfd,
    .kill = ::kill,
    .exit_now = ::_exit,
    .ftruncate = ::ftruncate,
    .lseek = ::lseek,
    .setpriority =
        [](int which, id_t who, int priority) {
            return ::setpriority(static_cast<__priority_which_t>(which), who, priority);
        },
    .gettid = ::gettid,
    .getuid = ::getuid,
    .linkat = ::linkat,
    .symlinkat = ::symlinkat,
    .readlinkat = ::readlinkat,
    .mkdirat = ::mkdirat,
    .mknodat = ::mknodat,
    .fchownat = ::fchownat,
    .utimensat = ::utimensat,
    .ficlone = [](int target_fd, int source_fd) { return ::ioctl(target_fd, FICLONE, source_fd); },
    .fdatasync = ::fdatasync,
    .posix_fadvise = ::posix_fadvise,
    .flistxattr = ::flistxattr,
    .fgetxattr = ::fgetxattr,
    .fsetxattr = ::fsetxattr,
    .geteuid = ::geteuid,
    .pwrite = ::pwrite,
    .sync_file_range = ::sync_file_range,
};

} // namespace

RtSyscalls rt_sys = kReal;

const RtSyscalls& rt_syscalls_real() {
    return kReal;
}
