// The question of F5 and F6 (and of drops and "Einfügen"): the headline,
// the question and the target folder in a field the user may change before
// answering. What was typed is read as described at ResolveTypedTarget.
//
// AskTarget is a seam like Messages (app/core/message_dialog.h): tests put
// a recorder in its place that answers on cue. Main thread.
#pragma once

#include <cstdint>
#include <string>

// headline, question text, the target (changed in place to what the user
// typed), owner window -> MessageAnswerOk, or another answer for no.
using TargetQuestionFn = int64_t (*)(const std::wstring& headline, const std::wstring& question,
                                     std::wstring& target, int64_t owner);
extern TargetQuestionFn AskTarget;
// The real window: modal, OK and "Abbruch", Return answers OK, Escape and
// the close box "Abbruch". The progress windows of running jobs go on
// meanwhile.
int64_t TargetQuestionDialog(const std::wstring& headline, const std::wstring& question,
                             std::wstring& target, int64_t owner);
// Test seam: told the window and its OK button once the real window is up.
// Null normally.
extern void (*TargetQuestionOpened)(int64_t window, int64_t ok);

// Where a typed target leads. typed is absolute, or relative to the source
// folder; "~" is the home folder.
struct TypedTarget {
    std::wstring folder; // the target folder, ending in "/"; empty: refused
    std::wstring name;   // a new name for the one file, else empty
    std::wstring error;  // why it is refused (German), with the typed text
};
// An existing folder is the target folder. With one file selected, a path
// whose folder exists and whose last part does not is that folder and the
// file's new name. Anything else is refused. Looks at the file system: not
// on the main thread.
TypedTarget ResolveTypedTarget(const std::wstring& typed, const std::wstring& sourceFolder,
                               bool oneFile);
