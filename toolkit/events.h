// The toolkit's event model: start and stop, the event queue, bound
// callbacks, cross-thread posting, keyboard shortcuts, window callbacks and
// drag and drop.
//
// User input reaches the application only as events: integer codes taken one
// at a time from the main thread's queue by tk_event_wait, each with a window
// number, an object number (gadget, menu item), a type and a data value read
// through the tk_event_* accessors until the next wait.
//
// - Coalescing: an event with a code below 65536 that repeats the last queued
//   one (same code, window, object, type and data) is not queued twice.
// - Program changes (setting texts, states, items) report nothing; only user
//   actions and posted events do.
// - Bound callbacks run at once, inside the user action that caused the event
//   (during a live resize, for instance), and the event is still queued.
//   Within one key the callback bound last runs first.
// - Threads: everything here is main-thread only, except tk_event_post, which
//   any thread may call; it never blocks and the event arrives later, in the
//   order each thread posted.
// - Data of an event with a release routine (drops) lives until the next
//   event is taken.
#pragma once

#include <cstdint>
#include <string>

// ---- event codes ----
constexpr int32_t EventGadget = 13100;
constexpr int32_t EventMenu = 13101;
constexpr int32_t EventSysTray = 13102;
constexpr int32_t EventActivateWindow = 13104;
constexpr int32_t EventWindowDrop = 13105;
constexpr int32_t EventGadgetDrop = 13106;
constexpr int32_t EventMinimizeWindow = 13107;
constexpr int32_t EventMaximizeWindow = 13108;
constexpr int32_t EventRestoreWindow = 13109;
constexpr int32_t EventTimer = 13110;
constexpr int32_t EventRightClick = 13111;
constexpr int32_t EventLeftClick = 13112;
constexpr int32_t EventLeftDoubleClick = 13113;
constexpr int32_t EventDeactivateWindow = 13114;
constexpr int32_t EventRepaint = 13115;
constexpr int32_t EventCloseWindow = 13116;
constexpr int32_t EventMoveWindow = 13117;
constexpr int32_t EventSizeWindow = 13118;
// Codes from here on are never coalesced (the application's own codes).
constexpr int32_t EventFirstUncoalesced = 65536;

// ---- types of EventGadget ----
constexpr int64_t EventTypeLeftClick = 0;
constexpr int64_t EventTypeRightClick = 1;
constexpr int64_t EventTypeLeftDoubleClick = 2;
constexpr int64_t EventTypeRightDoubleClick = 3;
constexpr int64_t EventTypeChange = 768;
constexpr int64_t EventTypeFocus = 14000;
constexpr int64_t EventTypeLostFocus = 14001;
constexpr int64_t EventTypeDragStart = 14002;
constexpr int64_t EventTypeMouseMove = 65539; // canvas
constexpr int64_t EventTypeLeftButtonDown = 65540;
constexpr int64_t EventTypeLeftButtonUp = 65541;
// Application-defined types start here.
constexpr int64_t EventTypeFirstApplication = 262144;

// ---- callbacks ----
using TkCallback = void (*)();
// (window handle, message, param1, param2) -> TkContinue to let the toolkit
// handle the message, anything else to stop it there.
using TkWindowCallback = intptr_t (*)(intptr_t window_handle, int64_t message, intptr_t param1,
                                      intptr_t param2);
constexpr intptr_t TkContinue = -522133279;

// Messages handed to window callbacks before the toolkit acts on them.
constexpr int64_t TkMessageMove = 3;           // window moved
constexpr int64_t TkMessageSize = 5;           // window resized
constexpr int64_t TkMessageActivate = 6;       // param1: 1 activated, 0 deactivated
constexpr int64_t TkMessageClose = 16;         // close requested by the user
constexpr int64_t TkMessageNotify = 78;        // kept for gadget kinds that pass it on
constexpr int64_t TkMessageDeviceChange = 537; // a volume appeared or vanished
constexpr int64_t TkMessageScroll = 0x1014;    // kept for gadget kinds that pass it on
// param1 of TkMessageDeviceChange
constexpr intptr_t TkDeviceArrival = 0x8000;
constexpr intptr_t TkDeviceRemoveComplete = 0x8004;
// param2 of TkMessageDeviceChange points at this header (valid during the call).
struct TkDeviceBroadcast {
    uint32_t size;        // sizeof(TkDeviceBroadcast)
    uint32_t device_type; // TkDeviceTypeVolume
    uint32_t reserved;    // 0
};
constexpr uint32_t TkDeviceTypeVolume = 2;

// ---- start and stop ----
// Creates the application object (once; later calls only return 1), sets the
// German locale for type names, the icon theme fallback, the poster for
// tk_event_post, the keyboard filter and the mount watcher. Returns 1.
int64_t tk_init();
// Closes every window and frees every object the toolkit still holds. The
// application object stays, so tk_init may be called again.
void tk_end();

// ---- ending the program at once ----
// Asks every modal loop to end at once, whatever dialog is open: the
// toolkit's requesters that are open close and answer as cancelled
// (tk_message_box with its close answer, the file requester with the empty
// text, the font requester with 0), requesters asked for afterwards answer
// so without showing, popup menus close, a drag out of the program is
// cancelled, and tk_quit_requested turns 1. A loop of the application that
// waits with tk_event_wait for an answer checks tk_quit_requested after
// every wait and then answers as its cancel button would. SIGTERM, SIGHUP
// and a close request of the window named with tk_window_close_on_signals
// call it (windows.h). on = 0 withdraws the request; tk_end does, too.
void tk_quit_request(int64_t on = 1);
// 1 once the program is to end at once, else 0.
int64_t tk_quit_requested();

// ---- taking events ----
// The next event's code. With the queue empty, processes one round of the
// window system (blocking until something arrives) and returns the first
// event it produced, or 0 when it produced none; after 0 the current window,
// object and data stay those of the previous event and the type is -1.
int32_t tk_event_wait();
// The same, waiting at most milliseconds (0 = only what is pending); 0 when
// nothing came.
int32_t tk_event_wait_timeout(int64_t milliseconds);
int64_t tk_event_window(); // window number of the current event
int64_t tk_event_gadget(); // object: gadget number, menu item id, window number
int64_t tk_event_menu();   // the same field as tk_event_gadget
int64_t tk_event_type();   // type, -1 after a wait that returned no event
intptr_t tk_event_data();  // data value, 0 if none

// ---- posting and binding ----
// Queues an event for the main thread from any thread; it is delivered like
// a user event but is never dropped by suspension. Returns 1, 0 when the
// toolkit is not started or memory ran out (the event is then lost).
int64_t tk_event_post(int32_t code, int64_t window = 0, int64_t object = 0, int64_t type = 0,
                      intptr_t data = 0);
// Runs callback whenever a matching event is generated (-1 matches any
// window, object, type). Binding a callback again under the same key moves
// it to the front instead of running it twice. Returns 1.
int64_t tk_event_bind(int32_t code, TkCallback callback, int64_t window = -1, int64_t object = -1,
                      int64_t type = -1);
// Deactivates the binding of exactly this key; 1 if it was found.
int64_t tk_event_unbind(int32_t code, TkCallback callback, int64_t window = -1, int64_t object = -1,
                        int64_t type = -1);

// ---- window callbacks ----
// Installs the callback of one window, or (window -1) the one for every
// window that has none of its own. nullptr removes it.
void tk_window_set_callback(TkWindowCallback callback, int64_t window = -1);

// ---- keyboard shortcuts ----
// A shortcut is a virtual-key code (Return 13, Escape 27, Space 32, Delete
// 46, F1 112 ... F12 123, '0'-'9', 'A'-'Z' as their capitals) ORed with the
// modifier bits below. A shortcut of the active window reaches it as
// EventMenu with the item id before the focused gadget sees the key, except
// that a focused text field keeps the plain keys that type or edit text
// (printable keys, Space, Delete, Backspace; Return only in multi-line
// fields) and its undo and redo (Ctrl+Z, Ctrl+Shift+Z, Ctrl+Y). Every
// window starts with Tab and Shift+Tab (items 64001, 64002), which move the
// focus to the next or previous gadget and report nothing.
constexpr int64_t TkShortcutShift = 1 << 16;
constexpr int64_t TkShortcutControl = 1 << 17;
constexpr int64_t TkShortcutAlt = 1 << 18;
constexpr int64_t TkShortcutFocusNext = 64001;
constexpr int64_t TkShortcutFocusPrevious = 64002;
// Adds a shortcut, or gives a present one the new item id.
void tk_shortcut_add(int64_t window, int64_t shortcut, int64_t item);
// Removes one shortcut; -1 removes all, Tab and Shift+Tab included.
void tk_shortcut_remove(int64_t window, int64_t shortcut);
// Moves the focus of the window to its next (forward = 1) or previous gadget,
// as the built-in Tab entries do. 0 for no such window.
int64_t tk_focus_move(int64_t window, int64_t forward);

// ---- drag and drop ----
constexpr int64_t TkDropText = 1;
constexpr int64_t TkDropImage = 8;
constexpr int64_t TkDropFiles = 15;
constexpr int64_t TkDropPrivate = 512;
constexpr int64_t TkDropCopy = 1;
constexpr int64_t TkDropMove = 2;
// Lets a gadget accept drops of a format (TkDropFiles, TkDropText) with the
// allowed actions (bits TkDropCopy, TkDropMove); a drop then arrives as
// EventGadgetDrop. Returns 1, 0 for an absent gadget.
int64_t tk_gadget_enable_drop(int64_t gadget, int64_t format, int64_t actions);
// Format, action and files of the current drop event (0, 0, empty text for
// any other event). Files are full paths separated by line feeds, without a
// trailing one.
int64_t tk_drop_type();
int64_t tk_drop_action();
std::wstring tk_drop_files();
// Drags line-feed-separated full paths out of the program, allowing the
// actions given; returns the action the target performed, 0 if nothing was
// dropped or the list is empty. Blocks (processing events) until the drag
// ends.
int64_t tk_drag_files(const std::wstring& paths, int64_t actions);
