// Toolkit internals shared by the toolkit's own sources; never included by
// the application. It fixes how the pieces meet:
//
// - Gadget records: one TkGadget per gadget, kept in the gadget table by
//   number (events/objects code). A gadget kind supplies a TkGadgetOps table;
//   a null entry makes the generic operation do nothing and return 0 (hide,
//   resize and set_font have generic fallbacks on the widget).
// - Kind data: `kind_data` belongs to the kind and is freed by ops->destroy,
//   called on the main thread before the widget is deleted.
// - Events: kinds report user actions with tk_event_generate(); program
//   changes run inside a TkSuspend scope so they report nothing.
// - Threads: everything here is main-thread only, except the row operations
//   of kinds that declare themselves thread-safe (the list), reached through
//   tk_gadget_lookup, which takes the table lock.
// - Images and fonts: handles are pointers to TkImage / TkFont records owned
//   by their numbered tables; a handle stays valid until its number is freed.
#pragma once

#include "toolkit/assets.h"

#include <QFont>
#include <QIcon>
#include <QImage>
#include <QWidget>
#include <cstdint>
#include <string>

struct TkGadget;
class QDialog;

// Operations of one gadget kind (rows and columns count from 0).
struct TkGadgetOps {
    int64_t (*get_state)(TkGadget*);
    void (*set_state)(TkGadget*, int64_t value);
    std::wstring (*get_text)(TkGadget*);
    void (*set_text)(TkGadget*, const std::wstring& text);
    void (*clear_items)(TkGadget*);
    int64_t (*count_items)(TkGadget*);
    // position -1 appends; list rows carry their column texts separated by '\n'
    int64_t (*add_item)(TkGadget*, int64_t position, const std::wstring& text, intptr_t image);
    void (*remove_item)(TkGadget*, int64_t row);
    std::wstring (*get_item_text)(TkGadget*, int64_t row, int64_t column);
    void (*set_item_text)(TkGadget*, int64_t row, const std::wstring& text, int64_t column);
    int64_t (*get_item_state)(TkGadget*, int64_t row);
    void (*set_item_state)(TkGadget*, int64_t row, int64_t bits);
    int64_t (*get_item_data)(TkGadget*, int64_t row);
    void (*set_item_data)(TkGadget*, int64_t row, int64_t value);
    void (*set_item_image)(TkGadget*, int64_t row, intptr_t image);
    int64_t (*add_column)(TkGadget*, int64_t position, const std::wstring& title, int64_t width);
    void (*set_color)(TkGadget*, int which, int64_t bgr);           // -1 = system default
    void (*set_font)(TkGadget*, const QFont& font);                 // null: QWidget::setFont
    void (*resize)(TkGadget*, int x, int y, int width, int height); // null: setGeometry
    void (*hide)(TkGadget*, bool hidden);                           // null: setVisible
    void (*destroy)(TkGadget*); // frees kind_data; the widget is deleted afterwards
};

struct TkGadget {
    int64_t number = 0;               // gadget number (or own address for "any")
    int64_t window = -1;              // number of the window it lives in
    QWidget* widget = nullptr;        // the Qt widget; owned by its parent widget
    const TkGadgetOps* ops = nullptr; // kind operations, never null
    int64_t data = 0;                 // tk_gadget_set_data value
    int64_t front_color = -1;         // 0xBBGGRR, -1 = default
    int64_t back_color = -1;          // 0xBBGGRR, -1 = default
    void* kind_data = nullptr;        // kind's own record, freed by ops->destroy
};

// ---- events (events.cpp) ----
enum : uint32_t {
    TkEventPosted = 1,   // bypasses suspension
    TkEventDeferred = 2, // bound callbacks run when taken, not when generated
};
// Generates an event on the calling thread's queue (coalescing, suspension
// and bound callbacks as the event model says). release(data) runs when the
// next event is taken.
void tk_event_generate(int32_t code, int64_t object, int64_t window, int64_t type,
                       intptr_t data = 0, uint32_t flags = 0, void (*release)(intptr_t) = nullptr);
// Removes queued events of this code, window, object and type (size events).
void tk_event_remove_queued(int32_t code, int64_t window, int64_t object, int64_t type);

// Raises the calling thread's suspension counter for its lifetime.
struct TkSuspend {
    TkSuspend();
    ~TkSuspend();
    TkSuspend(const TkSuspend&) = delete;
    TkSuspend& operator=(const TkSuspend&) = delete;
};

// ---- gadget tables and the gadget list (gadget_table.cpp) ----
// The parent new gadgets go into: the window opened last or the container
// opened last and not yet closed. Null when there is none.
QWidget* tk_current_parent();
int64_t tk_current_window(); // window number of tk_current_parent(), -1 if none
// Pushes a container as the current parent (tk_gadget_list_close pops it).
void tk_gadget_list_push(QWidget* container);

// Registers a new gadget under `number` (-1 = any), destroying a gadget
// already under that number first. Places the widget at x, y, width, height
// inside tk_current_parent(), gives it the default gadget font and shows it.
// Returns the number for -1, else the handle (the TkGadget address); 0 when
// there is no current parent (widget and kind data are then freed here).
int64_t tk_gadget_register(int64_t number, QWidget* widget, const TkGadgetOps* ops, void* kind_data,
                           int x, int y, int width, int height);
// The gadget under a number, or null. Safe from any thread (table lock).
TkGadget* tk_gadget_lookup(int64_t number);
// The same for an operation that needs the gadget: debug builds report an
// unknown number on standard error, naming the operation.
TkGadget* tk_gadget_use(int64_t number, const char* operation);
// The gadget whose widget (or one of its ancestors below the window) is w.
TkGadget* tk_gadget_of_widget(const QWidget* w);
// The window widget of a window number, or null. A QMenuBar made its child is
// laid out on top; any other child widget is moved into the client area.
QWidget* tk_window_widget(int64_t window);
// The client area of a window (below its menu bar), or null.
QWidget* tk_window_client(int64_t window);
// The window number of a widget's toolkit window, -1 if it has none.
int64_t tk_window_of_widget(const QWidget* w);

// ---- images and fonts (images.cpp, fonts.cpp) ----
// The picture of an image handle; null for 0 or an unknown handle.
// tk_image_qimage may be called from any thread; tk_image_icon only from
// the main thread (it caches a pixmap).
const QImage* tk_image_qimage(intptr_t handle);
QIcon tk_image_icon(intptr_t handle);
// The font of a font handle; -1 gives the system's default gui font.
QFont tk_font_qfont(intptr_t handle);
// The default font for gadgets created from now on (tk_gadget_set_font(-1, f)).
QFont tk_default_gadget_font();
// Sets that default from a font handle; -1 returns to the system's gui font.
void tk_set_default_gadget_font(intptr_t font_handle);
// 0xBBGGRR -> QColor
QColor tk_color_from_bgr(int64_t bgr);

// ---- text at the Qt boundary (qtext.cpp) ----
// Lossless both ways: a lone surrogate (an escaped byte of a file name)
// stays one UTF-16 unit, so a name survives a trip through a widget.
QString tk_qstring(const std::wstring& text);
std::wstring tk_wstring(const QString& text);

// Loads Qt's German translations (qtbase_de) once; 1 when they are installed.
int64_t tk_translations_load();

// ---- requesters (quit.cpp) ----
// Runs a requester until it is answered: shown as a window of its own over
// the program's windows, which meanwhile take no input but stay enabled, so
// that a close request of the main window still arrives. Returns the
// dialog's result; QDialog::Rejected at once, without showing it, when
// tk_quit_requested, and QDialog::Rejected when the request comes while it
// is open (it is then closed).
int tk_modal_run(QDialog* dialog);
