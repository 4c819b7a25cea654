// MessageDialog answers for Return, each button and the close box; the owner
// is disabled exactly while it is open; events for other windows that arrive
// meanwhile are delivered afterwards.
#include <gtest/gtest.h>

#include <QApplication>
#include <QKeyEvent>
#include <QPushButton>
#include <QTimer>
#include <functional>

#include "app/fileops/message_dialog.h"
#include "toolkit/events.h"
#include "toolkit/gadgets.h"

namespace {

constexpr int64_t Owner = 0;

// Runs action on the dialog window as soon as it is the active window.
void WhenOpen(std::function<void(QWidget*)> action) {
    auto* timer = new QTimer;
    timer->setInterval(10);
    QObject::connect(timer, &QTimer::timeout, [timer, action] {
        QWidget* w = QApplication::activeWindow();
        if (!w || w->windowTitle() != "Frage") return;
        timer->stop();
        timer->deleteLater();
        action(w);
    });
    timer->start();
}

QPushButton* ButtonOf(QWidget* dialog, const QString& text) {
    for (QPushButton* b : dialog->findChildren<QPushButton*>())
        if (b->text() == text) return b;
    return nullptr;
}

void PressReturn(QWidget* dialog) {
    QWidget* focus = QApplication::focusWidget();
    QKeyEvent press(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier, "\r");
    QApplication::sendEvent(focus ? focus : dialog, &press);
}

int64_t Ask(int64_t buttons, std::function<void(QWidget*)> action) {
    WhenOpen(std::move(action));
    return MessageDialog(MessageKindQuestion, L"Frage", L"Löschen !", L"wirklich ?", buttons,
                         Owner);
}

class MessageDialogTest : public testing::Test {
  protected:
    void SetUp() override {
        tk_init();
        tk_window_open(Owner, 0, 0, 300, 200, L"Besitzer", TkWindowNormal, 0);
    }
    void TearDown() override { tk_window_close(-1); }
};

TEST_F(MessageDialogTest, ReturnActsOnTheFocusedButton) {
    EXPECT_EQ(Ask(MessageTwoButtons, PressReturn), MessageAnswerOk);
    EXPECT_EQ(Ask(MessageOneButton, PressReturn), MessageAnswerCancel);
}

TEST_F(MessageDialogTest, EachButtonAndTheCloseBoxGiveTheirAnswer) {
    EXPECT_EQ(Ask(MessageTwoButtons, [](QWidget* d) { ButtonOf(d, "OK")->click(); }),
              MessageAnswerOk);
    EXPECT_EQ(Ask(MessageTwoButtons, [](QWidget* d) { ButtonOf(d, "Abbruch")->click(); }),
              MessageAnswerCancel);
    EXPECT_EQ(Ask(MessageOneButton,
                  [](QWidget* d) {
                      EXPECT_EQ(ButtonOf(d, "OK"), nullptr);
                      ButtonOf(d, "Beenden")->click();
                  }),
              MessageAnswerCancel);
    EXPECT_EQ(Ask(MessageTwoButtons, [](QWidget* d) { d->close(); }), MessageAnswerClosed);
}

TEST_F(MessageDialogTest, OwnerIsDisabledOnlyWhileOpen) {
    QWidget* owner = reinterpret_cast<QWidget*>(tk_window_handle(Owner));
    bool disabled_while_open = false;
    Ask(MessageTwoButtons, [&](QWidget* d) {
        disabled_while_open = !owner->isEnabled();
        ButtonOf(d, "OK")->click();
    });
    EXPECT_TRUE(disabled_while_open);
    EXPECT_TRUE(owner->isEnabled());
}

TEST_F(MessageDialogTest, EventsForOtherWindowsArriveAfterwards) {
    constexpr int32_t JobDone = 33;
    constexpr int64_t ProgressWindow = 34;
    Ask(MessageTwoButtons, [](QWidget* d) {
        tk_event_post(JobDone, ProgressWindow, 7, 0, 42);
        // let the posted event be taken by the dialog's own loop first
        QTimer::singleShot(30, d, [d] { ButtonOf(d, "OK")->click(); });
    });
    int32_t code = 0;
    for (int i = 0; i < 100 && code != JobDone; ++i) code = tk_event_wait_timeout(10);
    ASSERT_EQ(code, JobDone);
    EXPECT_EQ(tk_event_window(), ProgressWindow);
    EXPECT_EQ(tk_event_gadget(), 7);
    EXPECT_EQ(tk_event_data(), 42);
}

} // namespace
