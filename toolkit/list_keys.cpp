// Key hooks of list gadgets: see list_keys.h. The hooks are kept by gadget
// number here rather than in the view, so a list freed and made again under
// its number starts without one only when the program removes it.
#include "toolkit/list_keys.h"

#include "toolkit/internal.h"
#include "toolkit/list_view.h"

#include <QKeyEvent>
#include <unordered_map>

namespace {

std::unordered_map<int64_t, TkListKeyHook>& Hooks() {
    static std::unordered_map<int64_t, TkListKeyHook> hooks; // main thread
    return hooks;
}

} // namespace

void tk_list_set_key_hook(int64_t gadget, TkListKeyHook hook) {
    if (hook)
        Hooks()[gadget] = hook;
    else
        Hooks().erase(gadget);
}

bool tk_list_offer_key(QWidget* focus, const QKeyEvent* event, int64_t shortcut) {
    if (Hooks().empty() || !focus) return false;
    TkGadget* g = tk_gadget_of_widget(focus);
    if (!g || !qobject_cast<TkListView*>(g->widget)) return false;
    const auto it = Hooks().find(g->number);
    if (it == Hooks().end()) return false;
    QString typed = event->text();
    // Ctrl and Alt keys type nothing, whatever the keyboard layout puts there.
    if (event->modifiers() & (Qt::ControlModifier | Qt::MetaModifier)) typed.clear();
    if (!typed.isEmpty() && !typed.at(0).isPrint()) typed.clear();
    return it->second(g->number, shortcut, typed.toStdWString()) != 0;
}
