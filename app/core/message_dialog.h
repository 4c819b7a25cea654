// The message windows the application shows: MessageDialog, the program's
// own modal question and error window, and the seam every part of the
// program shows its messages through.
//
// MessageDialog runs on the main thread and returns when the user has
// answered. Events for other windows that arrive while it is open are kept
// and delivered afterwards.
//
// The seam (Messages) is one table of the two message windows, as the
// runtime's system calls go through rt_sys: the panes, the file operations,
// the configuration and the shell all call through it, and a test swaps an
// entry for a recorder that answers on cue, so nothing modal blocks.
// MessagesRestore puts the real table back. Main thread only.
#pragma once

#include <cstdint>
#include <string>

enum : int64_t {
    MessageKindError = 1,    // error icon, usually with one button
    MessageKindQuestion = 2, // question icon
    MessageOneButton = 0,    // "Beenden"
    MessageTwoButtons = 4,   // "OK" and "Abbruch"
    MessageAnswerOk = 6,
    MessageAnswerCancel = 7, // "Abbruch" or "Beenden"
    MessageAnswerClosed = 2, // close box
};

// kind: MessageKindQuestion or error; buttons: MessageTwoButtons or one;
// owner: window number disabled while open, -1 for none.
int64_t MessageDialog(int64_t kind, const std::wstring& caption, const std::wstring& headline,
                      const std::wstring& text, int64_t buttons, int64_t owner);

struct MessageSeam {
    // MessageDialog: kind, caption, headline, text, buttons, owner -> answer.
    int64_t (*Dialog)(int64_t kind, const std::wstring& caption, const std::wstring& headline,
                      const std::wstring& text, int64_t buttons, int64_t owner);
    // The toolkit's plain message box (tk_message_box): caption, text, its
    // TkMessage… flags -> answer.
    int64_t (*Box)(const std::wstring& caption, const std::wstring& text, int64_t flags);
};

extern MessageSeam Messages;
// The table of the real windows.
MessageSeam RealMessages();
// Puts the real table back when it goes out of scope.
struct MessagesRestore {
    ~MessagesRestore() { Messages = RealMessages(); }
};
