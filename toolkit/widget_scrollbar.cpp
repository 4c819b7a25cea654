// Scroll bar gadget. The scroll bar's range counts like
// the native one: maximum is the last value a page can start at plus the
// page length minus one, so positions run from minimum to maximum - page + 1.
#include "toolkit/widget_kind.h"
#include "toolkit/widgets.h"

#include <QScrollBar>

namespace {

QScrollBar* bar_of(TkGadget* g) {
    return static_cast<QScrollBar*>(g->widget);
}

int64_t scrollbar_get(TkGadget* g) {
    return bar_of(g)->value();
}
void scrollbar_set(TkGadget* g, int64_t value) {
    QScrollBar* bar = bar_of(g);
    bar->setValue(static_cast<int>(std::clamp<int64_t>(value, bar->minimum(), bar->maximum())));
}

const TkGadgetOps scrollbar_ops = [] {
    TkGadgetOps o{};
    o.get_state = scrollbar_get;
    o.set_state = scrollbar_set;
    return o;
}();

int clamp_int(int64_t v) {
    return static_cast<int>(std::clamp<int64_t>(v, INT32_MIN, INT32_MAX));
}

} // namespace

int64_t tk_scrollbar_create(int64_t number, int64_t x, int64_t y, int64_t width, int64_t height,
                            int64_t minimum, int64_t maximum, int64_t page, int64_t flags) {
    auto* bar = new QScrollBar((flags & TkScrollBarVertical) ? Qt::Vertical : Qt::Horizontal);
    const int64_t last = page > 0 ? maximum - page + 1 : maximum;
    bar->setRange(clamp_int(minimum), clamp_int(std::max(minimum, last)));
    bar->setPageStep(clamp_int(std::max<int64_t>(page, 1)));
    QObject::connect(bar, &QScrollBar::valueChanged, bar,
                     [bar] { tk_kind_report(bar, EventTypeLeftClick); });
    return tk_kind_register(number, bar, &scrollbar_ops, nullptr, x, y, width, height);
}
