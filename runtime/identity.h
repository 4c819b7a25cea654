// The identity of a directory entry, and whether an entry is still the one
// an operation left behind.
//
// An identity is taken without following links (a link is the link itself)
// and holds what a rename keeps: device, inode, size, modification time to
// the nanosecond, the kind, and the birth time where the file system keeps
// one, which tells a new entry from an old one whose inode number it reuses. The undo compares it
// with what stands at a path now before it moves, trashes or removes anything there, so it never
// acts on a file the user changed or put there since.
//
// Two ways to compare:
//  - rt_identity_check: the same entry (device, inode, and birth time where
//    both have one), unchanged (size and time). A folder is judged by device, inode and kind only:
//    entries added or removed inside change its size and time but not what it is.
//  - rt_identity_check_copy: a file still as copied, judged by kind, size and
//    time, not by device and inode, since a copy is a new file that keeps its
//    source's time. Folders by kind only.
// Both answer RtReasonNone or the reason (undo_reasons.h). Every call goes
// through rt_sys; any thread.
#pragma once
#include "runtime/undo_reasons.h"

#include <cstdint>
#include <string>

// Kinds of an identity, the entry itself (links not followed).
enum : int {
    RtIdNone = 0,   // no identity recorded (or nothing found)
    RtIdFile = 1,   // a regular file
    RtIdFolder = 2, // a folder
    RtIdLink = 3,   // a symbolic link
    RtIdOther = 4,  // a FIFO, socket or device
};

struct RtIdentity {
    uint64_t device = 0;
    uint64_t inode = 0;
    int64_t size = 0;        // bytes (a link: the length of its target text)
    int64_t modified_ns = 0; // modification time, nanoseconds since 1970 UTC
    int64_t born_ns = 0;     // birth time, nanoseconds since 1970 UTC; 0 when not kept
    int kind = RtIdNone;     // RtId…
};

inline bool operator==(const RtIdentity& a, const RtIdentity& b) {
    return a.device == b.device && a.inode == b.inode && a.size == b.size &&
           a.modified_ns == b.modified_ns && a.born_ns == b.born_ns && a.kind == b.kind;
}

// The identity of the entry at path (trailing "/" ignored). false, with
// *out cleared and errno set, when nothing is there.
bool rt_identity_take(const std::wstring& path, RtIdentity* out);
bool rt_identity_take_os(const char* path, RtIdentity* out);

// Whether found (kind RtIdNone: nothing there) is the entry expected was
// taken of: RtReasonNone, RtReasonGone, RtReasonReplaced (another entry or
// another kind), RtReasonResized, RtReasonRetimed. An expected identity of
// kind RtIdNone gives RtReasonUnknown.
int rt_identity_compare(const RtIdentity& expected, const RtIdentity& found);
// The same against what stands at path now.
int rt_identity_check(const RtIdentity& expected, const std::wstring& path);

// Whether found is still a copy as expected describes it (kind, size, time):
// RtReasonNone, RtReasonGone, RtReasonReplaced (another kind),
// RtReasonResized, RtReasonRetimed; RtReasonUnknown without an identity.
int rt_identity_compare_copy(const RtIdentity& expected, const RtIdentity& found);
int rt_identity_check_copy(const RtIdentity& expected, const std::wstring& path);
