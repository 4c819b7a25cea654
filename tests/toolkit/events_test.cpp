// The event queue: coalescing, suspension, posting from threads, bound
// callback order, deferred events, data release, and the wait's answer when
// nothing but a non-event arrives.
#include "core_fixture.h"

#include <QMouseEvent>
#include <thread>

namespace {

using EventsTest = CoreTest;

TEST_F(EventsTest, RepeatedLowCodesCoalesceButApplicationCodesDoNot) {
    tk_event_generate(EventGadget, 5, 0, EventTypeChange);
    tk_event_generate(EventGadget, 5, 0, EventTypeChange);
    tk_event_generate(EventGadget, 5, 0, EventTypeLeftClick); // differs in type
    tk_event_generate(EventGadget, 5, 0, EventTypeChange);    // not the last one any more
    tk_event_generate(65538, 0, 0, 0, 5);
    tk_event_generate(65538, 0, 0, 0, 5);
    // Same fields but other data: both are kept, neither payload is lost.
    tk_event_generate(33, 0, 34, 0, 1);
    tk_event_generate(33, 0, 34, 0, 2);
    const auto events = take_events();
    ASSERT_EQ(events.size(), 7u);
    EXPECT_EQ(events[0].type, EventTypeChange);
    EXPECT_EQ(events[1].type, EventTypeLeftClick);
    EXPECT_EQ(events[2].type, EventTypeChange);
    EXPECT_EQ(count_code(events, 65538), 2);
    EXPECT_EQ(events[5].data, 1);
    EXPECT_EQ(events[6].data, 2);
}

TEST_F(EventsTest, ProgramChangesAreSilentUserTypingIsNot) {
    tk_window_open(1, 0, 0, 300, 200, L"t", TkWindowNormal);
    const int64_t edit = 7;
    make_line_edit(edit);
    take_events();

    EXPECT_EQ(tk_gadget_set_text(edit, L"vom Programm"), 1);
    EXPECT_EQ(tk_gadget_get_text(edit), L"vom Programm");
    EXPECT_EQ(count_code(take_events(), EventGadget), 0);

    QWidget* w = widget_of(edit);
    w->setFocus();
    send_key(w, Qt::Key_X, Qt::NoModifier, "x");
    const auto events = take_events();
    ASSERT_EQ(count_code(events, EventGadget), 1);
    for (const auto& e : events) {
        if (e.code != EventGadget) continue;
        EXPECT_EQ(e.object, edit);
        EXPECT_EQ(e.window, 1);
        EXPECT_EQ(e.type, EventTypeChange);
    }

    { // a posted event is delivered even while suspended
        TkSuspend quiet;
        tk_event_generate(EventGadget, edit, 1, EventTypeChange);
        tk_event_generate(EventMenu, 3, 1, 0, 0, TkEventPosted);
    }
    const auto later = take_events();
    ASSERT_EQ(later.size(), 1u);
    EXPECT_EQ(later[0].code, EventMenu);
}

TEST_F(EventsTest, PostsFromManyThreadsArriveCompleteAndInOrder) {
    constexpr int kThreads = 8;
    constexpr int kPosts = 10000;
    std::vector<std::thread> threads;
    for (int t = 0; t < kThreads; ++t) {
        threads.emplace_back([t] {
            for (int i = 0; i < kPosts; ++i) ASSERT_EQ(tk_event_post(70000, 0, t, 0, i), 1);
        });
    }
    std::vector<int64_t> next(kThreads, 0);
    int total = 0;
    while (total < kThreads * kPosts) {
        const int32_t code = tk_event_wait_timeout(2000);
        ASSERT_NE(code, 0) << "events lost after " << total;
        if (code != 70000) continue;
        const int64_t t = tk_event_gadget();
        ASSERT_GE(t, 0);
        ASSERT_LT(t, kThreads);
        ASSERT_EQ(tk_event_data(), next[t]) << "thread " << t << " out of order";
        ++next[t];
        ++total;
    }
    for (auto& th : threads) th.join();
    EXPECT_EQ(count_code(take_events(), 70000), 0);
}

// ---- bound callbacks ----

std::vector<char> g_order;
int64_t g_seen_type = 0;
void cb_a() {
    g_order.push_back('A');
}
void cb_b() {
    g_order.push_back('B');
    g_seen_type = tk_event_type();
}
void cb_c() {
    g_order.push_back('C');
}
void cb_d() {
    g_order.push_back('D');
}
void cb_e() {
    g_order.push_back('E');
}
void cb_f() {
    g_order.push_back('F');
}
void cb_g() {
    g_order.push_back('G');
}

TEST_F(EventsTest, BoundCallbacksRunInKeyOrderNewestFirst) {
    g_order.clear();
    tk_event_bind(EventGadget, cb_a, 1, 5, 768);  // (code, window, object, type)
    tk_event_bind(EventGadget, cb_b, 1, 5, 768);  // newer under the same key
    tk_event_bind(EventGadget, cb_c, 1, 5, -1);   // (code, window, object, any)
    tk_event_bind(EventGadget, cb_d, 1, -1, -1);  // (code, window, any, any)
    tk_event_bind(EventGadget, cb_e);             // (code, any, any, any)
    tk_event_bind(EventGadget, cb_f, -1, 5, 768); // (code, any, object, type)
    tk_event_bind(EventGadget, cb_g, 2, -1, -1);  // another window: never
    tk_event_bind(EventMenu, cb_g);               // another code: never

    tk_event_generate(EventMenu, 0, 9, 0); // the current event the callbacks interrupt
    ASSERT_EQ(tk_event_wait_timeout(0), EventMenu);
    g_order.clear(); // G ran for that one
    tk_event_generate(EventGadget, 5, 1, 768);
    EXPECT_EQ(std::string(g_order.begin(), g_order.end()), "BACDEF");
    EXPECT_EQ(g_seen_type, 768);
    EXPECT_EQ(tk_event_window(), 9) << "the current event is restored after the callbacks";

    g_order.clear();
    EXPECT_EQ(tk_event_unbind(EventGadget, cb_c, 1, 5, -1), 1);
    EXPECT_EQ(tk_event_unbind(EventGadget, cb_c, 1, 5, -1), 0);
    tk_event_bind(EventGadget, cb_a, 1, 5, 768); // binding again moves A to the front
    tk_event_generate(EventGadget, 5, 1, 768);
    EXPECT_EQ(std::string(g_order.begin(), g_order.end()), "ABDEF");
    // the event was queued as well (once: the second one coalesced)
    EXPECT_EQ(count_code(take_events(), EventGadget), 1);
}

TEST_F(EventsTest, DeferredEventsRunCallbacksWhenTaken) {
    g_order.clear();
    tk_event_bind(EventTimer, cb_a);
    tk_event_generate(EventTimer, 1, 0, 0, 0, TkEventDeferred);
    EXPECT_TRUE(g_order.empty());
    EXPECT_EQ(tk_event_wait_timeout(0), EventTimer);
    EXPECT_EQ(g_order.size(), 1u);
}

// ---- data ----

int g_released = 0;
void count_release(intptr_t) {
    ++g_released;
}

TEST_F(EventsTest, EventDataIsReleasedWhenTheNextEventIsTaken) {
    g_released = 0;
    tk_event_generate(EventGadgetDrop, 5, 0, 0, 42, 0, count_release);
    tk_event_generate(EventGadgetDrop, 5, 0, 0, 42, 0, count_release); // coalesced: freed now
    EXPECT_EQ(g_released, 1);
    ASSERT_EQ(tk_event_wait_timeout(0), EventGadgetDrop);
    EXPECT_EQ(tk_event_data(), 42);
    EXPECT_EQ(g_released, 1);
    EXPECT_EQ(tk_event_wait_timeout(0), 0);
    EXPECT_EQ(g_released, 2);
    EXPECT_EQ(tk_event_data(), 0) << "released data is never handed out again";

    { // dropped by suspension: given back at once
        TkSuspend quiet;
        tk_event_generate(EventGadgetDrop, 5, 0, 0, 43, 0, count_release);
    }
    EXPECT_EQ(g_released, 3);
}

TEST_F(EventsTest, RemovingQueuedEventsLeavesOthers) {
    tk_event_generate(EventSizeWindow, 0, 1, 0);
    tk_event_generate(EventMenu, 4, 1, 0);
    tk_event_generate(EventSizeWindow, 0, 2, 0);
    tk_event_remove_queued(EventSizeWindow, 1, 0, 0);
    const auto events = take_events();
    ASSERT_EQ(events.size(), 2u);
    EXPECT_EQ(events[0].code, EventMenu);
    EXPECT_EQ(events[1].window, 2);
}

TEST_F(EventsTest, WaitOnANonEventReturnsZeroAndKeepsTheWindow) {
    tk_window_open(3, 0, 0, 200, 100, L"w", TkWindowNormal);
    take_events();
    tk_event_generate(EventMenu, 4, 3, 0);
    ASSERT_EQ(tk_event_wait(), EventMenu);
    QWidget* client = tk_window_client(3);
    QCoreApplication::postEvent(client,
                                new QMouseEvent(QEvent::MouseMove, QPointF(5, 5), QPointF(5, 5),
                                                Qt::NoButton, Qt::NoButton, Qt::NoModifier));
    EXPECT_EQ(tk_event_wait(), 0);
    EXPECT_EQ(tk_event_window(), 3);
    EXPECT_EQ(tk_event_menu(), 4);
    EXPECT_EQ(tk_event_type(), -1);
}

TEST_F(EventsTest, AbsentNumbersDoNothingAndReturnZero) {
    const int64_t absent[] = {999, -5, 0x7fff12345678};
    for (int64_t n : absent) {
        EXPECT_EQ(tk_gadget_exists(n), 0);
        EXPECT_EQ(tk_gadget_handle(n), 0);
        EXPECT_EQ(tk_gadget_set_text(n, L"x"), 0);
        EXPECT_EQ(tk_gadget_get_text(n), L"");
        EXPECT_EQ(tk_gadget_get_item_text(n, 0, 0), L"");
        EXPECT_EQ(tk_gadget_resize(n, 1, 2, 3, 4), 0);
        EXPECT_EQ(tk_gadget_bind(n, cb_a), 0);
        EXPECT_EQ(tk_gadget_free(n), 0);
        EXPECT_EQ(tk_gadget_list_open(n), 0);
        EXPECT_EQ(tk_gadget_enable_drop(n, TkDropFiles, 3), 0);
        EXPECT_EQ(tk_window_close(n), 0);
        EXPECT_EQ(tk_window_width(n), 0);
        EXPECT_EQ(tk_window_handle(n), 0);
        tk_shortcut_add(n, 32, 3);
        tk_window_set_callback(nullptr, n);
    }
    EXPECT_EQ(tk_drop_files(), L"");
    EXPECT_EQ(tk_drag_files(L"", 3), 0);
}

TEST_F(EventsTest, RecreatingANumberFreesTheOldObject) {
    tk_window_open(1, 0, 0, 300, 200, L"w", TkWindowNormal);
    g_line_edits_destroyed = 0;
    make_line_edit(7);
    QPointer<QWidget> old_widget = widget_of(7);
    const int64_t handle = make_line_edit(7, 10, 10);
    EXPECT_EQ(g_line_edits_destroyed, 1);
    EXPECT_EQ(tk_gadget_handle(7), handle);
    EXPECT_NE(widget_of(7), old_widget.data());
    take_events(); // the old widget is deleted by the wait
    EXPECT_TRUE(old_widget.isNull());

    // "any" numbers: the record's address, each its own
    const int64_t a = make_line_edit(-1);
    const int64_t b = make_line_edit(-1);
    EXPECT_NE(a, b);
    EXPECT_EQ(tk_gadget_handle(a), a);
    EXPECT_EQ(tk_gadget_free(a), 1);
    EXPECT_EQ(tk_gadget_exists(a), 0);
    EXPECT_EQ(tk_gadget_exists(b), 1);

    // windows: the old window and its gadgets go
    QPointer<QWidget> old_window = tk_window_widget(1);
    tk_window_open(1, 0, 0, 100, 100, L"neu", TkWindowNormal);
    EXPECT_EQ(tk_gadget_exists(7), 0);
    EXPECT_EQ(tk_gadget_exists(b), 0);
    take_events();
    EXPECT_TRUE(old_window.isNull());
    EXPECT_FALSE(old_widget);
}

} // namespace
