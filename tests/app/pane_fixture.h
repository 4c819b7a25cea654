// Shared set-up of the pane tests: a window 0 holding the gadgets of both
// panes (disk lines 4/9, lists 5/10, path fields 7/12) and the item pictures,
// a fresh AppState, and the message seam and the panes' shell-open exit
// replaced by recorders, so nothing modal opens and no application starts.
#pragma once

#include "app/core/app_state.h"
#include "app/core/ids.h"
#include "app/core/message_dialog.h"
#include "app/panes/navigation.h"
#include "app/panes/pane.h"
#include "app/panes/pane_hooks.h"
#include "app/panes/pane_sides.h"
#include "app/panes/pane_workers.h"
#include "app/panes/panes.h"
#include "platform/shell_open.h"
#include "runtime/text.h"
#include "test_support.h"
#include "toolkit/events.h"
#include "toolkit/gadget_ops.h"
#include "toolkit/images.h"
#include "toolkit/list.h"
#include "toolkit/widgets.h"
#include "toolkit/windows.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

class PaneTest : public ::testing::Test {
  public:
    // What the recorders saw: "headline|text" per message, "file|folder" per open.
    static inline std::vector<std::wstring> messages;
    static inline std::vector<std::wstring> opened;

    static int64_t RecordMessage(int64_t, const std::wstring&, const std::wstring& headline,
                                 const std::wstring& text, int64_t, int64_t) {
        messages.push_back(headline + L"|" + text);
        return MessageAnswerOk;
    }
    static int RecordOpen(const std::wstring& file, const std::wstring&,
                          const std::wstring& folder) {
        opened.push_back(file + L"|" + folder);
        return 1;
    }

  protected:
    void SetUp() override {
        tk_init();
        AppStateReset();
        ResetPanes();
        App.ColumnPercent[0] = 50;
        App.ColumnPercent[1] = 20;
        App.ColumnPercent[2] = 15;
        App.ColumnPercent[3] = 15;
        App.settings.ShowHidden = 1;
        App.settings.ShowSystem = 1;
        messages.clear();
        opened.clear();
        Messages.Dialog = RecordMessage;
        PaneShellOpen = RecordOpen;
        for (int64_t img : {ImgFile, ImgFolder, ImgParent}) tk_image_create(img, 16, 16);
        tk_window_open(WinMain, 0, 0, 900, 500, L"Panes", TkWindowNormal);
        MakePane(GadLeftDiskInfo, GadLeftPane, GadLeftPath, 0);
        MakePane(GadRightDiskInfo, GadRightPane, GadRightPath, 450);
    }
    void TearDown() override {
        EndPaneThreads(); // workers and watchers must not outlive the lists
        PaneThreadsHeld = true;
        tk_window_close(WinMain);
        Messages = RealMessages();
        PaneShellOpen = pf_shell_open;
        AppStateReset();
        ResetPanes();
    }

    static std::wstring W(const std::string& s) { return rt_text_from_os(s); }
    // A TempDir's path as a pane folder ("/" at the end).
    static std::wstring Folder(const TempDir& dir) { return W(dir.path()) + L"/"; }

    // Column texts of every row of a pane.
    static std::vector<std::wstring> Column(int64_t pane, int64_t column) {
        std::vector<std::wstring> texts;
        for (int64_t r = 0; r < tk_gadget_count_items(pane); r++)
            texts.push_back(tk_gadget_get_item_text(pane, r, column));
        return texts;
    }
    static int64_t RowOf(int64_t pane, const std::wstring& name) {
        for (int64_t r = 0; r < tk_gadget_count_items(pane); r++)
            if (tk_gadget_get_item_text(pane, r, 0) == name) return r;
        return -1;
    }
    // Makes row the current and only selected row, as a click would.
    static void Pick(int64_t pane, int64_t row) {
        for (int64_t r = 0; r < tk_gadget_count_items(pane); r++)
            tk_gadget_set_item_state(pane, r, r == row ? int64_t(TkListItemSelected) : 0);
        tk_list_set_current_row(pane, row);
    }
    // Opens the named row of the pane as a double click would.
    static void Open(int64_t pane, const std::wstring& name) {
        Pick(pane, RowOf(pane, name));
        OpenSelectedEntry(pane);
    }

  private:
    static void MakePane(int64_t info, int64_t list, int64_t path, int x) {
        tk_text_create(info, x, 0, 250, 16, L"Speicherausgabe");
        tk_string_create(path, x, 20, 440, 20, L"");
        tk_list_create(list, x, 44, 440, 400, L"Name", 200,
                       TkListMultiSelect | TkListShowSelectionAlways | TkListFullRowSelect);
        tk_list_add_column(list, 1, L"Änderungsdatum", 100);
        tk_list_add_column(list, 2, L"Typ", 90);
        tk_list_add_column(list, 3, L"Größe", 80);
    }
};
