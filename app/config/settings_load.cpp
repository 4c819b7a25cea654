// Reading "Settings.pref" at start-up, the defaults used without it, and the
// opening of the main window that both share. See settings.h.
#include <pwd.h>
#include <unistd.h>

#include <algorithm>
#include <cwchar>

#include "app/config/settings.h"
#include "app/config/settings_keys.h"
#include "app/config/tabs_settings.h"
#include "app/core/app_state.h"
#include "app/core/ids.h"
#include "app/core/shell_hooks.h"
#include "app/panes/name_fold.h"
#include "app/panes/pane.h"
#include "app/panes/pane_location.h"
#include "app/panes/pane_remote.h"
#include "app/panes/pane_sides.h"
#include "app/panes/pane_tabs.h"
#include "app/panes/panes.h"
#include "runtime/files.h"
#include "runtime/prefs.h"
#include "runtime/text.h"
#include "toolkit/gadgets.h"

namespace {

int64_t ToolkitDesktopCount() {
    return tk_desktop_count();
}
int64_t ToolkitDesktopWidth(int64_t index) {
    return tk_desktop_width(index);
}
int64_t ToolkitDesktopHeight(int64_t index) {
    return tk_desktop_height(index);
}

// The text a pane folder key fills: element 0 of the history of the pane
// its side shows.
std::wstring& PaneStartFolder(int side) {
    std::vector<std::wstring>& paths = PaneOf(PaneSides[side].List)->History.Paths;
    if (paths.empty()) paths.resize(1);
    return paths[0];
}

// Group of the key read last; a group is selected only when it changes.
const wchar_t* CurrentGroup = nullptr;

void ReadKey(SettingIndex index) {
    const SettingKey& key = SettingKeys[index];
    if (!CurrentGroup || std::wcscmp(CurrentGroup, key.Group) != 0) rt_pref_group(key.Group);
    CurrentGroup = key.Group;
    Settings& s = App.settings;
    if (key.Number)
        s.*key.Number = rt_pref_read_long(key.Key, key.Default);
    else if (key.Text)
        s.*key.Text = rt_pref_read_string(key.Key, key.DefaultText);
    else if (key.Pane >= 0)
        PaneStartFolder(key.Pane) =
            PaneFolderFromFile(rt_pref_read_string(key.Key, SettingsQuery.StartFolder()));
}

// What ReadKey gives for a key absent from the file.
void TakeDefault(SettingIndex index) {
    const SettingKey& key = SettingKeys[index];
    Settings& s = App.settings;
    if (key.Number)
        s.*key.Number = key.Default;
    else if (key.Text)
        s.*key.Text = key.DefaultText;
    else if (key.Pane >= 0)
        PaneStartFolder(key.Pane) = SettingsQuery.StartFolder();
}

// Whether ReadSettings read the file, and its centre key, for OpenSettingsWindow.
bool FileRead = false;
int64_t FileCenter = 0;

// Creates the list font, opens the main window, applies the list font and
// shows the panes' start folders, right pane first.
void OpenMainWindow(int64_t center) {
    Settings& s = App.settings;
    if (s.ListFont && tk_font_exists(s.ListFont)) tk_font_free(s.ListFont);
    s.ListFont =
        tk_font_load(-1, s.ListFontName, s.ListFontSize, s.ListFontBold | s.ListFontItalic);
    int64_t width = center ? CenteredWidth : s.WindowWidth;
    int64_t height = center ? CenteredHeight : s.WindowHeight;
    CallBuildMainWindow(MainWindowTitle, MainWindowFlags, s.WindowX, s.WindowY, width, height,
                        MainButtonOffset);
    // What is saved is the size the window got, not the size asked for.
    if (tk_window_width(WinMain) > 0) s.WindowWidth = tk_window_width(WinMain);
    if (tk_window_height(WinMain) > 0) s.WindowHeight = tk_window_height(WinMain);
    for (const PaneSide& side : PaneSides) ApplyListFont(side.List);
    // The tab rows take their room before the panes show anything, in one
    // layout for both sides.
    bool rows_changed = false;
    for (int64_t side = 0; side < PaneSideCount; ++side)
        rows_changed = UpdateTabRow(side, false) || rows_changed;
    if (rows_changed) CallRelayoutMainWindow();
    // A start folder that is gone (an unplugged stick, a deleted project)
    // opens its nearest existing ancestor, instead of greeting the user with
    // an error message and an empty pane; so does a stored path with a NUL.
    // That is found out on the reading thread, as a hanging mount must not
    // keep the window from opening.
    for (auto side = std::rbegin(PaneSides); side != std::rend(PaneSides); ++side)
        ShowStartFolder(side->List, SettingsQuery.StartFolder());
    for (int64_t side = 0; side < PaneSideCount; ++side) WatchForSilence(side);
}

// Below this width the four columns of a pane cannot all show their texts
// (a date, a size, "Einfaches Textdokument" and a name beside them).
constexpr int64_t ColumnsShowWidth = 1120;

// The first start, without a settings file: two thirds of the first
// monitor, centred, so both panes' columns and every line show; on a small
// monitor as wide as the columns need, as far as the monitor allows; never
// less than the smallest window.
void TakeFirstStartGeometry() {
    Settings& s = App.settings;
    const int64_t dw = SettingsQuery.DesktopCount() > 0 ? SettingsQuery.DesktopWidth(0) : 0;
    const int64_t dh = SettingsQuery.DesktopCount() > 0 ? SettingsQuery.DesktopHeight(0) : 0;
    if (dw <= 0 || dh <= 0) return;
    const int64_t wide = std::min(std::max(dw * 2 / 3, ColumnsShowWidth), dw);
    s.WindowWidth = std::max<int64_t>(wide, MinimumWindowWidth);
    s.WindowHeight = std::max<int64_t>(dh * 2 / 3, MinimumWindowHeight);
    s.WindowX = std::max<int64_t>((dw - s.WindowWidth) / 2, 0);
    s.WindowY = std::max<int64_t>((dh - s.WindowHeight) / 2, 0);
}

} // namespace

SettingsSystem SettingsQuery = {ToolkitDesktopCount, ToolkitDesktopWidth, ToolkitDesktopHeight,
                                HomeFolder};

std::wstring HomeFolder() {
    const passwd* entry = getpwuid(getuid());
    if (!entry || !entry->pw_dir || !entry->pw_dir[0]) return L"/";
    std::wstring home = rt_text_from_os(entry->pw_dir);
    if (home.back() != L'/') home += L'/';
    return home;
}

void ClampWindowToDesktop() {
    if (SettingsQuery.DesktopCount() != 1) return;
    Settings& s = App.settings;
    int64_t height = SettingsQuery.DesktopHeight(0);
    int64_t width = SettingsQuery.DesktopWidth(0);
    if (s.WindowY > height) s.WindowY = height - DesktopEdgeMargin;
    if (s.WindowX > width) s.WindowX = width - DesktopEdgeMargin;
}

void ClampWindowGeometry() {
    Settings& s = App.settings;
    s.WindowX = std::clamp<int64_t>(s.WindowX, -WindowCoordinateLimit, WindowCoordinateLimit);
    s.WindowY = std::clamp<int64_t>(s.WindowY, -WindowCoordinateLimit, WindowCoordinateLimit);
    s.WindowWidth = std::clamp<int64_t>(s.WindowWidth, MinimumWindowWidth, WindowCoordinateLimit);
    s.WindowHeight =
        std::clamp<int64_t>(s.WindowHeight, MinimumWindowHeight, WindowCoordinateLimit);
}

int64_t ReadSettings() {
    FileRead = rt_pref_open(SettingsFileName) != 0;
    if (!FileRead) return 0;
    CurrentGroup = nullptr;
    for (SettingIndex index : {KeyPosOn, KeyX, KeyY, KeyWidth, KeyHeight, KeyFensterMax})
        ReadKey(index);
    FileCenter = rt_pref_read_long(SettingKeys[KeyCenter].Key, SettingKeys[KeyCenter].Default);
    for (SettingIndex index : SettingsLoadTail) ReadKey(index);
    ReadTabSettings();
    rt_pref_close();
    SetNaturalNameOrder(App.settings.NaturalOrder != 0);
    return 1;
}

void OpenSettingsWindow() {
    if (!FileRead) {
        TakeFirstStartGeometry();
        OpenMainWindow(SettingKeys[KeyCenter].Default);
        return;
    }
    ClampWindowGeometry();
    ClampWindowToDesktop();
    ClampWindowGeometry();
    OpenMainWindow(FileCenter);
}

int64_t LoadSettings() {
    if (!ReadSettings()) return 0;
    OpenSettingsWindow();
    return 1;
}

void TakeDefaultSettings() {
    FileRead = false;
    for (int index = 0; index < KeyCount; ++index) TakeDefault(SettingIndex(index));
    SetNaturalNameOrder(App.settings.NaturalOrder != 0);
}

void SettingsUseDefaults() {
    TakeDefaultSettings();
    TakeFirstStartGeometry();
    OpenMainWindow(SettingKeys[KeyCenter].Default);
}

void ApplyListFont(int64_t gadget) {
    tk_gadget_set_font(gadget, tk_font_handle(App.settings.ListFont));
    tk_gadget_set_color(gadget, TkColorFront, App.settings.ListFontColor);
}
