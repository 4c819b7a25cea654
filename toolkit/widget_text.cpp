// Text gadget: static text, word-wrapped and top-aligned (left, centred or
// right). With TkTextWordEllipsis it stays on one line instead and a text
// too wide for the gadget is cut after its last whole word that fits,
// followed by "...". The gadget's text is always the full text.
#include "toolkit/widget_kind.h"
#include "toolkit/widgets.h"

#include <QEvent>
#include <QLabel>

namespace {

class TkText : public QLabel {
  public:
    TkText(const QString& text, bool ellipsis) : ellipsis_(ellipsis) {
        setTextFormat(Qt::PlainText);
        setWordWrap(!ellipsis);
        set_full(text);
    }

    void set_full(const QString& text) {
        full_ = text;
        refresh();
    }
    const QString& full() const { return full_; }

  protected:
    void resizeEvent(QResizeEvent* event) override {
        QLabel::resizeEvent(event);
        if (ellipsis_) refresh();
    }
    void changeEvent(QEvent* event) override {
        QLabel::changeEvent(event);
        if (ellipsis_ && event->type() == QEvent::FontChange) refresh();
    }

  private:
    void refresh() { setText(ellipsis_ ? cut_at_word(full_) : full_); }

    // The longest run of whole words, plus "...", that fits the width.
    QString cut_at_word(const QString& text) const {
        const QFontMetrics metrics(font());
        const int room = contentsRect().width();
        if (metrics.horizontalAdvance(text) <= room) return text;
        static const QString dots = QStringLiteral("...");
        QString head = text;
        while (!head.isEmpty()) {
            const qsizetype blank = head.lastIndexOf(QLatin1Char(' '));
            head = blank > 0 ? head.left(blank).trimmed() : QString();
            if (metrics.horizontalAdvance(head + dots) <= room) break;
        }
        return head.isEmpty() ? metrics.elidedText(text, Qt::ElideRight, room) : head + dots;
    }

    QString full_;
    bool ellipsis_;
};

TkText* text_of(TkGadget* g) {
    return static_cast<TkText*>(g->widget);
}

std::wstring text_get(TkGadget* g) {
    return tk_wstring(text_of(g)->full());
}
void text_set(TkGadget* g, const std::wstring& text) {
    text_of(g)->set_full(tk_qstring(text));
}

const TkGadgetOps text_ops = [] {
    TkGadgetOps o{};
    o.get_text = text_get;
    o.set_text = text_set;
    o.set_color = tk_kind_set_color;
    return o;
}();

Qt::Alignment text_alignment(int64_t flags) {
    const Qt::Alignment vertical =
        (flags & TkTextWordEllipsis) == TkTextWordEllipsis ? Qt::AlignVCenter : Qt::AlignTop;
    if (flags & TkTextCenter) return Qt::AlignHCenter | vertical;
    if (flags & TkTextRight) return Qt::AlignRight | vertical;
    return Qt::AlignLeft | vertical;
}

} // namespace

int64_t tk_text_create(int64_t number, int64_t x, int64_t y, int64_t width, int64_t height,
                       const std::wstring& text, int64_t flags) {
    auto* label = new TkText(tk_qstring(text), (flags & TkTextWordEllipsis) == TkTextWordEllipsis);
    label->setAlignment(text_alignment(flags));
    return tk_kind_register(number, label, &text_ops, nullptr, x, y, width, height);
}
