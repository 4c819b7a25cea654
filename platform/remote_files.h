// Remote folders read and changed through GIO: listing, one entry, free
// space, new folder, rename, delete.
//
// Locations are location texts (remote_location.h). Entries have the shape
// of the local listing (runtime/files.h, rt_dir_read): name, kind, size,
// attribute bits and the modification date as a date value, by the same
// rules, so a pane handles a remote folder as a local one; the MIME type
// comes along where GIO knows it.
//
// Every call runs as remote.h says: on a worker thread, within the call's
// time limit, cancellable from another thread, its status in the call.
// Results are written only on success.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "platform/remote.h"
#include "runtime/files.h"

// Flags of pf_remote_dir_read and pf_remote_query.
enum : int {
    PfRemoteNoFollow = 0x1, // a link is a file with the link bit, for walks that must not enter it
};

// Reads every entry of folder as rt_dir_read reads a local one: "." and
// ".." first (not at the top of a server), links followed unless
// PfRemoteNoFollow. mime (may be null) gets each entry's MIME type at the
// same index ("" when GIO knows none); asking for it costs a large listing
// a tenth more time, and most backends guess it from the name just as
// platform/mime.h does. The time limit counts per entry.
int pf_remote_dir_read(PfRemoteCall* call, const std::wstring& folder, std::vector<RtDirEntry>* out,
                       std::vector<std::wstring>* mime = nullptr, int flags = 0);

// One entry, as a listing gives it.
int pf_remote_query(PfRemoteCall* call, const std::wstring& location, RtDirEntry* out,
                    std::wstring* mime = nullptr, int flags = 0);

// Bytes free for the user and in all of the server's file system holding
// location; PfRemoteNotSupported when the backend does not tell.
int pf_remote_disk_space(PfRemoteCall* call, const std::wstring& location, int64_t* free_bytes,
                         int64_t* total_bytes);

// Creates one folder (its parent must exist); PfRemoteExists when the name
// is taken.
int pf_remote_make_folder(PfRemoteCall* call, const std::wstring& folder);

// Gives an entry a new name in its folder. Never replaces an entry of that
// name: PfRemoteExists.
int pf_remote_rename(PfRemoteCall* call, const std::wstring& location,
                     const std::wstring& new_name);

// Deletes a file or link, or a folder with everything in it, never
// following a link (a link is removed, not what it points to). Entries that
// cannot be deleted are left and the rest goes on; the status is that of
// the first failure. Stops at once when cancelled or out of time. progress
// (may be null) gets the count of entries deleted as "done".
int pf_remote_delete(PfRemoteCall* call, const std::wstring& location,
                     PfRemoteProgressFn progress = nullptr, void* user = nullptr);
