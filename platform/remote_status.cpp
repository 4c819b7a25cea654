// Statuses of remote operations: their errno, their German reason, and the
// GIO errors they stand for. See remote.h.
#include <cerrno>
#include <iterator>

#include "platform/remote_internal.h"

namespace {

struct StatusRow {
    int status;
    int errno_value;
    const wchar_t* reason;
};

constexpr StatusRow kStatuses[] = {
    {PfRemoteOk, 0, L"Kein Fehler"},
    {PfRemoteFailed, EIO, L"Ein-/Ausgabefehler"},
    {PfRemoteCancelled, ECANCELED, L"Abgebrochen"},
    {PfRemoteNotAnswering, ETIMEDOUT, L"Der Server antwortet nicht"},
    {PfRemoteNotMounted, ENOTCONN, L"Nicht verbunden"},
    {PfRemoteNotFound, ENOENT, L"Datei oder Verzeichnis nicht gefunden"},
    {PfRemoteExists, EEXIST, L"Existiert bereits"},
    {PfRemoteDenied, EACCES, L"Zugriff verweigert"},
    {PfRemoteNoSpace, ENOSPC, L"Kein Speicherplatz"},
    {PfRemoteNotSupported, ENOTSUP, L"Vom Server nicht unterstützt"},
    {PfRemoteUnreachable, EHOSTUNREACH, L"Server nicht erreichbar"},
    {PfRemoteNotEmpty, ENOTEMPTY, L"Verzeichnis ist nicht leer"},
    {PfRemoteIsFolder, EISDIR, L"Ist ein Verzeichnis"},
    {PfRemoteNotFolder, ENOTDIR, L"Ist kein Verzeichnis"},
    {PfRemoteOtherServer, EXDEV, L"Liegt auf einem anderen Server"},
    {PfRemoteChanged, ESTALE, L"Auf dem Server inzwischen geändert"},
    {PfRemoteBadLocation, EINVAL, L"Keine gültige Adresse"},
};
static_assert(std::size(kStatuses) == PfRemoteStatusCount, "one row per status");

const StatusRow& RowOf(int status) {
    return status >= 0 && status < PfRemoteStatusCount ? kStatuses[status]
                                                       : kStatuses[PfRemoteFailed];
}

// GIO's errors (domain G_IO_ERROR) that have a status of their own.
struct IoErrorRow {
    int code;
    int status;
};

constexpr IoErrorRow kIoErrors[] = {
    {G_IO_ERROR_NOT_FOUND, PfRemoteNotFound},
    {G_IO_ERROR_EXISTS, PfRemoteExists},
    {G_IO_ERROR_IS_DIRECTORY, PfRemoteIsFolder},
    {G_IO_ERROR_NOT_DIRECTORY, PfRemoteNotFolder},
    {G_IO_ERROR_NOT_EMPTY, PfRemoteNotEmpty},
    {G_IO_ERROR_PERMISSION_DENIED, PfRemoteDenied},
    {G_IO_ERROR_READ_ONLY, PfRemoteDenied},
    {G_IO_ERROR_NO_SPACE, PfRemoteNoSpace},
    {G_IO_ERROR_NOT_SUPPORTED, PfRemoteNotSupported},
    {G_IO_ERROR_NOT_MOUNTED, PfRemoteNotMounted},
    {G_IO_ERROR_CANCELLED, PfRemoteCancelled},
    {G_IO_ERROR_FAILED_HANDLED, PfRemoteCancelled}, // the user declined a question
    {G_IO_ERROR_TIMED_OUT, PfRemoteNotAnswering},
    {G_IO_ERROR_HOST_NOT_FOUND, PfRemoteUnreachable},
    {G_IO_ERROR_HOST_UNREACHABLE, PfRemoteUnreachable},
    {G_IO_ERROR_NETWORK_UNREACHABLE, PfRemoteUnreachable},
    {G_IO_ERROR_CONNECTION_REFUSED, PfRemoteUnreachable},
    {G_IO_ERROR_NOT_CONNECTED, PfRemoteUnreachable},
    {G_IO_ERROR_WOULD_RECURSE, PfRemoteOtherServer},
    {G_IO_ERROR_WRONG_ETAG, PfRemoteChanged},
};

} // namespace

int pf_remote_status_errno(int status) {
    return RowOf(status).errno_value;
}

const wchar_t* pf_remote_status_reason(int status) {
    return RowOf(status).reason;
}

int RemoteStatusOfErrno(int error) {
    for (const StatusRow& row : kStatuses)
        if (row.status != PfRemoteOk && row.errno_value == error) return row.status;
    return PfRemoteFailed;
}

int RemoteStatusOf(const GError* error) {
    if (!error) return PfRemoteOk;
    if (error->domain == G_IO_ERROR) {
        for (const IoErrorRow& row : kIoErrors)
            if (row.code == error->code) return row.status;
    }
    // A backend whose own D-Bus call timed out did not hear from its server.
    if (error->domain == G_DBUS_ERROR &&
        (error->code == G_DBUS_ERROR_TIMEOUT || error->code == G_DBUS_ERROR_NO_REPLY ||
         error->code == G_DBUS_ERROR_TIMED_OUT))
        return PfRemoteNotAnswering;
    return PfRemoteFailed;
}
