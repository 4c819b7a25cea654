// The tab row gadget: see tab_row.h. A QTabBar whose clicks, middle
// clicks, context requests and drags become gadget events.
#include "toolkit/tab_row.h"

#include "toolkit/widget_kind.h"

#include <QContextMenuEvent>
#include <QHash>
#include <QMouseEvent>
#include <QPainter>
#include <QTabBar>

namespace {

const TkGadgetOps tab_row_ops = [] {
    TkGadgetOps o{};
    o.set_color = tk_kind_set_color;
    return o;
}();

void report(const QWidget* w, int64_t type, int64_t data) {
    const TkGadget* g = tk_gadget_of_widget(w);
    if (g && g->widget == w) tk_event_generate(EventGadget, g->number, g->window, type, data);
}

class TabRow : public QTabBar {
  public:
    TabRow() {
        setMovable(true);
        setExpanding(false);
        setElideMode(Qt::ElideMiddle);
        setUsesScrollButtons(true);
        setDocumentMode(true);
        connect(this, &QTabBar::tabBarClicked, this, [this](int index) {
            if (index >= 0 && program_ == 0) report(this, TkTabRowChosen, index);
        });
        connect(this, &QTabBar::tabMoved, this, [this](int from, int to) {
            if (program_ == 0) report(this, TkTabRowMoved, int64_t(from) * 65536 + to);
        });
    }
    int program_ = 0; // program changes under way: nothing is reported

  protected:
    // The row lays itself out again for every tab added, measuring every
    // tab: filling it with many tabs at once measured each text over and
    // over. Sizes are kept per text (and lock mark) until the font or the
    // style changes.
    QSize tabSizeHint(int index) const override {
        const QString key = tabText(index) + (tabIcon(index).isNull() ? u'-' : u'+');
        if (const auto at = sizes_.constFind(key); at != sizes_.constEnd()) return *at;
        if (sizes_.size() > 512) sizes_.clear();
        return *sizes_.insert(key, QTabBar::tabSizeHint(index));
    }
    void changeEvent(QEvent* event) override {
        if (event->type() == QEvent::FontChange || event->type() == QEvent::StyleChange)
            sizes_.clear();
        QTabBar::changeEvent(event);
    }
    // Only the left button chooses or drags a tab; the middle one closes it
    // (on release) and the right one asks for its menu.
    void mousePressEvent(QMouseEvent* event) override {
        if (event->button() == Qt::LeftButton)
            QTabBar::mousePressEvent(event);
        else
            event->accept();
    }
    void mouseReleaseEvent(QMouseEvent* event) override {
        QTabBar::mouseReleaseEvent(event);
        const int index = tabAt(event->position().toPoint());
        if (event->button() == Qt::MiddleButton && index >= 0) report(this, TkTabRowClose, index);
    }
    void contextMenuEvent(QContextMenuEvent* event) override {
        event->accept();
        report(this, TkTabRowMenu, tabAt(event->pos()));
    }

  private:
    mutable QHash<QString, QSize> sizes_;
};

struct ProgramChange {
    explicit ProgramChange(TabRow* row) : row_(row) { ++row_->program_; }
    ~ProgramChange() { --row_->program_; }
    TabRow* row_;
};

TabRow* row_of(int64_t gadget) {
    TkGadget* g = tk_kind_gadget(gadget, &tab_row_ops);
    return g ? static_cast<TabRow*>(g->widget) : nullptr;
}

// The mark of a locked tab: a small padlock drawn once.
QIcon lock_icon() {
    static const QIcon icon = [] {
        QPixmap picture(12, 12);
        picture.fill(Qt::transparent);
        QPainter p(&picture);
        p.setRenderHint(QPainter::Antialiasing);
        p.setPen(QPen(QColor(90, 90, 90), 1.5));
        p.drawArc(QRectF(3, 1, 6, 7), 0, 180 * 16);
        p.drawLine(QPointF(3, 4.5), QPointF(3, 6));
        p.drawLine(QPointF(9, 4.5), QPointF(9, 6));
        p.fillRect(QRectF(1.5, 5.5, 9, 6), QColor(180, 130, 30));
        return QIcon(picture);
    }();
    return icon;
}

} // namespace

int64_t tk_tab_row_create(int64_t number, int64_t x, int64_t y, int64_t width, int64_t height) {
    return tk_kind_register(number, new TabRow, &tab_row_ops, nullptr, x, y, width, height);
}

void tk_tab_row_set(int64_t gadget, const std::vector<TkTab>& tabs, int64_t current) {
    TabRow* row = row_of(gadget);
    if (!row) return;
    ProgramChange quiet(row);
    // Tabs are changed in place, so a drag under way keeps its tab.
    while (row->count() > static_cast<int>(tabs.size())) row->removeTab(row->count() - 1);
    // New tabs come without text: each one added lays out the whole row,
    // which costs little while the texts are not there yet.
    while (row->count() < static_cast<int>(tabs.size())) row->addTab(QString());
    for (int i = 0; i < row->count(); ++i) {
        const TkTab& tab = tabs[static_cast<size_t>(i)];
        row->setTabText(i, tk_qstring(tab.title));
        row->setTabToolTip(i, tk_qstring(tab.tooltip));
        row->setTabIcon(i, tab.marked ? lock_icon() : QIcon());
        row->setTabData(i, tab.marked);
    }
    if (current >= 0 && current < row->count()) row->setCurrentIndex(static_cast<int>(current));
}

int64_t tk_tab_row_count(int64_t gadget) {
    const TabRow* row = row_of(gadget);
    return row ? row->count() : 0;
}

int64_t tk_tab_row_current(int64_t gadget) {
    const TabRow* row = row_of(gadget);
    return row ? row->currentIndex() : -1;
}

std::wstring tk_tab_row_title(int64_t gadget, int64_t index) {
    const TabRow* row = row_of(gadget);
    return row ? tk_wstring(row->tabText(static_cast<int>(index))) : std::wstring();
}

std::wstring tk_tab_row_tooltip(int64_t gadget, int64_t index) {
    const TabRow* row = row_of(gadget);
    return row ? tk_wstring(row->tabToolTip(static_cast<int>(index))) : std::wstring();
}

int64_t tk_tab_row_marked(int64_t gadget, int64_t index) {
    const TabRow* row = row_of(gadget);
    return row && row->tabData(static_cast<int>(index)).toBool() ? 1 : 0;
}

void tk_tab_row_drag(int64_t gadget, int64_t from, int64_t to) {
    TabRow* row = row_of(gadget);
    if (!row || from < 0 || to < 0 || from >= row->count() || to >= row->count()) return;
    row->moveTab(static_cast<int>(from), static_cast<int>(to)); // reports as a drag does
}
