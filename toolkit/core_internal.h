// What the core's own sources (events, windows, shortcuts, gadget table,
// drag and drop, mount watch, start-up) share beyond internal.h. Main thread
// only unless said otherwise.
#pragma once

#include "toolkit/events.h"
#include "toolkit/internal.h"

#include <QMimeData>
#include <QPointer>
#include <cstdint>
#include <string>
#include <vector>

// True on the thread that runs the windows; debug builds assert it where
// only that thread may go (toolkit.cpp).
bool tk_on_main_thread();

// ---- windows (windows.cpp) ----
struct TkShortcutEntry {
    int64_t shortcut; // key | modifier bits
    int64_t item;
};

struct TkWindow {
    int64_t number = -1;
    QWidget* widget = nullptr; // the top-level window; owned here
    QWidget* client = nullptr; // area below the menu bar, parent of the gadgets
    std::vector<TkShortcutEntry> shortcuts;
    TkWindowCallback callback = nullptr; // this window's own callback
    QPointer<QWidget> owner;             // window activated when this one closes
    bool minmax = false;                 // minimized or maximized
    bool open_complete = false;          // move, size and close report only once set
    int64_t placement = 0;               // TkWindowCentre / TkWindowCentreOnParent it opened with
    int64_t default_button = -1;         // gadget Return presses, -1 = none named
    int64_t cancel_button = -1;          // gadget Escape presses, -1 = found by its text
};

// The record of a window number, or null.
TkWindow* tk_window_record(int64_t window);
// Window numbers of every open window.
std::vector<int64_t> tk_window_numbers();
// Hands a message to the window's callback (or the global one). Returns
// TkContinue when the toolkit should go on with it.
intptr_t tk_window_call(TkWindow* w, int64_t message, intptr_t param1, intptr_t param2);
// Forgets the global window callback (tk_end).
void tk_windows_reset();

// ---- gadget table (gadget_table.cpp) ----
// Destroys one gadget: kind data, record and number; the widget is hidden
// and deleted once control returns to the event loop.
void tk_gadget_destroy(int64_t number);
// Destroys every gadget of a window (-1: of all windows).
void tk_gadgets_destroy_of_window(int64_t window);
// Pops the gadget list entries that lie inside a closing window.
void tk_gadget_list_forget(QWidget* window_widget);
// Makes a pushed container reopenable by tk_gadget_list_open.
bool tk_gadget_is_container(const QWidget* w);

// ---- events (events.cpp) ----
// Deactivates callback under every key of this code and object, whatever
// window and type it was bound with (gadget numbers are unique).
int64_t tk_event_unbind_object(int32_t code, TkCallback callback, int64_t object);
// Creates / destroys the hidden object tk_event_post delivers through.
void tk_poster_start();
void tk_poster_stop();
// Empties the queue and drops every binding (tk_end).
void tk_events_reset();
// The current event's code (0 after a wait without event).
int32_t tk_event_code();

// ---- keyboard (shortcuts.cpp, dialog_keys.cpp) ----
void tk_shortcuts_start(); // installs the application-wide key filter
void tk_shortcuts_stop();
// Return and Escape as dialog keys (windows.h): presses the button the key
// stands for in window w and returns true, or returns false to leave the
// key to the shortcut table. has_entry: the table holds this key.
bool tk_dialog_key(TkWindow* w, QWidget* focus, int64_t shortcut, bool has_entry);

// ---- the program's end (quit.cpp, close_signals.cpp) ----
// The window named by tk_window_close_on_signals, -1 if none.
int64_t tk_quit_window();
// The built-in Tab entries a new window starts with.
std::vector<TkShortcutEntry> tk_shortcuts_initial();

// ---- drag and drop (dragdrop.cpp) ----
// text/uri-list bytes for line-feed-separated paths, and back. Paths keep
// every byte of the file name (escaped bytes included).
QByteArray tk_uri_list_encode(const std::wstring& paths);
std::wstring tk_uri_list_decode(const QByteArray& uri_list);

// ---- mount watch (device_watch.cpp) ----
// Watches a mount table (normally /proc/self/mounts) for changes.
void tk_device_watch_start(const char* mount_table);
void tk_device_watch_stop();
// Re-reads the mount table and tells every window about each mount that
// appeared or vanished since the last reading.
void tk_device_watch_check();
