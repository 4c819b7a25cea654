// Focus keys of the main window: Tab across the panes, and a path field
// that loses the focus without taking it back from where the user moved it.
#include "pane_fixture.h"

#include "app/shell/main_keys.h"
#include "toolkit/readback.h"

namespace {

class MainKeysTest : public PaneTest {
  protected:
    void SetUp() override {
        PaneTest::SetUp();
        ShowPath(GadRightPane, Folder(dir_), ShowReset);
        ShowPath(GadLeftPane, Folder(dir_), ShowReset);
        tk_string_create(GadCommandLine, 0, 460, 400, 20, L"");
        tk_window_make_active(WinMain);
        Settle();
    }
    static void Settle() {
        while (tk_event_wait_timeout(10)) {
        }
    }
    TempDir dir_;
};

TEST_F(MainKeysTest, TabCrossesBetweenThePaneLists) {
    tk_gadget_activate(GadLeftPane);
    FocusKey(1);
    EXPECT_EQ(tk_gadget_active(), GadRightPane);
    EXPECT_EQ(App.ActivePane, GadRightPane);
    FocusKey(0);
    EXPECT_EQ(tk_gadget_active(), GadLeftPane);
    EXPECT_EQ(App.ActivePane, GadLeftPane);
}

TEST_F(MainKeysTest, LeavingAPathFieldKeepsTheFocusWhereTheUserPutIt) {
    tk_gadget_activate(GadLeftPath);
    tk_gadget_set_text(GadLeftPath, L"halb getippt");
    tk_gadget_activate(GadCommandLine);
    Settle();
    PathFieldLeft(GadLeftPane);
    EXPECT_EQ(tk_gadget_active(), GadCommandLine);
    EXPECT_EQ(App.ActivePane, GadLeftPane);
    EXPECT_EQ(tk_gadget_get_text(GadLeftPath), Folder(dir_)); // the typing is undone
    // when nothing else took the focus, the pane takes it
    tk_gadget_activate(GadLeftPath);
    PathFieldLeft(GadLeftPane);
    EXPECT_EQ(tk_gadget_active(), GadLeftPane);
}

} // namespace
