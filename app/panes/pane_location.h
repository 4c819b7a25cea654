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
struct Pane;

// History becomes path, "/", every ancestor of path down to path itself, and
// the spare; each level remembers the pane's current row. The drive buttons
// of the pane's side are released and the one of path's volume is pressed,
// with the disk information line set for it. A path without "/" leaves the
// drive buttons and the line alone.
void SetPaneLocation(Pane& pane, const std::wstring& path);
// Marks the drive button and the disk information line of the pane's folder
// only (a tab shown again).
void MarkPaneDrive(Pane& pane);
// The same for the pane list shows. Returns an empty text.
std::wstring SetPaneLocation(int64_t list, const std::wstring& path);

// Sets the disk information line of the pane's side to the drive's label,
// " ", free, " von ", total, in the drive size unit ("Daten 12,345 MB von
// 476,940 MB"; 0 for both when the space cannot be queried), asking for the
// free space off the main thread: until the answer comes (a hanging network
// mount may never answer) the line keeps its old text.
void ShowDiskInfo(Pane& pane, const DriveRecord& drive);
void ShowDiskInfo(int64_t list, const DriveRecord& drive);

// The mount point in App.DriveList that holds path (the longest Root that is
// a prefix of it); empty when no known drive holds it.
std::wstring MountOfPath(const std::wstring& path);
