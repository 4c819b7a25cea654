// A new file's copy written without a name (O_TMPFILE in the target's
// folder) and given its final name only once complete, by a hard link from
// /proc/self/fd. The link fails when the name is taken, so it is the same
// "never replace what nobody agreed to" check as a rename that refuses to
// replace, and a copy that is killed leaves nothing behind that anyone can
// see: the file dies with its descriptor. It costs the folder one change
// instead of two (no temporary name that is then renamed), which is most of
// what copying many small files costs.
//
// Used for files below a megabyte whose target must be new and whose copy
// is not read back (reading back opens the copy by its temporary name). A
// large file keeps the named temporary: what the folder change saves is
// nothing next to its bytes, and its copy can be watched growing there.
// File systems that cannot make unnamed files, and systems without /proc,
// take the named temporary too.
#include "platform/copy_internal.h"
#include "runtime/os_path.h"
#include "runtime/syscalls.h"

#include <cstdint>
#include <cstdio>
#include <fcntl.h>
#include <unistd.h>

namespace {

constexpr int64_t kUnnamedBelow = 1 << 20;

// Asked once: without /proc no unnamed file could ever be given a name.
bool proc_fds_seen() {
    static const bool seen = rt_sys.access("/proc/self/fd", X_OK) == 0;
    return seen;
}

// The errors with which a file system or kernel says it has no unnamed files.
bool refused(int err) {
    return err == EOPNOTSUPP || err == EISDIR || err == EINVAL || err == ENOSYS;
}

} // namespace

bool pf_copy_unnamed_fits(const PfCopyRun* run, int64_t size) {
    const PfCopyOptions& o = run->options;
    const bool new_target = o.replace == PfReplaceNever || !o.agreed.exists;
    return size < kUnnamedBelow && new_target && !(o.flags & PfCopyVerify) && proc_fds_seen();
}

int pf_copy_open_unnamed(PfCopyRun* run) {
    // The folder the target goes into, as a place to open relative to.
    const bool whole = run->to.dirfd == AT_FDCWD;
    const std::string folder = whole ? rt_os_folder_of(run->to.name) : std::string(".");
    const int fd = rt_at_open(run->to.dirfd, folder, O_TMPFILE | O_WRONLY | O_CLOEXEC, 0600);
    if (fd >= 0) return fd;
    if (refused(errno)) return PfUnnamedRefused;
    run->failed_step(PfStepCreateTarget);
    return PfUnnamedFailed;
}

int pf_copy_name_unnamed(PfCopyRun* run, int fd) {
    char proc[48];
    std::snprintf(proc, sizeof proc, "/proc/self/fd/%d", fd);
    if (rt_sys.linkat(AT_FDCWD, proc, run->to.dirfd, run->to.name.c_str(), AT_SYMLINK_FOLLOW) == 0)
        return 1;
    if (errno == EEXIST) return run->fail(PfCopyTargetExists, PfStepReplace, EEXIST);
    // a file system with unnamed files but no links: the named way
    if (errno == EPERM || errno == EOPNOTSUPP || errno == ENOSYS || errno == EMLINK)
        return PfUnnamedRefused;
    return run->failed_step(PfStepReplace);
}
