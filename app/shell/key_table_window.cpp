// The key table window: see key_table_window.h.
#include "app/shell/key_table_window.h"

#include "app/core/ids.h"
#include "app/core/item_list.h"
#include "app/shell/main_commands.h"
#include "toolkit/gadgets.h"

#include <algorithm>

namespace {

constexpr int64_t Margin = 10;
constexpr int64_t ListHeight = 460; // about 25 rows; the rest scrolls
constexpr int64_t ButtonWidth = 90, ButtonHeight = 28;

struct Open {
    int64_t List = 0;
    int64_t Ok = 0;
} G;

// "key\tcommand" lines as the list's rows.
void FillRows(int64_t list) {
    for (std::wstring row : ItemListSplit(KeyTableText() + L'\n')) {
        std::replace(row.begin(), row.end(), L'\t', L'\n');
        tk_list_add_item(list, -1, row, 0, 0, 0);
    }
}

void Close() {
    tk_window_close(WinKeyTable);
    G = Open{};
    tk_window_activate(WinMain);
}

} // namespace

void OpenKeyTableWindow() {
    if (tk_window_exists(WinKeyTable)) {
        tk_window_activate(WinKeyTable);
        return;
    }
    if (!tk_window_open(WinKeyTable, 0, 0, 520, ListHeight + 60, L"Tastenbelegung",
                        TkWindowDialog | TkWindowCentreOnParent, tk_window_handle(WinMain)))
        return;
    G.List = tk_list_create(-1, Margin, Margin, 500, ListHeight, L"Taste", 160, 0);
    tk_list_add_column(G.List, 1, L"Befehl", 300);
    FillRows(G.List);
    // both columns as wide as their longest text, so nothing is cut
    const int64_t keys = tk_list_column_fit_width(G.List, 0);
    const int64_t commands = tk_list_column_fit_width(G.List, 1);
    tk_list_set_column_width(G.List, 0, keys);
    tk_list_set_column_width(G.List, 1, commands);
    const int64_t width = keys + commands + 30; // the scroll bar and the frame
    tk_gadget_resize(G.List, Margin, Margin, width, ListHeight);
    G.Ok = tk_button_create(-1, Margin + width - ButtonWidth, Margin + ListHeight + 10, ButtonWidth,
                            ButtonHeight, L"OK");
    tk_window_resize(WinKeyTable, width + 2 * Margin, ListHeight + ButtonHeight + 3 * Margin);
    tk_window_set_default_button(WinKeyTable, G.Ok);
    tk_window_set_cancel_button(WinKeyTable, G.Ok);
    tk_window_activate(WinKeyTable);
    tk_gadget_activate(G.List);
}

int64_t KeyTableEvents(int64_t event) {
    if (event == EventCloseWindow || (event == EventGadget && tk_event_gadget() == G.Ok)) Close();
    return 0;
}

int64_t KeyTableList() {
    return G.List;
}
