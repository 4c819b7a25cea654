// The application's one global record, AppState, and the records it holds.
//
// Owner thread: every field is read and written on the main thread only,
// unless its comment says otherwise. The panes are records of their own
// (app/panes/pane.h), as are their workers and watchers, which never touch
// AppState.
// Lifetime: zero-initialised at start (AppStateReset), lives for the whole
// run. Texts are owned by the record and copied on assignment.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

// The persisted settings ("Settings.pref") and the two that are not.
struct Settings {
    int64_t RememberWindow = 0;  // 0/1 "Fensterposition merken"
    int64_t WindowX = 0;         // px, outer x of the main window
    int64_t WindowY = 0;         // px, outer y of the main window
    int64_t WindowWidth = 0;     // px, inner width
    int64_t WindowHeight = 0;    // px, inner height (menu bar included)
    int64_t WindowMaximized = 0; // 0/1
    int64_t ShowHidden = 0;      // 0/1 list hidden entries
    int64_t ShowSystem = 0;      // 0/1 list system entries
    std::wstring ListFontName;   // face, empty = default
    int64_t ListFontBold = 0;    // 0 or 256
    int64_t ListFontItalic = 0;  // 0 or 512
    int64_t ListFontSize = 0;    // points, 0 = default
    int64_t FileSizeUnit = 0;    // 0..3 Byte, KB, MB, GB
    int64_t DriveSizeUnit = 0;   // 0..3
    std::wstring ViewerPath;     // program for F3
    std::wstring ListFilter;     // "|*.txt|*.cpp" style pattern list
    int64_t VerifyCopies = 0;    // 0/1 "Kopien prüfen": every copy read back and compared
    int64_t TrashOnDelete = 0;   // 0/1 "Löschen in den Papierkorb": F8 and Delete trash
    int64_t TabsAlwaysShown = 0; // 0/1 "Reiter immer zeigen": the tab row even with one tab
    int64_t ListFontColor = 0;   // 0xBBGGRR, not persisted
    int64_t ListFont = 0;        // toolkit font number of the list font, not persisted
    int64_t QuickSearch = 0;     // "Schnellsuche": 0 "Buchstaben", 1 "Alt+Buchstaben", 2 "Aus"
    int64_t NaturalOrder = 1;    // 0/1 "Zahlen in Namen nach Wert sortieren"
    int64_t PatternFolders = 0;  // 0/1 selecting by pattern takes folders, too
};

// One drive of the drive bar: a mounted volume.
struct DriveRecord {
    std::wstring Letter; // first character of the display name, upper-cased ("/" for root)
    std::wstring Label;  // volume label or the mount point's last component
    std::wstring Kind;   // "Hard Disk", "USB Laufwerk", "CD Rom", "Netzwerk"
    std::wstring Root;   // mount point, ending in "/"
};

struct DriveButtonRecord {
    int64_t Gadget = 0; // toolkit number of the button, 0 = no button in this slot
    DriveRecord Drive;
};

struct AppState {
    int64_t ActivePane = 0;             // 5 or 10: the list of the pane commands act on
    Settings settings;                  // persisted settings
    int64_t ColumnPercent[4];           // column widths of both panes in percent
    std::vector<DriveRecord> DriveList; // drives found, plus one spare
    std::vector<DriveButtonRecord> LeftDriveButtons;  // bar in frame 3
    std::vector<DriveButtonRecord> RightDriveButtons; // bar in frame 8
};

extern AppState App;

// Resets App to its start values (all zero, texts empty); the panes have
// ResetPanes (app/panes/pane_sides.h).
void AppStateReset();
// The list of the other pane: 10 for 5, 5 for 10.
int64_t OtherPane(int64_t pane);
