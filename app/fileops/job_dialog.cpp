// JobQuestionWindow: the modal window of a worker's question about one file,
// with four or five buttons. Like the program's message dialog it waits in
// a loop of its own and keeps the events of other windows for afterwards,
// so a job's progress and end are never lost while it is open. Return
// presses the button that has the keyboard (the first one at the start),
// Escape the last one ("Abbrechen" or "Abbruch"), as in every dialog. When
// the program is asked to end (SIGTERM, a logout) it answers "Abbrechen". When
// the program is asked to end (SIGTERM, a logout) it answers "Abbrechen".
#include "app/core/ids.h"
#include "app/fileops/fileops_texts.h"
#include "app/fileops/job_questions.h"
#include "toolkit/events.h"
#include "toolkit/gadgets.h"

#include <vector>

namespace {

struct Choice {
    const wchar_t* label;
    int answer;
};

const std::vector<Choice> FailureChoices = {
    {L"Wiederholen", JobAnswerRetry},
    {L"Überspringen", JobAnswerSkip},
    {L"Alle überspringen", JobAnswerSkipAll},
    {L"Abbrechen", JobAnswerStop},
};
const std::vector<Choice> OverwriteChoices = {
    {L"Überschreiben", JobAnswerOverwrite},
    {L"Alle überschreiben", JobAnswerOverwriteAll},
    {L"Überspringen", JobAnswerSkip},
    {L"Alle überspringen", JobAnswerSkipAll},
    {L"Abbruch", JobAnswerStop},
};

constexpr int64_t ButtonWidth = 120;
constexpr int64_t ButtonGap = 8;
constexpr int64_t TextHeight = 90;
constexpr int64_t BoldStyle = 256;

struct HeldEvent {
    int32_t code;
    int64_t window, object, type;
    intptr_t data;
};

bool CanHold(int32_t code) {
    return code != 0 && code != EventGadgetDrop && code != EventWindowDrop;
}

int64_t WidthFor(size_t buttons) {
    return static_cast<int64_t>(buttons) * (ButtonWidth + ButtonGap) + ButtonGap;
}

} // namespace

int JobQuestionWindow(int kind, const std::wstring& headline, const std::wstring& text) {
    // The program ends: the question counts as "Abbrechen", shown or not.
    if (tk_quit_requested()) return JobAnswerStop;
    const std::vector<Choice>& choices =
        kind == JobAskOverwrite ? OverwriteChoices : FailureChoices;
    const int64_t width = WidthFor(choices.size());
    const int64_t height = 40 + TextHeight + 40;
    const int64_t dialog =
        tk_window_open(-1, 0, 0, width, height, TextAttention,
                       TkWindowDialog | TkWindowCentreOnParent, tk_window_handle(WinMain));
    if (!dialog) return JobAnswerStop;
    const int64_t bold = tk_font_load(-1, L"Verdana", 11, BoldStyle);
    const int64_t title = tk_text_create(-1, 0, 8, width, 28, headline, TkTextCenter);
    tk_gadget_set_font(title, tk_font_handle(bold));
    tk_text_create(-1, 10, 40, width - 20, TextHeight, text, 0);
    std::vector<int64_t> buttons;
    for (size_t i = 0; i < choices.size(); ++i)
        buttons.push_back(
            tk_button_create(-1, ButtonGap + static_cast<int64_t>(i) * (ButtonWidth + ButtonGap),
                             height - 34, ButtonWidth, 26, choices[i].label));
    tk_window_activate(dialog);
    tk_gadget_activate(buttons.front());
    tk_window_disable(WinMain, 1);

    std::vector<HeldEvent> held;
    int answer = -1;
    while (answer < 0) {
        const int32_t code = tk_event_wait();
        if (tk_quit_requested()) answer = JobAnswerStop;
        if (tk_event_window() != dialog || !code) {
            if (CanHold(code))
                held.push_back(
                    {code, tk_event_window(), tk_event_gadget(), tk_event_type(), tk_event_data()});
            continue;
        }
        if (code == EventCloseWindow) answer = JobAnswerStop;
        for (size_t i = 0; code == EventGadget && i < buttons.size(); ++i)
            if (tk_event_gadget() == buttons[i]) answer = choices[i].answer;
    }
    tk_window_disable(WinMain, 0);
    tk_window_close(dialog);
    tk_font_free(bold);
    for (const HeldEvent& e : held) tk_event_post(e.code, e.window, e.object, e.type, e.data);
    return answer;
}
