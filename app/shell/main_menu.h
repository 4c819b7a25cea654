// Menus, toolbar and keyboard shortcuts of the main window, and the pane
// background popup. Main thread only.
#pragma once

#include <cstdint>

// Menu bar, toolbar strip and the shortcuts of window 0.
void BuildMainMenu();
// Popup menu 27, shown on a right click into a pane without selection;
// paste: with "Einfügen" first, while the clipboard holds files.
void BuildPaneBackgroundMenu(bool paste = false);
