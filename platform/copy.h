// The copy engine: one entry of a tree copied with full control.
//
// pf_copy_entry copies one file, symbolic link or special file into a
// hidden temporary in the target's folder (".tc-tmp-<pid>-<n>", see
// runtime/replace.h) and only then gives it the target's name, so a target
// is never seen half-written and a failure or cancel leaves it exactly as it
// was. A small file whose name must be free is written without any name
// (O_TMPFILE) and linked to its name when complete, where the file system
// allows: one change of the folder instead of two, and a killed copy leaves
// nothing. The last step never replaces what the caller did not agree to:
//  - PfReplaceNever: the name must be free. A target that appeared meanwhile
//    is never replaced (rename with RENAME_NOREPLACE, or a hard link where
//    the file system lacks it) and comes back as PfCopyTargetExists.
//  - PfReplaceExactly: only the file the user was asked about, by identity
//    (device, inode, size, modification time, taken when asking). Anything
//    else at the name comes back as PfCopyTargetChanged, to ask again.
//
// Contents: a clone (FICLONE) where the file system shares blocks, else
// copy_file_range, else read and write; holes of a sparse file (SEEK_DATA /
// SEEK_HOLE) stay holes. With PfCopyVerify the source is hashed (XXH3) while
// it is read, the temporary synced and read back from the disk, not the
// cache (a large one while it is still being written, a few megabytes
// behind), and a difference is a failure (PfCopyMismatch). A source that
// changed size or time while it was read is a failure too
// (PfCopySourceChanged): the copy would match no state of it.
//
// Kept as `cp -a` keeps it: permission bits with set-id and sticky bits,
// access and modification times to the nanosecond (a link's own times too),
// extended attributes of the "user." namespace where both file systems take
// them, owner and group when running as root (the group alone otherwise,
// where allowed). What the target's file system refuses of these is no
// failure. FIFOs and device nodes are recreated, never opened (devices only
// as root); a socket is reported, not copied (PfCopyNotCopied).
//
// Control: the RtControl (runtime/control.h) is asked between chunks of at
// most a megabyte, so pause and cancel act within milliseconds also in the
// middle of a large file; a paused copy goes on at the byte it stopped at,
// a cancelled one removes its temporary. Bytes done are added to
// control->bytes; the optional progress function sees each chunk.
//
// Paths are OS bytes of any length (runtime/at_path.h). Runs on the calling
// thread; any number of copies may run at once on different threads (the
// engine keeps nothing between calls; a PfCopyLinks is shared on purpose).
#pragma once
#include <condition_variable>
#include <cstdint>
#include <map>
#include <mutex>
#include <string>
#include <sys/types.h>
#include <utility>

struct RtControl;
struct RtTreeEntry;

// Called after each chunk with the source's size and the bytes copied so
// far; returns nonzero to go on, 0 to cancel the copy. On the copying thread.
using PfCopyProgressFn = int (*)(int64_t total, int64_t done, void* user);

// What was at a path when the user was asked about it (lstat: a link is the
// link). exists is false when nothing was there.
struct PfCopyIdentity {
    bool exists = false;
    dev_t dev = 0;
    ino_t ino = 0;
    int64_t size = 0;
    int64_t mtime_sec = 0;
    int64_t mtime_nsec = 0;
};

// Hard links among the copied files, for one job: maps a source file with
// several names (device, inode) to the first target written for it, so that
// its later names become links to that target. Shared by the job's threads;
// a name whose first copy is still running waits for it.
struct PfCopyLinks {
    enum class State { Copying, Done };
    struct First {
        State state = State::Copying;
        std::string target; // with Done: the target path
    };
    std::mutex lock;
    std::condition_variable settled;
    std::map<std::pair<dev_t, ino_t>, First> firsts;
};

// PfCopyOptions::replace.
enum : int {
    PfReplaceNever = 0,   // the target name must be free
    PfReplaceExactly = 1, // replace only the file described by agreed
};

// PfCopyOptions::flags.
enum : int {
    PfCopyVerify = 0x1,  // read the copy back from the disk and compare
    PfCopyNoClone = 0x2, // copy the bytes even where blocks could be shared (no clone,
                         // and no copy_file_range, which shares them by itself)
};

struct PfCopyOptions {
    int replace = PfReplaceNever;
    PfCopyIdentity agreed;               // with PfReplaceExactly
    int flags = 0;                       // PfCopy… flags
    PfCopyLinks* links = nullptr;        // the job's hard-link record; may be null
    PfCopyProgressFn progress = nullptr; // may be null
    void* user = nullptr;                // for progress
};

// PfCopyResult::outcome.
enum : int {
    PfCopyDone = 0,          // the target holds the copy
    PfCopyFailed = 1,        // a step failed: step and error say which and why
    PfCopyCancelled = 2,     // the control (or the progress function) cancelled
    PfCopyTargetExists = 3,  // PfReplaceNever, and something has the name
    PfCopyTargetChanged = 4, // PfReplaceExactly, and the target is no longer the agreed one
    PfCopySourceChanged = 5, // the source changed while it was read
    PfCopyMismatch = 6,      // PfCopyVerify: the copy read back differs
    PfCopyNotCopied = 7,     // a socket: there is nothing to copy
};

// PfCopyResult::step: where a failure happened.
enum : int {
    PfStepNone = 0,
    PfStepOpenSource = 1,   // looking at or opening the source
    PfStepReadSource = 2,   // reading its contents or its link text
    PfStepCreateTarget = 3, // creating the temporary (or folder, FIFO, node)
    PfStepWriteTarget = 4,  // writing the contents
    PfStepSyncTarget = 5,   // flushing the copy to the disk (verify)
    PfStepVerify = 6,       // reading the copy back
    PfStepReplace = 7,      // giving the copy the target's name
};

// PfCopyResult::how: the road the contents took (for tests and benchmarks).
enum : int {
    PfHowNone = 0,
    PfHowClone = 1,     // FICLONE
    PfHowRange = 2,     // copy_file_range
    PfHowReadWrite = 3, // read and write
    PfHowHardLink = 4,  // a link to the first copy of the same file
    PfHowSpecial = 5,   // a link, FIFO or device node recreated
};

struct PfCopyResult {
    int outcome = PfCopyDone;
    int step = PfStepNone;
    int error = 0;     // errno of the failed step; 0 when none
    int64_t bytes = 0; // bytes of contents copied
    int how = PfHowNone;
};

// Copies the entry at source to target (both OS bytes), as described at the
// top. control may be null. Returns result->outcome.
int pf_copy_entry(const std::string& source, const std::string& target,
                  const PfCopyOptions& options, RtControl* control, PfCopyResult* result);

// What is at path now, for PfReplaceExactly (taken when the user is asked).
PfCopyIdentity pf_copy_identity(const std::string& path);

// A short German reason for a result that is not PfCopyDone, for the
// message naming the file: the errno's text (runtime/error_text.h) for a
// failed step, else the outcome's own ("Ziel existiert bereits", ...).
std::wstring pf_copy_reason(const PfCopyResult& result);

// ---- folders ----

// Creates target as the copy of a folder, private (0700) while it is being
// filled so that neither a 700 folder is readable by others meanwhile nor a
// read-only one refuses its contents. PfCopyDone when created,
// PfCopyTargetExists when a folder is already there (a merge; it is left as
// it is), PfCopyFailed (step PfStepCreateTarget) otherwise.
int pf_copy_folder_create(const std::string& target, PfCopyResult* result);

// After its contents are written: gives the copy of folder source the mode,
// owner (as root), times and "user." attributes of source as collected (so
// a move that emptied the source meanwhile still passes its times on). For
// a folder pf_copy_folder_create made; whether a merged folder takes the
// source's is the caller's choice. Best effort, as for files; 1 when mode
// and times took, else 0 with errno.
int pf_copy_folder_finish(const std::string& source, const std::string& target,
                          const RtTreeEntry& collected);

// ---- test seam ----

// copy_file_range goes through this entry first, which passes on to
// rt_sys.copy_file_range. Tests may swap it while no copy runs;
// pf_copy_sys_reset puts the pass-on back.
using PfCopyRangeFn = ssize_t (*)(int in, off64_t* in_off, int out, off64_t* out_off, size_t len,
                                  unsigned flags);
extern PfCopyRangeFn pf_copy_file_range;
void pf_copy_sys_reset();
