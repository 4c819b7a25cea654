// Return and Escape in a window of gadgets and in the toolkit's message box,
// and the program's end (signal, close box, tk_quit_request) reaching
// whatever requester is open.
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>
#include <csignal>

#include "core_fixture.h"
#include "toolkit/events.h"
#include "toolkit/readback.h"
#include "toolkit/requesters.h"
#include "toolkit/widgets.h"

namespace {

constexpr int64_t kReturnItem = 4;

// A main window with a Return shortcut, as the program's has, and an owned
// dialog: a text field, "OK" and "Abbruch", and a Return shortcut of its own.
class DialogKeysTest : public CoreTest {
  protected:
    void SetUp() override {
        CoreTest::SetUp();
        tk_window_open(0, 0, 0, 400, 300, L"main", TkWindowNormal);
        tk_shortcut_add(0, 13, kReturnItem);
        tk_window_open(1, 0, 0, 300, 100, L"dialog", TkWindowDialog, tk_window_handle(0));
        make_line_edit(10);
        ok = tk_button_create(-1, 100, 40, 80, 20, L"OK");
        cancel = tk_button_create(-1, 200, 40, 80, 20, L"Abbruch");
        tk_shortcut_add(1, 13, 0);
        take_events();
    }
    void TearDown() override {
        tk_window_close_on_signals(-1);
        CoreTest::TearDown();
    }
    // The gadgets clicked and the menu items sent, in order ("g<n>" / "m<n>").
    std::vector<std::string> reports(int64_t window) {
        std::vector<std::string> out;
        for (const TakenEvent& e : take_events()) {
            if (e.window != window) continue;
            if (e.code == EventGadget)
                out.push_back(e.object == ok ? "ok" : e.object == cancel ? "cancel" : "g");
            if (e.code == EventMenu) out.push_back("m" + std::to_string(e.object));
        }
        return out;
    }
    void key(int64_t gadget, int qt_key) {
        tk_gadget_activate(gadget);
        send_key(widget_of(gadget), qt_key);
    }
    int64_t ok = 0, cancel = 0;
};

using Reports = std::vector<std::string>;

TEST_F(DialogKeysTest, ReturnPressesTheFocusedButtonElseTheDefaultElseTheShortcut) {
    key(cancel, Qt::Key_Return);
    EXPECT_EQ(reports(1), Reports{"cancel"}) << "the dialog's Return shortcut overrode Abbruch";
    key(10, Qt::Key_Return);
    EXPECT_EQ(reports(1), Reports{"m0"});
    ASSERT_EQ(tk_window_set_default_button(1, ok), 1);
    key(10, Qt::Key_Return);
    key(cancel, Qt::Key_Return);
    EXPECT_EQ(reports(1), (Reports{"ok", "cancel"}));
    EXPECT_EQ(tk_window_set_default_button(1, 10), 0) << "a text field is no button";
}

TEST_F(DialogKeysTest, EscapePressesTheCancelButtonOrTheOnlyOneNeverOk) {
    key(10, Qt::Key_Escape);
    EXPECT_EQ(reports(1), Reports{"cancel"});
    tk_gadget_disable(cancel, 1);
    key(10, Qt::Key_Escape);
    EXPECT_EQ(reports(1), Reports{}) << "with Abbruch disabled Escape must not confirm";
    tk_window_set_cancel_button(1, ok); // named: whatever its text
    key(10, Qt::Key_Escape);
    EXPECT_EQ(reports(1), Reports{"ok"});

    tk_window_open(2, 0, 0, 200, 80, L"box", TkWindowDialog);
    const int64_t only = tk_button_create(-1, 60, 40, 80, 20, L"Beenden");
    key(only, Qt::Key_Escape);
    std::vector<int64_t> clicked;
    for (const TakenEvent& e : take_events())
        if (e.code == EventGadget) clicked.push_back(e.object);
    EXPECT_EQ(clicked, std::vector<int64_t>{only});
}

// Return and Escape answer the box, and none of them reaches the window the
// box was opened over once it has closed.
TEST_F(DialogKeysTest, MessageBoxKeysAnswerItAndNeverReachTheWindowBelow) {
    tk_window_make_active(0);
    struct Case {
        int64_t flags;
        const char* focus; // button text to move to first, or null
        int key;
        int64_t answer;
    };
    const Case cases[] = {
        {TkMessageOkCancel, nullptr, Qt::Key_Return, TkAnswerOk},
        {TkMessageOkCancel, "Abbrechen", Qt::Key_Return, TkAnswerCancel},
        {TkMessageYesNo, nullptr, Qt::Key_Escape, TkAnswerNo},
        {TkMessageOk, nullptr, Qt::Key_Escape, TkAnswerOk},
    };
    for (const Case& c : cases) {
        QTimer::singleShot(50, [&c] {
            for (QWidget* w : QApplication::topLevelWidgets()) {
                auto* box = qobject_cast<QMessageBox*>(w);
                if (!box || !box->isVisible()) continue;
                QWidget* to = box->focusWidget() ? box->focusWidget() : box;
                for (QAbstractButton* b : box->buttons())
                    if (c.focus && b->text() == QLatin1String(c.focus)) (to = b)->setFocus();
                send_key(to, c.key);
                QTimer::singleShot(1000, box, &QDialog::reject); // a key that went astray
            }
        });
        EXPECT_EQ(tk_message_box(L"Frage", L"Weiter?", c.flags), c.answer) << c.focus;
    }
    EXPECT_EQ(reports(0), Reports{}) << "a key of the box was replayed to the window";
}

// The end of the program, however it is asked for, closes an open requester
// with its cancel answer, and later ones answer so at once.
TEST_F(DialogKeysTest, QuitEndsAnOpenMessageBoxAndAnswersLaterOnesAtOnce) {
    tk_window_close_on_signals(0);
    struct Way {
        std::function<void()> ask;
        int closes; // EventCloseWindow of the main window it reports
    };
    const Way ways[] = {
        {[] { tk_window_click_close_box(0); }, 1},
        {[] { raise(SIGTERM); }, 1},
        {[] { tk_quit_request(); }, 0},
    };
    for (const Way& way : ways) {
        tk_quit_request(0);
        QTimer::singleShot(50, way.ask);
        QTimer::singleShot(3000, [] { // the request did not reach the box
            for (QWidget* w : QApplication::topLevelWidgets())
                if (auto* box = qobject_cast<QMessageBox*>(w); box && box->isVisible())
                    box->defaultButton()->click();
        });
        EXPECT_EQ(tk_message_box(L"Frage", L"Überschreiben?", TkMessageOkCancel), TkAnswerCancel);
        EXPECT_EQ(tk_quit_requested(), 1);
        EXPECT_EQ(count_code(take_events(), EventCloseWindow), way.closes);
    }
    EXPECT_EQ(tk_message_box(L"Frage", L"Weiter?", TkMessageYesNo), TkAnswerNo);
    EXPECT_EQ(tk_open_file_requester(L"Auswahl", L"", L"Alle | *.*"), L"");
}

} // namespace
