// Remote folders and files through GIO and its GVfs backends (sftp, smb,
// dav, davs, ftp, mtp): the calls that panes and jobs make on other
// machines. remote_location.h names the locations; remote_mount.h mounts
// them and lists the mounted ones; remote_files.h lists, queries, creates,
// renames, moves and deletes; remote_copy.h copies, fetches and writes back;
// remote_watch.h watches a folder.
//
// Threads. Every operation is called on a worker thread of the caller and
// returns when it is done, failed, was cancelled or ran out of time; none
// may be called on the main thread. GVfs lets no read or write of a server
// that stopped answering be cancelled (the call returns only when the
// server answers again), so the GIO work runs on helper threads of a small
// pool kept here, one or a few per operation; the calling thread waits for
// them, reports progress, and gives up on them when the time runs out. A
// mount or unmount runs on the calling thread itself (its cancel always
// works), on a private main context, and asks its questions there. The list
// of mounts is kept by one thread of its own (remote_mount.h). No operation
// uses the default main context, which belongs to the Qt main loop. The
// only calls for any thread, the main one included, are those on a call
// handle below and the location texts (remote_location.h); none waits.
//
// Time limit. A call handle carries a limit: the longest wait for a sign of
// life from the server (an answer, a batch of entries, a chunk of a copy).
// When it passes, the operation ends with PfRemoteNotAnswering, at most
// PfRemoteGraceMs after the limit. Paused time and time spent waiting for
// the user's answers do not count. A helper given up on finishes by itself
// when GVfs returns, frees what it holds and touches nothing of the caller's.
//
// Cancel. pf_remote_call_cancel, from any thread, ends the running operation
// with PfRemoteCancelled and makes every later one on the same call fail at
// once, so one call serves a whole job. Pause holds a copy between chunks
// (remote_copy.h says which copies start the file again on resume).
//
// Ownership. The caller creates a call with pf_remote_call_new and frees it
// once its last operation has returned and no other thread can still cancel
// or pause it. Results go into the caller's records only on success.
//
// Never through FUSE: locations reach GIO as URIs and are never turned into
// a local path of GVfs's FUSE mount, so no thread waits in the kernel.
//
// Results. Each operation returns 1 on success and 0 on failure, and
// pf_remote_call_status tells why (PfRemote... below).
#pragma once
#include <cstdint>
#include <string>

// Why the last operation of a call ended.
enum PfRemoteStatus : int {
    PfRemoteOk = 0,       // it succeeded
    PfRemoteFailed,       // some other failure: the message tells
    PfRemoteCancelled,    // cancelled by the caller, or the user declined to log in
    PfRemoteNotAnswering, // no sign of life from the server within the limit
    PfRemoteNotMounted,   // the location is not mounted: pf_remote_mount first
    PfRemoteNotFound,     // no such file or folder
    PfRemoteExists,       // the target exists already
    PfRemoteDenied,       // no permission, or the login was refused
    PfRemoteNoSpace,      // no space left on the server
    PfRemoteNotSupported, // the server or backend cannot do this (watching, free space)
    PfRemoteUnreachable,  // host unknown, connection refused, network down
    PfRemoteNotEmpty,     // a folder that is not empty
    PfRemoteIsFolder,     // a folder where a file was expected
    PfRemoteNotFolder,    // a file where a folder was expected
    PfRemoteOtherServer,  // a move between two servers: copy, then delete
    PfRemoteChanged,      // write-back: the server's file changed since it was fetched
    PfRemoteBadLocation,  // no location of a supported scheme, nor a local path
    PfRemoteStatusCount
};

// The errno that stands for a status (0 for PfRemoteOk, EIO for
// PfRemoteFailed, ETIMEDOUT for PfRemoteNotAnswering, ...), so that messages
// about remote and local failures can share one table of reasons.
int pf_remote_status_errno(int status);

// A short German reason for a status ("Der Server antwortet nicht", ...).
const wchar_t* pf_remote_status_reason(int status);

// Called on the calling thread with the bytes of the current file and how
// many are done; returns nonzero to go on, 0 to cancel. Same shape as the
// local copy's progress callback.
using PfRemoteProgressFn = int (*)(int64_t total, int64_t done, void* user);

// Milliseconds a server may stay silent before an operation gives up: a
// pane must say "not answering" within 5 seconds.
inline constexpr int PfRemoteDefaultLimitMs = 4000;
// Longest wait, after a cancel or time-out, for a helper to come back
// before it is given up on.
inline constexpr int PfRemoteGraceMs = 250;

// One job's handle: its time limit, cancel and pause, progress and the
// status of its last operation.
struct PfRemoteCall;

// A new call; limit_ms of 0 or less means the default. Owned by the caller.
PfRemoteCall* pf_remote_call_new(int limit_ms = PfRemoteDefaultLimitMs);
// Frees a call whose operations have all returned. Null is ignored.
void pf_remote_call_free(PfRemoteCall* call);

// Any thread: ends the running operation, and fails every later one.
void pf_remote_call_cancel(PfRemoteCall* call);
// 1 once the call was cancelled.
int pf_remote_call_cancelled(const PfRemoteCall* call);
// Any thread: 1 holds a running copy between two chunks, 0 lets it go on.
void pf_remote_call_pause(PfRemoteCall* call, int paused);
// Any thread: bytes done and total of the file being copied.
void pf_remote_call_progress(const PfRemoteCall* call, int64_t* done, int64_t* total);

// The calling thread, after an operation returned: why it ended, and GIO's
// own words for it ("" when it succeeded).
int pf_remote_call_status(const PfRemoteCall* call);
std::wstring pf_remote_call_message(const PfRemoteCall* call);
