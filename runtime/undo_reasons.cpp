// Reason texts of the undo: see undo_reasons.h.
#include "runtime/undo_reasons.h"

#include <cerrno>
#include <iterator>

namespace {

const wchar_t* const kReasonTexts[] = {
    L"",                                       // RtReasonNone
    L"Datei nicht mehr vorhanden",             // RtReasonGone
    L"Datei wurde durch eine andere ersetzt",  // RtReasonReplaced
    L"Datei wurde verändert",                  // RtReasonResized
    L"Datei wurde verändert",                  // RtReasonRetimed
    L"Am alten Ort steht jetzt etwas anderes", // RtReasonPlaceTaken
    L"Ordner ist nicht leer",                  // RtReasonNotEmpty
    L"Liegt auf einem anderen Dateisystem",    // RtReasonOtherFs
    L"Kein Papierkorb auf diesem Dateisystem", // RtReasonNoTrash
    L"Nicht eindeutig zuzuordnen",             // RtReasonUnknown
    L"Systemfehler",                           // RtReasonSystem, for an errno not below
};
static_assert(std::size(kReasonTexts) == RtReasonCount);

struct ErrnoText {
    int error;
    const wchar_t* text;
};

const ErrnoText kErrnoTexts[] = {
    {EACCES, L"Zugriff verweigert"},
    {EPERM, L"Zugriff verweigert"},
    {ENOSPC, L"Kein Speicherplatz"},
    {EDQUOT, L"Kein Speicherplatz"},
    {EROFS, L"Schreibgeschütztes Dateisystem"},
    {EIO, L"Ein-/Ausgabefehler"},
    {EBUSY, L"Wird gerade benutzt"},
    {ENAMETOOLONG, L"Name zu lang"},
    {ENOTDIR, L"Ein Teil des Pfades ist kein Ordner"},
    {ELOOP, L"Zu viele symbolische Verknüpfungen"},
    {EINVAL, L"Ungültiger Vorgang"},
};

} // namespace

RtUndoResult rt_undo_failed(int err) {
    switch (err) {
    case EXDEV: return {RtReasonOtherFs, err};
    case EEXIST:
    case ENOTEMPTY: return {RtReasonPlaceTaken, err};
    case ENOENT: return {RtReasonGone, err};
    default: return {RtReasonSystem, err};
    }
}

std::wstring rt_undo_reason_text(const RtUndoResult& result) {
    if (result.reason < 0 || result.reason >= RtReasonCount) return kReasonTexts[RtReasonSystem];
    if (result.reason != RtReasonSystem) return kReasonTexts[result.reason];
    for (const ErrnoText& e : kErrnoTexts)
        if (e.error == result.error) return e.text;
    return std::wstring(kReasonTexts[RtReasonSystem]) + L" " + std::to_wstring(result.error);
}
