// Shared set-up of the configuration and context-menu tests: the real main
// window (panes, toolbar, filter boxes) in a temporary current folder, a
// fresh button bar, and a way to hand a posted event to a window's handler
// as the main loop would.
#pragma once

#include <gtest/gtest.h>
#include <unistd.h>

#include "app/config/button_bar.h"
#include "app/config/button_bar_editor.h"
#include "app/config/drive_bar.h"
#include "app/core/app_state.h"
#include "app/core/ids.h"
#include "app/core/message_dialog.h"
#include "app/panes/pane.h"
#include "app/panes/pane_sides.h"
#include "app/panes/pane_workers.h"
#include "app/shell/main_window.h"
#include "runtime/text.h"
#include "test_support.h"
#include "toolkit/gadgets.h"

using ConfigHandler = int64_t (*)(int64_t);

// Posts an event and delivers it to handler once it is current.
inline int64_t Fire(ConfigHandler handler, int32_t code, int64_t window, int64_t object,
                    int64_t type = 0) {
    tk_event_post(code, window, object, type);
    for (int i = 0; i < 400; ++i) {
        const int32_t got = tk_event_wait_timeout(5);
        if (got == code && tk_event_window() == window && tk_event_gadget() == object &&
            tk_event_type() == type)
            return handler(got);
    }
    ADD_FAILURE() << "event " << code << " never arrived";
    return -1;
}

class ConfigTest : public testing::Test {
  public:
    static inline std::vector<std::wstring> messages;
    static inline std::vector<std::wstring> opened;
    static int64_t RecordMessage(int64_t, const std::wstring&, const std::wstring& headline,
                                 const std::wstring& text, int64_t, int64_t) {
        messages.push_back(headline + text);
        return MessageAnswerOk;
    }
    static int RecordOpen(const std::wstring& file, const std::wstring&, const std::wstring&) {
        opened.push_back(file);
        return 1;
    }

  protected:
    void SetUp() override {
        tk_init();
        saved_cwd_ = getcwd(nullptr, 0);
        ASSERT_EQ(chdir(dir_.path().c_str()), 0);
        AppStateReset();
        ResetPanes();
        ButtonBarReset();
        ButtonBarEditorReset();
        messages.clear();
        opened.clear();
        saved_open_ = ButtonBarOpen;
        Messages.Dialog = RecordMessage;
        ButtonBarOpen = RecordOpen;
        DriveVolumes = [] {
            return std::vector<PfVolume>{
                PfVolume{L"/", L"/dev/root", L"ext4", L"Hard Disk", L"/", L"/"}};
        };
        BuildMainWindow(MainWindowTitle, MainWindowFlags, 0, 0, 1020, 630, 60);
    }
    void TearDown() override {
        EndPaneThreads(); // workers and watchers must not outlive the lists
        tk_window_close(-1);
        for (int i = 0; i < 1000 && tk_event_wait_timeout(0) != 0; ++i) {
        } // nothing of ours is left for the next test
        ButtonBarReset();
        ButtonBarEditorReset();
        Messages = RealMessages();
        ButtonBarOpen = saved_open_;
        AppStateReset();
        ResetPanes();
        if (chdir(saved_cwd_) != 0) ADD_FAILURE() << "cannot go back";
        free(saved_cwd_);
    }
    static std::wstring W(const std::string& s) { return rt_text_from_os(s); }

    TempDir dir_;
    char* saved_cwd_ = nullptr;
    ButtonBarOpenFn saved_open_ = nullptr;
};
