// The program's spine: start-up, the one event loop with dispatch by window
// number, and shutdown in order. Main thread only.
#pragma once

#include <cstdint>

// Brings up toolkit and platform services, the item pictures and the main
// window (from "Settings.pref", or with defaults when it cannot be read).
// Returns 1 when the main window is open.
int64_t StartUp();
// Takes events until the main window's handler asks to quit.
void RunMainLoop();
// Saves the settings, stops the pane workers, tears the toolkit down.
void ShutDown();

// Handler of one window's events: the value tk_event_wait returned -> result.
using WindowHandler = int64_t (*)(int64_t value);
// The handler for a window number, null when the window has none.
WindowHandler HandlerOfWindow(int64_t window);
