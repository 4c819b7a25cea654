// Copying and moving files between local and remote folders and between
// two servers, and fetching a remote file into a local copy for a viewer or
// an editor, then writing the edited copy back.
//
// Sources and targets are location texts (remote_location.h) or local
// paths starting with "/"; at least one of the two is remote (local to local
// is the local copy's job). A copy goes into a hidden temporary file
// ".tc-tmp-<pid>-<n>" in the target's folder and takes the target's name
// only when complete, so a failed or cancelled copy leaves an existing
// target as it was. A symbolic link is copied as a link. The permission bits
// and the modification time go along where the target can hold them.
//
// Control, as for every remote operation (remote.h): the call's time limit
// counts per chunk; cancel from any thread; progress as bytes of the file,
// in the call and through progress (may be null) on the calling thread.
// Pause holds a download (remote to local) between two chunks and lets it
// go on at the same byte; an upload or a copy between two servers is a
// transfer of GVfs that cannot be held in the middle of a file, so pause
// stops it and it starts that file again on resume.
#pragma once
#include <cstdint>
#include <string>

#include "platform/remote.h"

// Flags of pf_remote_copy, pf_remote_move and pf_remote_write_back.
enum : int {
    PfRemoteOverwrite = 0x1, // replace an existing target (never a folder); else PfRemoteExists
};

// Copies one file or link from source to target (full names).
int pf_remote_copy(PfRemoteCall* call, const std::wstring& source, const std::wstring& target,
                   int flags, PfRemoteProgressFn progress = nullptr, void* user = nullptr);

// Moves source to target. On one server this is a rename, for folders too;
// else a file or link is copied and its source deleted only after the copy
// succeeded, and a folder gives PfRemoteOtherServer (the caller copies its
// entries one by one).
int pf_remote_move(PfRemoteCall* call, const std::wstring& source, const std::wstring& target,
                   int flags, PfRemoteProgressFn progress = nullptr, void* user = nullptr);

// A remote file fetched into a local copy.
struct PfRemoteFetched {
    std::wstring remote;           // the location text of the remote file
    std::wstring local;            // the local copy, alone in a private folder, under its own name
    int64_t remote_modified = 0;   // the server's modification time, seconds since 1970 UTC
    int64_t remote_size = 0;       // its size in bytes
    int64_t local_modified_ns = 0; // the local copy's modification time when fetched or written
    int64_t local_size = 0;
};

// Fetches remote into a new private local folder. out is filled on success;
// nothing is left behind on failure.
int pf_remote_fetch(PfRemoteCall* call, const std::wstring& remote, PfRemoteFetched* out,
                    PfRemoteProgressFn progress = nullptr, void* user = nullptr);

// 1 when the local copy was changed (written, replaced) since the fetch or
// the last write-back. Any thread; looks at the local file only.
int pf_remote_fetched_changed(const PfRemoteFetched& fetched);

// Writes the local copy back over the remote file. When the server's file
// changed since the fetch (or is gone), nothing is written and the status
// is PfRemoteChanged, unless flags hold PfRemoteOverwrite. fetched is
// brought up to date on success.
int pf_remote_write_back(PfRemoteCall* call, PfRemoteFetched* fetched, int flags,
                         PfRemoteProgressFn progress = nullptr, void* user = nullptr);

// Removes the local copy and its private folder. Any thread.
void pf_remote_fetch_discard(PfRemoteFetched* fetched);
