// Standard requesters: the message box, the open-file requester and the font
// requester. Each is modal to the program's windows (they take no input
// while it is open, but still hear a close request) and returns when the
// user has answered; meanwhile events keep arriving in the queue and are
// delivered by the next tk_event_wait. tk_quit_request (events.h) closes an
// open requester with its cancel answer, and one asked for afterwards
// answers so at once. Return presses the focused button, Escape the cancel
// button. Main thread only.
#pragma once

#include <cstdint>
#include <string>

// ---- message box ----
// flags: one button set plus one icon. The answer is the code of the button
// pressed; closing the box answers as its cancel button would (TkAnswerCancel,
// or TkAnswerOk for a box with only "OK", TkAnswerNo for yes/no).
enum : int64_t {
    TkMessageOk = 0,
    TkMessageOkCancel = 1,
    TkMessageAbortRetryIgnore = 2,
    TkMessageYesNoCancel = 3,
    TkMessageYesNo = 4,
    TkMessageRetryCancel = 5,
    TkMessageIconError = 0x10,
    TkMessageIconQuestion = 0x20,
    TkMessageIconWarning = 0x30,
    TkMessageIconInformation = 0x40,

    TkAnswerOk = 1,
    TkAnswerCancel = 2,
    TkAnswerAbort = 3,
    TkAnswerRetry = 4,
    TkAnswerIgnore = 5,
    TkAnswerYes = 6,
    TkAnswerNo = 7,
};
int64_t tk_message_box(const std::wstring& caption, const std::wstring& text, int64_t flags = 0);

// ---- open-file requester ----
// pattern: pairs of description and patterns separated by "|", e.g.
// "Text | *.txt | Alle | *.*" (several patterns of one pair separated by
// ";"); "*.*" and "*.exe" offer every file. index selects the pair shown
// first. default_file: a name, or a path whose folder the requester opens.
// Returns the chosen path, empty when cancelled. The current folder of the
// process is left alone.
std::wstring tk_open_file_requester(const std::wstring& title, const std::wstring& default_file,
                                    const std::wstring& pattern, int64_t index = 0,
                                    int64_t flags = 0);

// ---- font requester ----
enum : int64_t {
    TkFontRequesterEffects = 256, // also offer colour, underline and strike-out
};
// Offers face, size, bold, italic (and with TkFontRequesterEffects colour,
// underline and strike-out), starting from the values given (style bits as
// tk_font_load, colour 0xBBGGRR). Returns nonzero when a font was chosen;
// the choice is then read with the tk_selected_font_* calls, which keep it
// until the next confirmed requester.
int64_t tk_font_requester(const std::wstring& name, int64_t size, int64_t flags = 0,
                          int64_t color = 0, int64_t style = 0);
std::wstring tk_selected_font_name();
int64_t tk_selected_font_size();  // points
int64_t tk_selected_font_style(); // TkFontBold | TkFontItalic | TkFontUnderline | TkFontStrikeOut
int64_t tk_selected_font_color(); // 0xBBGGRR
