// Gadget kinds without user input: container, frame, progress bar.
#include "toolkit/widget_kind.h"
#include "toolkit/widgets.h"

#include <QGroupBox>
#include <QProgressBar>

namespace {

// ---- container ----
const TkGadgetOps container_ops = [] {
    TkGadgetOps o{};
    o.set_color = tk_kind_set_color;
    return o;
}();

// ---- frame ----
std::wstring frame_get(TkGadget* g) {
    return tk_wstring(static_cast<QGroupBox*>(g->widget)->title());
}
void frame_set(TkGadget* g, const std::wstring& text) {
    static_cast<QGroupBox*>(g->widget)->setTitle(tk_qstring(text));
}
const TkGadgetOps frame_ops = [] {
    TkGadgetOps o{};
    o.get_text = frame_get;
    o.set_text = frame_set;
    o.set_color = tk_kind_set_color;
    return o;
}();

// ---- progress bar ----
int64_t progress_get(TkGadget* g) {
    return static_cast<QProgressBar*>(g->widget)->value();
}
void progress_set(TkGadget* g, int64_t value) {
    auto* bar = static_cast<QProgressBar*>(g->widget);
    bar->setValue(static_cast<int>(std::clamp<int64_t>(value, bar->minimum(), bar->maximum())));
}
const TkGadgetOps progress_ops = [] {
    TkGadgetOps o{};
    o.get_state = progress_get;
    o.set_state = progress_set;
    return o;
}();

int clamp_int(int64_t v) {
    return static_cast<int>(std::clamp<int64_t>(v, INT32_MIN, INT32_MAX));
}

} // namespace

int64_t tk_container_create(int64_t number, int64_t x, int64_t y, int64_t width, int64_t height,
                            int64_t) {
    auto* area = new QWidget;
    const int64_t result =
        tk_kind_register(number, area, &container_ops, nullptr, x, y, width, height);
    if (result) tk_gadget_list_push(area);
    return result;
}

int64_t tk_frame_create(int64_t number, int64_t x, int64_t y, int64_t width, int64_t height,
                        const std::wstring& text, int64_t) {
    auto* frame = new QGroupBox(tk_qstring(text));
    // Gadgets drawn inside the frame are its siblings: it must neither cover
    // them nor take their clicks.
    frame->setAttribute(Qt::WA_TransparentForMouseEvents);
    frame->setFocusPolicy(Qt::NoFocus);
    const int64_t result =
        tk_kind_register(number, frame, &frame_ops, nullptr, x, y, width, height);
    if (result) frame->lower();
    return result;
}

int64_t tk_progress_create(int64_t number, int64_t x, int64_t y, int64_t width, int64_t height,
                           int64_t minimum, int64_t maximum, int64_t) {
    auto* bar = new QProgressBar;
    bar->setRange(clamp_int(minimum), clamp_int(std::max(minimum, maximum)));
    bar->setValue(bar->minimum());
    bar->setTextVisible(false);
    return tk_kind_register(number, bar, &progress_ops, nullptr, x, y, width, height);
}
