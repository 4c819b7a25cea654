// Numbers the whole application shares: windows, main-window gadgets, menu
// items, item images and the application's own event codes and types.
// The toolkit's codes (EventGadget, EventMenu, …) live in toolkit/events.h.
#pragma once

#include <cstdint>

// ---- windows ----
enum : int64_t {
    WinMain = 0,
    WinSettings = 28,
    WinCopyProgress = 34,
    WinDeleteProgress = 35,
    WinNewFolder = 36,
    WinRename = 46,
    WinButtonBarEditor = 51,
    WinSelectPattern = 60, // "Auswahl erweitern" / "Auswahl verkleinern"
    WinJobs = 62, // "Aufträge": every file job since the start
    WinKeyTable = 63, // "Tastenbelegung" (F1): every key and its command
};

// ---- gadgets of the main window ----
enum : int64_t {
    GadToolbar = 2,
    GadLeftFrame = 3,
    GadLeftDiskInfo = 4,
    GadLeftPane = 5,
    GadLeftFilter = 6,
    GadLeftPath = 7,
    GadRightFrame = 8,
    GadRightDiskInfo = 9,
    GadRightPane = 10,
    GadRightFilter = 11,
    GadRightPath = 12,
    GadViewButton = 13,
    GadEditButton = 14,
    GadCopyButton = 15,
    GadMoveButton = 16,
    GadNewFolderButton = 17,
    GadDeleteButton = 18,
    GadCommandLine = 19,
    GadLeftSelectionLine = 150,  // under the left list: what is selected
    GadRightSelectionLine = 151, // under the right list
    GadLeftQuickSearch = 152,    // the left list's quick search field
    GadRightQuickSearch = 153,   // the right list's quick search field
    GadPatternText = 154,        // pattern dialog: the patterns typed
    GadPatternFolders = 155,     // pattern dialog: "Ordner einbeziehen"
    GadPatternOk = 156,
    GadPatternCancel = 157,
    GadPatternLabel = 158,
    GadLeftTabRow = 700, // the tab rows above the panes
    GadRightTabRow = 701,
};

// ---- menus and menu items (main menu, shortcuts, popup 27) ----
enum : int64_t {
    MenuMain = 2,
    MenuPaneBackground = 27,
    // the popup of a remote location's drive button
    MenuRemoteDrivePopup = 91,

    MenuSettings = 0,
    MenuButtonBar = 1,
    MenuDeleteKey = 2,
    MenuSpaceKey = 3,
    MenuReturnKey = 4,
    MenuViewKey = 6,          // F3
    MenuEditKey = 7,          // F4
    MenuCopyKey = 8,          // F5
    MenuMoveKey = 9,          // F6
    MenuNewFolderKey = 10,    // F7
    MenuDeleteButtonKey = 11, // F8
    MenuNewFolder = 12,
    MenuSettingsPopup = 13,
    MenuQuit = 14,
    MenuTabKey = 15,       // Tab: to the other pane
    MenuBackTabKey = 16,   // Shift+Tab
    MenuBackspaceKey = 17, // Backspace: up a folder
    MenuMenuBarKey = 18,   // F10: into the menu bar
    MenuRenameKey = 19,    // F2: rename in place
    // the commands of "Datei" and "Befehle" (app/shell/main_commands.cpp)
    MenuCopyFiles = 150,       // Ctrl+C: the selected files onto the clipboard
    MenuCutFiles = 151,        // Ctrl+X
    MenuPasteFiles = 152,      // Ctrl+V
    MenuContextKey = 153,      // Menu key, Shift+F10: context menu of the current row
    MenuSelectPattern = 154,   // Num +: "Auswahl erweitern"
    MenuDeselectPattern = 155, // Num -: "Auswahl verkleinern"
    MenuInvertSelection = 156, // Num *
    MenuSelectAll = 157,       // Ctrl+A
    MenuInsertKey = 158,       // Insert: pick the current row, move down
    MenuRefresh = 159,         // Ctrl+R: read the active pane again
    MenuSwapPanes = 160,       // Ctrl+U
    MenuSameFolder = 161,      // Ctrl+O: the active pane's folder also in the other
    MenuToggleHidden = 162,    // Ctrl+H
    MenuPathField = 163,       // Ctrl+L
    MenuFilterBox = 164,       // Ctrl+F
    MenuCommandLine = 165,     // Ctrl+K
    MenuNameToCommand = 166,   // Ctrl+Return
    MenuPathToCommand = 167,   // Ctrl+P
    MenuKeyTable = 168,        // F1
    MenuEscapeKey = 169,       // Escape: back to the pane list
    MenuJobs = 62,         // Ctrl+J: the "Aufträge" window
    MenuUndo = 40,         // Ctrl+Z: the last file operation undone
    MenuRedo = 41,         // Ctrl+Shift+Z, Ctrl+Y: and redone
    MenuPurgeKey = 42,     // Shift+F8, Shift+Delete: delete, never into the trash
    // "Trennen" on a remote location's drive button
    MenuRemoteDisconnect = 92,
    MenuFirstToolbarButton = 400,
    // Tabs: keys, then the tab menu's items, in a range of their own
    // (below 65536: a shortcut carries its item in 16 bits).
    MenuTabMenu = 702,          // popup of a tab
    MenuNewTabKey = 40000,      // Ctrl+T
    MenuCloseTabKey = 40001,    // Ctrl+W
    MenuNextTabKey = 40002,     // Ctrl+Tab
    MenuPreviousTabKey = 40003, // Ctrl+Shift+Tab
    MenuTabNumberKey = 40010,   // Alt+1 .. Alt+9: + 0 .. 8
    MenuTabNew = 40020,         // "Neuer Reiter"
    MenuTabClose = 40021,       // "Reiter schließen"
    MenuTabCloseOthers = 40022, // "Andere Reiter schließen"
    MenuTabLock = 40023,        // "Reiter sperren"
};

// Shift+Return in the command line: its command in a terminal.
enum : int64_t { MenuShiftReturnKey = 90 };

// ---- key codes of the shortcut tables (virtual-key codes, no modifiers) ----
enum : int64_t {
    KeyBackspace = 8,
    KeyTab = 9,
    KeyReturn = 13,
    KeyEscape = 27,
    KeySpace = 32,
    KeyDelete = 46,
    KeyF2 = 113,
    KeyF3 = 114,
    KeyF4 = 115,
    KeyF5 = 116,
    KeyF6 = 117,
    KeyF7 = 118,
    KeyF8 = 119,
    KeyF10 = 121,
    KeyInsert = 45,
    KeyMenu = 93,
    KeyF1 = 112,
    KeyNumMultiply = 106,
    KeyNumPlus = 107,
    KeyNumMinus = 109,
    KeyPlus = 187, // "+" of the main block
    KeyLetterY = 'Y',
    KeyLetterZ = 'Z',
};

// ---- images ----
enum : int64_t {
    ImgFile = 20,
    ImgDriveWork = 22, // scratch image the drive pictures are drawn on
    ImgFolder = 23,
    ImgParent = 24,
};

// ---- fonts ----
enum : int64_t {
    FontDriveLetter = 25,
};

// ---- the application's own event codes and gadget event types ----
enum : int32_t {
    EventJobDone = 33,
    EventPaneInfoReady = 65538,
    EventDirChanged = 65540,
    EventAnswerReady =
        65544, // a question asked off the main thread was answered (app/core/answers.h)
    EventUndoChanged = 65560, // the undo history changed (app/fileops/undo_history.h)
    // a remote login asks the user (app/core/remote_ask.h)
    EventRemoteAsk = 65546,
    // a remote location was mounted or unmounted (app/config/remote_drives.h)
    EventRemoteMounts = 65548,
};
enum : int64_t {
    EventTypeColumnClick = 262144,
    EventTypeColumnResized = 262145,
};

// Background colour of the active pane's path field (0xBBGGRR).
constexpr int64_t ActivePathColor = 0xF6D6B3;
