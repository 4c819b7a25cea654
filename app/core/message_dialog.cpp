// MessageDialog: a small modal window with a bold headline, a message text
// and one or two buttons; runs its own wait loop until the user answers.
// Events for other windows taken meanwhile are kept and posted again after
// the dialog closed, so a worker's end event is never lost.
#include "app/core/message_dialog.h"

#include "app/core/ids.h"
#include "toolkit/events.h"
#include "toolkit/gadgets.h"

#include <vector>

namespace {

constexpr int64_t DialogWidth = 344;
constexpr int64_t DialogHeight = 134;
constexpr int64_t DialogFlagsOnParent = TkWindowDialog | TkWindowCentreOnParent;
constexpr int64_t DialogFlagsOnScreen = TkWindowDialog | TkWindowCentre;
constexpr int64_t ReturnItem = 0;
constexpr int64_t BoldStyle = 256;

struct HeldEvent {
    int32_t code;
    int64_t window, object, type;
    intptr_t data;
};

struct DialogFonts {
    int64_t headline = tk_font_load(-1, L"Verdana", 12, BoldStyle);
    int64_t text = tk_font_load(-1, L"Verdana", 8, 0);
    int64_t button = tk_font_load(-1, L"Verdana", 9, BoldStyle);
    ~DialogFonts() {
        tk_font_free(headline);
        tk_font_free(text);
        tk_font_free(button);
    }
};

struct DialogButtons {
    int64_t ok = 0;     // "OK", two-button form
    int64_t cancel = 0; // "Abbruch" or "Beenden"
};

int64_t CreateButton(int64_t x, const wchar_t* label, const DialogFonts& fonts) {
    const int64_t g = tk_button_create(-1, x, 100, 90, 30, label);
    tk_gadget_set_font(g, tk_font_handle(fonts.button));
    return g;
}

DialogButtons CreateButtons(int64_t buttons, const DialogFonts& fonts) {
    DialogButtons b;
    if (buttons == MessageTwoButtons) {
        b.ok = CreateButton(150, L"OK", fonts);
        b.cancel = CreateButton(250, L"Abbruch", fonts);
        tk_gadget_activate(b.ok);
    } else {
        b.cancel = CreateButton((DialogWidth - 90) / 2, L"Beenden", fonts);
        tk_gadget_activate(b.cancel);
    }
    return b;
}

void CreateTexts(const std::wstring& headline, const std::wstring& text, const DialogFonts& fonts) {
    if (!headline.empty()) {
        const int64_t g =
            tk_text_create(-1, 0, 10, 340, 30, headline, TkTextCenter | TkTextWordEllipsis);
        tk_gadget_set_font(g, tk_font_handle(fonts.headline));
    }
    if (!text.empty()) {
        const int64_t g = tk_text_create(-1, 0, 40, 340, 60, text, TkTextCenter);
        tk_gadget_set_font(g, tk_font_handle(fonts.text));
    }
}

// The answer an event of the dialog's own window gives, 0 for none yet.
int64_t AnswerOf(int32_t code, int64_t dialog, const DialogButtons& b) {
    if (code == EventCloseWindow) return MessageAnswerClosed;
    if (code == EventMenu && tk_event_menu() == ReturnItem) {
        // Return acts as a click on the focused button
        tk_event_post(EventGadget, dialog, tk_gadget_active());
        return 0;
    }
    if (code != EventGadget) return 0;
    if (b.ok && tk_event_gadget() == b.ok) return MessageAnswerOk;
    if (tk_event_gadget() == b.cancel) return MessageAnswerCancel;
    return 0;
}

// Events that carry data released at the next wait cannot be kept.
bool CanHold(int32_t code) {
    return code != 0 && code != EventGadgetDrop && code != EventWindowDrop;
}

} // namespace

int64_t MessageDialog(int64_t kind, const std::wstring& caption, const std::wstring& headline,
                      const std::wstring& text, int64_t buttons, int64_t owner) {
    // The program ends: the question counts as "Abbruch", shown or not.
    if (tk_quit_requested()) return MessageAnswerCancel;
    const DialogFonts fonts;
    const int64_t flags = owner == -1 ? DialogFlagsOnScreen : DialogFlagsOnParent;
    const intptr_t parent = owner == -1 ? 0 : tk_window_handle(owner);
    const int64_t dialog =
        tk_window_open(-1, 0, 0, DialogWidth, DialogHeight, caption, flags, parent);
    if (!dialog) return MessageAnswerClosed;
    CreateTexts(headline, text, fonts);
    tk_window_activate(dialog);
    const DialogButtons b = CreateButtons(buttons, fonts);
    tk_shortcut_add(dialog, KeyReturn, ReturnItem);
    if (owner != -1) tk_window_disable(owner, 1);
    size_t icon_size = 0;
    const unsigned char* icon =
        tk_asset_png(kind == MessageKindQuestion ? "icon_question" : "icon_error", &icon_size);
    const int64_t icon_image = icon ? tk_image_catch(-1, icon, icon_size) : 0;
    if (icon_image) tk_window_set_icon(dialog, tk_image_handle(icon_image));

    std::vector<HeldEvent> held;
    int64_t answer = 0;
    while (!answer) {
        const int32_t code = tk_event_wait();
        const bool quitting = tk_quit_requested() != 0;
        if (tk_event_window() == dialog && code) {
            if (!quitting) answer = AnswerOf(code, dialog, b);
        } else if (CanHold(code)) {
            // kept for afterwards, the close request that ends the program too
            held.push_back(
                {code, tk_event_window(), tk_event_gadget(), tk_event_type(), tk_event_data()});
        }
        if (quitting) answer = MessageAnswerCancel;
    }

    if (icon_image) tk_image_free(icon_image);
    if (owner != -1) tk_window_disable(owner, 0);
    tk_window_close(dialog);
    for (const HeldEvent& e : held) tk_event_post(e.code, e.window, e.object, e.type, e.data);
    return answer;
}

MessageSeam RealMessages() {
    return {MessageDialog, tk_message_box};
}

MessageSeam Messages = {MessageDialog, tk_message_box};
