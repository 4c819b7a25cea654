// List gadget: a multi-column report list with a header, one row per item.
//
// Rows live in the list's own model (texts, picture, item data, state); the
// list never keeps a widget per row. Row operations (set or get item text,
// set item image, set or get item data, get item state, count, selected-row
// queries) may be called from any thread: a worker's change is stored at
// once under the list's lock and shown by one coalesced repaint on the main
// thread shortly after. Everything that changes the number or order of rows
// (add, remove, clear, reorder), the columns or the view is main-thread only;
// called from another thread it does nothing (and returns 0, or -1 for a
// row or column index), as for an absent gadget.
//
// Row texts: one text per row with the column texts separated by '\n'
// (tk_gadget_add_item). Pictures are copied when they are set, so the image
// handle may be freed right afterwards; they are drawn at the list's icon
// size (16 x 16 unless changed).
//
// User actions arrive as EventGadget (13100) with the gadget number as object
// and types 0 left click (only while some row is selected), 1 right click,
// 2 double click, 3 right double click, 4 middle click (EventTypeMiddleClick),
// 768 selection or check change (also when a click leaves nothing selected,
// and then without a left click), 14002 drag start. Header clicks and user resizes of a column go
// to the header hook instead (tk_list_set_header_hook); widths the program sets are not reported.
// Changes made by the program report nothing.
//
// Every function taking a gadget number does nothing and returns 0 (or -1
// where a row index is asked for) when the number names no list gadget.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

// A middle click on a row, as EventGadget of this type (beside those of
// toolkit/events.h): tk_list_middle_clicked_row names the row.
constexpr int64_t EventTypeMiddleClick = 4;

// ---- flags of tk_list_create ----
enum : uint32_t {
    TkListCheckBoxes = 0x1,                // a check box in front of every row
    TkListMultiSelect = 0x4,               // several rows selectable (else one)
    TkListShowSelectionAlways = 0x8,       // selection shown without the focus
    TkListReorderableColumns = 0x10000000, // header sections can be dragged
    TkListFullRowSelect = 0x40000000,      // the whole row shows the selection
};

// ---- item state bits (tk_gadget_get_item_state / set_item_state) ----
enum : uint32_t {
    TkListItemSelected = 0x1, // the row is selected
    TkListItemChecked = 0x2,  // the row's check box is ticked (TkListCheckBoxes)
};

// ---- column alignment (tk_list_set_column_align) ----
enum : int64_t {
    TkListAlignLeft = 0,
    TkListAlignRight = 1,
    TkListAlignCenter = 2,
};

// ---- sort indicator (tk_list_set_sort_indicator) ----
enum : int64_t {
    TkListSortAscending = 0,  // arrow of an ascending sort
    TkListSortDescending = 1, // arrow of a descending sort
};

// ---- row marks (tk_list_set_item_mark) ----
enum : int64_t {
    TkListMarkNone = 0,
    TkListMarkLink = 1, // a small arrow at the picture's lower left: the row is a link
};

// ---- header hook kinds ----
enum : int64_t {
    TkListHeaderClick = 0,  // a column header was clicked
    TkListHeaderResize = 1, // the user changed a column's width
};

// Called on the main thread, synchronously, for header clicks and user
// resizes (during a drag on every intermediate width).
using TkListHeaderHook = void (*)(int64_t gadget, int64_t kind, int64_t column, int64_t width);

// Rectangle in pixels.
struct TkListRect {
    int64_t x = 0;
    int64_t y = 0;
    int64_t width = 0;
    int64_t height = 0;
};

// ---- creation and columns (main thread) ----

// Creates a list in the current gadget list with one column (title, width).
// Returns the handle, or the new number when number is -1; 0 on failure.
int64_t tk_list_create(int64_t number, int x, int y, int width, int height,
                       const std::wstring& title, int64_t column_width, uint32_t flags = 0);
// Inserts a column at position (-1 or beyond the end appends). Existing row
// texts keep their column order. Returns the column index, -1 on failure.
int64_t tk_list_add_column(int64_t gadget, int64_t position, const std::wstring& title,
                           int64_t width);
int64_t tk_list_column_count(int64_t gadget);
// Width of a column in pixels; 0 for an absent column.
int64_t tk_list_column_width(int64_t gadget, int64_t column);
// Sets a column's width; the header hook is not called for it.
void tk_list_set_column_width(int64_t gadget, int64_t column, int64_t width);
void tk_list_set_column_align(int64_t gadget, int64_t column, int64_t align);
// Reorderable columns: the place on screen (0 = leftmost) of a column, and
// the column shown at a place; -1 for an absent column or place.
int64_t tk_list_column_position(int64_t gadget, int64_t column);
int64_t tk_list_column_at(int64_t gadget, int64_t position);
// Installs (or with null removes) the header hook.
void tk_list_set_header_hook(int64_t gadget, TkListHeaderHook hook);
// Shows the sort arrow in the header of column (-1: no arrow), pointing as
// order says (TkListSortAscending / TkListSortDescending). The program owns
// the arrow: a header click does not move it (the header hook hears of the
// click, and the program sets the arrow once it has sorted).
void tk_list_set_sort_indicator(int64_t gadget, int64_t column, int64_t order);
// The column showing the arrow, -1 when none; *order (if not null) gets its
// order.
int64_t tk_list_sort_indicator(int64_t gadget, int64_t* order);

// ---- bulk changes and order (main thread) ----

// Redraw off (0): rows added, removed or selected from now on are stored
// without updating the view; redraw on (1) shows all of them at once,
// keeping the selected rows and the current row. Bulk changes (thousands of
// rows added, removed or selected one by one) belong between the two.
void tk_list_set_redraw(int64_t gadget, int64_t on);
// Puts the rows in the given order: order[i] is the row (before the call)
// that goes to place i; it must name every row once. Selection, check marks,
// item data, tags and the current row move with their rows. Returns 1 when
// reordered, 0 when order is no such permutation (or from inside a visit of
// the list's rows, tk_list_visit_rows).
int64_t tk_list_reorder(int64_t gadget, const std::vector<int64_t>& order);

// ---- rows beyond the generic item operations ----

// A row for tk_list_append_rows.
struct TkListNewRow {
    std::wstring text;  // column texts joined by '\n'; taken over by the list
    intptr_t image = 0; // picture handle (tk_image_handle), 0 = none
    int64_t data = 0;   // item data
    uint32_t tag = 0;   // the application's bits
    uint32_t mark = 0;  // TkListMark… drawn over the picture
};
// Appends the rows at the end in one step, taking their texts over without a
// copy (each text keeps the room it was given, so a worker can lengthen a
// cell in place; the rows vector is left with empty texts). Built on any
// thread, appended on the main thread. Returns the number of rows appended.
int64_t tk_list_append_rows(int64_t gadget, std::vector<TkListNewRow>& rows);

// Appends (position -1) or inserts a row with its item data and tag set in
// the same step; returns the row index, -1 on failure. Main thread.
int64_t tk_list_add_item(int64_t gadget, int64_t position, const std::wstring& text, intptr_t image,
                         int64_t data, uint32_t tag);

// Removes the given rows (ascending row indices, each once) in one pass, the
// way redraw off, removing them one by one and redraw on would, but without
// moving the rows behind each of them again and again. Returns the number
// removed. Main thread.
int64_t tk_list_remove_items(int64_t gadget, const std::vector<int64_t>& rows);

// A row's mark, drawn over its picture (TkListMark…). It costs a row no
// memory (it lives in the row's state bits, which tk_gadget_get_item_state
// does not show) and nothing to draw for rows off the screen; sorts move it
// with its row. Any thread; a worker's change shows with the next repaint.
void tk_list_set_item_mark(int64_t gadget, int64_t row, int64_t mark);
int64_t tk_list_item_mark(int64_t gadget, int64_t row); // TkListMarkNone for no row

// A row's tag: 32 bits the application keeps with each row and the list never
// looks at (new rows start at 0; sorts move tags with their rows). Any thread.
uint32_t tk_list_item_tag(int64_t gadget, int64_t row);
void tk_list_set_item_tag(int64_t gadget, int64_t row, uint32_t tag);

// Reads a row's column-0 text, item data and tag in one step (any of the
// outputs may be null). 1 when the row exists, else 0. Any thread.
int64_t tk_list_peek_item(int64_t gadget, int64_t row, std::wstring* name, int64_t* data,
                          uint32_t* tag);

// A change a worker makes to one row, applied by tk_list_change_item_if.
struct TkListItemChange {
    int64_t column = -1;      // column whose text becomes `text`; -1 = no text change
    std::wstring text;        // the new text of `column`
    intptr_t image = 0;       // picture handle (tk_image_handle); 0 keeps the picture
    uint32_t tag_clear = 0;   // tag bits cleared first ...
    uint32_t tag_set = 0;     // ... then these set
    uint32_t expect_mask = 0; // the change applies only when (tag & expect_mask)
    uint32_t expect = 0;      // equals expect, too
};
// Workers address rows by index while the main thread sorts, filters and
// removes rows: the change is applied, under the row lock and all at once,
// only when the row's column-0 text is still `name` (and its tag matches
// `expect`). 1 when applied, 0 when
// the row now holds another entry or does not exist. Any thread.
int64_t tk_list_change_item_if(int64_t gadget, int64_t row, const std::wstring& name,
                               const TkListItemChange& change);

// A number that changes whenever a row's text or item data, or the number
// or order of the rows, changes; pictures, states and tags leave it alone.
// No two lists ever show the same number, not even a list and another made
// later under the same gadget number. Equal numbers mean that keys made from
// texts and item data still hold, row by row. 0 when the number names no
// list. Any thread.
uint64_t tk_list_content_revision(int64_t gadget);

// Calls visit for every row in order with its whole text (the column texts
// joined by '\n', `length` characters, read in place), item data and tag.
// The rows stay locked meanwhile: workers' row operations wait, so visit must
// not wait for a worker; reading rows of this list from visit is allowed,
// changing them is not: adding, removing, clearing, reordering or visiting
// them again from visit is refused (as for an absent list). Returns the
// number of rows visited. Main thread.
using TkListRowVisitor = void (*)(int64_t row, const wchar_t* text, size_t length, int64_t data,
                                  uint32_t tag, intptr_t user);
int64_t tk_list_visit_rows(int64_t gadget, TkListRowVisitor visit, intptr_t user);

// A list's rows set aside whole (texts, pictures, item data, tags, states and
// the current row) and shown again later without being made anew: a tab
// hidden and shown again. tk_list_take_rows leaves the list empty and gives
// a handle (0 for no list); tk_list_put_rows makes the handle's rows the
// list's (freeing those it had) and takes the handle over; tk_list_free_rows
// frees a handle not put back. A handle's rows may go into any list with the
// same columns. Main thread, redraw on.
intptr_t tk_list_take_rows(int64_t gadget);
void tk_list_put_rows(int64_t gadget, intptr_t rows);
void tk_list_free_rows(intptr_t rows);
// Rows held by a handle, and the bytes they take (texts with the heap's
// own cost of each block, pictures left out).
int64_t tk_list_rows_held(intptr_t rows);
int64_t tk_list_rows_bytes(intptr_t rows);

// Current (focused) row, -1 when none. Setting it selects nothing.
int64_t tk_list_current_row(int64_t gadget);
void tk_list_set_current_row(int64_t gadget, int64_t row);
// The first selected row after row `after` (-1 starts at the top), -1 when
// there is none. Any thread.
int64_t tk_list_next_selected(int64_t gadget, int64_t after);
// Number of selected rows. Any thread.
int64_t tk_list_selected_count(int64_t gadget);
// The row under the pointer at the list's last middle click
// (EventTypeMiddleClick); -1 before any.
int64_t tk_list_middle_clicked_row(int64_t gadget);
// The row that last became selected ("ZV_LastSelected"); -1 after a click
// that left nothing selected, or when none became selected yet.
int64_t tk_list_last_selected(int64_t gadget);
// Row colours as 0xBBGGRR (which 1 text, 2 background; -1 = the list's own).
void tk_list_set_item_color(int64_t gadget, int64_t row, int which, int64_t bgr);
// Size in pixels row pictures are drawn at (default 16).
void tk_list_set_icon_size(int64_t gadget, int64_t size);
// A new image (number, -1 for a fresh one) holding the row's picture as the
// list draws it (scaled to fit the icon size). Returns as tk_image_create does; 0 when
// the row does not exist or has no picture. Any thread.
int64_t tk_list_copy_item_image(int64_t gadget, int64_t row, int64_t number);

// ---- scrolling and geometry (main thread) ----

// Pixels a column needs to show its heading and its widest cell whole in
// the list's font, margins included; 0 for an unknown list or column.
// Remembered until the rows or the font change, so a live resize may ask
// on every step. Main thread.
int64_t tk_list_column_fit_width(int64_t gadget, int64_t column);
// 1 when the list shows (or, just filled, will show) a vertical scroll bar.
int64_t tk_list_has_vscrollbar(int64_t gadget);
// Index of the first visible row (the vertical scroll position), 0 if empty.
int64_t tk_list_top_row(int64_t gadget);
// Number of rows that fit fully into the visible area.
int64_t tk_list_visible_rows(int64_t gadget);
// Height of one row in pixels.
int64_t tk_list_row_height(int64_t gadget);
// Scrolls by pixels; vertically the list moves by whole rows (dy is rounded
// to the nearest number of rows).
void tk_list_scroll(int64_t gadget, int64_t dx, int64_t dy);
// Scrolls the least amount that makes the row fully visible.
void tk_list_ensure_visible(int64_t gadget, int64_t row);
// Rectangle of a cell relative to the gadget's top-left corner (screen != 0:
// in screen coordinates). Column 0 gives its text label, without the
// picture. Returns 1 when the row and column exist, else 0 (out unchanged).
int64_t tk_list_item_rect(int64_t gadget, int64_t row, int64_t column, TkListRect* out,
                          int64_t screen = 0);
