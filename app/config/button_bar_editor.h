// The button bar editor "ButtonBar Einstellungen" (window 51): a preview
// strip of the buttons' icons where one is picked, dragged to another place
// or deleted, an insert of a program chosen in a file requester, and
// "Anwenden", which rebuilds toolbar 2 and writes "Toolbar.bar".
//
// Works on ButtonBarList (button_bar.h); its own state (selection, drag) is
// kept between openings. Main thread only. The main window stays enabled.
#pragma once

#include <cstdint>

struct ButtonBarEntry;

// The editor's state; entries are pointers into ButtonBarList.
struct ButtonBarEditorState {
    ButtonBarEntry* SelectedEntry = nullptr; // picked last on the strip
    ButtonBarEntry* DraggedEntry = nullptr;  // during a drag only
    int64_t DragStartX = 0;                  // canvas x where the drag began
};
extern ButtonBarEditorState ButtonBarEditor;

// Opens window 51 with its gadgets.
void OpenButtonBarEditor(int64_t x, int64_t y, int64_t width, int64_t height);
// The main window's menu item: opens the editor at its size and paints the
// strip when there are buttons.
void ButtonBarEditorCommand();
// Handler of window 51; always 0.
int64_t ButtonBarEditorEvent(int64_t value);
// Lays the strip out (unless a drag runs) and paints it.
void DrawButtonBarPreview();
// Forgets selection and drag (with ButtonBarReset).
void ButtonBarEditorReset();

// The steps of a drag on the strip, by canvas x.
void EditorMouseDown(int64_t x);
void EditorMouseMove(int64_t x);
void EditorMouseUp();
