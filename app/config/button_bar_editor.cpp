// The button bar editor: layout, strip painting, drag arithmetic and the
// buttons. See button_bar_editor.h.
//
// The drag: the pitch of an entry is its icon width + 6 and D the dragged
// entry's. While dragging, every other icon slides between its place without
// the dragged one (DragMin) and one pitch further right (DragMax) according
// to where the dragged icon is; on release every icon keeps the place it slid
// to and a stable sort by PreviewX gives the list the strip's order (equal
// places keep their list order, so a click without a move changes nothing).
#include "app/config/button_bar_editor.h"

#include <algorithm>

#include "app/config/button_bar.h"
#include "app/config/config_hooks.h"
#include "app/config/config_ids.h"
#include "app/config/config_texts.h"
#include "app/core/ids.h"
#include "runtime/files.h"
#include "runtime/numbers.h"
#include "toolkit/gadgets.h"

ButtonBarEditorState ButtonBarEditor;

namespace {

ButtonBarEditorState& E() {
    return ButtonBarEditor;
}

int64_t Pitch(const ButtonBarEntry& e) {
    return e.IconWidth + EditorIconGap;
}

void CreateTopPart() {
    tk_frame_create(-1, 10, 0, 530, 100, L"");
    tk_string_create(GadEditorUnused52, 110, 10, 390, 20, L"", TkStringReadOnly);
    tk_gadget_disable(GadEditorUnused52, 1);
    tk_button_create(GadEditorUnused53, 500, 10, 30, 20, EditorMore);
    tk_button_create(GadEditorInsert, 20, 30, 80, 20, EditorInsert);
    tk_button_create(GadEditorDelete, 20, 60, 80, 20, EditorDelete);
    tk_canvas_create(GadEditorStrip, 110, 30, 420, 40);
    tk_scrollbar_create(GadEditorStripScroll, 110, 70, 420, 20, 0, 0, 0);
}

void CreateFieldsPart() {
    tk_frame_create(-1, 10, 100, 390, 110, L"");
    tk_text_create(-1, 20, 120, 60, 20, EditorAction);
    tk_string_create(GadEditorAction, 90, 120, 210, 20, L"");
    tk_text_create(-1, 20, 150, 70, 20, EditorParameter);
    tk_string_create(GadEditorParameter, 90, 150, 210, 20, L"");
    tk_text_create(-1, 20, 180, 60, 20, EditorPath);
    tk_string_create(GadEditorPath, 90, 180, 210, 20, L"");
}

void CreateIconPart() {
    tk_frame_create(-1, 10, 210, 390, 130, L"");
    tk_string_create(GadEditorIconFile, 90, 220, 270, 20, L"", TkStringReadOnly);
    tk_gadget_disable(GadEditorIconFile, 1);
    tk_text_create(-1, 20, 220, 60, 20, EditorIconFile);
    tk_canvas_create(GadEditorIconCanvas, 90, 240, 300, 40);
    tk_scrollbar_create(GadEditorIconScroll, 90, 280, 300, 20, 0, 0, 0);
    tk_button_create(GadEditorIconMore, 360, 220, 30, 20, EditorMore);
    tk_string_create(GadEditorTooltip, 90, 310, 300, 20, L"");
    tk_text_create(-1, 20, 310, 60, 20, EditorTooltip);
    tk_frame_create(-1, 410, 100, 130, 240, L"");
    tk_button_create(GadEditorApply, 420, 280, 110, 20, EditorApply);
    tk_button_create(GadEditorCancel, 420, 310, 110, 20, EditorCancel);
}

void ShowEntryFields(const ButtonBarEntry& e) {
    tk_gadget_set_text(GadEditorPath, e.Button.Path);
    tk_gadget_set_text(GadEditorTooltip, e.Button.Tooltip);
    tk_gadget_set_text(GadEditorAction, rt_str_from_int(e.Button.Action));
    tk_gadget_set_text(GadEditorParameter, rt_str_from_int(e.Button.Parameter));
}

std::wstring NameWithoutExtension(const std::wstring& path) {
    const std::wstring name = rt_path_file_part(path);
    const std::wstring ext = rt_path_extension(path);
    return ext.empty() ? name : name.substr(0, name.size() - ext.size() - 1);
}

void InsertEntry() {
    const std::wstring path =
        ConfigFileRequester(EditorRequesterTitle, EditorFileName(), EditorRequesterPattern, 0);
    if (path.empty()) return;
    const int64_t icon = ButtonIconFromFile(path);
    // The whole path: the field is saved into the new entry when edited.
    tk_gadget_set_text(GadEditorPath, path);
    tk_gadget_set_text(GadEditorTooltip, NameWithoutExtension(path));
    tk_gadget_set_text(GadEditorAction, L"2");
    ButtonBarEntry& e = ButtonBarList.emplace_back();
    e.IconImage = icon;
    e.IconWidth = tk_image_width(icon);
    e.Button.Action = rt_val(tk_gadget_get_text(GadEditorAction));
    e.Button.Path = path;
    e.Button.Parameter =
        static_cast<int32_t>(static_cast<uint32_t>(rt_val(tk_gadget_get_text(GadEditorParameter))));
    e.Button.Tooltip = tk_gadget_get_text(GadEditorTooltip);
    E().SelectedEntry = &e; // the fields show it: what is typed next changes it
    DrawButtonBarPreview();
}

// A field the user typed into changes the entry whose values it shows, so
// that "Anwenden" saves it.
void FieldEdited(int64_t field) {
    ButtonBarEntry* e = E().SelectedEntry;
    if (!e) return;
    const std::wstring text = tk_gadget_get_text(field);
    ToolbarButton& b = e->Button;
    switch (field) {
    case GadEditorAction: b.Action = rt_val(text); break;
    case GadEditorParameter:
        b.Parameter = static_cast<int32_t>(static_cast<uint32_t>(rt_val(text)));
        break;
    case GadEditorPath: b.Path = text; break;
    case GadEditorTooltip: b.Tooltip = text; break;
    default: break;
    }
}

void DeleteSelected() {
    if (!E().SelectedEntry) return;
    ButtonBarList.remove_if([](const ButtonBarEntry& e) { return &e == E().SelectedEntry; });
    E().SelectedEntry = nullptr;
    DrawButtonBarPreview();
}

void Apply() {
    if (ButtonBarList.empty()) return;
    RebuildToolbar(ButtonBarList);
    // A bar that cannot be written must not look saved.
    if (!SaveButtonBar(ButtonBarList)) ButtonBarMessage(ButtonBarNotSaved, ButtonBarFile());
}

void StripEvent(int64_t type) {
    const int64_t x = tk_gadget_get_attribute(GadEditorStrip, TkCanvasMouseX);
    switch (type) {
    case EventTypeLeftButtonDown: EditorMouseDown(x); break;
    case EventTypeMouseMove: EditorMouseMove(x); break;
    case EventTypeLeftButtonUp: EditorMouseUp(); break;
    default: break;
    }
}

void GadgetEvent(int64_t gadget, int64_t type) {
    switch (gadget) {
    case GadEditorApply: Apply(); break;
    case GadEditorCancel: tk_window_close(WinButtonBarEditor); break;
    case GadEditorInsert: InsertEntry(); break;
    case GadEditorDelete: DeleteSelected(); break;
    case GadEditorStrip: StripEvent(type); break;
    case GadEditorAction:
    case GadEditorParameter:
    case GadEditorPath:
    case GadEditorTooltip:
        if (type == EventTypeChange) FieldEdited(gadget);
        break;
    default: break;
    }
}

} // namespace

void OpenButtonBarEditor(int64_t x, int64_t y, int64_t width, int64_t height) {
    if (!tk_window_open(WinButtonBarEditor, x, y, width, height, EditorTitle, SettingsWindowFlags,
                        tk_window_handle(WinMain)))
        return;
    CreateTopPart();
    CreateFieldsPart();
    CreateIconPart();
    tk_window_set_cancel_button(WinButtonBarEditor, GadEditorCancel); // Escape
    tk_window_fit(WinButtonBarEditor); // a desktop's larger font: the whole window grows
}

void ButtonBarEditorCommand() {
    OpenButtonBarEditor(0, 0, EditorWidth, EditorHeight);
    if (!ButtonBarList.empty()) DrawButtonBarPreview();
}

int64_t ButtonBarEditorEvent(int64_t value) {
    if (value == EventCloseWindow)
        tk_window_close(WinButtonBarEditor);
    else if (value == EventGadget)
        GadgetEvent(tk_event_gadget(), tk_event_type());
    return 0;
}

void DrawButtonBarPreview() {
    ButtonBarEntry* dragged = E().DraggedEntry;
    if (!dragged) {
        int64_t x = 0;
        for (ButtonBarEntry& e : ButtonBarList) {
            e.PreviewX = x;
            x += Pitch(e);
        }
    }
    if (!tk_drawing_start(tk_canvas_output(GadEditorStrip))) return;
    tk_draw_box(0, 0, tk_gadget_width(GadEditorStrip), tk_gadget_height(GadEditorStrip),
                EditorWhite);
    for (const ButtonBarEntry& e : ButtonBarList)
        if (&e != dragged && e.IconImage)
            tk_draw_image(tk_image_handle(e.IconImage), e.PreviewX + e.DragOffset, EditorIconTop);
    if (dragged) {
        E().SelectedEntry = dragged;
        tk_draw_image_alpha(tk_image_handle(dragged->IconImage),
                            dragged->PreviewX + dragged->DragOffset, EditorIconTop,
                            EditorDragOpacity);
    } else if (const ButtonBarEntry* s = E().SelectedEntry) {
        tk_draw_mode(TkDrawOutlined);
        tk_draw_box(s->PreviewX, 0, s->IconWidth, s->IconWidth + 8, EditorSelectColor);
    }
    tk_drawing_stop();
}

void EditorMouseDown(int64_t x) {
    E().DragStartX = x;
    for (ButtonBarEntry& e : ButtonBarList)
        if (e.PreviewX <= x && x < e.PreviewX + e.IconWidth) {
            E().SelectedEntry = E().DraggedEntry = &e;
            break;
        }
    ButtonBarEntry* d = E().DraggedEntry;
    if (!d) return;
    ShowEntryFields(*d);
    const int64_t D = Pitch(*d);
    for (ButtonBarEntry& e : ButtonBarList) {
        if (&e == d) break;
        e.PreviewX += D;
    }
    int64_t s = 0;
    for (ButtonBarEntry& e : ButtonBarList) {
        if (&e == d) continue;
        e.DragMin = s - e.PreviewX;
        e.DragMax = s - e.PreviewX + D;
        s += Pitch(e);
    }
    d->DragMin = -d->PreviewX;
    d->DragMax = s - d->PreviewX;
}

void EditorMouseMove(int64_t x) {
    ButtonBarEntry* d = E().DraggedEntry;
    if (!d) return;
    const int64_t D = Pitch(*d);
    // In list order, as the strip was always computed: an entry before the
    // dragged one sees the dragged offset of the previous move.
    for (ButtonBarEntry& e : ButtonBarList) {
        if (&e == d)
            e.DragOffset = x - E().DragStartX;
        else
            e.DragOffset = ((e.PreviewX - d->PreviewX - d->DragOffset) - D) * D / Pitch(e);
    }
    for (ButtonBarEntry& e : ButtonBarList)
        e.DragOffset = std::clamp(e.DragOffset, e.DragMin, e.DragMax);
    DrawButtonBarPreview();
}

void EditorMouseUp() {
    for (ButtonBarEntry& e : ButtonBarList) {
        e.PreviewX += e.DragOffset;
        e.DragOffset = 0;
    }
    ButtonBarList.sort(
        [](const ButtonBarEntry& a, const ButtonBarEntry& b) { return a.PreviewX < b.PreviewX; });
    E().DraggedEntry = nullptr;
    E().DragStartX = 0;
    DrawButtonBarPreview();
}

void ButtonBarEditorReset() {
    ButtonBarEditor = ButtonBarEditorState{};
}
