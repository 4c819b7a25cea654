// Shared by the toolkit core tests: a fixture that starts the toolkit and
// stops it after each test (windows, bindings and the queue are gone), a
// tiny line-edit gadget kind of its own, and helpers that drain the queue.
#pragma once

#include <QApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <chrono>
#include <gtest/gtest.h>
#include <vector>

#include "toolkit/core_internal.h"
#include "toolkit/gadget_ops.h"
#include "toolkit/windows.h"

struct TakenEvent {
    int32_t code;
    int64_t window, object, type;
    intptr_t data;
};

// Every event that arrives until 30 ms pass without one, for at most two
// seconds: a source that never stops must fail the test, not hang it.
inline std::vector<TakenEvent> take_events() {
    std::vector<TakenEvent> out;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(2);
    while (std::chrono::steady_clock::now() < deadline)
        if (int32_t code = tk_event_wait_timeout(30))
            out.push_back(
                {code, tk_event_window(), tk_event_gadget(), tk_event_type(), tk_event_data()});
        else
            break;
    return out;
}

inline int count_code(const std::vector<TakenEvent>& events, int32_t code) {
    int n = 0;
    for (const auto& e : events) n += e.code == code;
    return n;
}

// A line edit that reports every text change, program-made ones included,
// so only suspension keeps the program's changes quiet.
inline int g_line_edits_destroyed = 0;
inline const TkGadgetOps kTestLineOps = [] {
    TkGadgetOps ops{};
    ops.get_text = [](TkGadget* g) {
        return tk_wstring(static_cast<QLineEdit*>(g->widget)->text());
    };
    ops.set_text = [](TkGadget* g, const std::wstring& text) {
        static_cast<QLineEdit*>(g->widget)->setText(tk_qstring(text));
    };
    ops.destroy = [](TkGadget*) { ++g_line_edits_destroyed; };
    return ops;
}();

inline int64_t make_line_edit(int64_t number, int x = 0, int y = 0) {
    auto* edit = new QLineEdit;
    QObject::connect(edit, &QLineEdit::textChanged, edit, [edit] {
        if (TkGadget* g = tk_gadget_of_widget(edit))
            tk_event_generate(EventGadget, g->number, g->window, EventTypeChange);
    });
    return tk_gadget_register(number, edit, &kTestLineOps, nullptr, x, y, 100, 20);
}

inline QWidget* widget_of(int64_t gadget) {
    TkGadget* g = tk_gadget_lookup(gadget);
    return g ? g->widget : nullptr;
}

inline void send_key(QWidget* to, int key, Qt::KeyboardModifiers mods = Qt::NoModifier,
                     const QString& text = QString()) {
    QKeyEvent press(QEvent::KeyPress, key, mods, text);
    QApplication::sendEvent(to, &press);
    QKeyEvent release(QEvent::KeyRelease, key, mods, text);
    QApplication::sendEvent(to, &release);
}

class CoreTest : public ::testing::Test {
  protected:
    void SetUp() override {
        tk_init();
        take_events();
    }
    void TearDown() override { tk_end(); }
};
