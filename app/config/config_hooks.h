// The configuration dialogs' requesters. Both go through these pointers,
// which start as the toolkit's file and font requesters; tests point them at
// fakes so that no modal window blocks. Main thread only.
#pragma once

#include <cstdint>
#include <string>

using ConfigFileRequesterFn = std::wstring (*)(const std::wstring& title,
                                               const std::wstring& default_file,
                                               const std::wstring& pattern, int64_t index);

// A font the font requester confirmed.
struct ChosenFont {
    std::wstring Name;
    int64_t Size = 0;  // points
    int64_t Style = 0; // TkFontBold | TkFontItalic | TkFontUnderline | TkFontStrikeOut
    int64_t Color = 0; // 0xBBGGRR
};
// Runs the font requester from the values given; 1 and chosen filled when a
// font was confirmed, 0 when cancelled.
using ConfigFontRequesterFn = int64_t (*)(const std::wstring& name, int64_t size, int64_t flags,
                                          int64_t color, int64_t style, ChosenFont& chosen);

extern ConfigFileRequesterFn ConfigFileRequester; // tk_open_file_requester
extern ConfigFontRequesterFn ConfigFontRequester; // tk_font_requester

// The editor's file name for the requesters' default name ("gedit").
std::wstring EditorFileName();
