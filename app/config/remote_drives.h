// The mounted remote locations in the drive bars: one "Netzwerk" button per
// location GIO has mounted (platform/remote_mount.h), whose click shows the
// location in its pane and whose context menu "Trennen" unmounts it. The
// list of mounts is read off the main thread with the bars' volumes
// (RebuildDriveBars); a mount or unmount anywhere on the desktop rebuilds
// the bars. The buttons' clicks and popup are the panes' (drive_button.cpp,
// ShowRemoteDriveMenu). Main thread, except AddRemoteVolumes.
#pragma once

#include "platform/volumes.h"

#include <cstdint>
#include <vector>

// Starts following the mounts: every change rebuilds the drive bars, and so
// does this call once. Before it, AddRemoteVolumes adds nothing.
void InstallRemoteMountWatch();
// Stops following them (the program ends).
void EndRemoteMountWatch();

// Any thread: the mounted remote locations appended to volumes, as volumes
// of kind "Netzwerk" whose mount is the location's top.
void AddRemoteVolumes(std::vector<PfVolume>& volumes);

// The popup's "Trennen": unmounts the location off the main thread, asking
// in the program's dialogs when programs still use it, and says so when it
// fails.
void DisconnectChosenRemote();
