// Busy cursor and string selection: see busy.h.
#include "toolkit/busy.h"

#include "toolkit/internal.h"

#include <QApplication>
#include <QCursor>
#include <QLineEdit>

void tk_busy_cursor(int64_t on) {
    if (on)
        QApplication::setOverrideCursor(QCursor(Qt::WaitCursor));
    else
        QApplication::restoreOverrideCursor();
}

int64_t tk_string_select_all(int64_t gadget) {
    TkGadget* g = tk_gadget_lookup(gadget);
    auto* edit = g ? qobject_cast<QLineEdit*>(g->widget) : nullptr;
    if (!edit) return 0;
    edit->selectAll();
    return 1;
}
