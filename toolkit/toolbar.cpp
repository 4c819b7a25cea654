// Toolbars: a strip of image buttons along the top of a window's client
// area, each reporting EventMenu with its item id. Until the program places
// a toolbar (tk_toolbar_resize) it spans the client area's width.
// Main thread only.
#include "toolkit/menus.h"
#include "toolkit/numbered_table.h"
#include "toolkit/widget_kind.h"

#include <QAction>
#include <QEvent>
#include <QPointer>
#include <QToolBar>

namespace {

// Keeps an unplaced toolbar as wide as the client area it sits in.
class FollowWidth : public QObject {
  public:
    FollowWidth(QToolBar* bar) : QObject(bar), bar_(bar) { fit(); }
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::Resize) fit();
        return false;
    }
    void fit() {
        if (QWidget* area = bar_->parentWidget())
            bar_->setGeometry(0, 0, area->width(), bar_->sizeHint().height());
    }

  private:
    QToolBar* bar_;
};

} // namespace

struct TkToolbar {
    QPointer<QToolBar> bar;       // child of its window's client area
    QPointer<FollowWidth> follow; // width follower until placed
    ~TkToolbar() { delete bar.data(); }
};

namespace {

TkNumberTable<TkToolbar>& toolbars() {
    static auto* table =
        new TkNumberTable<TkToolbar>("toolbar"); // widgets must not die after Qt at exit
    return *table;
}

TkToolbar* last_created = nullptr; // where tk_toolbar_image_button appends

QAction* action_of(const TkToolbar* rec, int64_t item) {
    if (!rec || !rec->bar) return nullptr;
    for (QAction* action : rec->bar->actions())
        if (action->data().toLongLong() == item) return action;
    return nullptr;
}

} // namespace

int64_t tk_toolbar_create(int64_t number, intptr_t window, int64_t flags) {
    QWidget* area = tk_window_client(tk_kind_window_of_handle(window));
    if (number < kTkAnyNumber || !area) return 0;
    auto rec = std::make_unique<TkToolbar>();
    rec->bar = new QToolBar(area);
    const int side = (flags & TkToolbarLarge) ? 24 : 16;
    rec->bar->setIconSize(QSize(side, side));
    rec->bar->setMovable(false);
    rec->bar->setFloatable(false);
    rec->bar->setToolButtonStyle(Qt::ToolButtonIconOnly);
    rec->follow = new FollowWidth(rec->bar);
    area->installEventFilter(rec->follow);
    rec->bar->show();
    TkToolbar* raw = rec.get();
    std::unique_ptr<TkToolbar> old;
    const int64_t used = toolbars().put(number, std::move(rec), old);
    if (old && last_created == old.get()) last_created = nullptr;
    last_created = raw;
    return tk_created_result(number, used, raw);
}

void tk_toolbar_resize(int64_t number, int64_t x, int64_t y, int64_t width, int64_t height) {
    TkToolbar* rec = toolbars().use(number, "tk_toolbar_resize");
    if (!rec || !rec->bar) return;
    delete rec->follow.data(); // placed by the program from now on
    rec->bar->setGeometry(static_cast<int>(x), static_cast<int>(y), static_cast<int>(width),
                          static_cast<int>(height));
}

int64_t tk_toolbar_image_button(int64_t item, intptr_t image) {
    if (!last_created || !last_created->bar) return 0;
    QToolBar* bar = last_created->bar;
    QAction* action = bar->addAction(tk_image_icon(image), QString());
    action->setData(QVariant::fromValue<qlonglong>(item));
    QObject::connect(action, &QAction::triggered, action, [bar, item] {
        tk_event_generate(EventMenu, item, tk_window_of_widget(bar), 0);
    });
    return reinterpret_cast<intptr_t>(action);
}

void tk_toolbar_tooltip(int64_t number, int64_t item, const std::wstring& text) {
    if (QAction* action = action_of(toolbars().use(number, "tk_toolbar_tooltip"), item))
        action->setToolTip(tk_qstring(text));
}

intptr_t tk_toolbar_handle(int64_t number) {
    const TkToolbar* rec = toolbars().use(number, "tk_toolbar_handle");
    return rec ? reinterpret_cast<intptr_t>(rec->bar.data()) : 0;
}

void tk_toolbar_free(int64_t number) {
    if (number == -1) {
        last_created = nullptr;
        toolbars().take_all();
        return;
    }
    std::unique_ptr<TkToolbar> rec = toolbars().take(number);
    if (rec && last_created == rec.get()) last_created = nullptr;
}
