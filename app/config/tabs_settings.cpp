// The tabs in "Settings.pref": see tabs_settings.h.
#include "app/config/tabs_settings.h"

#include "app/core/app_state.h"
#include "app/panes/pane.h"
#include "app/panes/pane_sides.h"
#include "app/panes/pane_tabs.h"
#include "runtime/prefs.h"

#include <algorithm>
#include <string>
#include <vector>

namespace {

constexpr const wchar_t* TabGroup = L"Reiter";
constexpr const wchar_t* TabComment = L"Die Reiter beider Seiten";
constexpr const wchar_t* AlwaysKey = L"Immer zeigen";
constexpr const wchar_t* SideNames[] = {L"Links", L"Rechts"};
static_assert(std::size(SideNames) == PaneSideCount, "one name a side");

// More would be no tab row anyone could use; a damaged count is cut here.
constexpr int64_t MostTabs = 200;

std::wstring Key(int64_t side, const std::wstring& what) {
    return std::wstring(SideNames[side]) + L" " + what;
}

std::wstring TabKey(int64_t side, int64_t tab, const wchar_t* what = L"") {
    return Key(side, std::to_wstring(tab + 1) + what);
}

// A folder the file gives: absolute, "/" at the end; empty when it is none.
std::wstring FolderOf(std::wstring text) {
    if (text.empty() || text.front() != L'/' || text.find(L'\0') != std::wstring::npos) return L"";
    if (text.back() != L'/') text += L'/';
    return text;
}

void ReadSide(int64_t side) {
    const int64_t count = std::min<int64_t>(rt_pref_read_long(Key(side, L"Anzahl"), 0), MostTabs);
    if (count < 2) {
        if (count == 1)
            ShownPaneOfSide(side)->Tab.Locked = rt_pref_read_long(TabKey(side, 0, L" gesperrt"), 0);
        return;
    }
    const int64_t current = rt_pref_read_long(Key(side, L"Aktuell"), 1) - 1;
    Pane* shown = ShownPaneOfSide(side);
    std::vector<Pane*> tabs;
    bool placed = false;
    for (int64_t tab = 0; tab < count; ++tab) {
        const bool locked = rt_pref_read_long(TabKey(side, tab, L" gesperrt"), 0) != 0;
        if (tab == current || (!placed && tab == count - 1)) {
            // The shown tab's folder is the "Paht" key's.
            shown->Tab.Locked = locked;
            tabs.push_back(shown);
            placed = true;
            continue;
        }
        const std::wstring folder = FolderOf(rt_pref_read_string(TabKey(side, tab), L""));
        if (folder.empty()) continue; // a damaged entry costs its tab only
        Pane& pane = NewPaneRecord();
        ResetHistory(pane.History, folder);
        pane.Tab.Unread = true;
        pane.Tab.Locked = locked;
        tabs.push_back(&pane);
    }
    for (Pane* old : SideTabs(side))
        if (old != shown) old->Tab.Closed = true; // a file read a second time
    SetSideTabs(side, std::move(tabs), shown);
}

// One unlocked tab a side and the row shown only when needed is what a file
// without the group gives: such a file is left as it was before tabs.
bool AnythingToSave() {
    if (App.settings.TabsAlwaysShown) return true;
    for (int64_t side = 0; side < PaneSideCount; ++side)
        if (SideTabs(side).size() > 1 || SideTabs(side)[0]->Tab.Locked) return true;
    return false;
}

} // namespace

void ReadTabSettings() {
    if (!rt_pref_group(TabGroup)) return;
    App.settings.TabsAlwaysShown = rt_pref_read_long(AlwaysKey, 0) != 0 ? 1 : 0;
    for (int64_t side = 0; side < PaneSideCount; ++side) ReadSide(side);
}

void WriteTabSettings() {
    if (!AnythingToSave()) return;
    rt_pref_write_comment(TabComment);
    rt_pref_group(TabGroup);
    rt_pref_write_long(AlwaysKey, App.settings.TabsAlwaysShown);
    for (int64_t side = 0; side < PaneSideCount; ++side) {
        const std::vector<Pane*>& tabs = SideTabs(side);
        rt_pref_write_long(Key(side, L"Anzahl"), static_cast<int64_t>(tabs.size()));
        rt_pref_write_long(Key(side, L"Aktuell"), ShownTab(side) + 1);
        for (size_t tab = 0; tab < tabs.size(); ++tab) {
            rt_pref_write_string(TabKey(side, tab), PaneFolder(*tabs[tab]));
            rt_pref_write_long(TabKey(side, tab, L" gesperrt"), tabs[tab]->Tab.Locked ? 1 : 0);
        }
    }
}
