// Pane tests with the background threads running: the PaneTest window plus
// the filter boxes, the workers and watchers released, and helpers that take
// events until the one a test waits for arrives.
#pragma once

#include "app/panes/dir_watcher.h"
#include "app/panes/pane_changed.h"
#include "app/panes/pane_filter.h"
#include "app/panes/pane_icons.h"
#include "app/panes/pane_refresh.h"
#include "app/panes/pane_rows.h"
#include "app/panes/pane_sort.h"
#include "app/panes/pane_workers.h"
#include "pane_fixture.h"
#include "platform/mime.h"
#include "runtime/threads.h"

#include <chrono>
#include <fcntl.h>
#include <unistd.h>

class PaneLiveTest : public PaneTest {
  protected:
    void SetUp() override {
        PaneTest::SetUp();
        tk_combo_create(GadLeftFilter, 0, 450, 200, 20, TkComboEditable);
        tk_combo_create(GadRightFilter, 450, 450, 200, 20, TkComboEditable);
        while (tk_event_wait_timeout(0)) {
        } // reports of the previous test's workers
        skipped.clear();
        ReleasePaneThreads();
    }

    using Clock = std::chrono::steady_clock;

    // Application events taken while waiting for another one.
    static inline std::vector<std::pair<int32_t, intptr_t>> skipped;

    // Takes events until code arrives (true, with its data), or ms pass.
    static bool WaitFor(int32_t code, intptr_t* data = nullptr, int ms = 20000) {
        for (auto it = skipped.begin(); it != skipped.end(); ++it)
            if (it->first == code) {
                if (data) *data = it->second;
                skipped.erase(it);
                return true;
            }
        const auto end = Clock::now() + std::chrono::milliseconds(ms);
        while (Clock::now() < end) {
            const int32_t got = tk_event_wait_timeout(10);
            if (got == code) {
                if (data) *data = tk_event_data();
                return true;
            }
            if (got == EventPaneInfoReady || got == EventDirChanged)
                skipped.emplace_back(got, tk_event_data());
        }
        return false;
    }
    // Waits for the pane's icon worker to report and handles it as the main
    // window does.
    static bool WaitReady(int64_t pane) {
        intptr_t data = 0;
        while (WaitFor(EventPaneInfoReady, &data))
            if (data == PaneReport(*PaneOf(pane))) {
                PaneInfoReady(data);
                return true;
            }
        return false;
    }
    static void MakeFiles(const TempDir& dir, int count, const std::vector<std::string>& exts) {
        for (int i = 0; i < count; ++i) {
            std::string base = "f"; // ("f" + to_string trips a false -Wrestrict of GCC 12 at -O3)
            base += std::to_string(i) + exts[i % exts.size()];
            const std::string name = dir / base;
            const int fd = open(name.c_str(), O_CREAT | O_WRONLY, 0644);
            if (fd >= 0) close(fd);
        }
    }
    static uint32_t TagOf(int64_t pane, const std::wstring& name) {
        return tk_list_item_tag(pane, RowOf(pane, name));
    }
    static std::wstring TypeOf(int64_t pane, const std::wstring& name) {
        return tk_gadget_get_item_text(pane, RowOf(pane, name), 2);
    }
};
