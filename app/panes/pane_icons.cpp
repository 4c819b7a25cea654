// Shared row icons: see pane_icons.h.
#include "app/panes/pane_icons.h"

#include "app/core/ids.h"
#include "app/panes/pane_rows.h"
#include "platform/mime.h"
#include "toolkit/images.h"

#include <map>
#include <mutex>
#include <tuple>
#include <vector>

namespace {

constexpr int SmallIcon = 16; // folders
constexpr int LargeIcon = 32; // files

struct HiddenMarkStyle {
    int size;
    int font_size;
    int x, y;
};
constexpr HiddenMarkStyle HiddenMarks[2] = {{16, 10, 10, 2}, {32, 20, 18, 1}};
constexpr int64_t HiddenMarkColor = 0xFF0000C8; // opaque red 200 (0xAABBGGRR)
constexpr const wchar_t* HiddenMarkFont = L"Arial";

std::mutex CacheLock;
std::map<std::tuple<int, int, int>, int64_t> Cache; // (type, folder, marked) -> image

// The theme's icon of type as a new image; 0 when the theme has none.
int64_t LoadTypeIcon(int type, int size) {
    std::vector<uint32_t> argb;
    if (!pf_mime_icon(type, size, argb)) return 0;
    std::vector<unsigned char> rgba(argb.size() * 4);
    for (size_t i = 0; i < argb.size(); ++i) {
        const uint32_t p = argb[i];
        rgba[4 * i] = (p >> 16) & 0xFF;
        rgba[4 * i + 1] = (p >> 8) & 0xFF;
        rgba[4 * i + 2] = p & 0xFF;
        rgba[4 * i + 3] = (p >> 24) & 0xFF;
    }
    return tk_image_set_pixels(-1, size, size, rgba.data());
}

int64_t MakeIcon(int type, int folder, int marked) {
    const int64_t generic = folder ? ImgFolder : ImgFile;
    int64_t plain = 0;
    if (!marked) {
        plain = LoadTypeIcon(type, folder ? SmallIcon : LargeIcon);
        return plain ? plain : generic;
    }
    plain = PaneTypeIcon(type, folder, 0);
    const int64_t mark = MarkHiddenIcon(plain, folder ? 0 : 1);
    return mark ? mark : plain;
}

} // namespace

int64_t PaneTypeIcon(int type, int folder, int marked) {
    const auto key = std::make_tuple(type, folder ? 1 : 0, marked ? 1 : 0);
    {
        std::lock_guard guard(CacheLock);
        auto it = Cache.find(key);
        if (it != Cache.end() && tk_image_exists(it->second)) return it->second;
    }
    // Made outside the lock, so the panes' workers do not wait for each other;
    // a type made twice at once costs one spare image.
    const int64_t image = MakeIcon(type, folder, marked);
    std::lock_guard guard(CacheLock);
    return Cache.insert_or_assign(key, image).first->second;
}

int64_t MarkHiddenIcon(int64_t icon, int64_t size_kind) {
    const HiddenMarkStyle& style = HiddenMarks[size_kind == 0 ? 0 : 1];
    const int64_t image = tk_image_create(-1, style.size, style.size, 32);
    if (!image) return 0;
    if (!tk_drawing_start(tk_image_output(image))) {
        tk_image_free(image);
        return 0;
    }
    tk_draw_image(tk_image_handle(icon), 0, 0, style.size, style.size);
    const int64_t font = tk_font_load(-1, HiddenMarkFont, style.font_size);
    tk_draw_mode(TkDrawTransparent | TkDrawAlphaBlend);
    if (font) tk_draw_font(tk_font_handle(font));
    tk_draw_text(style.x, style.y, L"!", HiddenMarkColor);
    tk_drawing_stop();
    if (font) tk_font_free(font);
    return image;
}

intptr_t PaneRowImage(const std::wstring& name, int64_t data, uint32_t tag) {
    if (name == L"..") return tk_image_handle(ImgParent);
    const int folder = data == PaneRowFolder ? 1 : 0;
    if (!(tag & PaneTagIconed)) return tk_image_handle(folder ? ImgFolder : ImgFile);
    return tk_image_handle(PaneTypeIcon(PaneTagType(tag), folder, (tag & PaneTagMarked) ? 1 : 0));
}
