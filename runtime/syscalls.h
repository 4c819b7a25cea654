// The runtime's door to the operating system: one table of function pointers.
//
// Every file-system call that can fail in an interesting way (open, read,
// write, rename, unlink, mkdir, rmdir, stat, chmod, statvfs) goes through
// `rt_sys` instead of calling libc directly. Normally the table holds the real
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
