// Copying one file with progress reports.
//
// pf_file_copy copies a file's contents in chunks (copy_file_range, or read
// and write where the file systems do not support it), reports after every
// chunk through a callback that may cancel, keeps the permission bits and
// the modification time where the target's file system can hold them (FAT
// cannot), and replaces an existing target. A symbolic link is copied as a
// link, never followed.
//
// The target is never left half-written: the copy goes into a hidden
// temporary file in the target's folder (runtime/replace.h, without fsync),
// which is renamed over the target only when everything succeeded and
// removed otherwise. So a failed or
// cancelled copy leaves an existing target exactly as it was.
//
// Runs on the calling thread (the copy worker); the callback runs on it too.
// Nothing is kept between calls.
#pragma once
#include <cstdint>
#include <string>
#include <sys/types.h>

// Called after each chunk with the source's size and the bytes copied so far;
// returns nonzero to go on, 0 to cancel the copy.
using PfCopyProgressFn = int (*)(int64_t total, int64_t done, void* user);

// Copies source to target (both full file paths). progress may be null.
// Returns 1 on success; 0 on failure or cancel, with errno telling why
// (ECANCELED for a cancel).
int pf_file_copy(const std::wstring& source, const std::wstring& target, PfCopyProgressFn progress,
                 void* user);

// Test seam: pf_file_copy reaches the file system through the runtime's
// rt_sys table (runtime/syscalls.h); copy_file_range goes through this one
// entry first, which passes on to rt_sys.copy_file_range. Tests may swap it
// while no copy runs; pf_copy_sys_reset puts the pass-on back.
using PfCopyRangeFn = ssize_t (*)(int in, off64_t* in_off, int out, off64_t* out_off, size_t len,
                                  unsigned flags);
extern PfCopyRangeFn pf_copy_file_range;
void pf_copy_sys_reset();
