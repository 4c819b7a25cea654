// Why a typed name or the creation or rename under it was refused, in the
// words the user reads in the message dialog (F2, F7).
#include "app/fileops/fileops_internal.h"
#include "runtime/error_text.h"

#include <cerrno>

std::wstring NameRefusal(const std::wstring& name) {
    if (name.empty()) return L"Es wurde kein Name eingegeben.";
    if (name == L"." || name == L"..")
        return L"„" + name + L"“ ist kein erlaubter Name, er steht für einen Ordner selbst.";
    if (name.find(L'/') != std::wstring::npos)
        return L"Ein Name darf kein „/“ enthalten: „" + name +
               L"“ würde in einen anderen Ordner "
               L"führen.";
    return {};
}

std::wstring FailureReason(int error) {
    switch (error) {
    case EEXIST:
    case ENOTEMPTY: return L"Es gibt in diesem Ordner bereits einen Eintrag mit diesem Namen.";
    case EACCES:
    case EPERM: return L"Keine Schreibrechte für den Ordner.";
    case EROFS: return L"Der Ordner liegt auf einem schreibgeschützten Datenträger.";
    case ENAMETOOLONG: return L"Der Name ist zu lang.";
    default: return rt_error_text(error);
    }
}
