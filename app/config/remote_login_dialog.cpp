// The remote login window and the remote question: see remote_login_dialog.h.
// The window runs its own wait loop, as MessageDialog does: events for
// other windows taken meanwhile are kept and posted again afterwards.
#include "app/config/remote_login_dialog.h"

#include "app/core/ids.h"
#include "app/core/message_dialog.h"
#include "app/core/remote_ask.h"
#include "toolkit/gadgets.h"

namespace {

constexpr const wchar_t* TextTitle = L"Anmelden";
constexpr const wchar_t* TextUser = L"Benutzer:";
constexpr const wchar_t* TextDomain = L"Domäne:";
constexpr const wchar_t* TextPassword = L"Passwort:";
constexpr const wchar_t* TextRemember = L"Passwort merken";
constexpr const wchar_t* TextAnonymous = L"Anonym anmelden";
constexpr const wchar_t* TextQuestionCaption = L"Achtung !";
constexpr const wchar_t* TextQuestionHeadline = L"Frage des Servers";

constexpr int64_t Width = 380;
constexpr int64_t RowHeight = 28;
constexpr int64_t LabelWidth = 90;
constexpr int64_t FieldWidth = Width - LabelWidth - 30;
constexpr int64_t ReturnItem = 0;
constexpr int64_t EscapeItem = 1;

struct HeldEvent {
    int32_t code;
    int64_t window, object, type;
    intptr_t data;
};

// The gadgets of one open login window; 0 for those the login does not ask.
struct LoginGadgets {
    int64_t user = 0, domain = 0, password = 0, remember = 0, anonymous = 0;
    int64_t ok = 0, cancel = 0;
};

int64_t AddField(int64_t& y, const wchar_t* label, const std::wstring& text, int64_t flags) {
    tk_text_create(-1, 10, y + 3, LabelWidth, 20, label);
    const int64_t g = tk_string_create(-1, 10 + LabelWidth, y, FieldWidth, 22, text, flags);
    y += RowHeight;
    return g;
}

LoginGadgets BuildLogin(const PfRemoteLogin& login) {
    LoginGadgets g;
    int64_t y = 10;
    tk_text_create(-1, 10, y, Width - 20, 40, login.message);
    y += 46;
    if (login.asks & PfAskUser) g.user = AddField(y, TextUser, login.user, 0);
    if (login.asks & PfAskDomain) g.domain = AddField(y, TextDomain, login.domain, 0);
    if (login.asks & PfAskPassword)
        g.password = AddField(y, TextPassword, login.password, TkStringPassword);
    if (login.asks & PfAskMaySave) {
        g.remember = tk_checkbox_create(-1, 10 + LabelWidth, y, FieldWidth, 20, TextRemember);
        tk_gadget_set_state(g.remember, login.remember != PfRememberNever ? 1 : 0);
        y += RowHeight;
    }
    if (login.asks & PfAskAnonymous) {
        g.anonymous = tk_checkbox_create(-1, 10 + LabelWidth, y, FieldWidth, 20, TextAnonymous);
        y += RowHeight;
    }
    g.ok = tk_button_create(-1, Width - 200, y + 6, 90, 26, L"OK");
    g.cancel = tk_button_create(-1, Width - 100, y + 6, 90, 26, L"Abbruch");
    return g;
}

int64_t LoginHeight(const PfRemoteLogin& login) {
    int64_t rows = 0;
    for (int bit : {PfAskUser, PfAskDomain, PfAskPassword, PfAskMaySave, PfAskAnonymous})
        if (login.asks & bit) ++rows;
    return 10 + 46 + rows * RowHeight + 46;
}

void TakeAnswer(const LoginGadgets& g, PfRemoteLogin* login) {
    if (g.user) login->user = tk_gadget_get_text(g.user);
    if (g.domain) login->domain = tk_gadget_get_text(g.domain);
    if (g.password) login->password = tk_gadget_get_text(g.password);
    if (g.remember)
        login->remember = tk_gadget_get_state(g.remember) ? PfRememberAlways : PfRememberNever;
    if (g.anonymous) login->anonymous = tk_gadget_get_state(g.anonymous) ? 1 : 0;
}

// 1 for "OK", -1 for giving up, 0 while the user has not answered.
int AnswerOf(int32_t code, int64_t window, const LoginGadgets& g) {
    if (code == EventCloseWindow) return -1;
    if (code == EventMenu && tk_event_menu() == EscapeItem) return -1;
    if (code == EventMenu && tk_event_menu() == ReturnItem) {
        tk_event_post(EventGadget, window, g.ok);
        return 0;
    }
    if (code != EventGadget) return 0;
    if (tk_event_gadget() == g.ok) return 1;
    if (tk_event_gadget() == g.cancel) return -1;
    return 0;
}

bool CanHold(int32_t code) {
    return code != 0 && code != EventGadgetDrop && code != EventWindowDrop;
}

} // namespace

int RemoteLoginWindow(PfRemoteLogin* login) {
    if (tk_quit_requested()) return 0;
    const int64_t owner = tk_window_exists(WinMain) ? int64_t(WinMain) : int64_t(-1);
    const int64_t window =
        tk_window_open(-1, 0, 0, Width, LoginHeight(*login), TextTitle,
                       TkWindowDialog | (owner == -1 ? TkWindowCentre : TkWindowCentreOnParent),
                       owner == -1 ? 0 : tk_window_handle(owner));
    if (!window) return 0;
    const LoginGadgets g = BuildLogin(*login);
    tk_window_activate(window);
    tk_gadget_activate(g.user ? g.user : g.password ? g.password : g.ok);
    tk_shortcut_add(window, KeyReturn, ReturnItem);
    tk_shortcut_add(window, KeyEscape, EscapeItem);
    if (owner != -1) tk_window_disable(owner, 1);
    std::vector<HeldEvent> held;
    int answer = 0;
    while (!answer) {
        const int32_t code = tk_event_wait();
        const bool quitting = tk_quit_requested() != 0;
        if (tk_event_window() == window && code) {
            if (!quitting) answer = AnswerOf(code, window, g);
        } else if (CanHold(code)) {
            // kept for afterwards, the close request that ends the program too
            held.push_back(
                {code, tk_event_window(), tk_event_gadget(), tk_event_type(), tk_event_data()});
        }
        if (quitting) answer = -1;
    }
    if (answer == 1) TakeAnswer(g, login);
    if (owner != -1) tk_window_disable(owner, 0);
    tk_window_close(window);
    for (const HeldEvent& e : held) tk_event_post(e.code, e.window, e.object, e.type, e.data);
    return answer == 1 ? 1 : 0;
}

int RemoteQuestionWindow(const std::wstring& message, const std::vector<std::wstring>& choices,
                         int* choice) {
    if (choices.empty()) return 0;
    if (Messages.Dialog(MessageKindQuestion, TextQuestionCaption, TextQuestionHeadline, message,
                        MessageTwoButtons, WinMain) != MessageAnswerOk)
        return 0;
    *choice = 0;
    return 1;
}

void InstallRemoteLoginDialogs() {
    RemoteLoginDialog = RemoteLoginWindow;
    RemoteQuestionDialog = RemoteQuestionWindow;
    InstallRemoteAsk();
}
