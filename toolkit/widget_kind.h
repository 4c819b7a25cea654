// Helpers shared by the gadget kinds of widgets.h (one source per kind):
// registration with the gadget table, reporting user actions as gadget
// events, colours through the palette and focus reports. Main thread only.
#pragma once

#include "toolkit/events.h"
#include "toolkit/internal.h"

#include <QObject>
#include <cstdint>

// Registers a new gadget widget (see tk_gadget_register) with int64_t geometry.
int64_t tk_kind_register(int64_t number, QWidget* widget, const TkGadgetOps* ops, void* kind_data,
                         int64_t x, int64_t y, int64_t width, int64_t height);
// Reports a user action on the gadget whose widget is w (nothing if w has
// not been registered yet, e.g. during construction).
void tk_kind_report(const QWidget* w, int64_t type);
// The gadget of a number if it is of the given kind, else null.
TkGadget* tk_kind_gadget(int64_t number, const TkGadgetOps* ops);
// Colour op for palette-drawn widgets: which 1 = text, 2 = background.
void tk_kind_set_color(TkGadget* g, int which, int64_t bgr);
// Reports focus (14000) and lost focus (14001) of a gadget's widget, counting
// an inner editor (a combo box's edit field) as the gadget. Focus moves
// caused by popup menus are not reported (the field keeps its focus).
void tk_kind_watch_focus(QWidget* gadget_widget, QWidget* editor = nullptr);
// The window number of a window handle (tk_window_handle), -1 if the handle
// names no open toolkit window. Unknown handles are never dereferenced.
int64_t tk_kind_window_of_handle(intptr_t handle);
