// The user button bar: the buttons the user configured (ButtonBarList), the
// toolbar built from them (toolbar 2 of the main window, ToolbarButtons) and
// the file "Data/Toolbar.bar" below the current folder that keeps them.
//
// Owns ButtonBarList and ToolbarButtons. Main thread only. Entries live in a
// std::list, so the editor may keep pointers to them (selection, drag) while
// others are inserted, removed or the list is sorted.
//
// Start-up calls LoadButtonBar once after the settings; when there is no file
// UseDefaultButtonBar adds the editor button "Notepad" (nothing is written).
// The file is written only by SaveButtonBar, which the editor's "Anwenden"
// calls: it replaces the file through a temporary one renamed over it, so a
// crash or a full disk leaves the old bar, never a cut one.
//
// Line format, UTF-8 without byte order mark, CR LF: Path|Tooltip|Action|
// Parameter| (every field followed by a bar). Toolbar buttons report EventMenu
// with item 400 + index; RunButtonBarItem runs action 2 (open Path).
#pragma once

#include <cstdint>
#include <list>
#include <string>
#include <vector>

// What the toolbar keeps per button, and the persisted values of an entry.
struct ToolbarButton {
    int64_t Result = 0;    // the toolbar's answer when the button was added
    int64_t Action = 0;    // 2 = open Path; anything else does nothing
    int32_t Parameter = 0; // stored and edited only
    std::wstring Path;     // program or file the button opens
    std::wstring Tooltip;
};

// One configured button.
struct ButtonBarEntry {
    int64_t IconWidth = 0;  // px width of IconImage (32)
    int64_t PreviewX = 0;   // px left edge on the editor's strip
    int64_t DragOffset = 0; // px, editor drag state, 0 outside a drag
    int64_t DragMin = 0;
    int64_t DragMax = 0;
    int64_t IconImage = 0; // toolkit image number, 0 = none
    ToolbarButton Button;
};

extern std::list<ButtonBarEntry> ButtonBarList;
// One element per toolbar button plus a spare at the end.
extern std::vector<ToolbarButton> ToolbarButtons;

constexpr int64_t ButtonBarIconSize = 32;
constexpr int64_t ActionOpen = 2;

// "<current folder>Data/Toolbar.bar" and its folder.
std::wstring ButtonBarFolder();
std::wstring ButtonBarFile();

// Fills the persisted fields of entry from one file line (other fields are
// left alone); fields after the fourth bar are ignored, an unclosed one is
// dropped.
void ParseButtonBarLine(const std::wstring& line, ButtonBarEntry& entry);
// The file line of an entry, without CR LF.
std::wstring ButtonBarLine(const ButtonBarEntry& entry);

// Reads the file into list (appending) and adds a toolbar button per entry.
// 1 when the file was opened (also when empty), 0 when not.
int64_t LoadButtonBar(std::list<ButtonBarEntry>& list);
// The bar without a file: the editor as "Notepad".
void UseDefaultButtonBar();
// Writes list into the file, creating the folder "Data" when it is missing.
// 1 on success; 0 when the file cannot be written (the old one is kept).
int64_t SaveButtonBar(const std::list<ButtonBarEntry>& list);

// Creates toolbar 2 on the main window (large buttons at 10, 0, 400 x 32),
// replacing one that exists. 1 when it was created.
int64_t CreateButtonBarToolbar();
// Appends a button for image (handle) with item id 400 + its index to
// toolbar 2 and records it in buttons (which keeps its spare element).
void AddToolbarButton(std::vector<ToolbarButton>& buttons, intptr_t image, const std::wstring& path,
                      int64_t action, const std::wstring& tooltip);
// Rebuilds toolbar 2 and ToolbarButtons from list.
void RebuildToolbar(const std::list<ButtonBarEntry>& list);
// A new 32 x 32 image for path: the icon its desktop entry names for a
// program, the type's theme icon for a document, else a built-in picture.
// Reads the file system on the calling thread (the editor, for a file the
// user has just chosen); the bar itself looks for its icons off the main
// thread and shows the built-in picture until they come.
int64_t ButtonIconFromFile(const std::wstring& path);
// For the current EventMenu: runs the toolbar button it names (once the
// file system said whether its file is there). 1 when the id was a
// button's, 0 otherwise.
int64_t RunButtonBarItem();

// Empties the list and the toolbar records (start and tests).
void ButtonBarReset();

// Where the button bar leaves the program: opening a path, through a
// pointer tests point at a recorder, and telling the user about a failure,
// an error message through the message seam (app/core/message_dialog.h).
using ButtonBarOpenFn = int (*)(const std::wstring& file, const std::wstring& params,
                                const std::wstring& folder);
extern ButtonBarOpenFn ButtonBarOpen; // pf_shell_open (rt_program_run for a bare name)
void ButtonBarMessage(const std::wstring& headline, const std::wstring& text);
