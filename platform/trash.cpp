// Moving into the trash, finding a record, putting an entry back: see
// trash.h. Which trash, the names and the record text are
// trash_place.cpp's and trash_info.cpp's.
#include "platform/trash.h"

#include "platform/trash_internal.h"
#include "runtime/os_moves.h"
#include "runtime/os_path.h"
#include "runtime/syscalls.h"
#include "runtime/text.h"

#include <cerrno>
#include <climits>
#include <ctime>
#include <fcntl.h>
#include <sys/stat.h>

namespace {

constexpr std::string_view kInfoSuffix = ".trashinfo";
constexpr int kMostNames = 100000; // names tried before giving up on a full trash
constexpr int kGapToGiveUp = 16;   // free names in a row that end a search

std::string os_path(const std::wstring& path) {
    return rt_os_strip_slashes(rt_text_to_os(path));
}

std::string joined(const std::string& folder, std::string_view name) {
    return (folder == "/" ? "" : folder) + "/" + std::string(name);
}

std::string info_path(const std::string& trash, const std::string& name) {
    return trash + "/info/" + name + std::string(kInfoSuffix);
}

// path with its folder made real (links and ".." resolved), the entry itself
// left as it is. A folder that is gone is resolved as far as it exists.
bool real_path(const std::string& path, std::string* out) {
    const std::string base(rt_os_base_name(path));
    if (base.empty() || base == "." || base == "..") {
        errno = EINVAL;
        return false;
    }
    std::string folder = rt_os_folder_of(path), rest;
    char resolved[PATH_MAX];
    while (!rt_sys.realpath(folder.c_str(), resolved)) {
        if (errno != ENOENT || folder == "/" || folder == ".") return false;
        rest = "/" + std::string(rt_os_base_name(folder)) + rest;
        folder = rt_os_folder_of(folder);
    }
    *out = joined(resolved, rest.empty() ? base : rest.substr(1) + "/" + base);
    return true;
}

// What a record of place says for the entry at real: relative to the mount's
// top on a mount, absolute in the home trash.
std::string record_path(const PfTrashPlace& place, const std::string& real) {
    if (place.topdir.empty()) return real;
    if (place.topdir == "/") return real.substr(1);
    const std::string top = place.topdir + "/";
    return real.starts_with(top) ? real.substr(top.size()) : real;
}

// The absolute path a record of trash names; false for a path that could
// lead out of its mount.
bool original_of(const std::string& trash, const std::string& recorded, std::string* out) {
    for (size_t at = 0; at <= recorded.size();) {
        const size_t slash = recorded.find('/', at);
        const std::string_view part = std::string_view(recorded).substr(
            at, (slash == std::string::npos ? recorded.size() : slash) - at);
        if (part == "..") return false;
        at = slash == std::string::npos ? recorded.size() + 1 : slash + 1;
    }
    *out = recorded[0] == '/' ? recorded : joined(pf_trash_topdir_of(trash), recorded);
    *out = rt_os_strip_slashes(*out);
    return true;
}

bool write_all(int fd, std::string_view bytes) {
    while (!bytes.empty()) {
        const ssize_t n = rt_sys.write(fd, bytes.data(), bytes.size());
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) {
            if (n == 0) errno = ENOSPC;
            return false;
        }
        bytes.remove_prefix(static_cast<size_t>(n));
    }
    return true;
}

// Takes the first free name for base in place by creating its record: 0 and
// *name, or the errno that stopped it.
int claim_name(const PfTrashPlace& place, const std::string& base, std::string_view record,
               std::string* name) {
    const std::string text = pf_trash_info_text(record, std::time(nullptr));
    for (int n = 1; n <= kMostNames; ++n) {
        *name = pf_trash_name(base, n);
        const std::string info = info_path(place.trash, *name);
        const int fd = rt_sys.open(info.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
        if (fd < 0 && errno == EEXIST) continue;
        if (fd < 0) return errno;
        struct stat st {};
        const bool taken = rt_sys.lstat((place.trash + "/files/" + *name).c_str(), &st) == 0;
        const bool written = !taken && write_all(fd, text);
        const int error = errno;
        const bool closed = rt_sys.close(fd) == 0;
        if (written && closed) return 0;
        rt_sys.unlink(info.c_str());
        if (!taken) return written ? EIO : error;
    }
    return ENOSPC;
}

// The record of the entry at trashed: its trash, name, and record text.
struct Located {
    std::string trashed, trash, name, info, original, date;
};

bool read_small(const std::string& path, std::string* out) {
    const int fd = rt_sys.open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW, 0);
    if (fd < 0) return false;
    char buffer[4096];
    ssize_t n;
    while ((n = rt_sys.read(fd, buffer, sizeof buffer)) > 0 && out->size() < 65536)
        out->append(buffer, static_cast<size_t>(n));
    const int saved = errno;
    rt_sys.close(fd);
    errno = saved;
    return n >= 0;
}

// 0 with *at filled, or the errno that says why trashed has no record.
int locate(const std::string& trashed, Located* at) {
    at->trashed = trashed;
    const std::string files = rt_os_folder_of(trashed);
    if (rt_os_base_name(files) != "files") return EINVAL;
    at->trash = rt_os_folder_of(files);
    at->name = rt_os_base_name(trashed);
    at->info = info_path(at->trash, at->name);
    std::string text, recorded;
    if (!read_small(at->info, &text)) return errno;
    if (!pf_trash_info_parse(text, &recorded, &at->date)) return EINVAL;
    return original_of(at->trash, recorded, &at->original) ? 0 : EINVAL;
}

} // namespace

PfTrashResult pf_trash_move(const std::wstring& path) {
    PfTrashResult r;
    const std::string item = os_path(path);
    struct stat st {};
    std::string real, name;
    if (item.empty() || rt_sys.lstat(item.c_str(), &st) != 0 || !real_path(item, &real)) {
        r.error = item.empty() ? ENOENT : errno;
        return r;
    }
    PfTrashPlace place;
    r.error = pf_trash_place_for(rt_os_folder_of(real), true, &place);
    if (r.error == 0)
        r.error =
            claim_name(place, std::string(rt_os_base_name(real)), record_path(place, real), &name);
    if (r.error != 0) {
        r.result = PfTrashNoTrash;
        return r;
    }
    const std::string trashed = place.trash + "/files/" + name;
    if (!rt_os_rename_noreplace(item, trashed)) {
        r.error = errno;
        r.result = r.error == EXDEV ? PfTrashNoTrash : PfTrashFailed;
        rt_sys.unlink(info_path(place.trash, name).c_str());
        return r;
    }
    r.result = PfTrashDone;
    r.trashed = rt_text_from_os(trashed);
    return r;
}

bool pf_trash_find(const std::wstring& trashed, PfTrashEntry* out) {
    Located at;
    if (locate(os_path(trashed), &at) != 0) return false;
    *out = {rt_text_from_os(at.trashed), rt_text_from_os(at.original), rt_text_from_os(at.date)};
    return true;
}

RtUndoResult pf_trash_restore(const std::wstring& trashed, std::wstring* restored) {
    Located at;
    if (const int e = locate(os_path(trashed), &at))
        return e == ENOENT ? RtUndoResult{RtReasonGone, e} : RtUndoResult{RtReasonSystem, e};
    struct stat st {};
    if (rt_sys.lstat(at.trashed.c_str(), &st) != 0) return rt_undo_failed(errno);
    if (!rt_os_move_into(at.trashed, at.original)) return rt_undo_failed(errno);
    rt_sys.unlink(at.info.c_str());
    if (restored) *restored = rt_text_from_os(at.original);
    return {};
}

bool pf_trash_search(const std::wstring& original, const RtIdentity& identity,
                     std::wstring* trashed) {
    std::string real;
    PfTrashPlace place;
    if (!real_path(os_path(original), &real) ||
        pf_trash_place_for(rt_os_folder_of(real), false, &place) != 0)
        return false;
    const std::string base(rt_os_base_name(real));
    for (int n = 1, gap = 0; n <= kMostNames && gap < kGapToGiveUp; ++n) {
        const std::string name = pf_trash_name(base, n);
        const std::string file = place.trash + "/files/" + name;
        RtIdentity found;
        struct stat st {};
        const bool have_file = rt_identity_take_os(file.c_str(), &found);
        if (!have_file && rt_sys.lstat(info_path(place.trash, name).c_str(), &st) != 0) {
            ++gap;
            continue;
        }
        gap = 0;
        Located at;
        if (have_file && rt_identity_compare(identity, found) == RtReasonNone &&
            locate(file, &at) == 0 && at.original == real) {
            *trashed = rt_text_from_os(file);
            return true;
        }
    }
    return false;
}
