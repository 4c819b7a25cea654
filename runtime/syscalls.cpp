// The real system calls behind rt_sys: see syscalls.h.
#include "runtime/syscalls.h"

#include <cstdio>
#include <fcntl.h>
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
};

} // namespace

RtSyscalls rt_sys = kReal;

const RtSyscalls& rt_syscalls_real() {
    return kReal;
}
