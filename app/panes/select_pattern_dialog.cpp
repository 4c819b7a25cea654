// The pattern dialog of the selection keys: see select_pattern_dialog.h.
#include "app/panes/select_pattern_dialog.h"

#include "app/core/app_state.h"
#include "app/core/ids.h"
#include "app/core/message_dialog.h"
#include "app/panes/select_pattern.h"
#include "toolkit/gadgets.h"

#include <string>

namespace {

constexpr int64_t DialogFlags = TkWindowTitleBar | TkWindowCentreOnParent;
constexpr int64_t ReturnItem = 1; // Return in the pattern line: "Ok"

constexpr const wchar_t* SelectTitle = L"Auswahl erweitern";
constexpr const wchar_t* DeselectTitle = L"Auswahl verkleinern";
constexpr const wchar_t* PatternLabel = L"Muster (mehrere durch \";\" getrennt):";
constexpr const wchar_t* FoldersCheck = L"Ordner einbeziehen";
constexpr const wchar_t* NoPatternHeadline = L"Kein Muster";
constexpr const wchar_t* NoPatternText =
    L"Bitte ein Muster eingeben, zum Beispiel *.txt oder *.jpg;*.png.";

struct DialogState {
    int64_t List = 0;              // the pane it acts on
    bool Select = true;            // erweitern or verkleinern
    std::wstring Pattern = L"*.*"; // offered next time
} Open;

void CloseDialog() {
    tk_window_close(WinSelectPattern);
    tk_window_disable(WinMain, 0);
    tk_window_activate(WinMain);
    tk_gadget_activate(Open.List);
}

void OkPressed() {
    const std::wstring text = tk_gadget_get_text(GadPatternText);
    if (ParsePatterns(text).empty()) {
        Messages.Dialog(MessageKindError, Open.Select ? SelectTitle : DeselectTitle,
                        NoPatternHeadline, NoPatternText, MessageOneButton, WinSelectPattern);
        tk_gadget_activate(GadPatternText);
        return;
    }
    Open.Pattern = text;
    App.settings.PatternFolders = tk_gadget_get_state(GadPatternFolders) == 1 ? 1 : 0;
    CloseDialog();
    SelectByPattern(Open.List, text, Open.Select, App.settings.PatternFolders != 0);
}

} // namespace

void OpenSelectPatternDialog(int64_t list, bool select) {
    if (tk_window_exists(WinSelectPattern)) return;
    Open.List = list;
    Open.Select = select;
    tk_window_disable(WinMain, 1);
    if (!tk_window_open(WinSelectPattern, 0, 0, 340, 110, select ? SelectTitle : DeselectTitle,
                        DialogFlags, tk_window_handle(WinMain))) {
        tk_window_disable(WinMain, 0);
        return;
    }
    tk_text_create(GadPatternLabel, 10, 8, 320, 18, PatternLabel);
    tk_string_create(GadPatternText, 10, 28, 320, 22, Open.Pattern);
    tk_checkbox_create(GadPatternFolders, 10, 56, 200, 18, FoldersCheck);
    tk_gadget_set_state(GadPatternFolders, App.settings.PatternFolders != 0 ? 1 : 0);
    tk_button_create(GadPatternOk, 170, 80, 75, 24, L"Ok");
    tk_button_create(GadPatternCancel, 255, 80, 75, 24, L"Abbrechen");
    tk_window_set_default_button(WinSelectPattern, GadPatternOk);
    tk_window_set_cancel_button(WinSelectPattern, GadPatternCancel);
    tk_shortcut_add(WinSelectPattern, KeyReturn, ReturnItem);
    tk_window_activate(WinSelectPattern);
    tk_gadget_activate(GadPatternText);
}

int64_t SelectPatternEvents(int64_t event) {
    if (event == EventMenu && tk_event_menu() == ReturnItem)
        OkPressed();
    else if (event == EventGadget && tk_event_gadget() == GadPatternOk)
        OkPressed();
    else if (event == EventGadget && tk_event_gadget() == GadPatternCancel)
        CloseDialog();
    else if (event == EventCloseWindow)
        CloseDialog();
    return 0;
}
