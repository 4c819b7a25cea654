// Entry identities and their comparison: see identity.h.
#include "runtime/identity.h"

#include "runtime/os_path.h"
#include "runtime/syscalls.h"
#include "runtime/text.h"

#include <cerrno>
#include <fcntl.h>

namespace {

constexpr unsigned kMask = STATX_TYPE | STATX_INO | STATX_SIZE | STATX_MTIME | STATX_BTIME;

int kind_of(mode_t mode) {
    if (S_ISREG(mode)) return RtIdFile;
    if (S_ISDIR(mode)) return RtIdFolder;
    if (S_ISLNK(mode)) return RtIdLink;
    return RtIdOther;
}

// Size and time, for entries already known to be the same kind.
int compare_contents(const RtIdentity& expected, const RtIdentity& found) {
    if (expected.kind == RtIdFolder) return RtReasonNone;
    if (expected.size != found.size) return RtReasonResized;
    if (expected.modified_ns != found.modified_ns) return RtReasonRetimed;
    return RtReasonNone;
}

} // namespace

bool rt_identity_take_os(const char* path, RtIdentity* out) {
    *out = RtIdentity{};
    struct statx st {};
    if (rt_sys.statx(AT_FDCWD, path, AT_SYMLINK_NOFOLLOW | AT_NO_AUTOMOUNT, kMask, &st) != 0)
        return false;
    out->device = (static_cast<uint64_t>(st.stx_dev_major) << 32) | st.stx_dev_minor;
    out->inode = st.stx_ino;
    out->size = static_cast<int64_t>(st.stx_size);
    out->modified_ns = st.stx_mtime.tv_sec * 1000000000LL + st.stx_mtime.tv_nsec;
    if (st.stx_mask & STATX_BTIME)
        out->born_ns = st.stx_btime.tv_sec * 1000000000LL + st.stx_btime.tv_nsec;
    out->kind = kind_of(st.stx_mode);
    return true;
}

bool rt_identity_take(const std::wstring& path, RtIdentity* out) {
    if (path.empty()) {
        *out = RtIdentity{};
        errno = ENOENT;
        return false;
    }
    return rt_identity_take_os(rt_os_strip_slashes(rt_text_to_os(path)).c_str(), out);
}

int rt_identity_compare(const RtIdentity& expected, const RtIdentity& found) {
    if (expected.kind == RtIdNone) return RtReasonUnknown;
    if (found.kind == RtIdNone) return RtReasonGone;
    const bool reborn = expected.born_ns && found.born_ns && expected.born_ns != found.born_ns;
    if (expected.device != found.device || expected.inode != found.inode ||
        expected.kind != found.kind || reborn)
        return RtReasonReplaced;
    return compare_contents(expected, found);
}

int rt_identity_check(const RtIdentity& expected, const std::wstring& path) {
    RtIdentity found;
    rt_identity_take(path, &found);
    return rt_identity_compare(expected, found);
}

int rt_identity_compare_copy(const RtIdentity& expected, const RtIdentity& found) {
    if (expected.kind == RtIdNone) return RtReasonUnknown;
    if (found.kind == RtIdNone) return RtReasonGone;
    if (expected.kind != found.kind) return RtReasonReplaced;
    return compare_contents(expected, found);
}

int rt_identity_check_copy(const RtIdentity& expected, const std::wstring& path) {
    RtIdentity found;
    rt_identity_take(path, &found);
    return rt_identity_compare_copy(expected, found);
}
