// The settings dialog: its layout for the font it shows, the controls'
// immediate writes into the settings, pushing the changes to the panes, and
// "Abbrechen", which puts back what was changed since the dialog opened or
// "Anwenden" last pushed it. See settings_dialog.h.
#include "app/config/settings_dialog.h"

#include <algorithm>
#include <array>
#include <vector>

#include "app/config/config_hooks.h"
#include "app/config/config_ids.h"
#include "app/config/config_texts.h"
#include "app/config/settings.h"
#include "app/config/settings_habits_page.h"
#include "app/core/app_state.h"
#include "app/core/ids.h"
#include "app/core/shell_hooks.h"
#include "app/panes/name_fold.h"
#include "app/panes/pane_location.h"
#include "app/panes/pane_sides.h"
#include "app/panes/pane_tabs.h"
#include "app/panes/panes.h"
#include "runtime/numbers.h"
#include "toolkit/gadgets.h"

SettingsDialogState SettingsDialog;

namespace {

Settings& S() {
    return App.settings;
}
SettingsDialogState& D() {
    return SettingsDialog;
}

constexpr int64_t PageCount = 3;

// Texts and gadgets of this file's own: the way out without keeping the
// changes, and the way back to the desktop's viewer.
constexpr const wchar_t* CancelButton = L"Abbrechen";
constexpr const wchar_t* ViewerRemoveButton = L"Entfernen";
constexpr const wchar_t* ViewerRemoveTip = L"Kein eigener Dateibetrachter: F3 öffnet mit dem "
                                           L"Programm, das der Desktop für die Datei vorsieht";
int64_t CancelGadget = 0;
int64_t ViewerRemoveGadget = 0;

// ---- layout ----
// The dialog is laid out for the font it shows: at the desktop's usual
// font every gadget has the place and size of the table below; a larger
// text moves the gadgets after it to the right and the rows after it down,
// only as far as it needs, and the window grows to hold the widest row.

constexpr int64_t Gap = 6;          // px between two gadgets of a row
constexpr int64_t RowGap = 2;       // px at least between two rows
constexpr int64_t PageX = 110;      // the pages lie right of the page list
constexpr int64_t PageWidth = 350;  // px at the usual font
constexpr int64_t PageHeight = 240; // px at the usual font
constexpr int64_t RightMargin = 8;  // px right of the widest row
constexpr int64_t ButtonHeight = 30;
constexpr int64_t ButtonWidth = 110;

struct Cell {
    int64_t gadget = 0;
    int64_t x = 0, width = 0; // at the usual font
    int64_t drop = 0;         // px a label sits below the row's top, by its box
    int64_t to_edge = -1;     // >= 0: widens to this many px left of the page's edge
    bool wraps = false;       // a text of several lines: grows in height, not width
};
struct Row {
    int64_t y = 0, height = 0; // at the usual font
    std::vector<Cell> cells;
};

// Places the cells of a row side by side: each at least at its own x,
// right of the one before, as wide as its text needs. Returns the page
// width the row needs.
int64_t LayRowAcross(const Row& row) {
    int64_t right = 0, need = 0;
    for (const Cell& c : row.cells) {
        const int64_t x = std::max(c.x, right == 0 ? c.x : right + Gap);
        const int64_t width =
            c.wraps ? c.width : std::max(c.width, tk_gadget_needed_width(c.gadget));
        tk_gadget_resize(c.gadget, x, TkKeep, width, TkKeep);
        right = x + width;
        need = std::max(need, right + (c.to_edge >= 0 ? c.to_edge : RightMargin));
    }
    return need;
}

// Widens the cells that reach to the page's edge, then places the rows one
// below the other: each at least at its own y and below the one before.
// Returns the bottom of the last row.
int64_t LayRowsDown(const std::vector<Row>& rows, int64_t page_width) {
    int64_t shift = 0, bottom = 0;
    for (const Row& row : rows) {
        int64_t height = row.height;
        for (const Cell& c : row.cells) {
            if (c.to_edge >= 0)
                tk_gadget_resize(c.gadget, TkKeep, TkKeep,
                                 page_width - c.to_edge - tk_gadget_x(c.gadget), TkKeep);
            height = std::max(height, tk_gadget_needed_height(c.gadget) + c.drop);
        }
        int64_t y = row.y + shift;
        if (bottom > 0 && y < bottom + RowGap) {
            shift += bottom + RowGap - y;
            y = bottom + RowGap;
        }
        for (const Cell& c : row.cells)
            tk_gadget_resize(c.gadget, TkKeep, y + c.drop, TkKeep, height - c.drop);
        bottom = y + height;
    }
    return bottom;
}

int64_t PageWidthFor(const std::vector<Row>& rows) {
    int64_t need = PageWidth;
    for (const Row& row : rows) need = std::max(need, LayRowAcross(row));
    return need;
}

int64_t PageHeading(const wchar_t* text) {
    const int64_t g = tk_text_create(-1, 0, 0, PageWidth, 16, text, TkTextCenter);
    tk_gadget_set_color(g, TkColorBack, SettingsPageColor);
    return g;
}

void AddUnits(int64_t combo, int64_t selected) {
    const std::wstring units = UnitTexts;
    size_t start = 0;
    while (start <= units.size()) {
        size_t comma = units.find(L',', start);
        if (comma == std::wstring::npos) comma = units.size();
        tk_gadget_add_item(combo, -1, units.substr(start, comma - start));
        start = comma + 1;
    }
    tk_gadget_set_state(combo, selected);
}

int64_t Check(int64_t x, int64_t y, int64_t w, const wchar_t* text, int64_t on) {
    const int64_t g = tk_checkbox_create(-1, x, y, w, 16, text);
    tk_gadget_set_state(g, on != 0 ? 1 : 0);
    return g;
}

// The gadgets of page "Allgemein", created in the order of their tab
// stops, and their rows.
std::vector<Row> BuildGeneralPage() {
    D().SettingsPages[0] = tk_container_create(-1, PageX, 0, PageWidth, PageHeight);
    const int64_t heading = PageHeading(PageGeneral);
    auto& checks = D().SettingsChecks;
    checks[0] = Check(10, 30, 200, CheckRemember, S().RememberWindow);
    checks[1] = Check(10, 46, 180, CheckHidden, S().ShowHidden);
    checks[2] = Check(200, 46, 200, CheckSystem, S().ShowSystem);
    checks[5] = Check(170, 30, 150, CheckTabsAlways, S().TabsAlwaysShown);
    const int64_t units = tk_text_create(-1, 10, 80, 340, 16, SizeUnitsLabel);
    const int64_t files = tk_text_create(-1, 10, 102, 50, 18, FilesLabel);
    D().SettingsCombos[0] = tk_combo_create(-1, 60, 100, 80, 20);
    AddUnits(D().SettingsCombos[0], S().FileSizeUnit);
    const int64_t drives = tk_text_create(-1, 170, 102, 60, 18, DrivesLabel);
    D().SettingsCombos[1] = tk_combo_create(-1, 242, 100, 80, 20);
    AddUnits(D().SettingsCombos[1], S().DriveSizeUnit);
    D().SettingsLabels[0] = tk_text_create(-1, 10, 142, 160, 18, ViewerLabel);
    D().SettingsButtons[0] = tk_button_create(-1, 200, 140, 142, 20, ViewerButton);
    const int64_t filter = tk_text_create(-1, 10, 190, 120, 20, FilterLabel);
    tk_string_create(GadSettingsFilter, 10, 214, 332, 20, S().ListFilter);
    D().SettingsFields[0] =
        tk_string_create(-1, 10, 164, 246, 20, ViewerText(S().ViewerPath), TkStringReadOnly);
    tk_gadget_disable(D().SettingsFields[0], 1);
    ViewerRemoveGadget = tk_button_create(-1, 262, 164, 80, 20, ViewerRemoveButton);
    tk_gadget_tooltip(ViewerRemoveGadget, ViewerRemoveTip);
    tk_gadget_disable(ViewerRemoveGadget, S().ViewerPath.empty() ? 1 : 0);
    checks[3] = Check(10, 240, 200, CheckVerify, S().VerifyCopies);
    checks[4] = Check(10, 258, 250, CheckTrash, S().TrashOnDelete);
    tk_gadget_list_close();

    std::vector<Row> rows = {
        {0, 16, {{heading, 0, PageWidth, 0, 0}}},
        {30, 16, {{checks[0], 10, 150}, {checks[5], 170, 140}}},
        {46, 16, {{checks[1], 10, 180}, {checks[2], 200, 140}}},
        {80, 16, {{units, 10, 330}}},
        {100,
         20,
         {{files, 10, 46, 2},
          {D().SettingsCombos[0], 60, 80},
          {drives, 170, 56, 2},
          {D().SettingsCombos[1], 242, 80}}},
        {140, 20, {{D().SettingsLabels[0], 10, 160, 2}, {D().SettingsButtons[0], 200, 142, 0, 8}}},
        {164, 20, {{D().SettingsFields[0], 10, 246}, {ViewerRemoveGadget, 262, 80, 0, 8}}},
        {190, 20, {{filter, 10, 120}}},
        {214, 20, {{GadSettingsFilter, 10, 332, 0, 8}}},
        {240, 16, {{checks[3], 10, 200}}},
        {258, 16, {{checks[4], 10, 250}}},
    };
    // Where both check boxes do not fit on one line, the second goes into
    // the free line below them.
    const int64_t pair = 10 + tk_gadget_needed_width(checks[1]) + Gap +
                         tk_gadget_needed_width(checks[2]) + RightMargin;
    if (pair > PageWidth) {
        rows[2].cells.pop_back();
        rows.insert(rows.begin() + 3, Row{62, 16, {{checks[2], 10, 180}}});
    }
    // "Reiter immer zeigen" beside "Fensterposition merken", or on a line
    // of its own below it where both do not fit.
    const int64_t beside = std::max<int64_t>(170, 10 + tk_gadget_needed_width(checks[0]) + Gap) +
                           tk_gadget_needed_width(checks[5]) + RightMargin;
    if (beside > PageWidth) {
        rows[1].cells.pop_back();
        rows.insert(rows.begin() + 2, Row{46, 16, {{checks[5], 10, 180}}});
    }
    return rows;
}

// Page "Schriften": the list font's name and a sample in the list font.
std::vector<Row> BuildFontPage(std::array<int64_t, 2>& frames) {
    D().SettingsPages[1] = tk_container_create(-1, PageX, 0, PageWidth, PageHeight);
    const int64_t heading = PageHeading(PageFonts);
    frames[0] = tk_frame_create(-1, 2, 18, 346, 44, L"");
    const intptr_t font = tk_font_handle(S().ListFont);
    const int64_t name =
        tk_text_create(-1, 10, 30, 200, 24,
                       ListFontLabel + S().ListFontName + L" " + rt_str_from_int(S().ListFontSize));
    frames[1] = tk_frame_create(-1, 2, 54, 346, 58, L"");
    const int64_t sample = tk_text_create(-1, 10, 70, 330, 40, FontSample);
    if (font) {
        tk_gadget_set_font(name, font);
        tk_gadget_set_font(sample, font);
    }
    D().SettingsButtons[1] = tk_button_create(-1, 240, 30, 80, 20, FontButton);
    tk_gadget_list_close();
    return {
        {0, 16, {{heading, 0, PageWidth, 0, 0}}},
        {30, 24, {{name, 10, 200, 0, -1, true}, {D().SettingsButtons[1], 240, 80}}},
        {70, 40, {{sample, 10, 330, 0, 10, true}}},
    };
}

// The frames of page "Schriften" around its two rows.
void LayFontFrames(const std::array<int64_t, 2>& frames, const std::vector<Row>& rows,
                   int64_t page_width) {
    const int64_t name_bottom =
        tk_gadget_y(rows[1].cells[0].gadget) + std::max(tk_gadget_height(rows[1].cells[0].gadget),
                                                        tk_gadget_height(rows[1].cells[1].gadget));
    const int64_t sample = rows[2].cells[0].gadget;
    tk_gadget_resize(frames[0], 2, 18, page_width - 4, std::max<int64_t>(44, name_bottom + 8 - 18));
    const int64_t top = tk_gadget_y(sample) - 16;
    tk_gadget_resize(
        frames[1], 2, top, page_width - 4,
        std::max<int64_t>(58, tk_gadget_y(sample) + tk_gadget_height(sample) + 2 - top));
}

// Sizes the pages and the window for the texts' font and puts the buttons
// along the bottom, right-aligned.
void LayOutDialog(const std::vector<Row>& general, const std::vector<Row>& fonts,
                  const std::array<int64_t, 2>& frames) {
    const int64_t page_width =
        std::max({PageWidthFor(general), PageWidthFor(fonts), HabitsPageWidth()});
    int64_t page_height = std::max({LayRowsDown(general, page_width),
                                    LayRowsDown(fonts, page_width), LayOutHabitsPage(page_width)});
    LayFontFrames(frames, fonts, page_width);
    page_height = std::max(PageHeight, page_height + Gap);
    for (size_t i = 0; i < PageCount; ++i)
        tk_gadget_resize(D().SettingsPages[i], PageX, 0, page_width, page_height);

    const int64_t buttons[] = {GadSettingsAccept, GadSettingsApply, CancelGadget};
    int64_t button_width = ButtonWidth, button_height = ButtonHeight;
    for (int64_t b : buttons) {
        button_width = std::max(button_width, tk_gadget_needed_width(b));
        button_height = std::max(button_height, tk_gadget_needed_height(b));
    }
    const int64_t width = PageX + page_width;
    const int64_t height = page_height + button_height;
    for (size_t i = 0; i < std::size(buttons); ++i)
        tk_gadget_resize(buttons[i], width - static_cast<int64_t>(i + 1) * button_width,
                         page_height, button_width, button_height);
    tk_gadget_resize(GadSettingsPages, 0, 0, PageX, height);
    tk_window_resize(WinSettings, width, height);
}

void ShowPage(int64_t page) {
    for (int64_t i = 0; i < tk_gadget_count_items(GadSettingsPages); ++i)
        tk_gadget_hide(D().SettingsPages[static_cast<size_t>(i)], 1);
    if (page >= 0 && page < PageCount)
        tk_gadget_hide(D().SettingsPages[static_cast<size_t>(page)], 0);
}

void SelectPage(int64_t page) {
    tk_gadget_activate(GadSettingsPages);
    tk_gadget_set_state(GadSettingsPages, page);
    ShowPage(page);
}

void RefreshPane(int64_t pane) {
    SetPaneLocation(pane, PanePath(pane));
    ShowPath(pane, L"", ShowRefresh);
}

void PushToPanes() {
    ApplyListFont(GadLeftPane);
    ApplyListFont(GadRightPane);
    RefreshPane(GadRightPane);
    RefreshPane(GadLeftPane);
    D().SizeUnitChanged = D().FontChanged = D().FileDisplayChanged = 0;
}

void CloseDialog() {
    tk_window_close(WinSettings);
    tk_window_disable(WinMain, 0);
    ApplyListFont(GadLeftPane);
    ApplyListFont(GadRightPane);
}

// ---- "Abbrechen": the settings as they were ----
// What the dialog's controls change, as it was when the dialog opened or
// "Anwenden" last pushed it to the panes.
Settings Kept;
bool Rebuilding = false; // the dialog is reopened for a new font: keep Kept

void Keep() {
    Kept = S();
}

bool SameListFont(const Settings& a, const Settings& b) {
    return a.ListFontName == b.ListFontName && a.ListFontSize == b.ListFontSize &&
           a.ListFontBold == b.ListFontBold && a.ListFontItalic == b.ListFontItalic;
}

void PutBack() {
    Settings& s = S();
    if (!SameListFont(s, Kept)) {
        if (tk_font_exists(s.ListFont)) tk_font_free(s.ListFont);
        s.ListFont = tk_font_load(-1, Kept.ListFontName, Kept.ListFontSize,
                                  Kept.ListFontBold | Kept.ListFontItalic);
    }
    s.RememberWindow = Kept.RememberWindow;
    s.ShowHidden = Kept.ShowHidden;
    s.ShowSystem = Kept.ShowSystem;
    s.ListFontName = Kept.ListFontName;
    s.ListFontBold = Kept.ListFontBold;
    s.ListFontItalic = Kept.ListFontItalic;
    s.ListFontSize = Kept.ListFontSize;
    s.ListFontColor = Kept.ListFontColor;
    s.FileSizeUnit = Kept.FileSizeUnit;
    s.DriveSizeUnit = Kept.DriveSizeUnit;
    s.ViewerPath = Kept.ViewerPath;
    s.ListFilter = Kept.ListFilter;
    s.QuickSearch = Kept.QuickSearch;
    s.NaturalOrder = Kept.NaturalOrder;
    s.PatternFolders = Kept.PatternFolders;
    SetNaturalNameOrder(s.NaturalOrder != 0);
    s.VerifyCopies = Kept.VerifyCopies;
    s.TrashOnDelete = Kept.TrashOnDelete;
    s.TabsAlwaysShown = Kept.TabsAlwaysShown;
    for (int64_t side = 0; side < PaneSideCount; ++side) UpdateTabRow(side);
}

// Closes without keeping the changes. A pane that was re-read meanwhile
// (its folder changed) may show the changed hidden entries or units: both
// are read again then.
void Cancel() {
    PutBack();
    const bool shown = D().SizeUnitChanged || D().FileDisplayChanged;
    D().FontChanged = 0;
    CloseDialog();
    if (shown) PushToPanes();
}

void Accept() {
    CloseDialog();
    if (D().SizeUnitChanged || D().FontChanged || D().FileDisplayChanged) PushToPanes();
    CallFillFilterBoxes();
}

void SetViewer(const std::wstring& path) {
    tk_gadget_set_text(D().SettingsFields[0], ViewerText(path));
    tk_gadget_disable(ViewerRemoveGadget, path.empty() ? 1 : 0);
    S().ViewerPath = path;
}

void ChooseViewer() {
    const std::wstring path =
        ConfigFileRequester(ViewerRequesterTitle, EditorFileName(), ViewerRequesterPattern, 0);
    if (!path.empty()) SetViewer(path); // a cancelled requester changes nothing
}

void ChangeFont() {
    if (ChooseListFont(GadLeftPane) != 2) return;
    D().FontChanged = 1;
    tk_window_close(WinSettings);
    // Rebuilt so that the preview texts show the new font.
    Rebuilding = true;
    OpenSettingsDialog(SettingsTitleAfterFont, 0, 0, SettingsWidth, SettingsHeight);
    Rebuilding = false;
    SelectPage(1);
}

int64_t Ticked(int64_t gadget) {
    return tk_gadget_get_state(gadget) == 1 ? 1 : 0;
}

// The controls with "any" numbers, told apart by the arrays.
void ArrayGadgetEvent(int64_t gadget, int64_t type) {
    if (gadget == CancelGadget) {
        Cancel();
    } else if (gadget == ViewerRemoveGadget) {
        SetViewer(L""); // F3 opens with the desktop's application again
    } else if (gadget == D().SettingsButtons[0]) {
        ChooseViewer();
    } else if (gadget == D().SettingsButtons[1]) {
        ChangeFont();
    } else if (gadget == D().SettingsChecks[0]) {
        S().RememberWindow = Ticked(gadget);
    } else if (gadget == D().SettingsChecks[1]) {
        D().FileDisplayChanged = 1;
        S().ShowHidden = Ticked(gadget);
    } else if (gadget == D().SettingsChecks[2]) {
        D().FileDisplayChanged = 1;
        S().ShowSystem = Ticked(gadget);
    } else if (gadget == D().SettingsChecks[3]) {
        S().VerifyCopies = Ticked(gadget);
    } else if (gadget == D().SettingsChecks[4]) {
        S().TrashOnDelete = Ticked(gadget);
    } else if (gadget == D().SettingsChecks[5]) {
        S().TabsAlwaysShown = Ticked(gadget);
        for (int64_t side = 0; side < PaneSideCount; ++side) UpdateTabRow(side);
    } else if (gadget == D().SettingsCombos[0] && type == EventTypeChange) {
        D().SizeUnitChanged = 1;
        S().FileSizeUnit = tk_gadget_get_state(gadget);
    } else if (gadget == D().SettingsCombos[1] && type == EventTypeChange) {
        D().SizeUnitChanged = 1;
        S().DriveSizeUnit = tk_gadget_get_state(gadget);
    }
}

void GadgetEvent(int64_t gadget, int64_t type) {
    switch (gadget) {
    case GadSettingsPages: ShowPage(tk_gadget_get_state(GadSettingsPages)); break;
    case GadSettingsAccept: Accept(); break;
    case GadSettingsApply:
        PushToPanes();
        CallFillFilterBoxes();
        Keep();
        break;
    case GadSettingsFilter:
        if (type == EventTypeChange) S().ListFilter = tk_gadget_get_text(GadSettingsFilter);
        break;
    default:
        if (int64_t reorder = 0; HabitsPageEvent(gadget, type, &reorder)) {
            if (reorder) D().FileDisplayChanged = 1; // the panes are read and sorted again
            break;
        }
        ArrayGadgetEvent(gadget, type);
        break;
    }
}

} // namespace

std::wstring ViewerText(const std::wstring& path) {
    if (path.size() <= static_cast<size_t>(ViewerTextMax)) return path;
    return L"..." + path.substr(path.size() - ViewerTextTail);
}

void OpenSettingsDialog(const std::wstring& title, int64_t x, int64_t y, int64_t width,
                        int64_t height) {
    if (!Rebuilding) Keep();
    tk_window_disable(WinMain, 1);
    if (!tk_window_open(WinSettings, x, y, width, height, title, SettingsWindowFlags,
                        tk_window_handle(WinMain))) {
        tk_window_disable(WinMain, 0);
        return;
    }
    tk_listbox_create(GadSettingsPages, 0, 0, PageX, 270);
    tk_gadget_add_item(GadSettingsPages, -1, PageGeneral);
    tk_gadget_add_item(GadSettingsPages, -1, PageFonts);
    tk_gadget_add_item(GadSettingsPages, -1, L"Bedienung");
    const std::vector<Row> general = BuildGeneralPage();
    std::array<int64_t, 2> frames{};
    const std::vector<Row> fonts = BuildFontPage(frames);
    D().SettingsPages[2] = BuildHabitsPage(PageX, PageWidth, PageHeight);
    tk_button_create(GadSettingsAccept, 350, 240, ButtonWidth, ButtonHeight, AcceptButton);
    tk_button_create(GadSettingsApply, 240, 240, ButtonWidth, ButtonHeight, ApplyButton);
    CancelGadget = tk_button_create(-1, 130, 240, ButtonWidth, ButtonHeight, CancelButton);
    tk_window_set_default_button(WinSettings, GadSettingsAccept);
    tk_window_set_cancel_button(WinSettings, CancelGadget);
    LayOutDialog(general, fonts, frames);
    SelectPage(0);
}

void SettingsDialogCommand() {
    OpenSettingsDialog(SettingsTitle, 0, 0, SettingsWidth, SettingsHeight);
}

int64_t SettingsDialogEvent(int64_t value) {
    if (value == EventCloseWindow)
        CloseDialog();
    else if (value == EventGadget)
        GadgetEvent(tk_event_gadget(), tk_event_type());
    return 0;
}

int64_t ChooseListFont(int64_t) {
    ChosenFont chosen;
    if (!ConfigFontRequester(S().ListFontName, S().ListFontSize, TkFontRequesterEffects,
                             S().ListFontColor, S().ListFontBold | S().ListFontItalic, chosen))
        return 0;
    S().ListFontName = chosen.Name;
    S().ListFontSize = chosen.Size;
    S().ListFontColor = chosen.Color;
    S().ListFontBold = (chosen.Style & TkFontBold) ? int64_t{TkFontBold} : 0;
    S().ListFontItalic = (chosen.Style & TkFontItalic) ? int64_t{TkFontItalic} : 0;
    if (tk_font_exists(S().ListFont)) tk_font_free(S().ListFont);
    S().ListFont =
        tk_font_load(-1, S().ListFontName, S().ListFontSize, S().ListFontBold | S().ListFontItalic);
    return 2;
}
