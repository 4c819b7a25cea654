// Shared by the list gadget tests: a window with one list (gadget 5 in
// window 60), helpers that fill it, reach its view, click it and record the
// gadget events it reports (through a bound callback, so every report is
// seen, also those the queue would merge).
#pragma once

#include <QApplication>
#include <QElapsedTimer>
#include <QHeaderView>
#include <QMouseEvent>
#include <QThread>
#include <QTreeView>
#include <gtest/gtest.h>
#include <string>
#include <vector>

#include "toolkit/events.h"
#include "toolkit/gadget_ops.h"
#include "toolkit/internal.h"
#include "toolkit/list.h"
#include "toolkit/list_model.h"
#include "toolkit/windows.h"

constexpr int64_t kListWindow = 60;
constexpr int64_t kList = 5;

inline std::vector<int64_t> g_list_events; // types reported by gadget kList

inline void record_list_event() {
    if (tk_event_gadget() == kList) g_list_events.push_back(tk_event_type());
}

inline QTreeView* list_view(int64_t gadget = kList) {
    TkGadget* g = tk_gadget_lookup(gadget);
    return g ? static_cast<QTreeView*>(g->widget) : nullptr;
}

inline TkListModel* list_rows(int64_t gadget = kList) {
    return static_cast<TkListModel*>(list_view(gadget)->model());
}

// Runs the main thread's pending work (flushes, layout, paint requests).
inline void settle() {
    for (int i = 0; i < 3; ++i) QCoreApplication::processEvents();
}

// Waits (at most 2 s) until the rows' changes have been flushed to the
// view, which happens once a burst of changes pauses for a few ms.
inline bool wait_flushed() {
    QElapsedTimer waited;
    waited.start();
    while (list_rows()->flush_pending() && waited.elapsed() < 2000) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        QThread::msleep(1);
    }
    settle();
    return !list_rows()->flush_pending();
}

inline void add_rows(int64_t count, const std::wstring& prefix = L"r") {
    for (int64_t i = 0; i < count; ++i) {
        const std::wstring n = std::to_wstring(i);
        tk_gadget_add_item(kList, -1, prefix + n + L"\n" + n + L"\nTyp\n" + n + L" KB");
    }
}

inline void mouse(QWidget* to, QEvent::Type type, QPoint at, Qt::MouseButton button) {
    const Qt::MouseButtons held = type == QEvent::MouseButtonRelease ? Qt::NoButton : button;
    QMouseEvent e(type, QPointF(at), QPointF(to->mapToGlobal(at)), button, held, Qt::NoModifier);
    QApplication::sendEvent(to, &e);
}

inline void click(QWidget* to, QPoint at, Qt::MouseButton button = Qt::LeftButton) {
    mouse(to, QEvent::MouseButtonPress, at, button);
    mouse(to, QEvent::MouseButtonRelease, at, button);
}

inline void double_click(QWidget* to, QPoint at, Qt::MouseButton button = Qt::LeftButton) {
    click(to, at, button);
    mouse(to, QEvent::MouseButtonDblClick, at, button);
    mouse(to, QEvent::MouseButtonRelease, at, button);
}

// Centre of a row in viewport coordinates.
inline QPoint row_point(int64_t row, int column = 0) {
    QTreeView* v = list_view();
    return v->visualRect(v->model()->index(static_cast<int>(row), column)).center();
}

class ListTest : public ::testing::Test {
  protected:
    void SetUp() override { open(TkListMultiSelect | TkListFullRowSelect); }
    void TearDown() override {
        tk_event_unbind(EventGadget, record_list_event);
        tk_window_close(kListWindow);
        while (tk_event_wait_timeout(0) != 0) {
        }
        g_list_events.clear();
    }
    void open(uint32_t flags) {
        tk_init();
        ASSERT_NE(tk_window_open(kListWindow, 0, 0, 600, 400, L"Liste", TkWindowNormal), 0);
        ASSERT_NE(tk_list_create(kList, 0, 0, 500, 300, L"Name", 150, flags), 0);
        tk_list_add_column(kList, -1, L"Datum", 100);
        tk_list_add_column(kList, -1, L"Typ", 90);
        tk_list_add_column(kList, -1, L"Größe", 80);
        tk_event_bind(EventGadget, record_list_event);
        settle();
    }
};
