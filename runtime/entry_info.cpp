// Entry kind, size, attributes and dates from statx: see entry_info.h.
#include "runtime/entry_info.h"

#include "runtime/files.h"
#include "runtime/syscalls.h"

#include <fcntl.h>

namespace {

constexpr unsigned kMask =
    STATX_TYPE | STATX_MODE | STATX_SIZE | STATX_ATIME | STATX_MTIME | STATX_BTIME;

bool is_system_kind(mode_t mode) {
    return S_ISCHR(mode) || S_ISBLK(mode) || S_ISSOCK(mode) || S_ISFIFO(mode);
}

bool is_hidden(std::string_view base) {
    return !base.empty() && base[0] == '.' && base != "." && base != "..";
}

// link: the entry itself; target: what it leads to (the entry itself when it
// is no link, null for a broken link).
int attributes_of(const struct statx& link, const struct statx* target, std::string_view base) {
    const mode_t mode = target ? target->stx_mode : link.stx_mode;
    int bits = 0;
    if (!(mode & S_IWUSR)) bits |= RtAttrReadOnly;
    if (is_hidden(base)) bits |= RtAttrHidden;
    if (target && is_system_kind(target->stx_mode)) bits |= RtAttrSystem;
    if (target && S_ISDIR(target->stx_mode)) bits |= RtAttrFolder;
    if (S_ISLNK(link.stx_mode)) bits |= RtAttrLink;
    return bits ? bits : RtAttrNormal;
}

} // namespace

bool rt_entry_info(int dirfd, const char* name, std::string_view base_name, RtEntryInfo* info) {
    struct statx link {};
    if (rt_sys.statx(dirfd, name, AT_SYMLINK_NOFOLLOW | AT_NO_AUTOMOUNT, kMask, &link) != 0)
        return false;
    struct statx followed {};
    const struct statx* target = &link;
    if (S_ISLNK(link.stx_mode))
        target =
            rt_sys.statx(dirfd, name, AT_NO_AUTOMOUNT, kMask, &followed) == 0 ? &followed : nullptr;
    const struct statx& dated = target ? *target : link;
    const bool folder = target && S_ISDIR(target->stx_mode);
    info->type = folder ? RtEntryFolder : RtEntryFile;
    info->size = target && !folder ? static_cast<int64_t>(target->stx_size) : 0;
    info->attributes = attributes_of(link, target, base_name);
    info->accessed = dated.stx_atime.tv_sec;
    info->modified = dated.stx_mtime.tv_sec;
    info->created = (dated.stx_mask & STATX_BTIME) ? dated.stx_btime.tv_sec : info->modified;
    return true;
}
