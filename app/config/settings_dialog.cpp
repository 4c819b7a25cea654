// The settings dialog: layout, the controls' immediate writes into the
// settings, and pushing the changes to the panes. See settings_dialog.h.
#include "app/config/settings_dialog.h"

#include <algorithm>

#include "app/config/config_hooks.h"
#include "app/config/config_ids.h"
#include "app/config/config_texts.h"
#include "app/config/settings.h"
#include "app/core/app_state.h"
#include "app/core/ids.h"
#include "app/core/shell_hooks.h"
#include "app/panes/pane_location.h"
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

constexpr int64_t PageCount = 2;

int64_t PageHeading(const wchar_t* text) {
    const int64_t g = tk_text_create(-1, 0, 0, 350, 16, text, TkTextCenter);
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

// A text wider than its place in the font of this desktop takes the room
// up to the next gadget on its line rather than being cut.
int64_t Widen(int64_t g, int64_t room) {
    const int64_t needed = std::min(tk_gadget_needed_width(g), room);
    if (needed > tk_gadget_width(g)) tk_gadget_resize(g, TkKeep, TkKeep, needed, TkKeep);
    return g;
}

int64_t Check(int64_t x, int64_t y, int64_t w, const wchar_t* text, int64_t on, int64_t room) {
    const int64_t g = Widen(tk_checkbox_create(-1, x, y, w, 16, text), room);
    tk_gadget_set_state(g, on != 0 ? 1 : 0);
    return g;
}

void BuildGeneralPage() {
    D().SettingsPages[0] = tk_container_create(-1, 110, 0, 350, 240);
    PageHeading(PageGeneral);
    D().SettingsChecks[0] = Check(10, 30, 200, CheckRemember, S().RememberWindow, 330);
    D().SettingsChecks[1] = Check(10, 46, 180, CheckHidden, S().ShowHidden, 188);
    D().SettingsChecks[2] = Check(200, 46, 200, CheckSystem, S().ShowSystem, 148);
    // Where the font makes both texts too wide for one line, the second
    // goes into the free line below them.
    if (tk_gadget_width(D().SettingsChecks[1]) < tk_gadget_needed_width(D().SettingsChecks[1]) ||
        tk_gadget_width(D().SettingsChecks[2]) < tk_gadget_needed_width(D().SettingsChecks[2])) {
        tk_gadget_resize(D().SettingsChecks[1], TkKeep, TkKeep, 330, TkKeep);
        tk_gadget_resize(D().SettingsChecks[2], 10, 62, 330, TkKeep);
    }
    tk_text_create(-1, 10, 80, 340, 16, SizeUnitsLabel);
    tk_text_create(-1, 10, 102, 60, 20, FilesLabel);
    D().SettingsCombos[0] = tk_combo_create(-1, 60, 100, 80, 20);
    AddUnits(D().SettingsCombos[0], S().FileSizeUnit);
    tk_text_create(-1, 200, 102, 60, 20, DrivesLabel);
    D().SettingsCombos[1] = tk_combo_create(-1, 260, 100, 80, 20);
    AddUnits(D().SettingsCombos[1], S().DriveSizeUnit);
    D().SettingsLabels[0] = Widen(tk_text_create(-1, 10, 142, 160, 20, ViewerLabel), 188);
    D().SettingsButtons[0] = tk_button_create(-1, 200, 140, 142, 20, ViewerButton);
    tk_text_create(-1, 10, 190, 120, 20, FilterLabel);
    tk_string_create(GadSettingsFilter, 10, 214, 332, 20, S().ListFilter);
    D().SettingsFields[0] =
        tk_string_create(-1, 10, 164, 332, 20, ViewerText(S().ViewerPath), TkStringReadOnly);
    tk_gadget_disable(D().SettingsFields[0], 1);
    tk_gadget_list_close();
}

void BuildFontPage() {
    D().SettingsPages[1] = tk_container_create(-1, 110, 0, 350, 240);
    PageHeading(PageFonts);
    tk_frame_create(-1, 2, 18, 346, 44, L"");
    const intptr_t font = tk_font_handle(S().ListFont);
    const int64_t name =
        tk_text_create(-1, 10, 30, 200, 40,
                       ListFontLabel + S().ListFontName + L" " + rt_str_from_int(S().ListFontSize));
    tk_frame_create(-1, 2, 54, 346, 58, L"");
    const int64_t sample = tk_text_create(-1, 10, 70, 330, 40, FontSample);
    if (font) {
        tk_gadget_set_font(name, font);
        tk_gadget_set_font(sample, font);
    }
    D().SettingsButtons[1] = tk_button_create(-1, 240, 30, 80, 20, FontButton);
    tk_gadget_list_close();
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

void Accept() {
    CloseDialog();
    if (D().SizeUnitChanged || D().FontChanged || D().FileDisplayChanged) PushToPanes();
    CallFillFilterBoxes();
}

void ChooseViewer() {
    const std::wstring path =
        ConfigFileRequester(ViewerRequesterTitle, EditorFileName(), ViewerRequesterPattern, 0);
    if (path.empty()) return;
    tk_gadget_set_text(D().SettingsFields[0], ViewerText(path));
    S().ViewerPath = path;
}

void ChangeFont() {
    if (ChooseListFont(GadLeftPane) != 2) return;
    D().FontChanged = 1;
    tk_window_close(WinSettings);
    // Rebuilt so that the preview texts show the new font.
    OpenSettingsDialog(SettingsTitleAfterFont, 0, 0, SettingsWidth, SettingsHeight);
    SelectPage(1);
}

int64_t Ticked(int64_t gadget) {
    return tk_gadget_get_state(gadget) == 1 ? 1 : 0;
}

// The controls with "any" numbers, told apart by the arrays.
void ArrayGadgetEvent(int64_t gadget, int64_t type) {
    if (gadget == D().SettingsButtons[0]) {
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
        break;
    case GadSettingsFilter:
        if (type == EventTypeChange) S().ListFilter = tk_gadget_get_text(GadSettingsFilter);
        break;
    default: ArrayGadgetEvent(gadget, type); break;
    }
}

} // namespace

std::wstring ViewerText(const std::wstring& path) {
    if (path.size() <= static_cast<size_t>(ViewerTextMax)) return path;
    return L"..." + path.substr(path.size() - ViewerTextTail);
}

void OpenSettingsDialog(const std::wstring& title, int64_t x, int64_t y, int64_t width,
                        int64_t height) {
    tk_window_disable(WinMain, 1);
    if (!tk_window_open(WinSettings, x, y, width, height, title, SettingsWindowFlags,
                        tk_window_handle(WinMain))) {
        tk_window_disable(WinMain, 0);
        return;
    }
    tk_listbox_create(GadSettingsPages, 0, 0, 110, 270);
    tk_gadget_add_item(GadSettingsPages, -1, PageGeneral);
    tk_gadget_add_item(GadSettingsPages, -1, PageFonts);
    BuildGeneralPage();
    BuildFontPage();
    tk_button_create(GadSettingsAccept, 350, 240, 110, 30, AcceptButton);
    tk_button_create(GadSettingsApply, 240, 240, 110, 30, ApplyButton);
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
