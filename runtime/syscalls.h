// The runtime's door to the operating system: one table of function pointers.
//
// Every system call of the runtime and of platform/ (files, folders, links,
// processes, waiting, watching) goes through `rt_sys` instead of calling libc
// directly, and so do the few libc calls that stand for system calls
// (realpath, the folder listing calls). Normally the table holds the real
// calls. A test swaps single entries for a fake that fails on cue (EACCES,
// ENOSPC, EXDEV, a short write) and calls the real entry otherwise, so error
// paths are exercised on real files without special file systems.
//
// The table is a plain global: change it only while no other thread is inside
// a runtime or platform call, and put the real table back afterwards (an
// `RtSyscallsRestore` object does that when it goes out of scope). Platform
// code may call through it as well, so that its tests get the same seam.
#pragma once
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <sys/types.h>

#include <cstdint>
#include <dirent.h>
#include <poll.h>
#include <spawn.h>
#include <time.h>

struct RtSyscalls {
    int (*open)(const char* path, int flags, mode_t mode);
    int (*openat)(int dirfd, const char* path, int flags, mode_t mode);
    int (*close)(int fd);
    ssize_t (*read)(int fd, void* buffer, size_t count);
    ssize_t (*write)(int fd, const void* buffer, size_t count);
    int (*rename)(const char* from, const char* to);
    int (*renameat2)(int from_dirfd, const char* from, int to_dirfd, const char* to,
                     unsigned flags);
    int (*unlink)(const char* path);
    int (*unlinkat)(int dirfd, const char* path, int flags);
    int (*mkdir)(const char* path, mode_t mode);
    int (*rmdir)(const char* path);
    int (*statvfs)(const char* path, struct statvfs* out);
    int (*fstat)(int fd, struct stat* out);
    int (*fstatat)(int dirfd, const char* path, struct stat* out, int flags);
    int (*statx)(int dirfd, const char* path, int flags, unsigned mask, struct statx* out);
    int (*fchmod)(int fd, mode_t mode);
    int (*fchmodat)(int dirfd, const char* path, mode_t mode, int flags);
    int (*fsync)(int fd);
    int (*fchown)(int fd, uid_t owner, gid_t group);
    int (*stat)(const char* path, struct stat* out);
    int (*lstat)(const char* path, struct stat* out);
    int (*access)(const char* path, int how);
    ssize_t (*readlink)(const char* path, char* buffer, size_t size);
    int (*symlink)(const char* target, const char* link);
    int (*link)(const char* existing, const char* name);
    int (*futimens)(int fd, const struct timespec times[2]);
    // fcntl with one int argument (F_GETFL, F_SETFL, F_SETFD, ...)
    int (*fcntl)(int fd, int cmd, int arg);
    char* (*realpath)(const char* path, char* resolved);
    char* (*getcwd)(char* buffer, size_t size);
    int (*chdir)(const char* path);
    DIR* (*opendir)(const char* path);
    DIR* (*fdopendir)(int fd);
    struct dirent* (*readdir)(DIR* dir);
    int (*closedir)(DIR* dir);
    ssize_t (*copy_file_range)(int in, off64_t* in_off, int out, off64_t* out_off, size_t len,
                               unsigned flags);
    pid_t (*getpid)();
    pid_t (*setsid)();
    pid_t (*waitpid)(pid_t pid, int* status, int options);
    int (*posix_spawn)(pid_t* pid, const char* path, const posix_spawn_file_actions_t* actions,
                       const posix_spawnattr_t* attr, char* const argv[], char* const envp[]);
    int (*posix_spawnp)(pid_t* pid, const char* file, const posix_spawn_file_actions_t* actions,
                        const posix_spawnattr_t* attr, char* const argv[], char* const envp[]);
    int (*sched_yield)();
    int (*nanosleep)(const struct timespec* wanted, struct timespec* left);
    int (*poll)(struct pollfd* fds, nfds_t count, int timeout_ms);
    int (*inotify_init1)(int flags);
    int (*inotify_add_watch)(int fd, const char* path, uint32_t mask);
    int (*eventfd)(unsigned initial, int flags);
    int (*kill)(pid_t pid, int signal);
    void (*exit_now)(int code); // _exit: no destructors, no waiting for threads
    int (*ftruncate)(int fd, off_t length);
    off_t (*lseek)(int fd, off_t offset, int whence);
    int (*setpriority)(int which, id_t who, int priority);
    pid_t (*gettid)();
    uid_t (*getuid)();

    // ---- the copy engine: descriptor-relative calls, fast paths, metadata ----
    int (*linkat)(int from_dirfd, const char* from, int to_dirfd, const char* to, int flags);
    int (*symlinkat)(const char* target, int dirfd, const char* link);
    ssize_t (*readlinkat)(int dirfd, const char* path, char* buffer, size_t size);
    int (*mkdirat)(int dirfd, const char* path, mode_t mode);
    int (*mknodat)(int dirfd, const char* path, mode_t mode, dev_t device);
    int (*fchownat)(int dirfd, const char* path, uid_t owner, gid_t group, int flags);
    int (*utimensat)(int dirfd, const char* path, const struct timespec times[2], int flags);
    // ioctl FICLONE: target shares the source's blocks (btrfs, XFS)
    int (*ficlone)(int target_fd, int source_fd);
    int (*fdatasync)(int fd);
    // returns an error number, not -1 (as posix_fadvise does)
    int (*posix_fadvise)(int fd, off_t offset, off_t length, int advice);
    ssize_t (*flistxattr)(int fd, char* list, size_t size);
    ssize_t (*fgetxattr)(int fd, const char* name, void* value, size_t size);
    int (*fsetxattr)(int fd, const char* name, const void* value, size_t size, int flags);
    uid_t (*geteuid)();
    ssize_t (*pwrite)(int fd, const void* buffer, size_t count, off_t offset);
    // starts or awaits the writing back of a range (SYNC_FILE_RANGE_… flags)
    int (*sync_file_range)(int fd, off64_t offset, off64_t length, unsigned flags);
};

// The table every runtime file-system call goes through.
extern RtSyscalls rt_sys;

// The real calls, for fakes that pass most calls on and for restoring.
const RtSyscalls& rt_syscalls_real();

// Puts the real table back when it goes out of scope.
struct RtSyscallsRestore {
    RtSyscallsRestore() = default;
    RtSyscallsRestore(const RtSyscallsRestore&) = delete;
    RtSyscallsRestore& operator=(const RtSyscallsRestore&) = delete;
    ~RtSyscallsRestore() { rt_sys = rt_syscalls_real(); }
};
