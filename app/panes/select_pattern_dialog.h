// The dialog "Auswahl erweitern" / "Auswahl verkleinern" (window 60): a
// pattern line, whether folders count, "Ok" and "Abbrechen". "Ok" selects
// or deselects the matching rows of the pane that was active when it
// opened; the pattern is offered again next time, the folder choice is the
// setting PatternFolders. The main window is disabled while it is open.
// Main thread only.
#pragma once

#include <cstdint>

// Opens the dialog: select 1 "Auswahl erweitern", 0 "Auswahl verkleinern".
void OpenSelectPatternDialog(int64_t list, bool select);
// Handler of window 60; always 0.
int64_t SelectPatternEvents(int64_t event);
