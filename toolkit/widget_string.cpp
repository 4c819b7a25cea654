// String gadget: a single-line edit field. Only typing reports a change
// (textEdited), so text set by the program is silent even outside a
// suspension; focus and lost focus are reported as 14000 / 14001.
#include "toolkit/widget_kind.h"
#include "toolkit/widgets.h"

#include <QLineEdit>

namespace {

QLineEdit* edit_of(TkGadget* g) {
    return static_cast<QLineEdit*>(g->widget);
}

std::wstring string_get(TkGadget* g) {
    return tk_wstring(edit_of(g)->text());
}

void string_set(TkGadget* g, const std::wstring& text) {
    edit_of(g)->setText(tk_qstring(text));
    edit_of(g)->setCursorPosition(0); // show the start of a long text, like a fresh field
}

const TkGadgetOps string_ops = [] {
    TkGadgetOps o{};
    o.get_text = string_get;
    o.set_text = string_set;
    o.set_color = tk_kind_set_color;
    return o;
}();

} // namespace

int64_t tk_string_create(int64_t number, int64_t x, int64_t y, int64_t width, int64_t height,
                         const std::wstring& text, int64_t flags) {
    auto* edit = new QLineEdit(tk_qstring(text));
    edit->setCursorPosition(0);
    edit->setReadOnly((flags & TkStringReadOnly) != 0);
    if (flags & TkStringPassword) edit->setEchoMode(QLineEdit::Password);
    QObject::connect(edit, &QLineEdit::textEdited, edit,
                     [edit] { tk_kind_report(edit, EventTypeChange); });
    tk_kind_watch_focus(edit);
    return tk_kind_register(number, edit, &string_ops, nullptr, x, y, width, height);
}

int64_t tk_string_insert(int64_t gadget, const std::wstring& text, bool blank_around) {
    TkGadget* g = tk_gadget_use(gadget, "tk_string_insert");
    auto* edit = g ? qobject_cast<QLineEdit*>(g->widget) : nullptr;
    if (!edit) return 0;
    TkSuspend quiet;
    QString put = tk_qstring(text);
    if (blank_around) {
        // what goes in replaces the marked part: the blank before looks past it
        const int at = edit->hasSelectedText() ? edit->selectionStart() : edit->cursorPosition();
        if (at > 0 && !edit->text().at(at - 1).isSpace()) put.prepend(QLatin1Char(' '));
        put.append(QLatin1Char(' '));
    }
    edit->insert(put);
    return 1;
}
