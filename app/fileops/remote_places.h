// One way of looking at and changing a folder for the remote jobs, whether it
// is local or remote: what a path is, a folder's entries (links never
// followed), a new folder, removing an emptied one. Remote paths go through
// the job's call (platform/remote.h), local ones through the runtime. The
// job's thread.
#pragma once

#include "platform/remote.h"

#include <string>
#include <vector>

struct RtDirEntry;

// What RemotePlaceKind finds.
enum : int {
    PlaceMissing = 0,
    PlaceFile = 1,    // a file, a link or anything that is not a folder of its own
    PlaceFolder = 2,  // a folder of its own
    PlaceUnknown = -1 // the server could not tell: the call's status says why
};

bool RemotePlaceIsRemote(const std::wstring& path);
int RemotePlaceKind(PfRemoteCall* call, const std::wstring& path);
bool RemotePlaceRead(PfRemoteCall* call, const std::wstring& folder,
                     std::vector<RtDirEntry>* entries);
// The folder exists afterwards (made now, or a folder already).
bool RemotePlaceMakeFolder(PfRemoteCall* call, const std::wstring& folder);
// Removes folder only when it holds nothing; true when it is gone.
bool RemotePlaceRemoveEmpty(PfRemoteCall* call, const std::wstring& folder);
