// The drive bars: one toggle button per mounted volume above each pane, and
// the rebuild when a volume arrives or goes away.
//
// Owns App.DriveList (the volumes found, plus one spare element at the end)
// and App.LeftDriveButtons / App.RightDriveButtons (one slot per DriveList
// index; a slot without a button has gadget number 0). Main thread only: the
// rebuild runs inside the window callback while the toolkit handles the
// device-change notification. The rebuild reads the mount table and looks
// at the panes' folders on a thread of its own (app/core/answers.h);
// the bars keep their old buttons until that answer comes.
//
// Start-up (the main window's construction) calls EnumerateDrives once and
// CreateDriveButtons inside each pane frame; the pressed state then comes
// from the panes when they are pointed at their first folders. Afterwards
// only RebuildDriveBars changes the bars: it replaces every button, moves a
// pane away from a volume that vanished (only then) and presses the button
// of each pane's volume. Buttons are toolkit gadgets with "any" numbers;
// FreeDriveButtons frees them and forgets their numbers.
//
// Button i sits at x = 34 * i in its frame, so a network volume (no button)
// leaves a gap; the disk-information text sits right of the last slot.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "app/core/app_state.h"
#include "platform/volumes.h"

// Appends one DriveRecord per mounted volume before the list's spare element
// (adding the spare to an empty list). Returns the index of the last drive
// appended, 0 when there is none.
int64_t EnumerateDrives(std::vector<DriveRecord>& drives);
// The same for volumes already read.
int64_t AppendDrives(const std::vector<PfVolume>& volumes, std::vector<DriveRecord>& drives);
// Makes the buttons of one bar inside the current gadget list for drives 0
// to last: picture of the kind with the letter drawn on it, tooltip, data 0
// for the left bar and 1 for the right bar, click bound to DriveButtonClicked.
// The array is refilled with last + 1 slots.
void CreateDriveButtons(int64_t last, std::vector<DriveButtonRecord>& buttons,
                        const std::vector<DriveRecord>& drives);
// Unbinds and frees every button of a bar; leaves one cleared slot.
void FreeDriveButtons(std::vector<DriveButtonRecord>& buttons);
// Re-enumerates the volumes and rebuilds both bars, once the volumes have
// been read off the main thread.
void RebuildDriveBars();
// Moves the pane to the first slot's root when the volume its folder was
// shown on is gone or the folder itself no longer exists (folderThere, as
// the caller found out); keeps it otherwise.
void EnsurePaneDrivePresent(int64_t pane, const std::vector<DriveRecord>& drives, bool folderThere);
// Presses the button of the volume the pane's folder lies on.
void MarkPaneDriveButton(int64_t pane, const std::vector<DriveRecord>& drives);

// Index of the drive whose root is the longest prefix of path, -1 if none.
// Only the real drives count, not the spare element.
int64_t DriveIndexOfPath(const std::vector<DriveRecord>& drives, const std::wstring& path);

// x of the disk-information texts 4 and 9 for a bar whose last index is last.
inline int64_t DiskInfoX(int64_t last) {
    return 34 * last + 44;
}

// The window callback installed for all windows at start-up: rebuilds the
// drive bars when a volume arrived or was removed; always lets the toolkit
// go on with the message.
intptr_t DeviceChangeCallback(intptr_t window, int64_t message, intptr_t param1, intptr_t param2);

// Where EnumerateDrives and the rebuild take the volumes from:
// pf_volumes_current by default. Tests hand in fixture lists. Called on the
// rebuild's own thread, so it must touch neither App nor the toolkit.
using DriveVolumeSource = std::vector<PfVolume> (*)();
extern DriveVolumeSource DriveVolumes;
