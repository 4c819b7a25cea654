// MessageDialog: the program's own modal question and error window.
// Main thread only; returns when the user has answered. Events for other
// windows that arrive while it is open are kept and delivered afterwards.
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
