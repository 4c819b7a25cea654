// Paths of any length, reached relative to open folder descriptors.
//
// The system refuses a path of PATH_MAX bytes or more (ENAMETOOLONG), yet a
// tree may be deeper than that: a copy or delete must reach its files all
// the same. rt_at_path_open turns a path into a folder descriptor and a name
// in it, ready for the *at system calls (openat, fstatat, unlinkat,
// renameat2, ...): a path shorter than the limit stays whole relative to
// AT_FDCWD and costs no system call; a longer one has its folder opened in
// pieces shorter than the limit, each relative to the one before. Folders
// on the way are followed as the system follows them in any path; the last
// component is left to the call, which decides whether to follow a link.
//
// rt_at_open and rt_at_lstat are the opens and stats of the copy engine and
// the tree walks over such a place: a whole path goes to rt_sys.open (so
// tests that fail a path see it), a name in a folder to rt_sys.openat.
//
// The record owns its descriptor and closes it when it dies. Any thread;
// one record per thread.
#pragma once
#include <fcntl.h>
#include <string>
#include <sys/stat.h>

struct RtAtPath {
    int dirfd = AT_FDCWD; // the folder name is relative to; owned unless AT_FDCWD
    std::string name;     // the whole path, or the last component below dirfd

    RtAtPath() = default;
    RtAtPath(const RtAtPath&) = delete;
    RtAtPath& operator=(const RtAtPath&) = delete;
    ~RtAtPath();
};

// Makes path (OS bytes, absolute or relative to the current folder, no
// trailing "/" needed) usable as at->dirfd + at->name. false with errno set
// when a folder on the way cannot be opened; at is then empty.
bool rt_at_path_open(RtAtPath* at, const std::string& path);

// The whole path again, for messages and for records that outlive the place.
std::string rt_at_path_join(const std::string& folder, const std::string& name);

// open / openat of name below dirfd, as described above.
int rt_at_open(int dirfd, const std::string& name, int flags, mode_t mode);
// fstatat without following a final link.
int rt_at_lstat(int dirfd, const std::string& name, struct stat* out);

// Opens a folder of any length for use as a dirfd (O_PATH: no permission is
// needed to hold it). follow = false refuses a link at every component
// (ELOOP or ENOTDIR), for re-entering a tree that a walk found free of links.
// The caller closes the descriptor; -1 with errno on failure.
int rt_at_open_folder(int dirfd, const std::string& path, bool follow);
