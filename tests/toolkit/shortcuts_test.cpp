// Keyboard shortcuts: Tab and Shift+Tab amid application shortcuts and
// after removing everything, shortcuts reaching the window past a focused
// text field, and the keys the field keeps.
#include "core_fixture.h"
#include "toolkit/list.h"
#include "toolkit/list_keys.h"
#include "toolkit/menus.h"

namespace {

class ShortcutsTest : public CoreTest {
  protected:
    void SetUp() override {
        CoreTest::SetUp();
        tk_window_open(0, 0, 0, 400, 300, L"main", TkWindowNormal);
        for (int i = 0; i < 3; ++i) make_line_edit(20 + i, 0, 30 * i);
        widget_of(20)->setFocus();
        take_events();
    }
    QWidget* focus() { return tk_window_widget(0)->focusWidget(); }
    // Sends a key where the window system would: to the focused widget.
    void press(int key, Qt::KeyboardModifiers mods = Qt::NoModifier, const QString& text = {}) {
        send_key(focus(), key, mods, text);
    }
    std::vector<int64_t> menu_items() {
        std::vector<int64_t> items;
        for (const auto& e : take_events())
            if (e.code == EventMenu) items.push_back(e.object);
        return items;
    }
};

TEST_F(ShortcutsTest, TabKeepsWorkingAmongShortcutsAndRemovingAllDisablesIt) {
    for (int vk = 112; vk < 124; ++vk) tk_shortcut_add(0, vk, vk - 100); // F1 ... F12
    tk_shortcut_add(0, 'E' | TkShortcutControl, 0);
    press(Qt::Key_Tab);
    EXPECT_EQ(focus(), widget_of(21));
    press(Qt::Key_Tab);
    press(Qt::Key_Tab); // wraps around
    EXPECT_EQ(focus(), widget_of(20));
    press(Qt::Key_Backtab, Qt::ShiftModifier);
    EXPECT_EQ(focus(), widget_of(22));
    EXPECT_TRUE(menu_items().empty()) << "Tab entries report nothing";

    tk_shortcut_remove(0, -1);
    press(Qt::Key_Tab);
    EXPECT_EQ(focus(), widget_of(22));
    press(Qt::Key_F5);
    EXPECT_TRUE(menu_items().empty());
}

TEST_F(ShortcutsTest, ShortcutsReachTheWindowPastAFocusedField) {
    tk_shortcut_add(0, 116, 8); // F5
    tk_shortcut_add(0, 13, 4);  // Return
    tk_shortcut_add(0, 32, 3);  // Space
    tk_shortcut_add(0, 46, 2);  // Delete
    tk_shortcut_add(0, 'B' | TkShortcutControl, 1);
    tk_gadget_set_text(20, L"ab");

    press(Qt::Key_F5);
    press(Qt::Key_Return, Qt::NoModifier, "\r");
    press(Qt::Key_B, Qt::ControlModifier, "\x02");
    EXPECT_EQ(menu_items(), (std::vector<int64_t>{8, 4, 1}));

    // keys that type or edit text stay in the field
    press(Qt::Key_Space, Qt::NoModifier, " ");
    press(Qt::Key_Delete);
    press(Qt::Key_A, Qt::ShiftModifier, "A");
    EXPECT_TRUE(menu_items().empty());
    EXPECT_EQ(tk_gadget_get_text(20), L"ab A");

    // a read-only field types nothing, so Space is the window's again
    static_cast<QLineEdit*>(widget_of(20))->setReadOnly(true);
    press(Qt::Key_Space, Qt::NoModifier, " ");
    EXPECT_EQ(menu_items(), (std::vector<int64_t>{3}));
}

TEST_F(ShortcutsTest, AddingAgainRebindsAndRemovingOneLeavesTheRest) {
    tk_shortcut_add(0, 114, 6);
    tk_shortcut_add(0, 114, 60);
    tk_shortcut_add(0, 115, 7);
    tk_shortcut_remove(0, 999); // not present: nothing changes
    press(Qt::Key_F3);
    press(Qt::Key_F4);
    EXPECT_EQ(menu_items(), (std::vector<int64_t>{60, 7}));
    tk_shortcut_remove(0, 114);
    press(Qt::Key_F3);
    press(Qt::Key_F4);
    EXPECT_EQ(menu_items(), (std::vector<int64_t>{7}));
    press(Qt::Key_Tab);
    EXPECT_EQ(focus(), widget_of(21));
}

TEST_F(ShortcutsTest, ShortcutsBelongToTheirWindow) {
    tk_window_open(36, 0, 0, 200, 100, L"dialog", TkWindowDialog);
    make_line_edit(37);
    widget_of(37)->setFocus();
    tk_shortcut_add(36, 27, 5); // Escape
    tk_shortcut_add(0, 27, 9);
    send_key(widget_of(37), Qt::Key_Escape);
    const auto events = take_events();
    ASSERT_EQ(count_code(events, EventMenu), 1);
    for (const auto& e : events)
        if (e.code == EventMenu) {
            EXPECT_EQ(e.window, 36);
            EXPECT_EQ(e.object, 5);
        }
}

} // namespace

TEST_F(ShortcutsTest, ProgramMovesTheFocusLikeTabAndTakesTabItself) {
    EXPECT_EQ(tk_focus_move(0, 1), 1);
    EXPECT_EQ(focus(), widget_of(21));
    EXPECT_EQ(tk_focus_move(0, 0), 1);
    EXPECT_EQ(focus(), widget_of(20));
    EXPECT_EQ(tk_focus_move(77, 1), 0);
    // Tab bound to an item of the program reports that item and moves nothing
    tk_shortcut_add(0, 9, 15);
    tk_shortcut_add(0, 9 | TkShortcutShift, 16);
    press(Qt::Key_Tab);
    press(Qt::Key_Backtab, Qt::ShiftModifier);
    EXPECT_EQ(focus(), widget_of(20));
    EXPECT_EQ(menu_items(), (std::vector<int64_t>{15, 16}));
}

// A list's key hook hears every key before the shortcuts: it may take a key
// (the shortcut is not run) or let it go on; a key typed into a text field
// never reaches it.
namespace {

std::vector<std::pair<int64_t, std::wstring>> g_hooked;
int64_t g_take = 0;

int64_t record_key(int64_t gadget, int64_t shortcut, const std::wstring& text) {
    if (gadget == 30) g_hooked.emplace_back(shortcut, text);
    return g_take;
}

} // namespace

TEST_F(ShortcutsTest, AListKeyHookComesBeforeTheShortcutsAndNeverHearsATextField) {
    tk_list_create(30, 0, 100, 200, 100, L"Name", 100, TkListMultiSelect);
    tk_list_set_key_hook(30, record_key);
    tk_shortcut_add(0, 116, 8);                     // F5
    tk_shortcut_add(0, 'A' | TkShortcutControl, 9); // Ctrl+A
    g_hooked.clear();
    widget_of(30)->setFocus();
    g_take = 1;
    press(Qt::Key_F5);
    press(Qt::Key_Udiaeresis, Qt::NoModifier, QStringLiteral("ü"));
    g_take = 0;
    press(Qt::Key_A, Qt::ControlModifier, "\x01");
    EXPECT_EQ(menu_items(), (std::vector<int64_t>{9})) << "F5 was taken, Ctrl+A went on";
    ASSERT_EQ(g_hooked.size(), 3u);
    EXPECT_EQ(g_hooked[0], (std::pair<int64_t, std::wstring>{116, L""}));
    EXPECT_EQ(g_hooked[1], (std::pair<int64_t, std::wstring>{0, L"ü"}));
    EXPECT_EQ(g_hooked[2], (std::pair<int64_t, std::wstring>{'A' | TkShortcutControl, L""}));
    widget_of(20)->setFocus();
    press(Qt::Key_M, Qt::NoModifier, "m");
    EXPECT_EQ(g_hooked.size(), 3u);
    tk_list_set_key_hook(30, nullptr);
}

TEST_F(ShortcutsTest, ADisabledWindowRunsNoShortcut) {
    tk_shortcut_add(0, 119, 11); // F8
    tk_window_disable(0, 1);
    send_key(widget_of(20), Qt::Key_F8); // as a window manager's focus would
    tk_window_disable(0, 0);
    EXPECT_TRUE(menu_items().empty()) << "F8 behind a dialog deleted";
    widget_of(20)->setFocus();
    press(Qt::Key_F8);
    EXPECT_EQ(menu_items(), (std::vector<int64_t>{11}));
}

// Ctrl+Z in a text field is the field's own undo; only elsewhere does it
// reach the window (the undo of file operations).
TEST_F(ShortcutsTest, TextFieldKeepsItsUndoAndRedo) {
    tk_shortcut_add(0, 'Z' | TkShortcutControl, 5);
    tk_shortcut_add(0, 'Z' | TkShortcutControl | TkShortcutShift, 6);
    tk_shortcut_add(0, 'Y' | TkShortcutControl, 6);
    tk_gadget_set_text(20, L"x");
    press(Qt::Key_Y, Qt::NoModifier, "y");
    press(Qt::Key_Z, Qt::ControlModifier, "\x1a");
    EXPECT_EQ(tk_gadget_get_text(20), L"x");
    press(Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier, "\x1a");
    EXPECT_EQ(tk_gadget_get_text(20), L"xy");
    press(Qt::Key_Y, Qt::ControlModifier, "\x19");
    EXPECT_TRUE(menu_items().empty());

    static_cast<QLineEdit*>(widget_of(20))->setReadOnly(true);
    press(Qt::Key_Z, Qt::ControlModifier, "\x1a");
    press(Qt::Key_Y, Qt::ControlModifier, "\x19");
    EXPECT_EQ(menu_items(), (std::vector<int64_t>{5, 6}));
}

// A command key while a menu of the bar is open closes it and acts as
// without it, the focus back where it was; a key that walks the menu stays
// with the menu.
TEST_F(ShortcutsTest, CommandKeysActPastAnOpenMenu) {
    tk_shortcut_add(0, 116, 8);                     // F5
    tk_shortcut_add(0, 'R' | TkShortcutControl, 9); // Ctrl+R
    tk_shortcut_add(0, 40, 7);                      // Down, to see it is not taken
    QApplication::setActiveWindow(tk_window_widget(0));
    ASSERT_NE(tk_menu_create(2, tk_window_handle(0)), 0);
    tk_menu_title(L"Datei");
    tk_menu_item_add(1, L"Eins");
    tk_menu_item_add(2, L"Zwei");
    const auto open_menu = [] {
        tk_menu_bar_activate(2);
        for (int i = 0; i < 100 && !QApplication::activePopupWidget(); ++i)
            tk_event_wait_timeout(20);
        return QApplication::activePopupWidget();
    };
    QWidget* menu = open_menu();
    ASSERT_NE(menu, nullptr);
    send_key(menu, Qt::Key_Down);
    EXPECT_EQ(QApplication::activePopupWidget(), menu) << "Down walks the menu";
    send_key(menu, Qt::Key_F5);
    EXPECT_EQ(QApplication::activePopupWidget(), nullptr);
    EXPECT_EQ(menu_items(), (std::vector<int64_t>{8}));
    EXPECT_EQ(focus(), widget_of(20));
    menu = open_menu();
    ASSERT_NE(menu, nullptr);
    send_key(menu, Qt::Key_R, Qt::ControlModifier, "\x12");
    EXPECT_EQ(menu_items(), (std::vector<int64_t>{9}));
    tk_menu_free(-1);
}
