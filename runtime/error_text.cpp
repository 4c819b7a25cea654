// The errno table behind rt_error_text: see error_text.h.
#include "runtime/error_text.h"

#include <cerrno>

namespace {

struct Reason {
    int error;
    const wchar_t* text;
};

// Worded as the user meets them in a file manager, not as the C library's
// own texts: a full disk, a locked folder, a vanished stick.
constexpr Reason kReasons[] = {
    {ENOSPC, L"Kein Speicherplatz"},
    {EDQUOT, L"Speicherkontingent erschöpft"},
    {EACCES, L"Zugriff verweigert"},
    {EPERM, L"Vorgang nicht erlaubt"},
    {ENOENT, L"Datei oder Verzeichnis nicht gefunden"},
    {EROFS, L"Schreibgeschützt"},
    {EIO, L"Ein-/Ausgabefehler"},
    {ENAMETOOLONG, L"Name zu lang"},
    {EEXIST, L"Existiert bereits"},
    {EISDIR, L"Ist ein Verzeichnis"},
    {ENOTDIR, L"Ist kein Verzeichnis"},
    {ENOTEMPTY, L"Verzeichnis ist nicht leer"},
    {EXDEV, L"Liegt auf einem anderen Dateisystem"},
    {EBUSY, L"Wird gerade benutzt"},
    {ETXTBSY, L"Programm läuft gerade"},
    {EFBIG, L"Datei zu groß für das Dateisystem"},
    {EMFILE, L"Zu viele offene Dateien"},
    {ENFILE, L"Zu viele offene Dateien"},
    {EMLINK, L"Zu viele Verknüpfungen"},
    {ELOOP, L"Zu viele symbolische Verknüpfungen"},
    {ENOMEM, L"Nicht genügend Arbeitsspeicher"},
    {EINVAL, L"Ungültiger Aufruf"},
    {EOPNOTSUPP, L"Vom Dateisystem nicht unterstützt"},
    {ENOSYS, L"Vom System nicht unterstützt"},
    {ECANCELED, L"Abgebrochen"},
    {ETIMEDOUT, L"Zeitüberschreitung"},
    {ENOTCONN, L"Keine Verbindung"},
    {EHOSTDOWN, L"Rechner nicht erreichbar"},
    {EHOSTUNREACH, L"Rechner nicht erreichbar"},
    {ESTALE, L"Datei auf dem Server nicht mehr gültig"},
    {ENXIO, L"Gerät nicht vorhanden"},
    {ENODEV, L"Gerät nicht vorhanden"},
    {EAGAIN, L"Vorübergehend nicht verfügbar"},
    {EINTR, L"Unterbrochen"},
    {EBADF, L"Ungültiger Dateizugriff"},
};

} // namespace

std::wstring rt_error_text(int error) {
    for (const Reason& r : kReasons)
        if (r.error == error) return r.text;
    return L"Systemfehler " + std::to_wstring(error);
}
