// Drawing on images and canvases: one drawing state per thread (painter,
// mode, colours, font), so workers can draw icons while the main thread
// draws elsewhere. Outputs are checked against the registry of live ones
// before anything is painted.
#include "toolkit/drawing_internal.h"
#include "toolkit/images.h"
#include "toolkit/internal.h"

#include <QPainter>
#include <mutex>
#include <unordered_set>

namespace {

std::mutex outputs_lock;
std::unordered_set<TkDrawOutput*>& outputs() {
    static auto* live = new std::unordered_set<TkDrawOutput*>; // outlives every output
    return *live;
}

struct DrawState {
    QPainter painter;
    TkDrawOutput* out = nullptr; // open output, null when not drawing
    int64_t mode = TkDrawDefault;
    int64_t front = 0x000000;
    int64_t back = 0xFFFFFF;
    QFont font;
};

DrawState& state() {
    thread_local DrawState s;
    return s;
}

bool drawing() {
    return state().out != nullptr;
}

// A drawing colour: 0xBBGGRR, with the top byte as opacity in alpha-blend
// mode (0 there still means opaque, so plain colours are never invisible).
QColor draw_color(int64_t color) {
    QColor c = tk_color_from_bgr(color & 0xFFFFFF);
    const int alpha = static_cast<int>((color >> 24) & 0xFF);
    if ((state().mode & TkDrawAlphaBlend) && alpha != 0) c.setAlpha(alpha);
    return c;
}

// Opaque drawing replaces pixels; alpha-blend drawing mixes with them.
void set_composition() {
    QPainter& p = state().painter;
    p.setCompositionMode((state().mode & TkDrawAlphaBlend) ? QPainter::CompositionMode_SourceOver
                                                           : QPainter::CompositionMode_Source);
}

} // namespace

void tk_draw_output_register(TkDrawOutput* out) {
    std::lock_guard lock(outputs_lock);
    outputs().insert(out);
}

void tk_draw_output_unregister(TkDrawOutput* out) {
    if (state().out == out) tk_drawing_stop();
    std::lock_guard lock(outputs_lock);
    outputs().erase(out);
}

intptr_t tk_drawing_start(intptr_t output) {
    if (drawing()) tk_drawing_stop();
    auto* out = reinterpret_cast<TkDrawOutput*>(output);
    {
        std::lock_guard lock(outputs_lock);
        if (!outputs().count(out)) return 0;
    }
    DrawState& s = state();
    if (!out->image || out->image->isNull() || !s.painter.begin(out->image)) return 0;
    s.out = out;
    s.mode = TkDrawDefault;
    s.front = 0x000000;
    s.back = 0xFFFFFF;
    s.font = tk_font_qfont(-1);
    s.painter.setFont(s.font);
    return output;
}

void tk_drawing_stop() {
    DrawState& s = state();
    if (!s.out) return;
    s.painter.end();
    s.out->version.fetch_add(1);
    if (s.out->widget) s.out->widget->update();
    s.out = nullptr;
}

void tk_draw_mode(int64_t mode) {
    state().mode = mode;
}
void tk_draw_front_color(int64_t color) {
    state().front = color;
}
void tk_draw_back_color(int64_t color) {
    state().back = color;
}

void tk_draw_font(intptr_t font) {
    DrawState& s = state();
    s.font = tk_font_qfont(font);
    if (drawing()) s.painter.setFont(s.font);
}

void tk_draw_box(int64_t x, int64_t y, int64_t width, int64_t height, int64_t color) {
    if (!drawing() || width <= 0 || height <= 0) return;
    QPainter& p = state().painter;
    const QColor c = draw_color(color == -1 ? state().front : color);
    set_composition();
    const QRect box(static_cast<int>(x), static_cast<int>(y), static_cast<int>(width),
                    static_cast<int>(height));
    if (state().mode & TkDrawOutlined) {
        // Four one-pixel edges inside the box, so width x height is the outer size.
        p.fillRect(box.left(), box.top(), box.width(), 1, c);
        p.fillRect(box.left(), box.bottom(), box.width(), 1, c);
        p.fillRect(box.left(), box.top(), 1, box.height(), c);
        p.fillRect(box.right(), box.top(), 1, box.height(), c);
    } else {
        p.fillRect(box, c);
    }
}

int64_t tk_draw_text(int64_t x, int64_t y, const std::wstring& text, int64_t color) {
    if (!drawing()) return x;
    DrawState& s = state();
    const QString q = tk_qstring(text);
    const QFontMetrics metrics(s.font, s.out->image);
    const QRect cell(static_cast<int>(x), static_cast<int>(y), metrics.horizontalAdvance(q),
                     metrics.height());
    if (!(s.mode & TkDrawTransparent)) {
        set_composition();
        s.painter.fillRect(cell, draw_color(s.back));
    }
    s.painter.setCompositionMode(QPainter::CompositionMode_SourceOver);
    s.painter.setPen(draw_color(color == -1 ? s.front : color));
    s.painter.drawText(cell.left(), cell.top() + metrics.ascent(), q);
    return x + cell.width();
}

int64_t tk_draw_text_width(const std::wstring& text) {
    const QFontMetrics metrics(state().font);
    return metrics.horizontalAdvance(tk_qstring(text));
}

int64_t tk_draw_text_height() {
    return QFontMetrics(state().font).height();
}

void tk_draw_image_alpha(intptr_t image, int64_t x, int64_t y, int64_t opacity) {
    const QImage* picture = tk_image_qimage(image);
    if (!drawing() || !picture) return;
    QPainter& p = state().painter;
    p.setCompositionMode(QPainter::CompositionMode_SourceOver);
    p.setOpacity(std::clamp<int64_t>(opacity, 0, 255) / 255.0);
    p.drawImage(QPoint(static_cast<int>(x), static_cast<int>(y)), *picture);
    p.setOpacity(1.0);
}

void tk_draw_image(intptr_t image, int64_t x, int64_t y, int64_t width, int64_t height) {
    const QImage* picture = tk_image_qimage(image);
    if (!drawing() || !picture) return;
    if (width == -1 && height == -1) {
        tk_draw_image_alpha(image, x, y, 255);
        return;
    }
    QPainter& p = state().painter;
    p.setCompositionMode(QPainter::CompositionMode_SourceOver);
    p.setRenderHint(QPainter::SmoothPixmapTransform);
    const QRect target(static_cast<int>(x), static_cast<int>(y),
                       static_cast<int>(width == -1 ? picture->width() : width),
                       static_cast<int>(height == -1 ? picture->height() : height));
    p.drawImage(target, *picture);
}
