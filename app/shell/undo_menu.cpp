// The undo entries of the main menu: see undo_menu.h.
#include "app/shell/undo_menu.h"

#include "app/core/app_state.h"
#include "app/core/ids.h"
#include "app/fileops/fileops.h"
#include "app/fileops/undo_history.h"
#include "app/fileops/undo_job.h"
#include "app/panes/panes.h"
#include "app/shell/main_events.h"
#include "toolkit/events.h"
#include "toolkit/menus.h"

#include <iterator>

namespace {

struct UndoEntry {
    int64_t item;
    const wchar_t* lead;    // before the step's text
    const wchar_t* nothing; // greyed, when there is no step
    const wchar_t* keys;    // shown beside it
};
constexpr UndoEntry Entries[] = {
    {MenuUndo, L"Rückgängig: ", L"Rückgängig", L"Ctrl+Z"},
    {MenuRedo, L"Wiederholen: ", L"Wiederholen", L"Ctrl+Shift+Z"},
};

struct UndoKey {
    int64_t key;
    int64_t item;
};
constexpr UndoKey Keys[] = {
    {TkShortcutControl | KeyLetterZ, MenuUndo},
    {TkShortcutControl | TkShortcutShift | KeyLetterZ, MenuRedo},
    {TkShortcutControl | KeyLetterY, MenuRedo},
    {TkShortcutShift | KeyF8, MenuPurgeKey},
    {TkShortcutShift | KeyDelete, MenuPurgeKey},
};

// "&" marks a mnemonic in a menu text; a name may hold one.
std::wstring Plain(const std::wstring& text) {
    std::wstring out;
    for (wchar_t c : text) {
        if (c == L'&') out += L'&';
        out += c;
    }
    return out;
}

std::wstring TextOf(const UndoEntry& e, const UndoChoice& c) {
    const std::wstring what = c.id ? e.lead + Plain(c.text) : e.nothing;
    return what + L"\t" + e.keys;
}

} // namespace

void AddUndoMenuItems() {
    for (const UndoEntry& e : Entries) tk_menu_item_add(e.item, TextOf(e, {}));
    for (const UndoKey& k : Keys) tk_shortcut_add(WinMain, k.key, k.item);
    RefreshUndoMenu();
}

void RefreshUndoMenu() {
    const UndoChoice choices[] = {UndoCandidate(), RedoCandidate()};
    for (size_t i = 0; i < std::size(Entries); ++i)
        tk_menu_item_set(MenuMain, Entries[i].item, TextOf(Entries[i], choices[i]),
                         choices[i].id != 0);
}

int64_t UndoMenuItem(int64_t item) {
    switch (item) {
    case MenuUndo: UndoCommand(); return 1;
    case MenuRedo: RedoCommand(); return 1;
    case MenuPurgeKey:
        DeleteRequest(SelectedItems(App.ActivePane, SelectedNames), PanePath(App.ActivePane));
        return 1;
    default: return 0;
    }
}
