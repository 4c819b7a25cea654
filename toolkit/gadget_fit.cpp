// Whether a gadget shows its whole text: the width its text needs in its
// font with the gadget's own parts (a check box's box, a button's frame, a
// combo box's arrow), the test of a whole window for cut texts, and the
// growing of a dialog until its texts fit. The
// measures follow how each kind draws: a wrapped label needs the height of
// its lines and room for its longest word, a one-line label the width of
// its line, a combo box room for its widest entry beside the arrow.
// Main thread only.
#include "toolkit/core_internal.h"
#include "toolkit/gadget_ops.h"
#include "toolkit/readback.h"
#include "toolkit/windows.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QStyle>
#include <QStyleOptionComboBox>
#include <algorithm>
#include <cmath>

namespace {

enum class Kind { Other, Label, Button, Check, Combo, Frame };

Kind kind_of(const QWidget* w) {
    if (qobject_cast<const QLabel*>(w)) return Kind::Label;
    if (qobject_cast<const QPushButton*>(w)) return Kind::Button;
    if (qobject_cast<const QCheckBox*>(w) || qobject_cast<const QRadioButton*>(w))
        return Kind::Check;
    // An editable box scrolls its text as a field does; only a choice is cut.
    if (auto* c = qobject_cast<const QComboBox*>(w))
        return c->isEditable() ? Kind::Other : Kind::Combo;
    if (qobject_cast<const QGroupBox*>(w)) return Kind::Frame;
    return Kind::Other;
}

int widest_line(const QFontMetrics& metrics, const QString& text) {
    int widest = 0;
    for (const QString& line : text.split(u'\n'))
        widest = std::max(widest, metrics.horizontalAdvance(line));
    return widest;
}

int longest_word(const QFontMetrics& metrics, const QString& text) {
    int widest = 0;
    for (const QString& word :
         text.split(QRegularExpression(QStringLiteral("\\s+")), Qt::SkipEmptyParts))
        widest = std::max(widest, metrics.horizontalAdvance(word));
    return widest;
}

QString shown_text(const TkGadget* g) {
    const QString text =
        tk_qstring(g->ops->get_text ? g->ops->get_text(const_cast<TkGadget*>(g)) : std::wstring());
    return QString(text).remove(QLatin1Char('&')); // a mnemonic's mark is not drawn
}

int widest_entry(const QComboBox* box) {
    const QFontMetrics metrics(box->font());
    int widest = 0;
    for (int i = 0; i < box->count(); ++i)
        widest = std::max(widest, metrics.horizontalAdvance(box->itemText(i)));
    return widest;
}

// The room a combo box leaves for its text beside the arrow and frame.
int combo_text_room(const QComboBox* box) {
    QStyleOptionComboBox option;
    option.initFrom(box);
    option.editable = box->isEditable();
    option.frame = box->hasFrame();
    option.iconSize = box->iconSize();
    const QRect field = box->style()->subControlRect(QStyle::CC_ComboBox, &option,
                                                     QStyle::SC_ComboBoxEditField, box);
    return field.width() - 2; // the label is drawn a pixel inside on each side
}

int button_frame(const QWidget* w) {
    const QStyle* s = w->style();
    return s->pixelMetric(QStyle::PM_ButtonMargin, nullptr, w) +
           2 * s->pixelMetric(QStyle::PM_DefaultFrameWidth, nullptr, w);
}

int needed(const TkGadget* g) {
    const QWidget* w = g->widget;
    const QString text = shown_text(g);
    const QFontMetrics metrics(w->font());
    const QMargins m = w->contentsMargins();
    switch (kind_of(w)) {
    case Kind::Button: return text.isEmpty() ? 0 : widest_line(metrics, text) + button_frame(w);
    case Kind::Check: return w->sizeHint().width();
    case Kind::Combo: {
        auto* box = static_cast<const QComboBox*>(w);
        return w->width() - combo_text_room(box) + widest_entry(box);
    }
    case Kind::Frame:
        return text.isEmpty() ? 0 : widest_line(metrics, text) + 2 * metrics.averageCharWidth();
    case Kind::Label:
    case Kind::Other: break;
    }
    return std::max(w->sizeHint().width(), widest_line(metrics, text) + m.left() + m.right());
}

int needed_height(const TkGadget* g) {
    const QWidget* w = g->widget;
    const QFontMetrics metrics(w->font());
    const int line = metrics.height();
    switch (kind_of(w)) {
    case Kind::Label: {
        auto* label = static_cast<const QLabel*>(w);
        const QMargins m = w->contentsMargins();
        return label->wordWrap() ? label->heightForWidth(label->width())
                                 : line + m.top() + m.bottom();
    }
    case Kind::Button:
    case Kind::Combo: return line + 4; // the frame drawn around the text
    case Kind::Check:
        return std::max(line, w->style()->pixelMetric(QStyle::PM_IndicatorHeight, nullptr, w));
    case Kind::Frame:
    case Kind::Other: break;
    }
    return line;
}

// A wrapped label also needs room for its longest word on a line.
bool text_cut(const TkGadget* g) {
    const QWidget* w = g->widget;
    const Kind kind = kind_of(w);
    if (kind == Kind::Combo)
        return widest_entry(static_cast<const QComboBox*>(w)) >
               combo_text_room(static_cast<const QComboBox*>(w));
    const QString text = shown_text(g);
    if (text.isEmpty()) return false;
    if (kind == Kind::Label && static_cast<const QLabel*>(w)->wordWrap()) {
        const QFontMetrics metrics(w->font());
        return longest_word(metrics, text) > w->contentsRect().width() ||
               needed_height(g) > w->height();
    }
    return needed(g) > w->width() || (kind != Kind::Frame && needed_height(g) > w->height());
}

// Where the gadget draws: a label whose text takes one line only the part
// its alignment gives that line, any other gadget its whole box.
QRect occupied(const TkGadget* g) {
    const QRect box = g->widget->geometry();
    auto* label = qobject_cast<const QLabel*>(g->widget);
    const int width = needed(g);
    if (!label || width >= box.width()) return box;
    const Qt::Alignment a = label->alignment();
    const int x = a & Qt::AlignRight     ? box.right() + 1 - width
                  : a & Qt::AlignHCenter ? box.left() + (box.width() - width) / 2
                                         : box.left();
    return QRect(x, box.y(), width, box.height());
}

// A gadget reaching out of its parent is cut there.
bool outside_parent(const QWidget* w) {
    const QWidget* parent = w->parentWidget();
    return parent && !QRect(QPoint(0, 0), parent->size()).contains(w->geometry());
}

// Another text drawn over g's (frames lie beneath the gadgets in them).
bool covers(const TkGadget* other, const TkGadget* g) {
    if (other == g || other->widget->isHidden()) return false;
    if (kind_of(other->widget) == Kind::Frame || kind_of(g->widget) == Kind::Frame) return false;
    return other->widget->parentWidget() == g->widget->parentWidget() &&
           occupied(other).intersects(occupied(g));
}

bool shows_text(const TkGadget* g) {
    const Kind kind = kind_of(g->widget);
    if (kind == Kind::Other) return false;
    return kind == Kind::Combo ? static_cast<const QComboBox*>(g->widget)->count() > 0
                               : !shown_text(g).isEmpty();
}

} // namespace

int64_t tk_gadget_needed_width(int64_t gadget) {
    const TkGadget* g = tk_gadget_lookup(gadget);
    return g ? needed(g) : 0;
}

namespace {

// How much the gadget's box must grow for its text: 1 when it fits.
double growth_for(const TkGadget* g) {
    const QWidget* w = g->widget;
    if (!shows_text(g) || w->width() <= 0 || w->height() <= 0) return 1;
    const bool wraps = kind_of(w) == Kind::Label && static_cast<const QLabel*>(w)->wordWrap();
    // A wrapped label needs a line for its longest word; growing wider, it
    // needs fewer lines, so its present height need is the most it asks.
    const double across = wraps ? double(longest_word(QFontMetrics(w->font()), shown_text(g))) /
                                      std::max(1, w->contentsRect().width())
                                : double(needed(g)) / w->width();
    const double down = kind_of(w) == Kind::Frame ? 1 : double(needed_height(g)) / w->height();
    return std::max({1.0, across, down});
}

int scaled(int v, double f) {
    return static_cast<int>(std::lround(v * f));
}

} // namespace

int64_t tk_window_fit(int64_t window) {
    if (!tk_window_record(window)) return 0;
    std::vector<TkGadget*> all;
    double f = 1;
    for (int64_t number : tk_window_gadgets(window))
        if (TkGadget* g = tk_gadget_lookup(number)) {
            all.push_back(g);
            f = std::max(f, growth_for(g));
        }
    f = std::min(f, 4.0); // a font of absurd size: grow no further
    if (f > 1) {
        for (TkGadget* g : all) {
            const QRect r = g->widget->geometry();
            const int x = scaled(r.x(), f), y = scaled(r.y(), f);
            tk_gadget_resize(g->number, x, y, scaled(r.right() + 1, f) - x,
                             scaled(r.bottom() + 1, f) - y);
        }
        tk_window_resize(window, scaled(static_cast<int>(tk_window_width(window)), f),
                         scaled(static_cast<int>(tk_window_height(window)), f));
    }
    return std::lround(f * 100);
}

int64_t tk_gadget_needed_height(int64_t gadget) {
    const TkGadget* g = tk_gadget_lookup(gadget);
    return g ? needed_height(g) : 0;
}

std::vector<int64_t> tk_window_cut_gadgets(int64_t window) {
    std::vector<const TkGadget*> texts;
    for (int64_t number : tk_window_gadgets(window))
        if (const TkGadget* g = tk_gadget_lookup(number); g && shows_text(g)) texts.push_back(g);
    std::vector<int64_t> cut;
    for (const TkGadget* g : texts) {
        bool covered = false;
        for (const TkGadget* other : texts) covered = covered || covers(other, g);
        if (covered || text_cut(g) || outside_parent(g->widget)) cut.push_back(g->number);
    }
    return cut;
}
