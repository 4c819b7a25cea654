// Menus, toolbar strip and shortcuts of the main window, kept as tables.
#include "app/shell/main_menu.h"

#include "app/config/button_bar.h"
#include "app/core/ids.h"
#include "app/shell/pane_context_menu.h"
#include "app/shell/main_commands.h"
#include "app/shell/undo_menu.h"
#include "toolkit/gadgets.h"

namespace {

struct MenuEntry {
    int64_t item; // -1 = separator
    const wchar_t* text;
};

constexpr MenuEntry ConfigurationMenu[] = {
    {MenuSettings, L"Einstellungen\tCtrl+E"},
    {MenuButtonBar, L"ButtonBar Ändern\tCtrl+B"},
};

constexpr MenuEntry PaneBackgroundMenu[] = {
    {MenuNewFolder, L"Neues Verzeichnis erstellen"},
    {-1, nullptr},
    {MenuSettingsPopup, L"Einstellungen"},
    {MenuButtonBar, L"ButtonBar Ändern"},
    {-1, nullptr},
    {MenuQuit, L"Beenden"},
};

struct Shortcut {
    int64_t key; // virtual-key code, no modifiers
    int64_t item;
};

constexpr Shortcut MainShortcuts[] = {
    {KeyReturn, MenuReturnKey}, {KeyDelete, MenuDeleteKey}, {KeySpace, MenuSpaceKey},
    {KeyF3, MenuViewKey},       {KeyF4, MenuEditKey},       {KeyF5, MenuCopyKey},
    {KeyF6, MenuMoveKey},       {KeyF7, MenuNewFolderKey},  {KeyF8, MenuDeleteButtonKey},
    {KeyF2, MenuRenameKey},
};
static_assert(std::size(MainShortcuts) == 10, "Return, Delete, Space, F2 and F3 to F8");

// The keys of two-pane file managers: Tab and Shift+Tab across the panes
// (instead of the toolkit's own Tab entries), Backspace up, F10 to the menu.
constexpr Shortcut DesktopShortcuts[] = {
    {KeyTab, MenuTabKey},
    {KeyTab | TkShortcutShift, MenuBackTabKey},
    {KeyBackspace, MenuBackspaceKey},
    {KeyF10, MenuMenuBarKey},
    {KeyReturn | TkShortcutShift, MenuShiftReturnKey},
};

// The tabs of the active side: Ctrl+T new, Ctrl+W close, Ctrl+Tab and
// Ctrl+Shift+Tab round the row, Alt+1 .. Alt+9 to a tab by its place.
constexpr Shortcut TabShortcuts[] = {
    {TkShortcutControl | 'T', MenuNewTabKey},
    {TkShortcutControl | 'W', MenuCloseTabKey},
    {TkShortcutControl | KeyTab, MenuNextTabKey},
    {TkShortcutControl | TkShortcutShift | KeyTab, MenuPreviousTabKey},
};

// The keys the "Konfiguration" menu shows beside its items.
constexpr Shortcut ConfigurationShortcuts[] = {
    {TkShortcutControl | 'E', MenuSettings},
    {TkShortcutControl | 'B', MenuButtonBar},
};

// The keys the "Befehle" menu shows beside its items.
template <size_t N> void AddItems(const MenuEntry (&entries)[N]) {
    for (const MenuEntry& e : entries) {
        if (e.item < 0)
            tk_menu_separator();
        else
            tk_menu_item_add(e.item, e.text);
    }
}

} // namespace

void BuildMainMenu() {
    const intptr_t window = tk_window_handle(WinMain);
    tk_menu_create(MenuMain, window);
    CreateButtonBarToolbar();
    tk_menu_title(L"&Datei");
    AddCommandItems(0);
    tk_menu_title(L"&Befehle");
    AddCommandItems(1);
    AddUndoMenuItems();
    tk_menu_title(L"&Konfiguration");
    AddItems(ConfigurationMenu);
    for (const Shortcut& s : MainShortcuts) tk_shortcut_add(WinMain, s.key, s.item);
    for (const Shortcut& s : DesktopShortcuts) tk_shortcut_add(WinMain, s.key, s.item);
    for (const Shortcut& s : ConfigurationShortcuts) tk_shortcut_add(WinMain, s.key, s.item);
    BindCommandKeys();
    for (const Shortcut& s : TabShortcuts) tk_shortcut_add(WinMain, s.key, s.item);
    for (int64_t n = 0; n < 9; ++n)
        tk_shortcut_add(WinMain, TkShortcutAlt | ('1' + n), MenuTabNumberKey + n);
}

void BuildPaneBackgroundMenu(bool paste) {
    if (!tk_popup_menu_create(MenuPaneBackground)) return;
    if (paste) { // answered as the context menu's own "Einfügen"
        tk_menu_item_add(PaneContextIdBase + ContextPaste, L"Einfügen");
        tk_menu_separator();
    }
    AddItems(PaneBackgroundMenu);
}
