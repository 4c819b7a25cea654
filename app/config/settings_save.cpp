// Writing "Settings.pref" at shutdown. See settings.h; the order of the
// calls below is the order of the lines in the file.
#include <cwchar>

#include "app/config/settings.h"
#include "app/config/settings_keys.h"
#include "app/config/tabs_settings.h"
#include "app/core/app_state.h"
#include "app/core/ids.h"
#include "app/panes/pane_remote.h"
#include "app/panes/pane_sides.h"
#include "app/panes/panes.h"
#include "runtime/prefs.h"

namespace {

// Group of the key written last; a group is selected only when it changes,
// and a key's comment goes in just before its group is selected, so that it
// stands above the group's header.
const wchar_t* CurrentGroup = nullptr;

void StartKey(const SettingKey& key) {
    if (CurrentGroup && std::wcscmp(CurrentGroup, key.Group) == 0) return;
    if (key.Comment) rt_pref_write_comment(key.Comment);
    rt_pref_group(key.Group);
    CurrentGroup = key.Group;
}

void WriteNumber(SettingIndex index, int64_t value) {
    StartKey(SettingKeys[index]);
    rt_pref_write_long(SettingKeys[index].Key, value);
}

void WriteKey(SettingIndex index) {
    const SettingKey& key = SettingKeys[index];
    if (key.Number) return WriteNumber(index, App.settings.*key.Number);
    StartKey(key);
    if (key.Text) rt_pref_write_string(key.Key, App.settings.*key.Text);
    if (key.Pane >= 0)
        rt_pref_write_string(key.Key, PaneFolderForFile(PanePath(PaneSides[key.Pane].List)));
}

// The window's size and "Center": a remembered normal window keeps its size;
// a window not remembered opens centred next time; a maximized one is stored
// at the centred size so that restoring it later gives a sensible window.
void WriteWindowSize() {
    const Settings& s = App.settings;
    if (s.RememberWindow != 0 && s.WindowMaximized == 0) {
        WriteNumber(KeyWidth, s.WindowWidth);
        WriteNumber(KeyHeight, s.WindowHeight);
        WriteNumber(KeyCenter, 0);
    } else if (s.WindowMaximized == 0) {
        WriteNumber(KeyCenter, 1);
    } else {
        WriteNumber(KeyWidth, CenteredWidth);
        WriteNumber(KeyHeight, CenteredHeight);
        WriteNumber(KeyCenter, 0);
    }
}

} // namespace

int64_t SaveSettings() {
    if (!rt_pref_create(SettingsFileName)) return 0;
    CurrentGroup = nullptr;
    Settings& s = App.settings;
    WriteKey(KeyPosOn);
    // A window pushed partly off the left or top edge reports a negative
    // position; storing it would reopen the window with its frame unreachable.
    if (s.WindowX < 0) s.WindowX = 0;
    if (s.WindowY < 0) s.WindowY = 0;
    ClampWindowToDesktop();
    WriteKey(KeyX);
    WriteKey(KeyY);
    WriteWindowSize();
    // A maximized window opens maximized again, remembered position or not.
    if (s.RememberWindow != 0 || s.WindowMaximized != 0) WriteKey(KeyFensterMax);
    for (SettingIndex index : SettingsSaveTail) WriteKey(index);
    WriteTabSettings();
    rt_pref_close();
    return 0;
}
