// Shared by the tests of the keyboard habits: window 0 with both pane lists
// (gadgets 5 and 10, their selection lines and search fields) and helpers
// that fill a list with rows as a listing makes them: "..", folders, files.
#pragma once

#include "app/core/app_state.h"
#include "app/core/ids.h"
#include "app/panes/pane_bottom.h"
#include "app/panes/pane_rows.h"
#include "toolkit/gadgets.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

class HabitsTest : public ::testing::Test {
  protected:
    void SetUp() override {
        tk_init();
        AppStateReset();
        tk_window_open(WinMain, 0, 0, 900, 500, L"Panes", TkWindowNormal);
        for (int64_t list : {GadLeftPane, GadRightPane}) {
            tk_list_create(list, list == GadLeftPane ? 0 : 450, 0, 440, 400, L"Name", 200,
                           TkListMultiSelect);
            for (int c = 1; c < 4; ++c) tk_list_add_column(list, c, L"", 60);
            BuildPaneBottom(list);
        }
    }
    void TearDown() override {
        tk_window_close(WinMain);
        AppStateReset();
    }
    // Rows: ".." first, then folders (name ends in "/", size text after a
    // blank: "sub/ 2,048 KB"), then files "name:bytes".
    static void Fill(int64_t list, const std::vector<std::wstring>& rows) {
        tk_gadget_clear_items(list);
        tk_list_add_item(list, -1, L"..\n\n", 0, 0, 0);
        for (const std::wstring& r : rows) {
            const size_t slash = r.find(L'/');
            if (slash != std::wstring::npos) {
                const std::wstring size = slash + 2 <= r.size() ? r.substr(slash + 1) : L"";
                const std::wstring text =
                    r.substr(0, slash) + L"\n\n\n" + (size.empty() ? L"" : size.substr(1));
                tk_list_add_item(list, -1, text, 0, PaneRowFolder, 0);
                continue;
            }
            const size_t colon = r.find(L':');
            const int64_t bytes = colon == std::wstring::npos ? 0 : std::stoll(r.substr(colon + 1));
            tk_list_add_item(list, -1, r.substr(0, colon) + L"\n\n\n", 0, bytes, 0);
        }
    }
    static std::vector<std::wstring> Selected(int64_t list) {
        std::vector<std::wstring> out;
        for (int64_t r = tk_list_next_selected(list, -1); r >= 0;
             r = tk_list_next_selected(list, r))
            out.push_back(tk_gadget_get_item_text(list, r, 0));
        return out;
    }
    static std::wstring Current(int64_t list) {
        return tk_gadget_get_item_text(list, tk_list_current_row(list), 0);
    }
};
