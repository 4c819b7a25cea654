// Why an entry was not undone, as a code and as the German reason the
// application puts after "Nicht rückgängig gemacht: <name>".
//
// The identity check (identity.h), the undo steps of the runtime
// (undo_items.h) and those of the trash (platform/trash_undo.h) all answer
// with one RtUndoResult, so the application lists every refusal the same
// way. A system error keeps its errno, which picks the text for the common
// ones. Pure data and one lookup; any thread.
#pragma once
#include <string>

// Reasons, one per line; RtReasonNone is success.
enum : int {
    RtReasonNone = 0,   // done; nothing to report
    RtReasonGone,       // nothing is where the entry should be
    RtReasonReplaced,   // another entry stands where the entry was left
    RtReasonResized,    // the entry is there but its size changed
    RtReasonRetimed,    // the entry is there but its modification time changed
    RtReasonPlaceTaken, // something stands where the entry is to go back to
    RtReasonNotEmpty,   // a folder to be removed holds something
    RtReasonOtherFs,    // the way back crosses file systems (needs a copy)
    RtReasonNoTrash,    // the entry's file system has no usable trash
    RtReasonUnknown,    // nothing recorded tells whether the entry is ours
    RtReasonSystem,     // a system call failed; error says which errno
    RtReasonCount
};

struct RtUndoResult {
    int reason = RtReasonNone; // RtReason…
    int error = 0;             // errno with RtReasonSystem (and where the OS said so), else 0
};

inline bool rt_undo_ok(const RtUndoResult& r) {
    return r.reason == RtReasonNone;
}

// A result for errno err: EXDEV becomes RtReasonOtherFs, EEXIST and
// ENOTEMPTY RtReasonPlaceTaken, ENOENT RtReasonGone, the rest RtReasonSystem.
RtUndoResult rt_undo_failed(int err);

// The German reason, e.g. "Datei wurde verändert" or, for a system error,
// "Zugriff verweigert"; empty for RtReasonNone.
std::wstring rt_undo_reason_text(const RtUndoResult& result);
