// Pointing a pane at any folder, and the disk information line above it.
//
// SetPaneLocation rebuilds a pane's history from a folder's ancestors, so
// that ".." walks up through them, and marks the drive button of the volume
// the folder lies on (the longest mount point that is a prefix of the path).
// It does not read the folder: callers follow it with
// ShowPath (pane, L"", ShowRefresh). Main thread only.
#pragma once

#include <cstdint>
#include <string>

struct DriveRecord;

// History becomes path, "/", every ancestor of path down to path itself, and
// the spare; each level remembers the pane's current row. The pane's drive
// buttons are released and the one of path's volume is pressed, with the
// disk information line set for it. A path without "/" leaves the drive
// buttons and the line alone. Returns an empty text.
std::wstring SetPaneLocation(int64_t pane, const std::wstring& path);

// The disk information line of a drive: label, " ", free, " von ", total, in
// the drive size unit ("Daten 12,345 MB von 476,940 MB"). 0 for both when the
// space cannot be queried.
std::wstring DiskInfoText(const DriveRecord& drive);

// Sets the pane's disk information line to DiskInfoText (drive), asking for
// the free space off the main thread: until the answer comes (a hanging
// network mount may never answer) the line keeps its old text. Main thread.
void ShowDiskInfo(int64_t pane, const DriveRecord& drive);

// The mount point in App.DriveList that holds path (the longest Root that is
// a prefix of it); empty when no known drive holds it.
std::wstring MountOfPath(const std::wstring& path);
