// Short German reasons for system errors, for every message that names a
// failure ("Kein Speicherplatz", "Zugriff verweigert", ...).
//
// One table maps errno values to the words the user reads after a file's
// name; an errno the table does not know gives "Systemfehler <n>", never an
// empty text. Pure, any thread.
#pragma once
#include <string>

// The reason for errno value error, in German.
std::wstring rt_error_text(int error);
