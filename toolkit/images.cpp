// Numbered images: creation, PNG decoding, raw pixels, size queries and the
// picture behind a handle for the gadgets. Pixels are kept premultiplied
// (the format Qt paints fastest); every image is registered as a drawing
// output. Any thread; the icon cache is main-thread only.
#include "toolkit/images.h"
#include "toolkit/drawing_internal.h"
#include "toolkit/internal.h"
#include "toolkit/numbered_table.h"
#include "toolkit/png_decode.h"

#include <QPixmap>
#include <memory>

struct TkImage {
    QImage image;                         // ARGB32 premultiplied
    TkDrawOutput output;                  // drawing target over `image`
    QIcon icon;                           // main thread: cached picture for gadgets
    uint64_t icon_version = ~uint64_t{0}; // output.version the icon was made from
    ~TkImage() { tk_draw_output_unregister(&output); }
};

namespace {

constexpr int64_t kMaxSide = 16384;

TkNumberTable<TkImage>& images() {
    // Never destroyed: pictures must not outlive Qt's own statics at exit.
    static auto* table = new TkNumberTable<TkImage>("image");
    return *table;
}

bool valid_number(int64_t number) {
    return number >= 0 || number == kTkAnyNumber;
}

// Stores a finished picture under number; returns what a creating call returns.
int64_t store(int64_t number, QImage picture) {
    auto rec = std::make_unique<TkImage>();
    rec->image = std::move(picture);
    rec->output.image = &rec->image;
    tk_draw_output_register(&rec->output);
    TkImage* raw = rec.get();
    std::unique_ptr<TkImage> old;
    const int64_t used = images().put(number, std::move(rec), old);
    return tk_created_result(number, used, raw);
}

// Frees whatever is under number (creation under a taken number, or a failed decode).
void drop(int64_t number) {
    if (number != kTkAnyNumber) images().take(number);
}

} // namespace

int64_t tk_image_create(int64_t number, int64_t width, int64_t height, int64_t depth,
                        int64_t background) {
    if (!valid_number(number) || width <= 0 || height <= 0 || width > kMaxSide || height > kMaxSide)
        return 0;
    QImage picture(static_cast<int>(width), static_cast<int>(height),
                   QImage::Format_ARGB32_Premultiplied);
    if (picture.isNull()) return 0;
    const bool opaque = depth < 32;
    if (background == -1)
        picture.fill(opaque ? QColor(Qt::white) : QColor(Qt::transparent));
    else
        picture.fill(tk_color_from_bgr(background));
    return store(number, std::move(picture));
}

int64_t tk_image_set_pixels(int64_t number, int64_t width, int64_t height,
                            const unsigned char* rgba) {
    if (!valid_number(number) || !rgba || width <= 0 || height <= 0 || width > kMaxSide ||
        height > kMaxSide)
        return 0;
    // RGBA8888 is byte order R, G, B, A; convert once to the painting format.
    const QImage view(rgba, static_cast<int>(width), static_cast<int>(height),
                      static_cast<qsizetype>(width * 4), QImage::Format_RGBA8888);
    QImage picture = view.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    if (picture.isNull()) return 0;
    return store(number, std::move(picture));
}

int64_t tk_image_catch(int64_t number, const unsigned char* png, size_t size) {
    if (!valid_number(number)) return 0;
    TkPngPixels pixels;
    if (!tk_png_decode(png, size, pixels)) {
        drop(number);
        return 0;
    }
    return tk_image_set_pixels(number, pixels.width, pixels.height, pixels.rgba.data());
}

void tk_image_free(int64_t number) {
    if (number == -1) {
        images().take_all(); // records die here, outside the lock
        return;
    }
    images().take(number);
}

int64_t tk_image_exists(int64_t number) {
    return images().find(number) ? 1 : 0;
}

intptr_t tk_image_handle(int64_t number) {
    return reinterpret_cast<intptr_t>(images().use(number, "tk_image_handle"));
}

int64_t tk_image_width(int64_t number) {
    const TkImage* rec = images().use(number, "tk_image_width");
    return rec ? rec->image.width() : 0;
}

int64_t tk_image_height(int64_t number) {
    const TkImage* rec = images().use(number, "tk_image_height");
    return rec ? rec->image.height() : 0;
}

intptr_t tk_image_output(int64_t number) {
    TkImage* rec = images().use(number, "tk_image_output");
    return rec ? reinterpret_cast<intptr_t>(&rec->output) : 0;
}

uint32_t tk_image_pixel(int64_t number, int64_t x, int64_t y) {
    const TkImage* rec = images().use(number, "tk_image_pixel");
    if (!rec || x < 0 || y < 0 || x >= rec->image.width() || y >= rec->image.height()) return 0;
    return qUnpremultiply(rec->image.pixel(static_cast<int>(x), static_cast<int>(y)));
}

const QImage* tk_image_qimage(intptr_t handle) {
    const TkImage* rec = images().from_handle(handle);
    return rec ? &rec->image : nullptr;
}

QIcon tk_image_icon(intptr_t handle) {
    TkImage* rec = images().from_handle(handle);
    if (!rec) return QIcon();
    const uint64_t version = rec->output.version.load();
    if (rec->icon_version != version) {
        rec->icon = QIcon(QPixmap::fromImage(rec->image));
        rec->icon_version = version;
    }
    return rec->icon;
}
