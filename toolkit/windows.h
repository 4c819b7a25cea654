// Numbered top-level windows and the gadget list.
//
// A window is named by the application's number (-1 asks for a fresh one).
// Its inner area is its client area plus the menu bar, if it has one:
// gadgets are placed relative to the client area below the menu bar, while
// tk_window_height includes the bar, so it stays the height given at opening.
// The handle of a window is the toolkit's window widget.
//
// Opening a window makes it the current gadget list: gadgets created next go
// into it until a container is opened or tk_gadget_list_close is called.
// Closing a window frees its gadgets and its number; windows it owns close
// with it. Events of a window: EventMoveWindow, EventSizeWindow (at most one
// queued per window, plus one after a maximize), EventMinimizeWindow,
// EventMaximizeWindow, EventRestoreWindow, EventActivateWindow,
// EventDeactivateWindow, EventCloseWindow (the window stays open: the
// application decides), EventLeftClick / EventRightClick /
// EventLeftDoubleClick on its free area, EventRepaint. Move, size and close
// report nothing until the window has finished opening.
// Main thread only.
#pragma once

#include <cstdint>
#include <string>

// ---- flags of tk_window_open (a window's styles, one bit each) ----
constexpr int64_t TkWindowCentre = 0x1;               // centred on the screen
constexpr int64_t TkWindowCentreOnParent = 0x2;       // centred on its owner
constexpr int64_t TkWindowMaximizeBox = 0x10000;      // maximize button
constexpr int64_t TkWindowMinimizeBox = 0x20000;      // minimize button
constexpr int64_t TkWindowSizable = 0x40000;          // the user can resize it
constexpr int64_t TkWindowSystemMenu = 0x80000;       // close button and window menu
constexpr int64_t TkWindowTitleBar = 0xC00000;        // title bar
constexpr int64_t TkWindowMaximized = 0x1000000;      // opens maximized
constexpr int64_t TkWindowMinimized = 0x20000000;     // opens minimized
constexpr int64_t TkWindowPopup = 0x80000000LL;       // no frame, no title (with no title bar)
constexpr int64_t TkWindowNormal = 0xCF0000;          // title, menu, border, both boxes
constexpr int64_t TkWindowDialog = 0xC80000;          // title and menu, fixed size
constexpr int64_t TkWindowHidden = 0x100000000LL;     // built, shown by tk_window_show
constexpr int64_t TkWindowKeepPosition = -65535;      // x / y: let the system place it
constexpr int64_t TkWindowKeep = -65535;              // tk_window_set_bounds: keep a value
constexpr int64_t TkWindowStateNormal = 0;            // tk_window_set_state
constexpr int64_t TkWindowStateMaximized = 0x1000000; // tk_window_set_state

// A bit of tk_window_get_state besides TkWindowStateMaximized.
constexpr int64_t TkWindowStateMinimized = 0x20000000;

// Opens a window with the inner size width x height at the outer position
// x, y (TkWindowKeepPosition lets the system place it), owned by the window
// whose handle is parent (0 = none). Without any style bit it gets a title
// bar. Returns the new number for -1, else the handle; 0 on failure (the
// number then stays as it was). A window already under the number is closed
// first.
int64_t tk_window_open(int64_t number, int64_t x, int64_t y, int64_t width, int64_t height,
                       const std::wstring& title, int64_t flags, intptr_t parent = 0);
// Closes a window (-1: every window) with its gadgets; an owner is activated
// first. Returns 1, 0 for an absent number.
int64_t tk_window_close(int64_t number);
int64_t tk_window_exists(int64_t number);
// Shows a window opened with TkWindowHidden, after delay_ms (0: now) unless
// it is closed before. A window that is only needed for long work (a
// progress window) so never flashes up for work that ends at once; shown
// later, it leaves the keyboard where it is. Returns 1, 0 for an absent
// number.
int64_t tk_window_show(int64_t number, int64_t delay_ms);
// 1 while the window is on the screen.
int64_t tk_window_visible(int64_t number);
intptr_t tk_window_handle(int64_t number);
int64_t tk_window_activate(int64_t number);
// flag 1 disables input to the window, 0 enables it.
int64_t tk_window_disable(int64_t number, int64_t flag);
int64_t tk_window_x(int64_t number); // outer position on the screen
int64_t tk_window_y(int64_t number);
int64_t tk_window_width(int64_t number);  // inner width
int64_t tk_window_height(int64_t number); // inner height including the menu bar
// Size limits of the inner size: TkWindowKeep keeps a value, -1 (or 0)
// removes a limit, maxima are capped at 32000. The window is resized into
// the limits unless it is minimized or maximized.
int64_t tk_window_set_bounds(int64_t number, int64_t min_width, int64_t min_height,
                             int64_t max_width, int64_t max_height);
// New inner size of a window; one of fixed size keeps the new size fixed,
// and one opened centred (on the screen or its owner) is centred again: a
// dialog that grows to fit its texts. Returns 1, 0 for an absent number.
int64_t tk_window_resize(int64_t number, int64_t width, int64_t height);
// Grows a window built at fixed coordinates, and every gadget in it, by
// the least factor that lets each label, button, check box, choice box and
// frame show its text whole in its font (a desktop with a larger font); the
// layout keeps its proportions. A window whose texts fit stays as it is.
// Call it once the window's gadgets are made. Returns the factor in
// percent (100: unchanged), 0 for an absent window.
int64_t tk_window_fit(int64_t number);
// TkWindowStateNormal or TkWindowStateMaximized.
int64_t tk_window_set_state(int64_t number, int64_t state);
// TkWindowStateNormal, or the bits TkWindowStateMaximized and
// TkWindowStateMinimized (a maximized window minimized has both); 0 for an
// absent number.
int64_t tk_window_get_state(int64_t number);
int64_t tk_window_set_title(int64_t number, const std::wstring& title);
// Names the window whose end ends the program (the main window). From now
// on SIGTERM and SIGHUP (a logout, a plain "kill") arrive as EventCloseWindow
// of the window, taken from the queue like any other event; these signals
// and a close request of the window (its close box, the window manager's
// close at a logout) also call tk_quit_request, so that whatever dialog is
// open ends at once (events.h). -1 gives the two signals their default
// action back and names no window. Returns 1.
int64_t tk_window_close_on_signals(int64_t number);

// ---- dialog keys ----
// In every window Return presses the button that has the keyboard focus;
// with the focus elsewhere it presses the window's default button, and
// without one it goes to the window's Return shortcut, if any. Escape (when
// the window has no Escape shortcut of its own) presses the window's cancel
// button: the one named here, else its button "Abbruch" or "Abbrechen",
// else its only button when it has just one (a box with one button closes).
// Disabled and hidden buttons are never pressed. A pressed button reports
// as a click (EventGadget, type 0). gadget -1 names none; the default button
// is drawn as such. Returns 1, 0 for an absent window or a gadget that is no
// button of that window.
int64_t tk_window_set_default_button(int64_t number, int64_t gadget);
int64_t tk_window_set_cancel_button(int64_t number, int64_t gadget);

// ---- the gadget list ----
// Returns to the parent that was current before the last window or
// container was opened.
void tk_gadget_list_close();
// Makes a container gadget the current gadget list again; nonzero if the
// gadget is a container.
int64_t tk_gadget_list_open(int64_t container);
