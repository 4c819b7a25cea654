// What a copy keeps besides the contents: owner, "user." attributes, mode
// and times, for files, links, special files and folders. See copy.h.
//
// All of it is best effort: FAT refuses owners and modes, many network file
// systems refuse attributes, and a copy onto them must not fail for that, as
// the contents are what the user asked for. Order matters: a change of
// owner clears set-id bits, so the mode comes after it; every change but the
// times touches the change time only, and the times come last.
#include "platform/copy_internal.h"
#include "runtime/syscalls.h"
#include "runtime/tree.h"

#include <fcntl.h>
#include <string_view>
#include <unistd.h>
#include <vector>

namespace {

// Root keeps the owner; anyone may keep the group where they belong to it.
void keep_owner(int fd, const struct stat& st) {
    if (rt_sys.geteuid() == 0)
        rt_sys.fchown(fd, st.st_uid, st.st_gid);
    else
        rt_sys.fchown(fd, static_cast<uid_t>(-1), st.st_gid);
}

// The names of in's attributes, "\0"-separated; empty when it has none.
std::vector<char> attribute_names(int in) {
    std::vector<char> names;
    for (int attempt = 0; attempt < 3; ++attempt) {
        const ssize_t size = rt_sys.flistxattr(in, nullptr, 0);
        if (size <= 0) return {};
        names.resize(static_cast<size_t>(size));
        const ssize_t n = rt_sys.flistxattr(in, names.data(), names.size());
        if (n >= 0) {
            names.resize(static_cast<size_t>(n));
            return names;
        }
        if (errno != ERANGE) return {}; // ERANGE: one was added meanwhile
    }
    return {};
}

// The "user." namespace only: the others hold security labels, access lists
// and capabilities, which a copy must not carry over blindly.
void keep_attributes(int out, int in) {
    const std::vector<char> names = attribute_names(in);
    std::vector<char> value;
    for (size_t at = 0; at < names.size();) {
        const std::string_view name(names.data() + at);
        at += name.size() + 1;
        if (name.substr(0, 5) != "user.") continue;
        const ssize_t size = rt_sys.fgetxattr(in, name.data(), nullptr, 0);
        if (size < 0) continue;
        value.resize(static_cast<size_t>(size));
        const ssize_t n = rt_sys.fgetxattr(in, name.data(), value.data(), value.size());
        if (n >= 0) rt_sys.fsetxattr(out, name.data(), value.data(), static_cast<size_t>(n), 0);
    }
}

void keep_mode_and_times(int fd, const struct stat& st) {
    rt_sys.fchmod(fd, st.st_mode & 07777);
    const struct timespec times[2] = {st.st_atim, st.st_mtim};
    rt_sys.futimens(fd, times);
}

} // namespace

void pf_copy_meta_fd(int out, int in, const struct stat& st) {
    const int saved = errno;
    keep_owner(out, st);
    keep_attributes(out, in);
    keep_mode_and_times(out, st);
    errno = saved;
}

void pf_copy_meta_at(int dirfd, const std::string& name, const struct stat& st) {
    const int saved = errno;
    if (rt_sys.geteuid() == 0)
        rt_sys.fchownat(dirfd, name.c_str(), st.st_uid, st.st_gid, AT_SYMLINK_NOFOLLOW);
    // a link has no mode of its own; fchmodat would change what it points to
    if (!S_ISLNK(st.st_mode)) rt_sys.fchmodat(dirfd, name.c_str(), st.st_mode & 07777, 0);
    const struct timespec times[2] = {st.st_atim, st.st_mtim};
    rt_sys.utimensat(dirfd, name.c_str(), times, AT_SYMLINK_NOFOLLOW);
    errno = saved;
}

int pf_copy_folder_create(const std::string& target, PfCopyResult* result) {
    *result = PfCopyResult{};
    RtAtPath to;
    const auto fail = [&](int error) {
        result->outcome = PfCopyFailed;
        result->step = PfStepCreateTarget;
        result->error = error;
        return PfCopyFailed;
    };
    if (!rt_at_path_open(&to, target)) return fail(errno);
    if (rt_sys.mkdirat(to.dirfd, to.name.c_str(), 0700) == 0) return PfCopyDone;
    const int err = errno;
    struct stat st;
    if (err != EEXIST || rt_at_lstat(to.dirfd, to.name, &st) != 0 || !S_ISDIR(st.st_mode))
        return fail(err);
    result->outcome = PfCopyTargetExists;
    return PfCopyTargetExists;
}

int pf_copy_folder_finish(const std::string& source, const std::string& target,
                          const RtTreeEntry& collected) {
    RtAtPath from, to;
    if (!rt_at_path_open(&to, target)) return 0;
    struct stat st {};
    st.st_mode = collected.mode;
    st.st_uid = collected.uid;
    st.st_gid = collected.gid;
    st.st_atim = collected.accessed;
    st.st_mtim = collected.modified;
    const int flags = O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC;
    const int out = rt_at_open(to.dirfd, to.name, flags, 0);
    if (out < 0) return 0;
    // an unreadable source folder has no attributes to give
    const int in =
        rt_at_path_open(&from, source) ? rt_at_open(from.dirfd, from.name, flags, 0) : -1;
    keep_owner(out, st);
    if (in >= 0) keep_attributes(out, in);
    const struct timespec times[2] = {st.st_atim, st.st_mtim};
    const bool ok = rt_sys.fchmod(out, st.st_mode & 07777) == 0 && rt_sys.futimens(out, times) == 0;
    const int saved = errno;
    if (in >= 0) rt_sys.close(in);
    rt_sys.close(out);
    errno = saved;
    return ok ? 1 : 0;
}
