// The F5/F6 question with its target field, and what a typed target means:
// see target_question.h.
#include "app/fileops/target_question.h"

#include "app/core/ids.h"
#include "app/core/message_dialog.h"
#include "app/fileops/fileops.h"
#include "app/fileops/fileops_internal.h"
#include "runtime/file_checks.h"
#include "runtime/files.h"
#include "runtime/text.h"
#include "toolkit/events.h"
#include "toolkit/gadgets.h"

#include <cstdlib>
#include <vector>

TargetQuestionFn AskTarget = TargetQuestionDialog;
void (*TargetQuestionOpened)(int64_t window, int64_t ok) = nullptr;

namespace {

constexpr int64_t QuestionWidth = 420;
constexpr int64_t QuestionHeight = 150;
constexpr int64_t BoldStyle = 256;

struct QuestionGadgets {
    int64_t field = 0, ok = 0, cancel = 0;
};

struct HeldEvent {
    int32_t code;
    int64_t window, object, type;
    intptr_t data;
};

QuestionGadgets Build(const std::wstring& headline, const std::wstring& question,
                      const std::wstring& target, int64_t font) {
    const int64_t h = tk_text_create(-1, 10, 8, 400, 26, headline, TkTextCenter);
    tk_gadget_set_font(h, tk_font_handle(font));
    tk_text_create(-1, 10, 40, 400, 20, question);
    QuestionGadgets g;
    g.field = tk_string_create(-1, 10, 64, 400, 24, target);
    g.ok = tk_button_create(-1, 220, 108, 90, 30, L"OK");
    g.cancel = tk_button_create(-1, 320, 108, 90, 30, L"Abbruch");
    return g;
}

// The answer an event of the question's own window gives, 0 for none yet.
int64_t AnswerOf(int32_t code, const QuestionGadgets& g) {
    if (code == EventCloseWindow) return MessageAnswerClosed;
    if (code != EventGadget) return 0;
    if (tk_event_gadget() == g.ok) return MessageAnswerOk;
    if (tk_event_gadget() == g.cancel) return MessageAnswerCancel;
    return 0;
}

// Events that carry data released at the next wait cannot be kept.
bool CanHold(int32_t code) {
    return code != 0 && code != EventGadgetDrop && code != EventWindowDrop;
}

std::wstring WithSlash(std::wstring path) {
    if (path.empty() || path.back() != L'/') path += L'/';
    return path;
}

std::wstring Absolute(const std::wstring& typed, const std::wstring& sourceFolder) {
    if (typed == L"~" || typed.rfind(L"~/", 0) == 0) {
        const char* home = std::getenv("HOME");
        return (home ? rt_text_from_os(home) : std::wstring()) + typed.substr(1);
    }
    if (!typed.empty() && typed[0] == L'/') return typed;
    return sourceFolder + typed;
}

} // namespace

int64_t TargetQuestionDialog(const std::wstring& headline, const std::wstring& question,
                             std::wstring& target, int64_t owner) {
    const int64_t font = tk_font_load(-1, L"Verdana", 12, BoldStyle);
    const int64_t dialog =
        tk_window_open(-1, 0, 0, QuestionWidth, QuestionHeight, L"Achtung",
                       TkWindowDialog | TkWindowCentreOnParent, tk_window_handle(owner));
    if (!dialog) {
        tk_font_free(font);
        return MessageAnswerClosed;
    }
    const QuestionGadgets g = Build(headline, question, target, font);
    tk_window_fit(dialog);
    tk_window_set_default_button(dialog, g.ok);
    tk_window_set_cancel_button(dialog, g.cancel);
    tk_window_activate(dialog);
    tk_gadget_activate(g.field);
    tk_window_disable(owner, 1);
    if (TargetQuestionOpened) TargetQuestionOpened(dialog, g.ok);

    std::vector<HeldEvent> held;
    int64_t answer = 0;
    while (!answer) {
        const int32_t code = tk_event_wait();
        const int64_t window = tk_event_window();
        const bool quitting = tk_quit_requested() != 0;
        if (window == dialog && code) {
            if (!quitting) answer = AnswerOf(code, g);
        }
        // Running jobs go on showing their progress and ending meanwhile.
        else if (code && IsFileJobWindow(window))
            FileJobWindowEvents(code);
        // Kept for after the answer; so is the close request that ends the
        // program, which would be lost with the question.
        else if (CanHold(code))
            held.push_back({code, window, tk_event_gadget(), tk_event_type(), tk_event_data()});
        if (quitting) answer = MessageAnswerCancel;
    }
    target = tk_gadget_get_text(g.field);
    tk_window_disable(owner, 0);
    tk_window_close(dialog);
    tk_font_free(font);
    for (const HeldEvent& e : held) tk_event_post(e.code, e.window, e.object, e.type, e.data);
    return answer;
}

TypedTarget ResolveTypedTarget(const std::wstring& typed, const std::wstring& sourceFolder,
                               bool oneFile) {
    TypedTarget t;
    std::wstring path = Absolute(typed, sourceFolder);
    while (path.size() > 1 && path.back() == L'/') path.pop_back();
    if (typed.empty()) {
        t.error = L"Kein Ziel angegeben.";
        return t;
    }
    if (rt_path_kind(path) == PathFolder) {
        t.folder = WithSlash(path);
        return t;
    }
    const std::wstring parent = rt_path_folder(path);
    const std::wstring name = rt_path_name(path);
    const bool fresh = !rt_path_exists(path);
    if (oneFile && fresh && IsPlainName(name) && !parent.empty() &&
        rt_path_kind(parent) == PathFolder) {
        t.folder = WithSlash(parent);
        t.name = name;
        return t;
    }
    t.error =
        (fresh ? L"Das Zielverzeichnis existiert nicht:\n" : L"Das Ziel ist kein Verzeichnis:\n") +
        typed;
    return t;
}
