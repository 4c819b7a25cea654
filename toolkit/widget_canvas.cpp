// Canvas gadget: a drawing surface with its own backing picture, so what the
// program drew stays when the surface is covered or resized. The mouse
// reports moves (from the second one inside, or while the left button holds
// it), left button down and up; the latest mouse position is the canvas's
// attribute 2 (x) and 3 (y), in canvas pixels.
#include "toolkit/drawing_internal.h"
#include "toolkit/widget_kind.h"
#include "toolkit/widgets.h"

#include <QMouseEvent>
#include <QPainter>

namespace {

class TkCanvas : public QWidget {
  public:
    TkCanvas() {
        setMouseTracking(true);
        picture_ = QImage(1, 1, QImage::Format_ARGB32_Premultiplied);
        picture_.fill(Qt::white);
        output_.image = &picture_;
        output_.widget = this;
        tk_draw_output_register(&output_);
    }
    ~TkCanvas() override { tk_draw_output_unregister(&output_); }

    TkDrawOutput* output() { return &output_; }
    QPoint mouse() const { return mouse_; }

  protected:
    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        painter.drawImage(0, 0, picture_);
    }

    void resizeEvent(QResizeEvent*) override { grow(); }

    void enterEvent(QEnterEvent*) override { seen_move_ = false; }

    void mouseMoveEvent(QMouseEvent* event) override {
        mouse_ = event->position().toPoint();
        const bool report = seen_move_ || (event->buttons() & Qt::LeftButton);
        seen_move_ = true;
        if (report) tk_kind_report(this, EventTypeMouseMove);
    }

    void mousePressEvent(QMouseEvent* event) override { button(event, EventTypeLeftButtonDown); }
    void mouseReleaseEvent(QMouseEvent* event) override { button(event, EventTypeLeftButtonUp); }

  private:
    void button(QMouseEvent* event, int64_t type) {
        if (event->button() != Qt::LeftButton) return;
        mouse_ = event->position().toPoint();
        tk_kind_report(this, type);
    }

    // Grows the picture to the widget's size, keeping what was drawn; it
    // never shrinks, so a canvas made smaller and larger again loses nothing.
    void grow() {
        const QSize want = picture_.size().expandedTo(size());
        if (want == picture_.size() || picture_.paintingActive()) return;
        QImage bigger(want, QImage::Format_ARGB32_Premultiplied);
        bigger.fill(Qt::white);
        QPainter(&bigger).drawImage(0, 0, picture_);
        picture_ = std::move(bigger);
    }

    QImage picture_; // what was drawn; output_.image points here
    TkDrawOutput output_;
    QPoint mouse_; // latest mouse position, canvas pixels
    bool seen_move_ = false;
};

TkCanvas* canvas_of(TkGadget* g) {
    return static_cast<TkCanvas*>(g->widget);
}

const TkGadgetOps canvas_ops = [] {
    TkGadgetOps o{};
    o.set_color = tk_kind_set_color;
    return o;
}();

} // namespace

int64_t tk_canvas_create(int64_t number, int64_t x, int64_t y, int64_t width, int64_t height,
                         int64_t) {
    return tk_kind_register(number, new TkCanvas, &canvas_ops, nullptr, x, y, width, height);
}

intptr_t tk_canvas_output(int64_t gadget) {
    TkGadget* g = tk_kind_gadget(gadget, &canvas_ops);
    return g ? reinterpret_cast<intptr_t>(canvas_of(g)->output()) : 0;
}

int64_t tk_gadget_get_attribute(int64_t gadget, int64_t attribute) {
    TkGadget* g = tk_kind_gadget(gadget, &canvas_ops);
    if (!g) return 0;
    if (attribute == TkCanvasMouseX) return canvas_of(g)->mouse().x();
    if (attribute == TkCanvasMouseY) return canvas_of(g)->mouse().y();
    return 0;
}
