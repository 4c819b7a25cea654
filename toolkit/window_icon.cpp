// Window icons from toolkit images.
#include "toolkit/window_icon.h"

#include "toolkit/internal.h"

int64_t tk_window_set_icon(int64_t window, intptr_t image) {
    QWidget* w = tk_window_widget(window);
    if (!w || !tk_image_qimage(image)) return 0;
    w->setWindowIcon(tk_image_icon(image));
    return 1;
}
