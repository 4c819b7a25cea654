// The pane context menu: a right click on selected entries shows popup 26,
// the program's own German version of a desktop file menu ("Öffnen", "Öffnen
// mit", clipboard, shortcut, rename, trash, properties, new folder); without
// a selection (or with only "..") popup 27 is shown instead.
//
// Popup 26 reports its items as EventMenu with PaneContextIdBase + command
// id, a range no main-menu item, shortcut or toolbar button uses, so a
// context-menu answer never also runs the main-menu item of the same number.
// What the menu was shown for is kept until the next right click.
// Main thread only.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/shell_open.h"

constexpr int64_t MenuPaneContext = 26;
constexpr int64_t PaneContextIdBase = 100000;

// Command ids of popup 26 (below 1000).
enum : int64_t {
    ContextOpen = 1,
    ContextCut = 2,
    ContextCopy = 3,
    ContextPaste = 4,
    ContextTrash = 5,
    ContextProperties = 6,
    ContextCreateShortcut = 16,
    ContextRename = 18,
    ContextSuppressed = 25, // does nothing
    ContextNewFolder = 30,
    ContextOpenWithFirst = 100, // + index into Apps
    ContextLast = 999,
};

// The entries the last context menu was shown for.
struct PaneContextState {
    int64_t Pane = 0;                // 5 or 10
    std::wstring Folder;             // the pane's folder, ending in "/"
    std::vector<std::wstring> Paths; // full paths of the selected entries
    std::vector<PfApp> Apps;         // "Öffnen mit" choices, default first
    int64_t NewFolderCommand = ContextNewFolder;
};
extern PaneContextState PaneContext;

// Shows popup 26 (or 27) for the pane's selected rows; folder = PanePath.
// Asked for from the keyboard (the Menu key, Shift+F10) it opens at the
// current row instead of the mouse pointer, and with nothing selected it is
// the current row's menu.
void ShowPaneContextMenu(int64_t window, int64_t pane, const std::wstring& folder,
                         bool from_key = false);
// 1 when the current EventMenu answers popup 26.
int64_t IsPaneContextAnswer(int64_t item);
// Runs the current EventMenu's context command.
void PaneContextCommand();
// Runs one command id for PaneContext.
void RunPaneContextCommand(int64_t command);
// Creates a shortcut ("Verknüpfung zu " + name, a symbolic link) to target
// next to it; shows a message when it cannot. 1 on success.
int64_t CreateShortcut(const std::wstring& target);
// The text of the "Eigenschaften" window for path; empty if it is gone.
std::wstring PropertiesText(const std::wstring& path);
// The folder "Einfügen" puts files into (paths: the selected entries,
// folder: the pane's): a single selected folder, else the pane's folder.
// Any thread: it looks at the file system.
std::wstring PasteTarget(const std::vector<std::wstring>& paths, const std::wstring& folder);
// Pastes the clipboard's files into PasteTarget through the copy or move
// job, one job per source folder, once the target was found out off the
// main thread. Returns the number of jobs asked for.
int64_t PasteFiles();
