// The main window: built once from the stored geometry, then laid out
// proportionally on every size change (the relayout is bound to the size
// event, so it runs live while the border is dragged).
#include "app/shell/main_window.h"

#include "app/config/drive_bar.h"
#include "app/core/app_state.h"
#include "app/core/ids.h"
#include "app/panes/pane_filter.h"
#include "app/panes/pane_bottom.h"
#include "app/panes/pane_sides.h"
#include "app/panes/pane_tabs.h"
#include "app/panes/panes.h"
#include "app/shell/main_menu.h"
#include "toolkit/gadgets.h"
#include "toolkit/tab_row.h"

#include <cmath>

namespace {

// Pane lists: several rows selectable, selection visible without focus,
// reorderable columns, whole-row selection.
constexpr uint32_t PaneListFlags =
    TkListMultiSelect | TkListShowSelectionAlways | TkListReorderableColumns | TkListFullRowSelect;
constexpr int64_t ComboFlags = TkComboEditable | TkComboScroll;

struct ColumnSpec {
    const wchar_t* title;
    int64_t width;
    int64_t percent;
};
constexpr ColumnSpec PaneColumns[4] = {
    {L"Name", 200, 50}, {L"Änderungsdatum", 100, 20}, {L"Typ", 90, 15}, {L"Größe", 80, 15}};

int64_t Round(double v) {
    return static_cast<int64_t>(std::lround(v));
}

void BuildPaneFrame(const PaneSide& g, int64_t x, int64_t last_drive) {
    tk_container_create(g.Frame, x, 30, 490, 520);
    tk_text_create(g.DiskInfo, DiskInfoX(last_drive), 4, 250, 16, L"Speicherausgabe");
    tk_list_create(g.List, 0, 40, 490, 480 - SelectionLineHeight, PaneColumns[ColName].title,
                   PaneColumns[ColName].width, PaneListFlags);
    for (int c = ColDate; c < ColCount; ++c)
        tk_list_add_column(g.List, c, PaneColumns[c].title, PaneColumns[c].width);
    tk_gadget_enable_drop(g.List, TkDropFiles, TkDropCopy | TkDropMove);
    tk_string_create(g.PathField, 0, 20, 370, 20, L"");
    tk_combo_create(g.Filter, 370, 20, 120, 20, ComboFlags);
    const int64_t tab_row = TabRowOfSide(&g - PaneSides);
    tk_tab_row_create(tab_row, 0, 40, 490, TabRowHeight);
    tk_gadget_hide(tab_row, 1); // until the side holds two tabs
    tk_list_set_column_align(g.List, ColSize, TkListAlignRight);
    for (int c = ColName; c < ColCount; ++c) App.ColumnPercent[c] = PaneColumns[c].percent;
    CreateDriveButtons(last_drive, App.*g.DriveButtons, App.DriveList);
    BuildPaneBottom(g.List);
    tk_gadget_list_close();
}

constexpr const wchar_t* FunctionKeyLabels[6] = {L"F3 Anzeigen", L"F4 Bearbeiten",   L"F5 Kopieren",
                                                 L"F6 Bewegen",  L"F7 Neuer Ordner", L"F8 Löschen"};

void BuildFunctionKeys(int64_t width, int64_t button_offset) {
    const double bw = (width - 20) / 6.0;
    const int64_t y = tk_gadget_height(PaneSides[0].Frame) + button_offset;
    for (int k = 0; k < 6; ++k)
        tk_button_create(GadViewButton + k, Round(k * bw + 10), y, Round(bw), 20,
                         FunctionKeyLabels[k]);
}

// The gadgets of a side inside its frame, as the frame is now.
void LayoutSide(const PaneSide& side) {
    const int64_t w = tk_gadget_width(side.Frame);
    const int64_t index = &side - PaneSides;
    const int64_t top = 40 + TabRowHeightOf(index);
    tk_gadget_resize(TabRowOfSide(index), 0, 40, w, TabRowHeight);
    tk_gadget_resize(side.List, 0, top, w, tk_gadget_height(side.Frame) - top - SelectionLineHeight);
    LayoutPaneBottom(side.List);
    tk_gadget_resize(side.PathField, 0, 20, w - 120, 20);
    tk_gadget_resize(side.Filter, w - 120, 20, 120, 20);
}

} // namespace

void BuildMainWindow(const std::wstring& title, int64_t flags, int64_t x, int64_t y, int64_t width,
                     int64_t height, int64_t button_offset) {
    tk_window_open(WinMain, x, y, width, height, title, flags, 0);
    App.DriveList.assign(1, DriveRecord{});
    const int64_t last_drive = EnumerateDrives(App.DriveList);
    tk_window_set_bounds(WinMain, 640, 480, -1, -1);
    BuildMainMenu();
    BuildPaneFrame(PaneSides[0], 10, last_drive);
    BuildPaneFrame(PaneSides[1], 520, last_drive);
    tk_string_create(GadCommandLine, 0, tk_gadget_height(PaneSides[0].Frame) + 10, width - 10, 20,
                     L"");
    BuildFunctionKeys(width, button_offset);
    FillFilterBoxes();
    for (const PaneSide& side : PaneSides) tk_gadget_add_item(side.Filter, 0, L"", 0);
    if (App.settings.WindowMaximized == 1) tk_window_set_state(WinMain, TkWindowStateMaximized);
}

void FillFilterBoxes() {
    const std::wstring& f = App.settings.ListFilter;
    // Bars separate the presets, the settings dialog writes one in front of
    // the first too; every preset between them is an entry ("png|jpg" two).
    std::vector<std::wstring> entries;
    for (size_t start = 0; start <= f.size();) {
        size_t bar = f.find(L'|', start);
        if (bar == std::wstring::npos) bar = f.size();
        if (bar > start) entries.push_back(f.substr(start, bar - start));
        start = bar + 1;
    }
    for (const PaneSide& side : PaneSides) {
        // Clearing the entries empties the edit line too, while the pane
        // stays narrowed by what it said: keep the typed filter.
        const std::wstring typed = tk_gadget_get_text(side.Filter);
        tk_gadget_clear_items(side.Filter);
        for (const std::wstring& entry : entries) tk_gadget_add_item(side.Filter, -1, entry, 0);
        tk_gadget_set_text(side.Filter, typed);
        // The rows follow what the box says now, whatever the refill did
        // to its edit line on the way.
        ApplyPaneFilter(side.List);
    }
}

// Layout of RelayoutMainWindow, in pixels of the client area.
namespace {
constexpr double FrameLeft = 10;    // margin between the window's left edge and the left frame
constexpr int64_t FrameTop = 32;    // frames start below the drive button row
constexpr double FrameShrink = 16;  // each frame gives up half of both outer margins and the gap
constexpr int64_t FrameGap = 12;    // space between the two frames
constexpr double BelowFrames = 108; // room under the frames: command line, button row, margin
constexpr double CommandLineStart = 34;  // the command line starts at this percentage of the width
constexpr double CommandLineMargin = 10; // ... and ends this far from the right edge
constexpr int64_t CommandLineDrop = 33;  // its top, one pixel under the frames' bottom
constexpr int64_t CommandLineHeight = 20;
constexpr int ButtonCount = 6;          // the function buttons in the bottom row
constexpr double ButtonRowMargins = 17; // 8 left of the first, 9 right of the last button
constexpr double ButtonRowLeft = 8;
constexpr int64_t ButtonDrop = 55; // top of the button row, under the command line
constexpr int64_t ButtonHeight = 24;
} // namespace

void RelayoutMainWindow() {
    const double W = static_cast<double>(tk_window_width(WinMain));
    const double H = static_cast<double>(tk_window_height(WinMain));
    const double M = static_cast<double>(tk_menu_bar_height());
    const double bw = (W - ButtonRowMargins) / ButtonCount;
    const PaneSide& left = PaneSides[0];
    const PaneSide& right = PaneSides[1];
    for (const PaneSide& side : PaneSides) tk_list_set_redraw(side.List, 0);
    tk_gadget_resize(left.Frame, Round(FrameLeft), FrameTop, Round(W / 2 - FrameShrink),
                     Round(H - M - BelowFrames));
    tk_gadget_resize(right.Frame, tk_gadget_width(left.Frame) + Round(FrameLeft) + FrameGap,
                     FrameTop, Round(W - W / 2 - FrameShrink), Round(H - M - BelowFrames));
    for (const PaneSide& side : PaneSides) {
        LayoutSide(side);
        ApplyColumnWidths(side.List);
    }
    for (const PaneSide& side : PaneSides) tk_list_set_redraw(side.List, 1);
    const int64_t frame_h = tk_gadget_height(left.Frame);
    const double command_x = W * CommandLineStart / 100;
    tk_gadget_resize(GadCommandLine, Round(command_x), frame_h + CommandLineDrop,
                     Round(W - command_x - CommandLineMargin), CommandLineHeight);
    for (int k = 0; k < ButtonCount; ++k)
        tk_gadget_resize(GadViewButton + k, Round(k * bw + ButtonRowLeft), frame_h + ButtonDrop,
                         Round(bw), ButtonHeight);
}

void InstallShellHooks() {
    ShellBuildMainWindow = BuildMainWindow;
    ShellRelayoutMainWindow = RelayoutMainWindow;
    ShellFillFilterBoxes = FillFilterBoxes;
}
