// MessageDialog answers for Return, each button and the close box; the owner
// is disabled exactly while it is open; events for other windows that arrive
// meanwhile are delivered afterwards; the program's end answers "Abbruch".
#include <gtest/gtest.h>

#include <csignal>
#include <functional>

#include "app/config/remote_login_dialog.h"
#include "app/core/message_dialog.h"
#include "toolkit/events.h"
#include "toolkit/gadgets.h"
#include "toolkit/readback.h"
#include "toolkit/windows.h"

namespace {

constexpr int64_t Owner = 0;

// Runs action on the dialog window (its number) as soon as it is active.
void WhenOpen(std::function<void(int64_t)> action) {
    tk_call_until(10, [action] {
        const int64_t w = tk_window_active();
        if (w == -1 || tk_window_title(w) != L"Frage") return false;
        action(w);
        return true;
    });
}

// Clicks the dialog's button with this text; false when there is none.
bool Click(int64_t dialog, const std::wstring& text) {
    const int64_t button = tk_window_gadget_with_text(dialog, text);
    return button != 0 && tk_button_click(button) == 1;
}

void PressReturn(int64_t dialog) {
    tk_window_press_return(dialog);
}

int64_t Ask(int64_t buttons, std::function<void(int64_t)> action) {
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
    EXPECT_EQ(Ask(MessageTwoButtons, [](int64_t d) { EXPECT_TRUE(Click(d, L"OK")); }),
              MessageAnswerOk);
    EXPECT_EQ(Ask(MessageTwoButtons, [](int64_t d) { EXPECT_TRUE(Click(d, L"Abbruch")); }),
              MessageAnswerCancel);
    EXPECT_EQ(Ask(MessageOneButton,
                  [](int64_t d) {
                      EXPECT_EQ(tk_window_gadget_with_text(d, L"OK"), 0);
                      EXPECT_TRUE(Click(d, L"Beenden"));
                  }),
              MessageAnswerCancel);
    EXPECT_EQ(Ask(MessageTwoButtons, [](int64_t d) { tk_window_click_close_box(d); }),
              MessageAnswerClosed);
}

TEST_F(MessageDialogTest, OwnerIsDisabledOnlyWhileOpen) {
    bool disabled_while_open = false;
    Ask(MessageTwoButtons, [&](int64_t d) {
        disabled_while_open = tk_window_enabled(Owner) == 0;
        Click(d, L"OK");
    });
    EXPECT_TRUE(disabled_while_open);
    EXPECT_EQ(tk_window_enabled(Owner), 1);
}

TEST_F(MessageDialogTest, EventsForOtherWindowsArriveAfterwards) {
    constexpr int32_t JobDone = 33;
    constexpr int64_t ProgressWindow = 34;
    Ask(MessageTwoButtons, [](int64_t d) {
        tk_event_post(JobDone, ProgressWindow, 7, 0, 42);
        // let the posted event be taken by the dialog's own loop first
        int waits = 0;
        tk_call_until(10, [d, waits]() mutable {
            if (++waits < 3) return false;
            Click(d, L"OK");
            return true;
        });
    });
    int32_t code = 0;
    for (int i = 0; i < 100 && code != JobDone; ++i) code = tk_event_wait_timeout(10);
    ASSERT_EQ(code, JobDone);
    EXPECT_EQ(tk_event_window(), ProgressWindow);
    EXPECT_EQ(tk_event_gadget(), 7);
    EXPECT_EQ(tk_event_data(), 42);
}

// A logout while a dialog is open: SIGTERM, as the toolkit turns it into
// the quit request and the main window's close request.
class LogoutTest : public MessageDialogTest {
  protected:
    void SetUp() override {
        MessageDialogTest::SetUp();
        tk_window_close_on_signals(Owner);
    }
    void TearDown() override {
        tk_window_close_on_signals(-1);
        tk_quit_request(0);
        MessageDialogTest::TearDown();
    }
    // The owner's close request arrives once the dialog is gone.
    static void ExpectTheCloseRequest() {
        int32_t code = 0;
        for (int i = 0; i < 100 && code != EventCloseWindow; ++i) code = tk_event_wait_timeout(10);
        EXPECT_EQ(code, EventCloseWindow);
        EXPECT_EQ(tk_event_window(), Owner);
    }
};

// The question answers "Abbruch", and a later one is answered so without
// being shown.
TEST_F(LogoutTest, MessageDialogAnswersAbbruchAndTheCloseRequestGoesOn) {
    EXPECT_EQ(Ask(MessageTwoButtons,
                  [](int64_t d) {
                      raise(SIGTERM);
                      // a dialog that waits on fails the test instead of hanging it
                      tk_call_until(10, [d, waits = 0]() mutable {
                          if (!tk_window_exists(d)) return true;
                          if (++waits < 500) return false;
                          Click(d, L"OK");
                          return true;
                      });
                  }),
              MessageAnswerCancel);
    ExpectTheCloseRequest();
    EXPECT_EQ(MessageDialog(MessageKindQuestion, L"Frage", L"Löschen !", L"wirklich ?",
                            MessageTwoButtons, Owner),
              MessageAnswerCancel);
}

// The login window of a remote location gives up.
TEST_F(LogoutTest, LoginGivesUpAndTheCloseRequestGoesOn) {
    tk_call_until(10, [] {
        const int64_t w = tk_window_active();
        if (w == -1 || w == Owner) return false;
        raise(SIGTERM);
        return true;
    });
    PfRemoteLogin login;
    login.asks = PfAskPassword;
    EXPECT_EQ(RemoteLoginWindow(&login), 0);
    ExpectTheCloseRequest();
}

} // namespace
