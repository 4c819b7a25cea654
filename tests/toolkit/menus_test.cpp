// Menu bars, popup menus and the toolbar: chosen items arrive as EventMenu
// with their ids and the right window; the bar keeps the window's height.
#include <QAbstractItemView>
#include <QAction>
#include <QApplication>
#include <QCursor>
#include <QMenu>
#include <QMenuBar>
#include <QTest>
#include <QToolBar>
#include <QToolButton>
#include <gtest/gtest.h>

#include "toolkit/events.h"
#include "toolkit/images.h"
#include "toolkit/internal.h"
#include "toolkit/list.h"
#include "toolkit/menus.h"
#include "toolkit/windows.h"

namespace {

class MenusTest : public ::testing::Test {
  protected:
    void SetUp() override {
        tk_init();
        ASSERT_NE(tk_window_open(0, 0, 0, 500, 300, L"Haupt", TkWindowNormal), 0);
        QApplication::setActiveWindow(reinterpret_cast<QWidget*>(tk_window_handle(0)));
        for (int i = 0; i < 100 && tk_event_wait_timeout(20); ++i) { // bounded: never hangs
        }
    }
    void TearDown() override {
        tk_menu_free(-1);
        tk_toolbar_free(-1);
        tk_window_close(-1);
        tk_image_free(-1);
        tk_end();
    }

    // The next EventMenu within half a second: its item id, or -1.
    static int64_t next_menu_item(int64_t* window = nullptr) {
        for (int i = 0; i < 25; ++i) {
            if (tk_event_wait_timeout(20) == EventMenu) {
                if (window) *window = tk_event_window();
                return tk_event_menu();
            }
        }
        return -1;
    }
};

QAction* action_with_text(const QList<QAction*>& actions, const QString& text) {
    for (QAction* a : actions)
        if (a->text() == text) return a;
    return nullptr;
}

TEST_F(MenusTest, MenuBarItemsReportTheirIdsAndKeepTheWindowHeight) {
    ASSERT_NE(tk_menu_create(2, tk_window_handle(0)), 0);
    tk_menu_title(L"Datei");
    tk_menu_title(L"Befehle");
    tk_menu_title(L"Konfiguration");
    tk_menu_item_add(0, L"Einstellungen\tCtrl+E");
    tk_menu_item_add(1, L"ButtonBar Ändern\tCtrl+B");

    auto* bar = reinterpret_cast<QMenuBar*>(tk_menu_handle(2));
    ASSERT_NE(bar, nullptr);
    const QList<QAction*> titles = bar->actions();
    ASSERT_EQ(titles.size(), 3);
    EXPECT_EQ(titles[2]->text(), QStringLiteral("Konfiguration"));
    EXPECT_TRUE(titles[0]->menu()->actions().isEmpty());
    QMenu* config = titles[2]->menu();
    // The text after the tab is the menu's right-aligned shortcut column.
    QAction* change =
        action_with_text(config->actions(), QStringLiteral("ButtonBar Ändern\tCtrl+B"));
    ASSERT_NE(change, nullptr);
    EXPECT_TRUE(change->shortcut().isEmpty()); // shown only, no key bound

    change->trigger();
    int64_t window = -1;
    EXPECT_EQ(next_menu_item(&window), 1);
    EXPECT_EQ(window, 0);

    EXPECT_EQ(bar->height(), tk_menu_bar_height());
    EXPECT_EQ(tk_window_height(0), 300); // the bar is counted in the inner height

    // A second bar for the same window replaces the first.
    ASSERT_NE(tk_menu_create(3, tk_window_handle(0)), 0);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QWidget* win = reinterpret_cast<QWidget*>(tk_window_handle(0));
    EXPECT_EQ(win->findChildren<QMenuBar*>(Qt::FindDirectChildrenOnly).size(), 1);
    EXPECT_EQ(tk_menu_create(4, 12345), 0); // no such window
}

TEST_F(MenusTest, PopupChoiceArrivesLaterAsEventMenu) {
    ASSERT_NE(tk_popup_menu_create(27), 0);
    tk_menu_item_add(12, L"Neues Verzeichnis erstellen");
    tk_menu_separator();
    tk_menu_item_add(13, L"Einstellungen");
    tk_menu_item_add(1, L"ButtonBar Ändern");
    tk_menu_separator();
    tk_menu_item_add(14, L"Beenden");
    auto* popup = reinterpret_cast<QMenu*>(tk_menu_handle(27));
    ASSERT_NE(popup, nullptr);
    EXPECT_EQ(popup->actions().size(), 6);

    QCursor::setPos(200, 150);
    tk_popup_menu_show(27, tk_window_handle(0)); // returns at once
    ASSERT_TRUE(popup->isVisible());
    EXPECT_EQ(popup->pos(), QCursor::pos() - QPoint(1, 1));
    EXPECT_EQ(tk_event_wait_timeout(0), 0); // nothing chosen yet

    // Down twice skips the separator; Return chooses "Einstellungen".
    QTest::keyClick(popup, Qt::Key_Down);
    QTest::keyClick(popup, Qt::Key_Down);
    QTest::keyClick(popup, Qt::Key_Return);
    int64_t window = -1;
    EXPECT_EQ(next_menu_item(&window), 13);
    EXPECT_EQ(window, 0);
    EXPECT_FALSE(popup->isVisible());
}

// From the keyboard a popup opens at the list's current row, wherever the
// mouse pointer is.
TEST_F(MenusTest, APopupFromTheKeyboardOpensAtTheCurrentRow) {
    ASSERT_NE(tk_popup_menu_create(27), 0);
    tk_menu_item_add(12, L"Öffnen");
    auto* popup = reinterpret_cast<QMenu*>(tk_menu_handle(27));
    ASSERT_NE(tk_list_create(5, 10, 40, 300, 200, L"Name", 200, TkListMultiSelect), 0);
    for (int i = 0; i < 5; ++i) tk_list_add_item(5, -1, L"Zeile " + std::to_wstring(i), 0, 0, 0);
    tk_list_set_current_row(5, 3);
    QCursor::setPos(900, 900);
    tk_popup_menu_show_at(27, tk_window_handle(0), 5);
    ASSERT_TRUE(popup->isVisible());
    auto* view = qobject_cast<QAbstractItemView*>(tk_gadget_lookup(5)->widget);
    ASSERT_NE(view, nullptr);
    const QRect row = view->visualRect(view->currentIndex());
    const QPoint at = view->viewport()->mapFromGlobal(popup->pos());
    EXPECT_GE(at.y(), row.top());
    EXPECT_LE(at.y(), row.bottom() + 1);
    EXPECT_LT(at.x(), view->viewport()->width());
    popup->close();
}

TEST_F(MenusTest, PopupSubmenusAndFreeing) {
    const int64_t popup_number = tk_popup_menu_create(-1);
    ASSERT_NE(popup_number, 0);
    tk_menu_item_add(0, L"Öffnen");
    tk_menu_submenu_open(L"Öffnen mit");
    tk_menu_item_add(1, L"Editor");
    tk_menu_submenu_close();
    tk_menu_item_add(2, L"Eigenschaften");
    auto* popup = reinterpret_cast<QMenu*>(tk_menu_handle(popup_number));
    ASSERT_EQ(popup->actions().size(), 3);
    QMenu* with = popup->actions()[1]->menu();
    ASSERT_NE(with, nullptr);
    ASSERT_EQ(with->actions().size(), 1);
    with->actions()[0]->trigger();
    int64_t window = 0;
    EXPECT_EQ(next_menu_item(&window), 1);
    EXPECT_EQ(window, -1); // never shown for a window

    tk_menu_free(popup_number);
    EXPECT_EQ(tk_menu_exists(popup_number), 0);
    tk_menu_item_add(5, L"ins Leere"); // no current menu: nothing happens
}

TEST_F(MenusTest, ToolbarButtonsSendTheirItemIds) {
    const intptr_t handle = tk_toolbar_create(2, tk_window_handle(0), TkToolbarLarge);
    ASSERT_NE(handle, 0);
    auto* bar = reinterpret_cast<QToolBar*>(tk_toolbar_handle(2));
    EXPECT_EQ(bar->iconSize(), QSize(24, 24));
    EXPECT_EQ(bar->parentWidget(), tk_window_client(0));

    const int64_t icon = tk_image_create(-1, 32, 32, 32, 0x0000FF);
    EXPECT_NE(tk_toolbar_image_button(400, tk_image_handle(icon)), 0);
    EXPECT_NE(tk_toolbar_image_button(401, 0), 0); // no picture: still a button
    tk_toolbar_tooltip(2, 401, L"Notepad");
    tk_image_free(icon);

    QAction* second = bar->actions()[1];
    EXPECT_EQ(second->toolTip(), QStringLiteral("Notepad"));
    auto* button = qobject_cast<QToolButton*>(bar->widgetForAction(second));
    ASSERT_NE(button, nullptr);
    QTest::mouseClick(button, Qt::LeftButton);
    int64_t window = -1;
    EXPECT_EQ(next_menu_item(&window), 401);
    EXPECT_EQ(window, 0);

    tk_toolbar_resize(2, 10, 0, 400, 32);
    EXPECT_EQ(bar->geometry(), QRect(10, 0, 400, 32));
    tk_toolbar_free(2);
    EXPECT_EQ(tk_toolbar_handle(2), 0);
    EXPECT_EQ(tk_toolbar_image_button(402, 0), 0); // the last toolbar is gone
}

} // namespace

TEST_F(MenusTest, BarOpensForTheKeyboardAtItsFirstTitleWithItems) {
    EXPECT_EQ(tk_menu_bar_activate(2), 0); // no bar yet
    ASSERT_NE(tk_menu_create(2, tk_window_handle(0)), 0);
    EXPECT_EQ(tk_menu_bar_activate(2), 0); // a bar without titles
    tk_menu_title(L"Datei");
    tk_menu_title(L"Konfiguration");
    tk_menu_item_add(0, L"Einstellungen");
    tk_menu_item_add(1, L"ButtonBar Ändern");
    auto* bar = reinterpret_cast<QMenuBar*>(tk_menu_handle(2));
    ASSERT_EQ(tk_menu_bar_activate(2), 1);
    for (int i = 0; i < 100 && tk_event_wait_timeout(20); ++i) { // bounded: never hangs
    }
    auto* open = qobject_cast<QMenu*>(QApplication::activePopupWidget());
    ASSERT_NE(open, nullptr);
    EXPECT_EQ(open, bar->actions()[1]->menu()); // "Konfiguration", not the empty "Datei"
    // the keyboard walks the open menu: Down and Return choose the first item
    QTest::keyClick(open, Qt::Key_Escape);
    QTest::keyClick(bar, Qt::Key_Escape);
    EXPECT_EQ(QApplication::activePopupWidget(), nullptr);
}
