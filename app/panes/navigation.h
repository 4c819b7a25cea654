// Moving a pane from folder to folder and opening entries: the current row
// (enter a folder, go up with "..", open a file with its application, follow
// a shortcut), a typed path, a drive button, and folder sizes on request.
// Every move ends in ShowPath (panes.h), after SetPaneLocation
// (pane_location.h) when the pane lands somewhere new. Messages go through
// the message seam (PaneError) and files to the desktop through
// PaneShellOpen (pane_hooks.h). The procedures take a list gadget number.
// Main thread only.
#pragma once

#include <cstdint>
#include <string>

// Opens the pane's current row: a folder (also a linked one, by its logical
// path) is entered, ".." goes back up and scrolls the row it came from into
// view, a shortcut to a folder re-roots the pane there, anything else is
// handed to the desktop to open. No current row: nothing. Returns 0.
int64_t OpenSelectedEntry(int64_t pane);

// Backspace in a pane: the same as opening its ".." row, when it lists one.
// Returns 0.
int64_t OpenParentFolder(int64_t pane);

// folder itself when it exists, else its nearest existing ancestor ("/" at
// the end); a path holding a NUL never exists. Empty for a relative path
// none of whose ancestors exists.
std::wstring NearestExistingFolder(std::wstring folder);

// Where a shortcut (symbolic link or .desktop link) leads, as an absolute
// path; 261 blanks when it cannot be read.
std::wstring ResolveShortcut(const std::wstring& path);
// What ResolveShortcut gives for a shortcut that cannot be read: 261 blanks,
// one more than the longest classic path, so no real target looks like it;
// with no folder to go to, the shortcut file itself is opened.
inline const std::wstring NoShortcutTarget(261, L' ');

// Return in path field 7 or 12 of the pane: shows the typed folder ("/"
// appended when missing; a relative path counts from the current folder of
// the process), or says it does not exist and puts the field back.
void OpenTypedPath(int64_t pane);

// Click callback of every drive button (bound by the drive bar): lists the
// button's mount point in its pane (data 0 left, 1 right) with a fresh
// history, or says it cannot be opened. Reads the current event's gadget.
void DriveButtonClicked();

// How deep FolderSize counts.
enum : int64_t {
    FolderSizeFilesOnly = 0,      // the files in the folder itself
    FolderSizeWithSubfolders = 1, // and those of every folder below it
};
// Bytes of the files in folder path ("/" appended when missing), to the
// depth given. Symbolic links are never followed: a link adds nothing,
// wherever it points. 0 when path cannot be listed.
int64_t FolderSize(const std::wstring& path, int64_t depth);

// Space key: every selected folder row of the pane gets its recursive size,
// in KB, in its "Größe" column. Other rows keep their text.
void ShowFolderSizeOfSelection(int64_t pane);
