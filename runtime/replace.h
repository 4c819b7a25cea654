// Crash-safe replacement of a whole file.
//
// New contents go into a hidden temporary file in the target's folder; only
// when everything is written (and, with RtReplaceSync, flushed to disk) is it
// renamed over the target, and with RtReplaceSync the folder is flushed too
// so that the rename itself survives a power cut. Any failure, and an abort,
// removes the temporary file: the old target stays byte-identical and no
// partial file is ever visible under the target's name.
//
// Two ways in:
//  - rt_replace_file writes a block of bytes in one call (settings files).
//  - rt_replace_open / _write / _commit / _abort stream the contents chunk
//    by chunk, so a copy can report progress and cancel between chunks;
//    rt_replace_fd gives the open descriptor for copy_file_range or fchmod.
//
// Paths are OS bytes (rt_text_to_os). Every system call goes through rt_sys
// (runtime/syscalls.h), so tests can make any step fail. A replacement is
// used by one thread; different replacements may run on different threads.
#pragma once
#include <string>
#include <string_view>
#include <sys/types.h>

// Flags of rt_replace_open and rt_replace_file.
enum : int {
    // fsync the file before the rename and the folder after it. Settings use
    // it; a copy does not, as it must run at the speed of any other copy.
    RtReplaceSync = 0x1,
    // A symbolic link at the target is followed: the file it points to is the
    // one replaced, so a linked settings file stays linked. A dangling link is
    // replaced itself. Without this flag the link is replaced by the file.
    RtReplaceFollowLink = 0x2,
    // An existing target's owner (where allowed) and permission bits pass to
    // the new file, and an existing target that is no regular file (a folder,
    // a device) is refused with EISDIR or EINVAL before anything is written.
    RtReplaceLikeOld = 0x4,
};

// One replacement in progress. Fill nothing in: rt_replace_open does.
struct RtReplace {
    int fd = -1;        // the temporary file, open for writing; -1 when none
    std::string temp;   // its path
    std::string target; // the path it goes to on commit (links resolved)
    int flags = 0;
    bool had_old = false; // with RtReplaceLikeOld: a target existed
    uid_t old_uid = 0;
    gid_t old_gid = 0;
    mode_t old_mode = 0;
};

// Creates the temporary file for target with the given permission bits
// (the umask applies; 0600 keeps an unfinished copy private). true on
// success; false with errno set and nothing left behind.
bool rt_replace_open(RtReplace* r, const std::string& target, int flags, mode_t mode);

// Writes all bytes at the current end of the temporary file, retrying short
// writes. false with errno set (ENOSPC for a write that makes no progress);
// the replacement stays open for rt_replace_abort.
bool rt_replace_write(RtReplace* r, std::string_view bytes);

// The temporary file's descriptor, for calls other than plain writes.
inline int rt_replace_fd(const RtReplace* r) {
    return r->fd;
}

// Finishes: (owner and mode), fsync, close, rename, folder fsync as the
// flags ask. true when the target now holds the new contents. On failure the
// temporary file is removed, the target is untouched and errno tells why.
// Either way the replacement is closed afterwards.
bool rt_replace_commit(RtReplace* r);

// Gives up: closes and removes the temporary file, keeping errno as it was.
// Does nothing for a replacement that is not open.
void rt_replace_abort(RtReplace* r);

// Replaces target with bytes in one go (temporary file mode 0666, so the
// umask decides as for any new file). true on success; false with the old
// target untouched and no temporary file left.
bool rt_replace_file(const std::string& target, std::string_view bytes, int flags);
bool rt_replace_file(const std::wstring& target, std::string_view bytes, int flags);

// Whether a replacement of target could start: a temporary file can be
// created in its folder and (with RtReplaceLikeOld) the target is no folder
// or other non-file. Creates and removes a temporary file to find out.
bool rt_replace_possible(const std::string& target, int flags);

// The file a replacement of path with these flags really changes: with
// RtReplaceFollowLink a symbolic link is resolved (a dangling one is not).
std::string rt_replace_target(const std::string& path, int flags);

// Removes the temporary files that writers killed mid-replacement (or in
// the middle of a copy) left in target's folder. Only files of processes
// that no longer run go: a live writer's file is never touched, and one
// named with this process's own pid goes only when it is older than this
// process (an earlier process had the pid). One pass over the folder's
// names and one question per pid: cheap enough before every write into a
// folder, and for the shown folders at start.
void rt_replace_remove_stale(const std::string& target);
// The same for the folder itself (OS bytes, without trailing "/").
void rt_replace_remove_stale_in(const std::string& folder);

// The hidden temporary name in path's folder that the next attempt would
// try, for tests and for callers that need a free name for something else
// than a file (a copied link): ".tc-tmp-<pid>-<n>". The name does not grow
// with path's, so a target of the longest allowed name still works.
std::string rt_replace_temp_name(const std::string& path);
