// Window icons: a window's own (from a toolkit image) and the program's,
// which every window without one of its own shows in its title bar and the
// desktop's task switcher.
#include "toolkit/window_icon.h"

#include "toolkit/internal.h"
#include "toolkit/png_decode.h"

#include <QGuiApplication>
#include <QIcon>

namespace {

// The sizes of the program's icon built into it (app_icon_<n>).
constexpr int kAppIconSizes[] = {16, 22, 24, 32, 48, 64, 128, 256};

} // namespace

int64_t tk_window_set_icon(int64_t window, intptr_t image) {
    QWidget* w = tk_window_widget(window);
    if (!w || !tk_image_qimage(image)) return 0;
    w->setWindowIcon(tk_image_icon(image));
    return 1;
}

int64_t tk_app_icon_install() {
    QIcon icon;
    for (int size : kAppIconSizes) {
        size_t length = 0;
        const std::string name = "app_icon_" + std::to_string(size);
        const unsigned char* png = tk_asset_png(name.c_str(), &length);
        TkPngPixels pixels;
        if (!png || !tk_png_decode(png, length, pixels)) continue;
        const QImage picture(pixels.rgba.data(), static_cast<int>(pixels.width),
                             static_cast<int>(pixels.height), QImage::Format_RGBA8888);
        icon.addPixmap(QPixmap::fromImage(picture.copy())); // copy: the pixels go with `pixels`
    }
    // The desktop entry's name: compositors that find windows' icons there
    // (Wayland) show the same one.
    QGuiApplication::setDesktopFileName(QStringLiteral("tarn-commander"));
    if (icon.isNull()) return 0;
    QGuiApplication::setWindowIcon(icon);
    return static_cast<int64_t>(icon.availableSizes().size());
}
