// The window "Tastenbelegung" (F1): every key of the program and what it
// does, in two columns of a list that scrolls when the screen is small, so
// no row is cut however many keys there are. One at a time: F1 while it is
// open brings it to the front. "OK", Return, Escape or the close box close
// it. Main thread only.
#pragma once

#include <cstdint>

void OpenKeyTableWindow();
// The events of the window (shell.cpp's table of window handlers).
int64_t KeyTableEvents(int64_t event);
// The list of the open window, 0 when closed (for tests).
int64_t KeyTableList();
