// Numbered fonts, the default gadget font and colour conversion. Fonts may be
// loaded and used from any thread (workers draw text on icons); the default
// gadget font is main-thread state.
#include "toolkit/images.h"
#include "toolkit/internal.h"
#include "toolkit/numbered_table.h"

#include <QGuiApplication>
#include <memory>

struct TkFont {
    QFont font;
};

namespace {

TkNumberTable<TkFont>& fonts() {
    // Never destroyed: pictures must not outlive Qt's own statics at exit.
    static auto* table = new TkNumberTable<TkFont>("font");
    return *table;
}

// Unset until a program sets one; gadgets then use the gui font.
QFont& default_gadget_font() {
    static QFont font;
    return font;
}
bool default_gadget_font_set = false;

QFont make_font(const std::wstring& name, int64_t size, int64_t style) {
    QFont font = QGuiApplication::font();
    if (!name.empty()) font.setFamily(tk_qstring(name));
    if (size > 0) font.setPointSize(static_cast<int>(size));
    font.setBold((style & TkFontBold) != 0);
    font.setItalic((style & TkFontItalic) != 0);
    font.setUnderline((style & TkFontUnderline) != 0);
    font.setStrikeOut((style & TkFontStrikeOut) != 0);
    return font;
}

} // namespace

int64_t tk_font_load(int64_t number, const std::wstring& name, int64_t size, int64_t style) {
    if (number < kTkAnyNumber) return 0;
    auto rec = std::make_unique<TkFont>();
    rec->font = make_font(name, size, style);
    TkFont* raw = rec.get();
    std::unique_ptr<TkFont> old;
    const int64_t used = fonts().put(number, std::move(rec), old);
    return tk_created_result(number, used, raw);
}

intptr_t tk_font_handle(int64_t number) {
    return reinterpret_cast<intptr_t>(fonts().use(number, "tk_font_handle"));
}

int64_t tk_font_exists(int64_t number) {
    return fonts().find(number) ? 1 : 0;
}

void tk_font_free(int64_t number) {
    if (number == -1)
        fonts().take_all();
    else
        fonts().take(number);
}

QFont tk_font_qfont(intptr_t handle) {
    const TkFont* rec = handle == -1 ? nullptr : fonts().from_handle(handle);
    return rec ? rec->font : QGuiApplication::font();
}

QFont tk_default_gadget_font() {
    return default_gadget_font_set ? default_gadget_font() : QGuiApplication::font();
}

void tk_set_default_gadget_font(intptr_t handle) {
    default_gadget_font() = tk_font_qfont(handle);
    default_gadget_font_set = handle != -1;
}

QColor tk_color_from_bgr(int64_t bgr) {
    return QColor(static_cast<int>(bgr & 0xFF), static_cast<int>((bgr >> 8) & 0xFF),
                  static_cast<int>((bgr >> 16) & 0xFF));
}
