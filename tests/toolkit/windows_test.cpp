// Windows: size-event de-duplication during a live resize, the open-complete
// rule for close requests, maximize / restore, the menu bar inside the inner
// height, bounds, owners, the gadget list, and mount changes reaching the
// window callback.
#include "core_fixture.h"
#include "test_support.h"
#include "toolkit/images.h"

#include <QElapsedTimer>
#include <QMenuBar>
#include <QMouseEvent>
#include <algorithm>
#include <csignal>
#include <fstream>

namespace {

using WindowsTest = CoreTest;

int g_sizes_seen = 0;
void count_size() {
    ++g_sizes_seen;
}

TEST_F(WindowsTest, LiveResizeQueuesOneSizeEventButCallsTheBindingEveryTime) {
    tk_window_open(1, 10, 10, 400, 300, L"w", TkWindowNormal);
    take_events();
    g_sizes_seen = 0;
    tk_event_bind(EventSizeWindow, count_size, 1);
    QWidget* w = tk_window_widget(1);
    for (int i = 1; i <= 25; ++i) {
        w->resize(400 + i, 300 + i);
        QCoreApplication::processEvents(); // the window system's notifications, no taking
    }
    EXPECT_EQ(g_sizes_seen, 25);
    const auto events = take_events();
    EXPECT_EQ(count_code(events, EventSizeWindow), 1);
    EXPECT_EQ(tk_window_width(1), 425);
    EXPECT_EQ(tk_window_height(1), 325);
}

intptr_t close_during_open(intptr_t handle, int64_t message, intptr_t, intptr_t) {
    if (message == TkMessageSize || message == TkMessageMove)
        reinterpret_cast<QWidget*>(handle)->close();
    return TkContinue;
}

TEST_F(WindowsTest, CloseRequestBeforeOpenCompleteIsIgnored) {
    tk_window_set_callback(close_during_open);
    tk_window_open(2, 0, 0, 200, 100, L"w", TkWindowNormal);
    tk_window_set_callback(nullptr);
    EXPECT_EQ(count_code(take_events(), EventCloseWindow), 0);
    ASSERT_EQ(tk_window_exists(2), 1);
    EXPECT_TRUE(tk_window_widget(2)->isVisible());

    // once open, a close request is reported and the window stays
    tk_window_widget(2)->close();
    const auto events = take_events();
    ASSERT_EQ(count_code(events, EventCloseWindow), 1);
    for (const auto& e : events) {
        if (e.code == EventCloseWindow) {
            EXPECT_EQ(e.object, 2);
        }
    }
    EXPECT_TRUE(tk_window_widget(2)->isVisible());
}

intptr_t veto_close(intptr_t, int64_t message, intptr_t, intptr_t) {
    return message == TkMessageClose ? 0 : TkContinue;
}

TEST_F(WindowsTest, WindowCallbackCanStopTheToolkitsHandling) {
    tk_window_open(2, 0, 0, 200, 100, L"w", TkWindowNormal);
    tk_window_open(3, 0, 0, 200, 100, L"w", TkWindowNormal);
    tk_window_set_callback(veto_close, 2);
    take_events();
    tk_window_widget(2)->close();
    tk_window_widget(3)->close();
    const auto events = take_events();
    ASSERT_EQ(count_code(events, EventCloseWindow), 1);
    for (const auto& e : events) {
        if (e.code == EventCloseWindow) {
            EXPECT_EQ(e.window, 3);
        }
    }
}

TEST_F(WindowsTest, MaximizeAndRestoreReportTheirEventsInOrder) {
    tk_window_open(1, 0, 0, 400, 300, L"w", TkWindowNormal);
    take_events();
    // The window system may report the state and the new size in separate
    // rounds, so more than one size event may arrive; the order is fixed.
    auto state_codes = [] {
        std::vector<int32_t> codes;
        for (const auto& e : take_events())
            if (e.code != EventMoveWindow && e.code != EventRepaint) codes.push_back(e.code);
        return codes;
    };
    tk_window_set_state(1, TkWindowStateMaximized);
    auto codes = state_codes();
    EXPECT_EQ(tk_window_get_state(1), TkWindowStateMaximized);
    ASSERT_GE(codes.size(), 2u);
    EXPECT_EQ(std::count(codes.begin(), codes.end(), EventMaximizeWindow), 1);
    EXPECT_EQ(codes.back(), EventSizeWindow);

    tk_window_set_state(1, TkWindowStateNormal);
    codes = state_codes();
    EXPECT_EQ(std::count(codes.begin(), codes.end(), EventRestoreWindow), 1);
    EXPECT_EQ(codes.back(), EventSizeWindow);
    EXPECT_EQ(tk_window_width(1), 400);
    EXPECT_EQ(tk_window_get_state(1), TkWindowStateNormal);

    tk_window_set_state(1, TkWindowStateNormal); // already normal: nothing to restore
    codes = state_codes();
    EXPECT_EQ(std::count(codes.begin(), codes.end(), EventRestoreWindow), 0);
}

TEST_F(WindowsTest, MenuBarSitsAboveTheClientInsideTheInnerHeight) {
    tk_window_open(1, 0, 0, 400, 300, L"w", TkWindowNormal);
    auto* bar = new QMenuBar(tk_window_widget(1));
    bar->addMenu(QStringLiteral("Datei"));
    auto* strip = new QWidget(tk_window_widget(1)); // a toolbar made on the window itself
    strip->setGeometry(10, 0, 100, 20);
    take_events();
    const int m = bar->height();
    EXPECT_GT(m, 0);
    EXPECT_TRUE(bar->isVisible());
    EXPECT_EQ(tk_window_height(1), 300);
    EXPECT_EQ(tk_window_client(1)->geometry(), QRect(0, m, 400, 300 - m));
    EXPECT_EQ(strip->parentWidget(), tk_window_client(1));
    EXPECT_EQ(strip->geometry(), QRect(10, 0, 100, 20));
    EXPECT_TRUE(strip->isVisible());
}

TEST_F(WindowsTest, BoundsKeepRemoveAndCap) {
    tk_window_open(1, 0, 0, 300, 200, L"w", TkWindowNormal);
    tk_window_set_bounds(1, 640, 480, -1, -1);
    EXPECT_EQ(tk_window_width(1), 640);
    EXPECT_EQ(tk_window_height(1), 480);
    QWidget* w = tk_window_widget(1);
    tk_window_set_bounds(1, TkWindowKeep, TkWindowKeep, 50000, 700);
    EXPECT_EQ(w->minimumSize(), QSize(640, 480));
    EXPECT_EQ(w->maximumSize(), QSize(32000, 700));
    tk_window_set_bounds(1, -1, TkWindowKeep, -1, -1);
    EXPECT_EQ(w->minimumSize(), QSize(0, 480));
    EXPECT_EQ(w->maximumSize(), QSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX));
}

TEST_F(WindowsTest, OwnedWindowsCloseWithTheirOwnerAndStayEnabled) {
    const intptr_t main = tk_window_open(0, 0, 0, 400, 300, L"main", TkWindowNormal);
    tk_window_open(28, 0, 0, 200, 100, L"dialog", TkWindowDialog | TkWindowCentreOnParent, main);
    const int64_t any = tk_window_open(-1, 0, 0, 50, 50, L"any", 0, main);
    ASSERT_NE(any, 0);
    EXPECT_EQ(tk_window_exists(any), 1);
    tk_window_disable(0, 1);
    EXPECT_FALSE(tk_window_widget(0)->isEnabled());
    EXPECT_TRUE(tk_window_widget(28)->isEnabled());
    tk_window_close(28);
    EXPECT_EQ(tk_window_exists(28), 0);
    tk_window_disable(0, 0);
    EXPECT_TRUE(tk_window_widget(0)->isEnabled());
    tk_window_close(0);
    EXPECT_EQ(tk_window_exists(any), 0);
}

// A window built hidden comes up only when its delay has passed, and a
// delayed show outlives neither the window nor its number's next owner.
TEST_F(WindowsTest, HiddenWindowsShowAfterTheirDelayUnlessClosedFirst) {
    const intptr_t main = tk_window_open(0, 0, 0, 400, 300, L"main", TkWindowNormal);
    const auto pump = [](int ms) {
        QElapsedTimer clock;
        clock.start();
        while (clock.elapsed() < ms) tk_event_wait_timeout(5);
    };
    tk_window_open(34, 0, 0, 200, 100, L"later", TkWindowTitleBar | TkWindowHidden, main);
    make_line_edit(1, 10, 10);
    EXPECT_EQ(0, tk_window_visible(34));
    EXPECT_EQ(1, tk_window_show(34, 60));
    EXPECT_EQ(0, tk_window_visible(34));
    pump(150);
    EXPECT_EQ(1, tk_window_visible(34));
    EXPECT_TRUE(widget_of(1)->isVisible());
    // the flags that only say when it shows leave its frame as asked
    EXPECT_TRUE(tk_window_widget(34)->windowFlags() & Qt::WindowTitleHint);

    tk_window_show(34, 60);
    tk_window_close(34); // closed, then opened again under the same number
    tk_window_open(34, 0, 0, 200, 100, L"again", TkWindowTitleBar | TkWindowHidden, main);
    tk_window_open(35, 0, 0, 200, 100, L"gone", TkWindowHidden, main);
    tk_window_show(35, 60);
    tk_window_close(35);
    pump(150);
    EXPECT_EQ(0, tk_window_visible(34));
    EXPECT_EQ(0, tk_window_exists(35));
    EXPECT_EQ(0, tk_window_show(35, 0));
    EXPECT_EQ(1, tk_window_show(34, 0));
    EXPECT_EQ(1, tk_window_visible(34));
    tk_window_close(0);
}

TEST_F(WindowsTest, GadgetListFollowsWindowsAndContainers) {
    tk_window_open(1, 0, 0, 400, 300, L"a", TkWindowNormal);
    EXPECT_EQ(tk_current_parent(), tk_window_client(1));
    EXPECT_EQ(tk_current_window(), 1);
    auto* frame = new QWidget;
    tk_gadget_register(3, frame, &kTestLineOps, nullptr, 10, 30, 200, 100);
    tk_gadget_list_push(frame);
    make_line_edit(4);
    EXPECT_EQ(widget_of(4)->parentWidget(), frame);
    EXPECT_EQ(tk_gadget_lookup(4)->window, 1);
    tk_gadget_list_close();
    EXPECT_EQ(tk_current_parent(), tk_window_client(1));
    EXPECT_EQ(tk_gadget_list_open(3), 1);
    EXPECT_EQ(tk_current_parent(), frame);
    EXPECT_EQ(tk_gadget_list_open(4), 0) << "not a container";
    tk_gadget_list_close();

    tk_window_open(2, 0, 0, 100, 100, L"b", TkWindowNormal);
    EXPECT_EQ(tk_current_window(), 2);
    tk_window_close(2);
    EXPECT_EQ(tk_current_window(), 1) << "a closed window is no parent any more";
    tk_window_close(1);
    EXPECT_EQ(tk_current_parent(), nullptr);
    EXPECT_EQ(make_line_edit(9), 0);
}

TEST_F(WindowsTest, GenericOperationsReachTheWidget) {
    tk_window_open(1, 0, 0, 400, 300, L"a", TkWindowNormal);
    make_line_edit(4, 5, 6);
    QWidget* w = widget_of(4);
    EXPECT_EQ(tk_gadget_resize(4, TkKeep, 20, 150, TkKeep), 1);
    EXPECT_EQ(w->geometry(), QRect(5, 20, 150, 20));
    EXPECT_EQ(tk_gadget_width(4), 150);
    tk_gadget_hide(4, 1);
    EXPECT_TRUE(w->isHidden());
    tk_gadget_hide(4, 0);
    tk_gadget_disable(4, 1);
    EXPECT_FALSE(w->isEnabled());
    tk_gadget_set_data(4, 77);
    EXPECT_EQ(tk_gadget_get_data(4), 77);
    tk_gadget_disable(4, 0);
    tk_gadget_activate(4);
    take_events();
    EXPECT_EQ(tk_gadget_active(), 4);
}

TEST_F(WindowsTest, ActivationReportsAndBringsTheFocusBack) {
    tk_window_open(1, 0, 0, 300, 200, L"a", TkWindowNormal);
    make_line_edit(4);
    make_line_edit(5, 0, 30);
    tk_window_open(2, 400, 0, 300, 200, L"b", TkWindowNormal);
    tk_window_activate(1);
    take_events();
    if (!tk_window_widget(1)->isActiveWindow()) GTEST_SKIP() << "no window activation here";
    tk_gadget_activate(5);
    tk_window_activate(2);
    auto events = take_events();
    EXPECT_EQ(count_code(events, EventDeactivateWindow), 1);
    EXPECT_EQ(count_code(events, EventActivateWindow), 1);
    EXPECT_EQ(tk_gadget_active(), -1) << "window 2 has no gadget with the focus";
    tk_window_activate(1);
    events = take_events();
    EXPECT_EQ(count_code(events, EventActivateWindow), 1);
    EXPECT_EQ(tk_gadget_active(), 5);
}

TEST_F(WindowsTest, ClicksOnTheFreeAreaAreReported) {
    tk_window_open(1, 0, 0, 300, 200, L"a", TkWindowNormal);
    take_events();
    auto click = [](QEvent::Type type, Qt::MouseButton button) {
        QMouseEvent e(type, QPointF(150, 150), QPointF(150, 150), button, button, Qt::NoModifier);
        QApplication::sendEvent(tk_window_client(1), &e);
    };
    click(QEvent::MouseButtonRelease, Qt::LeftButton);
    click(QEvent::MouseButtonRelease, Qt::RightButton);
    click(QEvent::MouseButtonDblClick, Qt::LeftButton);
    std::vector<int32_t> codes;
    for (const auto& e : take_events())
        if (e.code != EventRepaint) codes.push_back(e.code);
    EXPECT_EQ(codes, (std::vector<int32_t>{EventLeftClick, EventRightClick, EventLeftDoubleClick}));
}

// ---- mount changes ----

std::vector<std::pair<int64_t, uint32_t>> g_device_calls;
intptr_t record_device(intptr_t, int64_t message, intptr_t p1, intptr_t p2) {
    if (message == TkMessageDeviceChange)
        g_device_calls.push_back({p1, reinterpret_cast<const TkDeviceBroadcast*>(p2)->device_type});
    return TkContinue;
}

TEST_F(WindowsTest, MountChangesReachTheWindowCallback) {
    TempDir dir;
    const std::string root = "/dev/sda1 / ext4 rw 0 0\n";
    const std::string usb = "/dev/sdb1 /media/stick vfat rw 0 0\n";
    dir.write("mounts", root);
    tk_device_watch_start((dir / "mounts").c_str());
    tk_window_open(0, 0, 0, 100, 100, L"main", TkWindowNormal);
    tk_window_set_callback(record_device);
    g_device_calls.clear();

    dir.write("mounts", root + usb);
    tk_device_watch_check();
    dir.write("mounts", "/dev/sda1 / ext4 ro 0 0\n" + usb); // options only: no change
    tk_device_watch_check();
    dir.write("mounts", root);
    tk_device_watch_check();
    ASSERT_EQ(g_device_calls.size(), 2u);
    EXPECT_EQ(g_device_calls[0].first, TkDeviceArrival);
    EXPECT_EQ(g_device_calls[1].first, TkDeviceRemoveComplete);
    EXPECT_EQ(g_device_calls[0].second, TkDeviceTypeVolume);
}

} // namespace

namespace {

TEST_F(WindowsTest, TerminationSignalsArriveAsACloseRequest) {
    tk_window_open(0, 10, 10, 300, 200, L"main", TkWindowNormal);
    take_events();
    ASSERT_EQ(tk_window_close_on_signals(0), 1);
    for (int sig : {SIGTERM, SIGHUP}) {
        ASSERT_EQ(raise(sig), 0); // would end the test program without the handler
        const auto events = take_events();
        ASSERT_EQ(count_code(events, EventCloseWindow), 1) << "signal " << sig;
        for (const auto& e : events)
            if (e.code == EventCloseWindow) {
                EXPECT_EQ(e.window, 0);
            }
    }
    tk_window_close_on_signals(-1);
    struct sigaction now = {};
    sigaction(SIGTERM, nullptr, &now);
    EXPECT_EQ(now.sa_handler, SIG_DFL);
}

// What a first start places its window by, and the program's own icon,
// which a window shows unless it has one of its own.
TEST_F(WindowsTest, DesktopAreaAndTheProgramsIcon) {
    TkDesktopArea area;
    ASSERT_EQ(tk_desktop_available(0, &area), 1);
    EXPECT_GT(area.width, 0);
    EXPECT_LE(area.width, tk_desktop_width(0));
    EXPECT_LE(area.height, tk_desktop_height(0));
    EXPECT_EQ(tk_desktop_available(tk_desktop_count(), &area), 0);

    tk_window_open(1, 0, 0, 200, 100, L"w", TkWindowNormal);
    const QList<QSize> sizes = tk_window_widget(1)->windowIcon().availableSizes();
    EXPECT_TRUE(sizes.contains(QSize(16, 16)) && sizes.contains(QSize(256, 256)))
        << "the window shows no icon of the program's";
}

} // namespace
