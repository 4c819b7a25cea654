// Page "Bedienung" of the settings dialog: see settings_habits_page.h.
#include "app/config/settings_habits_page.h"

#include "app/config/config_ids.h"
#include "app/core/app_state.h"
#include "app/panes/name_fold.h"
#include "toolkit/gadgets.h"

#include <algorithm>

namespace {

constexpr const wchar_t* Heading = L"Bedienung";
constexpr const wchar_t* SearchLabel = L"Schnellsuche";
constexpr const wchar_t* SearchChoices[] = {L"Buchstaben", L"Alt+Buchstaben", L"Aus"};
constexpr const wchar_t* NaturalCheck = L"Zahlen in Namen nach Wert sortieren";
constexpr const wchar_t* FoldersCheck = L"Auswahl nach Muster schließt Ordner ein";

struct PageGadgets {
    int64_t Heading = 0, Label = 0, Search = 0, Natural = 0, Folders = 0;
} G;

constexpr int64_t Margin = 10;
constexpr int64_t Gap = 6;          // between the label and its choice box
constexpr int64_t ComboWidth = 150; // at least

} // namespace

int64_t BuildHabitsPage(int64_t x, int64_t width, int64_t height) {
    const int64_t page = tk_container_create(-1, x, 0, width, height);
    G.Heading = tk_text_create(-1, 0, 0, width, 16, Heading, TkTextCenter);
    tk_gadget_set_color(G.Heading, TkColorBack, SettingsPageColor);
    G.Label = tk_text_create(-1, Margin, 32, 100, 18, SearchLabel);
    const int64_t label_width = std::max<int64_t>(100, tk_gadget_needed_width(G.Label));
    tk_gadget_resize(G.Label, Margin, 32, label_width, 18);
    G.Search = tk_combo_create(-1, Margin + label_width + 6, 30, 150, 22);
    for (const wchar_t* choice : SearchChoices) tk_gadget_add_item(G.Search, -1, choice);
    tk_gadget_set_state(G.Search, std::clamp<int64_t>(App.settings.QuickSearch, 0, 2));
    G.Natural = tk_checkbox_create(-1, Margin, 64, width - 2 * Margin, 18, NaturalCheck);
    tk_gadget_set_state(G.Natural, App.settings.NaturalOrder != 0 ? 1 : 0);
    G.Folders = tk_checkbox_create(-1, Margin, 86, width - 2 * Margin, 18, FoldersCheck);
    tk_gadget_set_state(G.Folders, App.settings.PatternFolders != 0 ? 1 : 0);
    tk_gadget_list_close();
    return page;
}

int64_t HabitsPageWidth() {
    const int64_t row = Margin + tk_gadget_needed_width(G.Label) + Gap +
                        std::max<int64_t>(ComboWidth, tk_gadget_needed_width(G.Search)) + Margin;
    int64_t need = std::max(row, tk_gadget_needed_width(G.Heading));
    for (const int64_t check : {G.Natural, G.Folders})
        need = std::max(need, Margin + tk_gadget_needed_width(check) + Margin);
    return need;
}

int64_t LayOutHabitsPage(int64_t width) {
    const int64_t heading = std::max<int64_t>(16, tk_gadget_needed_height(G.Heading));
    tk_gadget_resize(G.Heading, 0, 0, width, heading);
    int64_t y = heading + 14;
    const int64_t label = tk_gadget_needed_width(G.Label);
    const int64_t combo = std::max<int64_t>(ComboWidth, tk_gadget_needed_width(G.Search));
    const int64_t row = std::max(
        {int64_t(22), tk_gadget_needed_height(G.Label), tk_gadget_needed_height(G.Search)});
    tk_gadget_resize(G.Label, Margin, y + 2, label, row - 2);
    tk_gadget_resize(G.Search, Margin + label + Gap, y, combo, row);
    y += row + 12;
    for (const int64_t check : {G.Natural, G.Folders}) {
        const int64_t h = std::max<int64_t>(18, tk_gadget_needed_height(check));
        tk_gadget_resize(check, Margin, y,
                         std::max(width - 2 * Margin, tk_gadget_needed_width(check)), h);
        y += h + 6;
    }
    return y;
}

int64_t HabitsPageEvent(int64_t gadget, int64_t type, int64_t* reorder) {
    Settings& s = App.settings;
    if (gadget == G.Search && type == EventTypeChange) {
        s.QuickSearch = std::clamp<int64_t>(tk_gadget_get_state(G.Search), 0, 2);
    } else if (gadget == G.Natural) {
        s.NaturalOrder = tk_gadget_get_state(G.Natural) == 1 ? 1 : 0;
        SetNaturalNameOrder(s.NaturalOrder != 0);
        *reorder = 1;
    } else if (gadget == G.Folders) {
        s.PatternFolders = tk_gadget_get_state(G.Folders) == 1 ? 1 : 0;
    } else {
        return 0;
    }
    return 1;
}
