// The busy cursor of one gadget: see gadget_cursor.h.
#include "toolkit/gadget_cursor.h"

#include "toolkit/internal.h"

#include <QAbstractScrollArea>
#include <QWidget>

namespace {

// A list shows its rows in a viewport, which has a cursor of its own.
QWidget* CursorWidget(TkGadget* g) {
    if (auto* area = qobject_cast<QAbstractScrollArea*>(g->widget)) return area->viewport();
    return g->widget;
}

} // namespace

void tk_gadget_busy_cursor(int64_t gadget, int64_t on) {
    TkGadget* g = tk_gadget_lookup(gadget);
    if (!g || !g->widget) return;
    for (QWidget* w : {g->widget, CursorWidget(g)}) {
        if (on)
            w->setCursor(Qt::WaitCursor);
        else
            w->unsetCursor();
    }
}

int64_t tk_gadget_is_busy(int64_t gadget) {
    TkGadget* g = tk_gadget_lookup(gadget);
    if (!g || !g->widget) return 0;
    return CursorWidget(g)->testAttribute(Qt::WA_SetCursor) &&
                   CursorWidget(g)->cursor().shape() == Qt::WaitCursor
               ? 1
               : 0;
}
