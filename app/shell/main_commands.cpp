// The command table of "Datei" and "Befehle" and the commands it adds:
// see main_commands.h.
#include "app/shell/main_commands.h"

#include "app/core/app_state.h"
#include "app/core/ids.h"
#include "app/panes/pane_location.h"
#include "app/panes/pane_sides.h"
#include "app/panes/panes.h"
#include "app/panes/quick_search_field.h"
#include "app/panes/select_pattern.h"
#include "app/panes/select_pattern_dialog.h"
#include "app/shell/key_table_window.h"
#include "app/shell/pane_context_menu.h"
#include "runtime/program.h"
#include "toolkit/gadgets.h"
#include "toolkit/list_keys.h"

namespace {

enum : int64_t {
    FileMenu = 0,
    CommandsMenu = 1,
};

// Where a key is bound: the window's shortcuts, or the pane lists' key hook
// (keys a text field must keep), or nowhere new (bound before this table).
enum class Bound { Window, List, Before };

struct Command {
    int64_t item; // menu item; -1 a separator
    int64_t menu; // FileMenu or CommandsMenu
    const wchar_t* text;
    const wchar_t* key; // shown beside the text and in the key table
    int64_t shortcut;   // virtual key | modifier bits; 0 none
    Bound bound;
    int64_t shortcut2 = 0; // a second key of the same command
};

constexpr int64_t Ctrl = TkShortcutControl;
constexpr int64_t Shift = TkShortcutShift;
constexpr int64_t Alt = TkShortcutAlt;

// clang-format off
constexpr Command Commands[] = {
    {MenuViewKey, FileMenu, L"Anzeigen", L"F3", KeyF3, Bound::Before},
    {MenuEditKey, FileMenu, L"Bearbeiten", L"F4", KeyF4, Bound::Before},
    {MenuCopyKey, FileMenu, L"Kopieren", L"F5", KeyF5, Bound::Before},
    {MenuMoveKey, FileMenu, L"Bewegen", L"F6", KeyF6, Bound::Before},
    {MenuNewFolderKey, FileMenu, L"Neuer Ordner", L"F7", KeyF7, Bound::Before},
    {MenuDeleteButtonKey, FileMenu, L"Löschen", L"F8", KeyF8, Bound::Before},
    {MenuPurgeKey, FileMenu, L"Löschen ohne Papierkorb", L"Shift+F8", Shift | KeyF8, Bound::Before},
    {MenuRenameKey, FileMenu, L"Umbenennen", L"F2", KeyF2, Bound::Before},
    {-1, FileMenu, nullptr, nullptr, 0, Bound::Before},
    {MenuCutFiles, FileMenu, L"Ausschneiden", L"Ctrl+X", Ctrl | 'X', Bound::List},
    {MenuCopyFiles, FileMenu, L"In die Zwischenablage kopieren", L"Ctrl+C", Ctrl | 'C', Bound::List},
    {MenuPasteFiles, FileMenu, L"Einfügen", L"Ctrl+V", Ctrl | 'V', Bound::List},
    {MenuContextKey, FileMenu, L"Kontextmenü", L"Shift+F10", Shift | KeyF10, Bound::List, KeyMenu},
    {-1, FileMenu, nullptr, nullptr, 0, Bound::Before},
    {MenuQuit, FileMenu, L"Beenden", L"Alt+F4", Alt | KeyF4, Bound::Window, Ctrl | 'Q'},

    {MenuSpaceKey, CommandsMenu, L"Ordnergröße berechnen", L"Leertaste", KeySpace, Bound::Before},
    {MenuInsertKey, CommandsMenu, L"Zeile auswählen und weiter", L"Einfg", KeyInsert, Bound::List},
    {MenuSelectPattern, CommandsMenu, L"Auswahl erweitern", L"Num +", KeyNumPlus, Bound::List, Ctrl | KeyPlus},
    {MenuDeselectPattern, CommandsMenu, L"Auswahl verkleinern", L"Num -", KeyNumMinus, Bound::List},
    {MenuInvertSelection, CommandsMenu, L"Auswahl umkehren", L"Num *", KeyNumMultiply, Bound::List},
    {MenuSelectAll, CommandsMenu, L"Alles auswählen", L"Ctrl+A", Ctrl | 'A', Bound::List},
    {-1, CommandsMenu, nullptr, nullptr, 0, Bound::Before},
    {MenuRefresh, CommandsMenu, L"Aktualisieren", L"Ctrl+R", Ctrl | 'R', Bound::Window},
    {MenuSwapPanes, CommandsMenu, L"Seiten tauschen", L"Ctrl+U", Ctrl | 'U', Bound::Window},
    {MenuSameFolder, CommandsMenu, L"Gleicher Ordner im anderen Fenster", L"Ctrl+O", Ctrl | 'O', Bound::Window},
    {MenuToggleHidden, CommandsMenu, L"Versteckte Dateien zeigen/verbergen", L"Ctrl+H", Ctrl | 'H', Bound::Window},
    {-1, CommandsMenu, nullptr, nullptr, 0, Bound::Before},
    {MenuPathField, CommandsMenu, L"Zum Pfadfeld", L"Ctrl+L", Ctrl | 'L', Bound::Window},
    {MenuFilterBox, CommandsMenu, L"Zum Filter", L"Ctrl+F", Ctrl | 'F', Bound::Window},
    {MenuCommandLine, CommandsMenu, L"Zur Befehlszeile", L"Ctrl+K", Ctrl | 'K', Bound::Window},
    {MenuNameToCommand, CommandsMenu, L"Name in die Befehlszeile", L"Ctrl+Eingabe", Ctrl | KeyReturn, Bound::Window},
    {MenuPathToCommand, CommandsMenu, L"Pfad in die Befehlszeile", L"Ctrl+P", Ctrl | 'P', Bound::Window},
    {MenuEscapeKey, CommandsMenu, L"Zurück zur Liste", L"Esc", KeyEscape, Bound::Window},
    {-1, CommandsMenu, nullptr, nullptr, 0, Bound::Before},
    {MenuJobs, CommandsMenu, L"Aufträge", L"Ctrl+J", Ctrl | 'J', Bound::Window},
    {-1, CommandsMenu, nullptr, nullptr, 0, Bound::Before},
    {MenuNewTabKey, CommandsMenu, L"Neuer Reiter", L"Ctrl+T", Ctrl | 'T', Bound::Before},
    {MenuCloseTabKey, CommandsMenu, L"Reiter schließen", L"Ctrl+W", Ctrl | 'W', Bound::Before},
    {MenuNextTabKey, CommandsMenu, L"Nächster Reiter", L"Ctrl+Tab", Ctrl | KeyTab, Bound::Before},
    {MenuPreviousTabKey, CommandsMenu, L"Voriger Reiter", L"Ctrl+Shift+Tab", Ctrl | Shift | KeyTab, Bound::Before},
    {-1, CommandsMenu, nullptr, nullptr, 0, Bound::Before},
    {MenuKeyTable, CommandsMenu, L"Tastenbelegung", L"F1", KeyF1, Bound::Window},
};
// clang-format on

// Keys the key table lists beyond the menus: second keys of their
// commands, and keys no menu item stands for.
constexpr const wchar_t* OtherKeys[][2] = {
    {L"Ctrl+Q", L"Beenden"},
    {L"Menütaste", L"Kontextmenü"},
    {L"Ctrl++", L"Auswahl erweitern"},
    {L"Ctrl+Z", L"Rückgängig"},
    {L"Ctrl+Shift+Z, Ctrl+Y", L"Wiederholen"},
    {L"Shift+Entf", L"Löschen ohne Papierkorb"},
    {L"Alt+1 … Alt+9", L"Zum Reiter 1 … 9"},
    {L"Eingabe", L"Öffnen"},
    {L"Shift+Eingabe", L"Befehlszeile im Terminal ausführen"},
    {L"Entf", L"Löschen"},
    {L"Rücktaste", L"Ordner hinauf"},
    {L"Tab / Shift+Tab", L"Zur anderen Seite"},
    {L"Shift+Pfeile, Bild, Pos1, Ende", L"Auswahl erweitern"},
    {L"Buchstaben", L"Schnellsuche (Pfeile: nächster, voriger Treffer)"},
    {L"F10, Alt+Buchstabe", L"Menü"},
    {L"Ctrl+E", L"Einstellungen"},
    {L"Ctrl+B", L"ButtonBar Ändern"},
};

int64_t Active() {
    return App.ActivePane;
}

const PaneSide* ActiveSide() {
    return SideOfList(Active());
}

// The pane context of the selected entries, as a right click would set it.
void TakeSelection(bool with_paths) {
    const int64_t list = Active();
    PaneContext = PaneContextState{};
    PaneContext.Pane = list;
    PaneContext.Folder = PanePath(list);
    if (!with_paths) return;
    for (int64_t row = tk_list_next_selected(list, -1); row >= 0;
         row = tk_list_next_selected(list, row)) {
        const std::wstring name = tk_gadget_get_item_text(list, row, 0);
        if (name != L"..") PaneContext.Paths.push_back(PaneContext.Folder + name);
    }
}

void Clipboard(int64_t command) {
    // Ctrl+V pastes into the pane's folder, whatever row the cursor is on.
    TakeSelection(command != ContextPaste);
    if (command != ContextPaste && PaneContext.Paths.empty()) return;
    RunPaneContextCommand(command);
}

// The panes exchange their folders; the keyboard stays on the side it was.
void SwapPanes() {
    const int64_t active = Active(), other = OtherPane(active);
    const std::wstring here = PanePath(active), there = PanePath(other);
    if (here.empty() || there.empty()) return;
    ShowPath(other, here, ShowPush);
    ShowPath(active, there, ShowPush);
}

void SameFolder() {
    const int64_t active = Active();
    ShowPath(OtherPane(active), PanePath(active), ShowPush);
    ShowPath(active, L"", ShowNoFill);
}

void ToggleHidden() {
    App.settings.ShowHidden = App.settings.ShowHidden ? 0 : 1;
    const int64_t active = Active();
    for (const int64_t list : {OtherPane(active), active}) {
        SetPaneLocation(list, PanePath(list));
        ShowPath(list, L"", ShowRefresh);
    }
}

// A name for the command line: one argument however it is spelled.
std::wstring Argument(const std::wstring& text) {
    if (text.find_first_of(L" \t\"\\'") == std::wstring::npos) return text;
    return rt_program_quote(text);
}

// At the command line's cursor, as if typed there: what the user types
// next follows it.
void ToCommandLine(const std::wstring& text) {
    if (!text.empty()) tk_string_insert(GadCommandLine, Argument(text), true);
}

void CurrentNameToCommandLine() {
    const std::wstring name = tk_gadget_get_text(Active());
    if (name != L"..") ToCommandLine(name);
}

// Escape in the path field, a filter box or the command line: back to the
// pane list (the path field shows its folder again as it loses the focus).
void BackToList() {
    const int64_t focus = tk_gadget_active();
    if (SideOfList(focus)) return;
    const PaneSide* side = SideOfGadget(focus);
    ShowPath(side ? side->List : Active(), L"", ShowNoFill);
}

void Focus(int64_t gadget) {
    if (gadget) tk_gadget_activate(gadget);
}

// The list-bound command of a key, 0 for none.
int64_t ListCommandOf(int64_t shortcut) {
    // "+" of the main block takes Shift on many keyboards: Ctrl+Shift+"+" is
    // Ctrl+"+" there
    if ((shortcut & 0xFFFF) == KeyPlus) shortcut &= ~Shift;
    for (const Command& c : Commands)
        if (c.bound == Bound::List && (c.shortcut == shortcut || c.shortcut2 == shortcut))
            return c.item;
    return 0;
}

} // namespace

void AddCommandItems(int64_t menu) {
    for (const Command& c : Commands) {
        if (c.menu != menu) continue;
        if (c.item < 0)
            tk_menu_separator();
        else
            tk_menu_item_add(c.item, std::wstring(c.text) + L"\t" + c.key);
    }
}

void BindCommandKeys() {
    for (const Command& c : Commands) {
        if (c.bound != Bound::Window) continue;
        tk_shortcut_add(WinMain, c.shortcut, c.item);
        if (c.shortcut2) tk_shortcut_add(WinMain, c.shortcut2, c.item);
    }
    for (const PaneSide& side : PaneSides) tk_list_set_key_hook(side.List, PaneListKey);
    StartQuickSearchIndexing();
}

int64_t PaneListKey(int64_t list, int64_t shortcut, const std::wstring& text) {
    if (QuickSearchKey(list, shortcut, text)) return 1;
    const int64_t item = ListCommandOf(shortcut);
    // Run at once, not posted: a posted command would come after a
    // shortcut typed behind it (Insert Insert F5).
    return item ? RunMainCommand(item) : 0;
}

int64_t RunMainCommand(int64_t item) {
    const int64_t list = Active();
    const PaneSide* side = ActiveSide();
    switch (item) {
    case MenuCopyFiles: Clipboard(ContextCopy); return 1;
    case MenuCutFiles: Clipboard(ContextCut); return 1;
    case MenuPasteFiles: Clipboard(ContextPaste); return 1;
    case MenuContextKey: ShowPaneContextMenu(WinMain, list, PanePath(list), true); return 1;
    case MenuSelectPattern: OpenSelectPatternDialog(list, true); return 1;
    case MenuDeselectPattern: OpenSelectPatternDialog(list, false); return 1;
    case MenuInvertSelection: InvertSelection(list); return 1;
    case MenuSelectAll: SelectAllRows(list); return 1;
    case MenuInsertKey: ToggleCurrentRow(list); return 1;
    case MenuRefresh: ShowPath(list, L"", ShowRefresh); return 1;
    case MenuSwapPanes: SwapPanes(); return 1;
    case MenuSameFolder: SameFolder(); return 1;
    case MenuToggleHidden: ToggleHidden(); return 1;
    case MenuPathField: Focus(side ? side->PathField : 0); return 1;
    case MenuFilterBox: Focus(side ? side->Filter : 0); return 1;
    case MenuCommandLine: Focus(GadCommandLine); return 1;
    case MenuNameToCommand: CurrentNameToCommandLine(); return 1;
    case MenuPathToCommand: ToCommandLine(PanePath(list)); return 1;
    case MenuEscapeKey: BackToList(); return 1;
    case MenuKeyTable: OpenKeyTableWindow(); return 1;
    default: return 0;
    }
}

std::wstring KeyTableText() {
    std::wstring text;
    for (const Command& c : Commands)
        if (c.item >= 0) text += std::wstring(c.key) + L"\t" + c.text + L"\n";
    for (const auto& k : OtherKeys) text += std::wstring(k[0]) + L"\t" + k[1] + L"\n";
    text.pop_back();
    return text;
}
