// Whether a gadget shows its whole text: the width its text needs in its
// font with the gadget's own parts (a check box's box, a button's frame, a
// combo box's arrow), and the test of a whole window for cut texts. The
// measures follow how each kind draws: a wrapped label needs the height of
// its lines and room for its longest word, a one-line label the width of
// its line, a combo box room for its widest entry beside the arrow.
// Main thread only.
#include "toolkit/core_internal.h"
#include "toolkit/gadget_ops.h"
#include "toolkit/readback.h"

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

// The label's text does not fit its box: a wrapped one needs more lines
// than its height holds or has a word wider than a line.
bool label_cut(const QLabel* label, const QString& text) {
    const QFontMetrics metrics(label->font());
    const int room = label->contentsRect().width();
    if (!label->wordWrap())
        return widest_line(metrics, text) > room || metrics.height() > label->height();
    return longest_word(metrics, text) > room ||
           label->heightForWidth(label->width()) > label->height();
}

bool text_cut(const TkGadget* g) {
    const QWidget* w = g->widget;
    const QString text = shown_text(g);
    const Kind kind = kind_of(w);
    if (kind == Kind::Combo)
        return widest_entry(static_cast<const QComboBox*>(w)) >
               combo_text_room(static_cast<const QComboBox*>(w));
    if (text.isEmpty()) return false;
    if (kind == Kind::Label) return label_cut(static_cast<const QLabel*>(w), text);
    const QFontMetrics metrics(w->font());
    if (kind != Kind::Frame && metrics.height() > w->height()) return true;
    return needed(g) > w->width();
}

// A gadget reaching out of its parent is cut there.
bool outside_parent(const QWidget* w) {
    const QWidget* parent = w->parentWidget();
    return parent && !QRect(QPoint(0, 0), parent->size()).contains(w->geometry());
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

std::vector<int64_t> tk_window_cut_gadgets(int64_t window) {
    std::vector<const TkGadget*> texts;
    for (int64_t number : tk_window_gadgets(window))
        if (const TkGadget* g = tk_gadget_lookup(number); g && shows_text(g)) texts.push_back(g);
    std::vector<int64_t> cut;
    for (const TkGadget* g : texts) {
        bool covered = false; // by another text beside it (frames lie beneath)
        for (const TkGadget* other : texts)
            covered = covered || (other != g && kind_of(other->widget) != Kind::Frame &&
                                  kind_of(g->widget) != Kind::Frame && !other->widget->isHidden() &&
                                  other->widget->parentWidget() == g->widget->parentWidget() &&
                                  other->widget->geometry().intersects(g->widget->geometry()));
        if (covered || text_cut(g) || outside_parent(g->widget)) cut.push_back(g->number);
    }
    return cut;
}
