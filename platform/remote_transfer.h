// One file's copy as the copy, move, fetch and write-back operations share
// it (remote_copy.h): platform-internal. RemoteCopyFile runs on a helper of
// the operation (remote_internal.h) and chooses the road: a regular remote
// file into a local folder is read by several streams at once
// (remote_download.cpp), everything else is GIO's own transfer into a
// temporary file (remote_copy.cpp).
#pragma once
#include <condition_variable>
#include <mutex>
#include <string>

#include "platform/remote_internal.h"

struct RemoteCopyJob : RemoteJob {
    GRef<GFile> source, target;
    int flags = 0; // PfRemoteOverwrite
    // Filled by RemoteCopyFile from the source before it copies.
    int64_t source_modified = 0; // seconds since 1970 UTC
    int64_t source_size = 0;
};

// A job for source and target (location texts or local paths); null when
// either is neither.
std::shared_ptr<RemoteCopyJob> RemoteCopyJobFor(const std::wstring& source,
                                                const std::wstring& target, int flags);

// Copies job.source to job.target (a file or link) on the calling helper;
// false with the failure recorded in job.
bool RemoteCopyFile(const std::shared_ptr<RemoteCopyJob>& job);

// The download road: a regular file of size bytes into the local path
// target, keeping mode and modification time. Called by RemoteCopyFile.
bool RemoteDownload(const std::shared_ptr<RemoteCopyJob>& job, GFileInfo* source_info);

// A fresh hidden temporary name ".tc-tmp-<pid>-<n>" beside file.
GFile* RemoteTempBeside(GFile* file);

// Deletes a temporary file left by a failed copy. Waits as long as GVfs
// does: it runs on a helper that nobody waits for once the operation ended.
void RemoteDiscard(GFile* temp);
