// Folder trees walked relative to open folder descriptors: collecting what
// a copy will copy, and deleting, both under an RtControl (pause, cancel)
// and with every failure put to the caller by name and errno.
//
// The walk opens each folder relative to its parent's descriptor with
// O_NOFOLLOW and lists it before it visits the entries, in the order the
// file system lists them, depth first: a folder comes before everything in
// it. It holds one descriptor for the folder it is in and climbs back
// through "..", checking that it arrives in the very folder it came from,
// so neither depth nor path length limits it. A symbolic link is an entry
// like a file, never entered; FIFOs, sockets and devices are never opened.
//
// Failures (a folder that cannot be listed, an entry that cannot be
// removed) go to an RtTreeFailureFn with the entry's whole path, which may
// be longer than PATH_MAX (reach it with runtime/at_path.h), and its errno;
// the answer is to try again, to skip the entry or to stop the walk. Without
// a failure function every failure is skipped. The walk runs on the calling
// thread, and so do the callbacks; several walks may run on different
// threads at once.
#pragma once
#include <cstdint>
#include <ctime>
#include <string>
#include <sys/types.h>
#include <vector>

struct RtControl;

// One entry as the walk found it (lstat: a link is described as the link).
struct RtTreeEntry {
    std::string path;            // below the root, "/"-separated, OS bytes; "" = the root itself
    mode_t mode = 0;             // type and permission bits (only the type without a full stat)
    uid_t uid = 0;               // owner
    gid_t gid = 0;               // group
    nlink_t links = 0;           // names of the file; above 1 for hard links
    dev_t dev = 0;               // device and inode: the file's identity
    ino_t ino = 0;               //
    int64_t size = 0;            // bytes (of the link text for a link)
    struct timespec accessed {}; // last access
    struct timespec modified {}; // last modification
    int error = 0;               // a folder that could not be listed: errno; else 0
};

// Answers of an RtTreeFailureFn.
enum : int {
    RtTreeRetry = 0, // try the same step again
    RtTreeSkip = 1,  // leave the entry as it is and go on
    RtTreeStop = 2,  // end the walk here
};

// path is the entry's whole path (root + "/" + entry path), error its errno.
using RtTreeFailureFn = int (*)(const std::string& path, int error, void* user);

// Results of the walks.
enum : int {
    RtTreeComplete = 0,   // everything done
    RtTreeIncomplete = 1, // some entries failed and were skipped (each one reported)
    RtTreeStopped = 2,    // the failure function answered RtTreeStop
    RtTreeCancelled = 3,  // the control was cancelled
};

// Collects root (OS bytes; a folder, a file or a link) and, for a folder,
// everything below it into out (appended), the root first with path "".
// Every entry gets a full lstat. A folder that cannot be listed is reported,
// and when skipped stays in out with its errno in error (its contents are
// unknown: a copy of it is no copy). Adds one to control->items per entry.
int rt_tree_collect(const std::string& root, std::vector<RtTreeEntry>* out, RtControl* control,
                    RtTreeFailureFn failed, void* user);

// Flags of rt_tree_delete.
enum : int {
    RtTreeForce = 1, // give each folder owner rwx before emptying it
};

// Deletes root (OS bytes) with everything below it: files, links and
// special files are unlinked (never opened), folders removed after their
// contents. Other mounted file systems inside are not entered; each is
// reported with EXDEV. Whatever fails and is skipped stays, and so do the
// folders holding it (reported once, for the entry itself). The control is
// asked before every entry. Adds one to control->items per entry removed.
int rt_tree_delete(const std::string& root, int flags, RtControl* control, RtTreeFailureFn failed,
                   void* user);

// ---- the walk both are made of ----

// What a visitor answers for an entry.
enum : int {
    RtWalkEnter = 0, // a folder: enter it (for anything else the same as RtWalkDone)
    RtWalkDone = 1,  // dealt with; do not enter
    RtWalkKept = 2,  // it stays where it is: the folder holding it is not complete
    RtWalkHalt = 3,  // end the walk (the visitor's failure function said stop)
};

struct RtTreeWalk {
    // Every entry, the root first: at dirfd + name (the root's name may be a
    // whole path relative to AT_FDCWD). Answers RtWalk….
    int (*entry)(RtTreeWalk* w, int dirfd, const char* name, const RtTreeEntry& e) = nullptr;
    // A folder was opened (fd is an O_PATH descriptor), before it is listed.
    void (*enter)(RtTreeWalk* w, int fd, const RtTreeEntry& folder) = nullptr;
    // A folder could not be entered or listed and was skipped.
    void (*unlisted)(RtTreeWalk* w, const RtTreeEntry& folder, int error) = nullptr;
    // After the last entry of an entered folder; complete is false when
    // something in it stays. Answers RtWalkDone (the folder is gone or
    // complete), RtWalkKept or RtWalkHalt.
    int (*leave)(RtTreeWalk* w, int parentfd, const char* name, const RtTreeEntry& folder,
                 bool complete) = nullptr;
    void* visitor = nullptr;      // the visitor's own record
    RtControl* control = nullptr; // asked before every entry; may be null
    RtTreeFailureFn failed = nullptr;
    void* user = nullptr;         // for failed
    bool full_stat = false;       // lstat every entry (else the listing's type only)
    bool one_file_system = false; // do not enter other mounts (reported with EXDEV)
    std::string root;             // set by rt_tree_walk: the root's path, for failures
};

// Walks root as described at the top; returns an RtTree… result.
int rt_tree_walk(const std::string& root, RtTreeWalk* w);

// The whole path of entry e for failure messages.
std::string rt_tree_path(const RtTreeWalk* w, const RtTreeEntry& e);
// Puts a failure to w->failed (RtTreeSkip without one).
int rt_tree_ask(const RtTreeWalk* w, const RtTreeEntry& e, int error);
