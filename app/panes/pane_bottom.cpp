// The gadgets under a pane list: see pane_bottom.h.
#include "app/panes/pane_bottom.h"

#include "toolkit/gadgets.h"

namespace {
constexpr int64_t SearchHeight = 22; // the quick search field
constexpr int64_t SearchWidth = 220; // at most; a narrow pane gives it all its width
} // namespace

const PaneBottom* BottomOf(int64_t list) {
    for (const PaneBottom& b : PaneBottoms)
        if (b.List == list) return &b;
    return nullptr;
}

void BuildPaneBottom(int64_t list) {
    const PaneBottom* b = BottomOf(list);
    if (!b) return;
    tk_text_create(b->SelectionLine, 0, 0, 100, SelectionLineHeight, L"", TkTextWordEllipsis);
    tk_string_create(b->QuickSearch, 0, 0, SearchWidth, SearchHeight, L"", TkStringReadOnly);
    tk_gadget_hide(b->QuickSearch, 1);
    LayoutPaneBottom(list);
}

void LayoutPaneBottom(int64_t list) {
    const PaneBottom* b = BottomOf(list);
    if (!b) return;
    const int64_t x = tk_gadget_x(list), y = tk_gadget_y(list);
    const int64_t w = tk_gadget_width(list), h = tk_gadget_height(list);
    tk_gadget_resize(b->SelectionLine, x + 2, y + h, w - 2, SelectionLineHeight);
    const int64_t sw = w < SearchWidth + 8 ? w : SearchWidth;
    tk_gadget_resize(b->QuickSearch, x + 2, y + h - SearchHeight - 2, sw - 4, SearchHeight);
}
