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
};

// ---- menus and menu items (main menu, shortcuts, popup 27) ----
enum : int64_t {
    MenuMain = 2,
    MenuPaneBackground = 27,

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
    MenuFirstToolbarButton = 400,
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
};
enum : int64_t {
    EventTypeColumnClick = 262144,
    EventTypeColumnResized = 262145,
};

// Background colour of the active pane's path field (0xBBGGRR).
constexpr int64_t ActivePathColor = 0xF6D6B3;
