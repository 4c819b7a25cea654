// The button bar editor: picking and dragging on the strip with its exact
// arithmetic, insert, delete and "Anwenden" with the file it writes.
#include "app/config/config_hooks.h"
#include "app/config/config_ids.h"
#include "config_fixture.h"
#include "toolkit/readback.h"

namespace {

std::wstring Requested;
std::wstring ChosenPath(const std::wstring&, const std::wstring&, const std::wstring&, int64_t) {
    return Requested;
}

class EditorTest : public ConfigTest {
  protected:
    void SetUp() override {
        ConfigTest::SetUp();
        saved_requester_ = ConfigFileRequester;
        ConfigFileRequester = ChosenPath;
        for (const wchar_t* name : {L"A", L"B", L"C"}) {
            ButtonBarEntry& e = ButtonBarList.emplace_back();
            e.IconImage = tk_image_create(-1, 32, 32, 32, 0x00FF00);
            e.IconWidth = 32;
            e.Button = {0, 2, 0, std::wstring(L"/bin/") + name, name};
        }
        RebuildToolbar(ButtonBarList);
        ButtonBarEditorCommand();
    }
    void TearDown() override {
        ConfigFileRequester = saved_requester_;
        ConfigTest::TearDown();
    }
    static std::wstring Order() {
        std::wstring out;
        for (const ButtonBarEntry& e : ButtonBarList) out += e.Button.Tooltip;
        return out;
    }
    static void Press(int64_t gadget) {
        Fire(ButtonBarEditorEvent, EventGadget, WinButtonBarEditor, gadget);
    }
    ConfigFileRequesterFn saved_requester_ = nullptr;
};

TEST_F(EditorTest, OpensWithTheStripLaidOutAtPitchIconPlusSix) {
    ASSERT_TRUE(tk_window_exists(WinButtonBarEditor));
    std::vector<int64_t> xs;
    for (const ButtonBarEntry& e : ButtonBarList) xs.push_back(e.PreviewX);
    EXPECT_EQ(xs, (std::vector<int64_t>{0, 38, 76}));
    EXPECT_EQ(tk_gadget_width(GadEditorStrip), 420);
}

TEST_F(EditorTest, NoTextIsCut) {
    std::string cut;
    for (int64_t g : tk_window_cut_gadgets(WinButtonBarEditor))
        cut += "\"" + rt_text_to_os(tk_gadget_get_text(g)) + "\" ";
    EXPECT_EQ(cut, "");
    const int64_t large = tk_font_load(-1, L"DejaVu Sans", 13);
    tk_gadget_set_font(-1, tk_font_handle(large));
    ButtonBarEditorCommand();
    cut = "";
    for (int64_t g : tk_window_cut_gadgets(WinButtonBarEditor))
        cut += "\"" + rt_text_to_os(tk_gadget_get_text(g)) + "\" ";
    EXPECT_EQ(cut, "");
    tk_gadget_set_font(-1, -1);
    tk_font_free(large);
}

TEST_F(EditorTest, ClickWithoutMovingSelectsAndKeepsTheOrder) {
    EditorMouseDown(80); // C, the last one: every entry before it shifts by D
    EditorMouseUp();
    EXPECT_EQ(Order(), L"ABC");
    EXPECT_EQ(ButtonBarEditor.SelectedEntry, &ButtonBarList.back());
    EXPECT_EQ(tk_gadget_get_text(GadEditorTooltip), L"C");
    EXPECT_EQ(tk_gadget_get_text(GadEditorPath), L"/bin/C");
    EXPECT_EQ(tk_gadget_get_text(GadEditorAction), L"2");
    EXPECT_EQ(tk_gadget_get_text(GadEditorParameter), L"0");

    EditorMouseDown(40);
    EditorMouseMove(40); // a move of zero pixels
    EditorMouseUp();
    EXPECT_EQ(Order(), L"ABC");
}

TEST_F(EditorTest, DragArithmeticSlidesTheOthersBetweenTheirLimits) {
    EditorMouseDown(10);
    auto it = ButtonBarList.begin();
    const ButtonBarEntry &a = *it++, &b = *it++, &c = *it;
    EXPECT_EQ(a.DragMin, 0);
    EXPECT_EQ(a.DragMax, 76);
    EXPECT_EQ(b.DragMin, -38);
    EXPECT_EQ(b.DragMax, 0);
    EXPECT_EQ(c.DragMin, -38);
    EXPECT_EQ(c.DragMax, 0);
    EditorMouseMove(50); // 40 right: ((38 - 0 - 40) - 38) * 38 / 38 = -40 -> -38
    EXPECT_EQ(a.DragOffset, 40);
    EXPECT_EQ(b.DragOffset, -38);
    EXPECT_EQ(c.DragOffset, -2); // ((76 - 0 - 40) - 38) * 38 / 38
    EditorMouseMove(30);         // 20 right: b = -20, c = (76 - 20 - 38) = 18 -> 0
    EXPECT_EQ(b.DragOffset, -20);
    EXPECT_EQ(c.DragOffset, 0);
}

TEST_F(EditorTest, NarrowIconsDivideByTheirOwnPitchTruncatingTowardZero) {
    auto b = std::next(ButtonBarList.begin());
    b->IconWidth = 20; // pitch 26: the strip is A 0, B 38, C 64
    DrawButtonBarPreview();
    EditorMouseDown(70); // C; A and B move one pitch (38) right
    EXPECT_EQ(b->PreviewX, 76);
    EXPECT_EQ(ButtonBarList.back().DragMin, -64);
    EXPECT_EQ(ButtonBarList.back().DragMax, 0);
    EditorMouseMove(50);
    // A and B come before C in the list, so they see C's offset of the
    // previous move (0): B = (76 - 64 - 0 - 38) * 38 / 26 = -38.
    EXPECT_EQ(b->DragOffset, -38);
    EXPECT_EQ(ButtonBarList.back().DragOffset, -20);
    EditorMouseMove(50);
    // Now C's -20 counts: (76 - 64 + 20 - 38) * 38 / 26 = -228 / 26 = -8 (not -9).
    EXPECT_EQ(b->DragOffset, -8);
    EditorMouseUp();
    EXPECT_EQ(Order(), L"ACB"); // A 38 - 38 = 0, C 64 - 20 = 44, B 76 - 8 = 68
}

TEST_F(EditorTest, DraggingTheFirstToTheEndMakesItLastAndApplyWritesItLast) {
    EditorMouseDown(10);
    EditorMouseMove(400);
    EditorMouseUp();
    EXPECT_EQ(Order(), L"BCA");
    EXPECT_EQ(ButtonBarEditor.DraggedEntry, nullptr);
    EXPECT_EQ(ButtonBarEditor.SelectedEntry, &ButtonBarList.back());
    Press(GadEditorApply);
    EXPECT_EQ(dir_.read("Data/Toolbar.bar"), "/bin/B|B|2|0|\r\n/bin/C|C|2|0|\r\n/bin/A|A|2|0|\r\n");
    EXPECT_EQ(ToolbarButtons.size(), 4u);
    EXPECT_EQ(ToolbarButtons[2].Path, L"/bin/A");
    EXPECT_TRUE(messages.empty());
}

TEST_F(EditorTest, DeletingEveryEntryThenApplyChangesNeitherToolbarNorFile) {
    Press(GadEditorApply);
    const std::string before = dir_.read("Data/Toolbar.bar");
    for (int i = 0; i < 3; ++i) {
        EditorMouseDown(10);
        EditorMouseUp();
        Press(GadEditorDelete);
    }
    EXPECT_TRUE(ButtonBarList.empty());
    EXPECT_EQ(ButtonBarEditor.SelectedEntry, nullptr);
    Press(GadEditorDelete); // nothing selected: nothing happens
    Press(GadEditorApply);
    EXPECT_EQ(dir_.read("Data/Toolbar.bar"), before);
    EXPECT_EQ(ToolbarButtons.size(), 4u);
}

TEST_F(EditorTest, ClickOnTheEmptyStripChangesNothing) {
    EditorMouseDown(40);
    EditorMouseUp();
    const ButtonBarEntry* selected = ButtonBarEditor.SelectedEntry;
    EditorMouseDown(300);
    EditorMouseMove(350);
    EditorMouseUp();
    EditorMouseDown(34); // in the gap between A and B
    EditorMouseUp();
    EXPECT_EQ(ButtonBarEditor.SelectedEntry, selected);
    EXPECT_EQ(tk_gadget_get_text(GadEditorTooltip), L"B");
    EXPECT_EQ(Order(), L"ABC");
}

TEST_F(EditorTest, InsertTakesTheChosenProgramAndCancelInsertsNothing) {
    Requested = L"";
    Press(GadEditorInsert);
    EXPECT_EQ(ButtonBarList.size(), 3u);
    Requested = L"/opt/werkzeug/notepad.exe";
    tk_gadget_set_text(GadEditorParameter, L"12");
    Press(GadEditorInsert);
    ASSERT_EQ(ButtonBarList.size(), 4u);
    EXPECT_EQ(tk_gadget_get_text(GadEditorPath), L"/opt/werkzeug/notepad.exe");
    EXPECT_EQ(tk_gadget_get_text(GadEditorTooltip), L"notepad");
    EXPECT_EQ(tk_gadget_get_text(GadEditorAction), L"2");
    const ButtonBarEntry& e = ButtonBarList.back();
    EXPECT_EQ(e.Button.Path, Requested);
    EXPECT_EQ(e.Button.Tooltip, L"notepad");
    EXPECT_EQ(e.Button.Action, 2);
    EXPECT_EQ(e.Button.Parameter, 12);
    EXPECT_EQ(e.PreviewX, 3 * 38);
}

// What is typed into a field changes the entry it shows (the picked one,
// or the one just inserted, which takes the parameter still in its field),
// and "Anwenden" writes it.
TEST_F(EditorTest, EveryEditedFieldIsSavedAndCancelCloses) {
    auto type = [](int64_t field, const wchar_t* text) {
        tk_gadget_set_text(field, text);
        Fire(ButtonBarEditorEvent, EventGadget, WinButtonBarEditor, field, EventTypeChange);
    };
    EditorMouseDown(10); // A
    EditorMouseUp();
    type(GadEditorParameter, L"7");
    type(GadEditorTooltip, L"Anders");
    type(GadEditorAction, L"3");
    type(GadEditorPath, L"/bin/Z");
    Requested = L"/opt/neu.sh";
    Press(GadEditorInsert);
    type(GadEditorTooltip, L"Neu");
    Press(GadEditorApply);
    EXPECT_EQ(dir_.read("Data/Toolbar.bar"),
              "/bin/Z|Anders|3|7|\r\n/bin/B|B|2|0|\r\n/bin/C|C|2|0|\r\n/opt/neu.sh|Neu|2|7|\r\n");
    Press(GadEditorCancel);
    EXPECT_FALSE(tk_window_exists(WinButtonBarEditor));
}

} // namespace
