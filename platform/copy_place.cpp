// The last step of a copy: the temporary gets the target's name, replacing
// only what the caller agreed to. See copy.h.
#include "platform/copy_internal.h"
#include "runtime/syscalls.h"

#include <fcntl.h>
#include <unistd.h>

namespace {

// The file system cannot rename with flags (old kernels, some network and
// FUSE file systems).
bool flags_unsupported(int err) {
    return err == EINVAL || err == ENOSYS || err == EOPNOTSUPP;
}

// The file system has no hard links (FAT, exFAT).
bool links_unsupported(int err) {
    return err == EPERM || err == EOPNOTSUPP || err == ENOSYS || err == EMLINK;
}

bool rename_at(PfCopyRun* run, const std::string& from, const std::string& to, unsigned flags) {
    const int d = run->to.dirfd;
    return rt_sys.renameat2(d, from.c_str(), d, to.c_str(), flags) == 0;
}

bool target_exists(PfCopyRun* run) {
    pf_copy_discard(run);
    return run->fail(PfCopyTargetExists, PfStepReplace, EEXIST);
}

// The name must be free. A rename that refuses to replace is atomic; where
// the file system lacks it, a hard link is just as sure (it fails when the
// name is taken), and the temporary name is dropped after it.
bool place_new(PfCopyRun* run) {
    const int d = run->to.dirfd;
    const std::string& name = run->to.name;
    if (rename_at(run, run->temp, name, RENAME_NOREPLACE)) return true;
    const int rename_error = errno;
    if (rename_error == EEXIST) return target_exists(run);
    if (rt_sys.linkat(d, run->temp.c_str(), d, name.c_str(), 0) == 0) {
        pf_copy_discard(run); // the copy lives on under its name
        return true;
    }
    const int link_error = errno;
    if (link_error == EEXIST) return target_exists(run);
    // the rename's reason, unless it only said that it cannot do this
    int err = flags_unsupported(rename_error) ? link_error : rename_error;
    if (flags_unsupported(rename_error) && links_unsupported(link_error)) {
        // Neither way exists here: look, then rename. The moment between is
        // the best such a file system allows.
        struct stat st;
        if (rt_at_lstat(d, name, &st) == 0) return target_exists(run);
        if (rename_at(run, run->temp, name, 0)) return true;
        err = errno;
    }
    pf_copy_discard(run);
    return run->fail(PfCopyFailed, PfStepReplace, err);
}

bool target_changed(PfCopyRun* run) {
    pf_copy_discard(run);
    return run->fail(PfCopyTargetChanged, PfStepReplace, EEXIST);
}

bool replace_failed(PfCopyRun* run, int err) {
    pf_copy_discard(run);
    return run->fail(PfCopyFailed, PfStepReplace, err);
}

// Only the agreed file may go. The two names are exchanged in one step, and
// what came out under the temporary name is looked at: the agreed file is
// removed, anything else gets its name back. So a file written to the name
// in the moment between the last look and the rename is never lost. Where
// the file system cannot exchange, the last look comes right before the
// rename.
bool place_exactly(PfCopyRun* run) {
    const int d = run->to.dirfd;
    const std::string& name = run->to.name;
    const PfCopyIdentity& agreed = run->options.agreed;
    struct stat st;
    if (rt_at_lstat(d, name, &st) != 0) {
        if (errno == ENOENT) return place_new(run); // gone: nothing to replace
        return replace_failed(run, errno);
    }
    if (!pf_copy_same(agreed, st)) return target_changed(run);
    if (S_ISDIR(st.st_mode)) return replace_failed(run, EISDIR);
    if (!rename_at(run, run->temp, name, RENAME_EXCHANGE)) {
        if (!flags_unsupported(errno)) return replace_failed(run, errno);
        if (rename_at(run, run->temp, name, 0)) return true;
        return replace_failed(run, errno);
    }
    // the temporary name now holds what was at the target
    if (rt_at_lstat(d, run->temp, &st) == 0 && pf_copy_same(agreed, st) &&
        rt_sys.unlinkat(d, run->temp.c_str(), 0) == 0) {
        run->temp.clear();
        return true;
    }
    const int err = errno;
    if (!rename_at(run, run->temp, name, RENAME_EXCHANGE)) {
        // cannot happen short of a vanished disk; the stranger keeps a
        // temporary name rather than being removed
        run->temp.clear();
        return run->fail(PfCopyFailed, PfStepReplace, errno);
    }
    return pf_copy_same(agreed, st) ? replace_failed(run, err) : target_changed(run);
}

} // namespace

void pf_copy_discard(PfCopyRun* run) {
    if (run->temp.empty()) return;
    const int saved = errno;
    rt_sys.unlinkat(run->to.dirfd, run->temp.c_str(), 0);
    run->temp.clear();
    errno = saved;
}

bool pf_copy_same(const PfCopyIdentity& identity, const struct stat& st) {
    return identity.exists && identity.dev == st.st_dev && identity.ino == st.st_ino &&
           identity.size == st.st_size && identity.mtime_sec == st.st_mtim.tv_sec &&
           identity.mtime_nsec == st.st_mtim.tv_nsec;
}

bool pf_copy_place(PfCopyRun* run) {
    const PfCopyOptions& o = run->options;
    const bool ok =
        o.replace == PfReplaceExactly && o.agreed.exists ? place_exactly(run) : place_new(run);
    if (ok) run->temp.clear();
    return ok;
}

PfCopyIdentity pf_copy_identity(const std::string& path) {
    PfCopyIdentity identity;
    RtAtPath at;
    struct stat st;
    if (!rt_at_path_open(&at, path) || rt_at_lstat(at.dirfd, at.name, &st) != 0) return identity;
    identity.exists = true;
    identity.dev = st.st_dev;
    identity.ino = st.st_ino;
    identity.size = st.st_size;
    identity.mtime_sec = st.st_mtim.tv_sec;
    identity.mtime_nsec = st.st_mtim.tv_nsec;
    return identity;
}
