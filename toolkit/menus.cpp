// Menu bars and popup menus: numbered records, the "current menu" that the
// building calls append to, and EventMenu reports for chosen items.
// Main thread only.
#include "toolkit/menus.h"
#include "toolkit/images.h"
#include "toolkit/numbered_table.h"
#include "toolkit/widget_kind.h"

#include <QAbstractItemView>
#include <QCursor>
#include <QMenu>
#include <QMenuBar>
#include <QPointer>
#include <vector>

struct TkMenu {
    QPointer<QMenuBar> bar;     // menu bar (child of its window), or null
    QPointer<QMenu> popup;      // popup menu (top-level), or null
    int64_t report_window = -1; // popup: window its choice is reported for
    ~TkMenu() {
        delete bar.data();
        delete popup.data();
    }
};

namespace {

TkNumberTable<TkMenu>& menus() {
    static auto* table = new TkNumberTable<TkMenu>("menu"); // widgets must not die after Qt at exit
    return *table;
}

// What the building calls append to.
struct MenuBuild {
    TkMenu* menu = nullptr;
    QPointer<QMenu> title;               // open drop-down title (bar) or submenu (popup)
    std::vector<QPointer<QMenu>> nested; // submenus opened with tk_menu_submenu_open
};
MenuBuild build;

void report(const TkMenu* menu, int64_t item) {
    const int64_t window = menu->bar ? tk_window_of_widget(menu->bar) : menu->report_window;
    tk_event_generate(EventMenu, item, window, 0);
}

// The widget new items go into, or null when there is no current menu.
QWidget* target() {
    if (!build.menu) return nullptr;
    while (!build.nested.empty() && !build.nested.back()) build.nested.pop_back();
    if (!build.nested.empty()) return build.nested.back();
    if (build.title) return build.title;
    if (build.menu->popup) return build.menu->popup;
    return build.menu->bar;
}

QMenu* add_submenu(const std::wstring& text) {
    QWidget* into = target();
    if (auto* menu = qobject_cast<QMenu*>(into)) return menu->addMenu(tk_qstring(text));
    if (auto* bar = qobject_cast<QMenuBar*>(into)) return bar->addMenu(tk_qstring(text));
    return nullptr;
}

int64_t store(int64_t number, std::unique_ptr<TkMenu> rec) {
    TkMenu* raw = rec.get();
    std::unique_ptr<TkMenu> old;
    const int64_t used = menus().put(number, std::move(rec), old);
    build = MenuBuild{}; // the new menu becomes current (and an old one stops being)
    build.menu = raw;
    return tk_created_result(number, used, raw);
}

} // namespace

int64_t tk_menu_create(int64_t number, intptr_t window) {
    const int64_t win = tk_kind_window_of_handle(window);
    QWidget* window_widget = tk_window_widget(win);
    if (number < kTkAnyNumber || !window_widget) return 0;
    // One bar per window: a bar made for it earlier goes.
    for (auto* old : window_widget->findChildren<QMenuBar*>(Qt::FindDirectChildrenOnly))
        old->deleteLater();
    auto rec = std::make_unique<TkMenu>();
    rec->bar = new QMenuBar(window_widget);
    // A desktop-wide menu would take the bar out of the window and change
    // the client area's height, which the window's own layout relies on.
    rec->bar->setNativeMenuBar(false);
    rec->bar->setFixedHeight(static_cast<int>(tk_menu_bar_height()));
    rec->bar->show();
    return store(number, std::move(rec));
}

int64_t tk_popup_menu_create(int64_t number) {
    if (number < kTkAnyNumber) return 0;
    auto rec = std::make_unique<TkMenu>();
    rec->popup = new QMenu;
    return store(number, std::move(rec));
}

void tk_menu_title(const std::wstring& text) {
    if (!build.menu) return;
    build.nested.clear();
    build.title = nullptr; // a new title of a bar goes onto the bar itself
    build.title = add_submenu(text);
}

void tk_menu_item_add(int64_t item, const std::wstring& text) {
    QWidget* into = target();
    if (!into) return;
    auto* action = new QAction(tk_qstring(text), into);
    action->setData(QVariant::fromValue<qint64>(item));
    TkMenu* menu = build.menu;
    QObject::connect(action, &QAction::triggered, action, [menu, item] { report(menu, item); });
    into->addAction(action);
}

int64_t tk_menu_item_set(int64_t number, int64_t item, const std::wstring& text, int64_t enabled) {
    TkMenu* rec = menus().find(number);
    QWidget* root =
        rec ? (rec->bar ? static_cast<QWidget*>(rec->bar) : rec->popup.data()) : nullptr;
    if (!root) return 0;
    int64_t found = 0;
    for (QAction* a : root->findChildren<QAction*>()) {
        if (a->menu() || !a->data().isValid() || a->data().toLongLong() != item) continue;
        a->setText(tk_qstring(text));
        a->setEnabled(enabled != 0);
        found = 1;
    }
    return found;
}

void tk_menu_separator() {
    if (auto* menu = qobject_cast<QMenu*>(target())) menu->addSeparator();
}

void tk_menu_submenu_open(const std::wstring& text) {
    if (QMenu* sub = add_submenu(text)) build.nested.push_back(sub);
}

void tk_menu_submenu_close() {
    if (!build.nested.empty()) build.nested.pop_back();
}

int64_t tk_menu_bar_activate(int64_t number) {
    const TkMenu* rec = menus().find(number);
    if (!rec || !rec->bar || !rec->bar->isVisible()) return 0;
    // An empty title would open nothing the keys could walk; the first title
    // with items opens, and Left and Right go on from there to the others.
    QAction* first = nullptr;
    for (QAction* a : rec->bar->actions()) {
        if (!a->isVisible() || !a->isEnabled() || !a->menu()) continue;
        if (!first) first = a;
        if (!a->menu()->actions().isEmpty()) {
            first = a;
            break;
        }
    }
    if (!first) return 0;
    rec->bar->setActiveAction(first);
    return 1;
}

intptr_t tk_menu_handle(int64_t number) {
    const TkMenu* rec = menus().use(number, "tk_menu_handle");
    if (!rec) return 0;
    return rec->bar ? reinterpret_cast<intptr_t>(rec->bar.data())
                    : reinterpret_cast<intptr_t>(rec->popup.data());
}

int64_t tk_menu_exists(int64_t number) {
    return menus().find(number) ? 1 : 0;
}

void tk_popup_menu_show(int64_t number, intptr_t window) {
    TkMenu* rec = menus().use(number, "tk_popup_menu_show");
    if (!rec || !rec->popup) return;
    rec->report_window = tk_kind_window_of_handle(window);
    rec->popup->popup(QCursor::pos() - QPoint(1, 1));
}

namespace {

// Where a popup asked for from the keyboard opens, in screen coordinates.
QPoint keyboard_popup_place(int64_t gadget, QPoint otherwise) {
    const TkGadget* g = tk_gadget_lookup(gadget);
    if (!g || !g->widget || !g->widget->isVisible()) return otherwise;
    if (auto* view = qobject_cast<QAbstractItemView*>(g->widget)) {
        const QRect row = view->visualRect(view->currentIndex());
        const QRect seen = view->viewport()->rect();
        const QPoint at = row.isValid() && seen.intersects(row)
                              ? QPoint(row.left() + 16, row.bottom())
                              : seen.topLeft();
        return view->viewport()->mapToGlobal(at);
    }
    return g->widget->mapToGlobal(QPoint(0, g->widget->height()));
}

} // namespace

void tk_popup_menu_show_at(int64_t number, intptr_t window, int64_t gadget) {
    TkMenu* rec = menus().use(number, "tk_popup_menu_show_at");
    if (!rec || !rec->popup) return;
    rec->report_window = tk_kind_window_of_handle(window);
    rec->popup->popup(keyboard_popup_place(gadget, QCursor::pos() - QPoint(1, 1)));
}

void tk_menu_free(int64_t number) {
    if (number == -1) {
        build = MenuBuild{};
        menus().take_all();
        return;
    }
    std::unique_ptr<TkMenu> rec = menus().take(number);
    if (rec && build.menu == rec.get()) build = MenuBuild{};
}
