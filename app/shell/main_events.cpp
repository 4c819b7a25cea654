// MainWindowEvents: turns the events of window 0 into the commands of the
// panes and the shell. Keys arrive as menu items and are mapped onto the
// buttons they stand for, so key and button take one road.
#include "app/shell/main_events.h"

#include "app/config/button_bar.h"
#include "app/config/button_bar_editor.h"
#include "app/config/remote_drives.h"
#include "app/config/settings_dialog.h"
#include "app/core/answers.h"
#include "app/core/app_state.h"
#include "app/core/ids.h"
#include "app/core/item_list.h"
#include "app/core/message_dialog.h"
#include "app/fileops/fileops.h"
#include "app/fileops/fileops_ids.h"
#include "app/fileops/job_queue.h"
#include "app/fileops/jobs_window.h"
#include "app/fileops/undo_trash.h"
#include "app/panes/navigation.h"
#include "app/panes/pane_cursor.h"
#include "app/panes/pane_filter.h"
#include "app/panes/pane_remote.h"
#include "app/panes/pane_remote_open.h"
#include "app/panes/pane_remote_watch.h"
#include "app/panes/pane_rows.h"
#include "app/panes/pane_sides.h"
#include "app/panes/pane_sort.h"
#include "app/panes/pane_tabs.h"
#include "app/panes/panes.h"
#include "app/panes/quick_search_field.h"
#include "app/panes/selection_line.h"
#include "app/shell/command_line.h"
#include "app/shell/main_commands.h"
#include "app/shell/main_keys.h"
#include "app/shell/main_menu.h"
#include "app/shell/main_texts.h"
#include "app/shell/pane_context_menu.h"
#include "app/shell/tab_commands.h"
#include "app/shell/undo_menu.h"
#include "platform/shell_open.h"
#include "runtime/files.h"
#include "runtime/program.h"
#include "toolkit/gadgets.h"

WindowMemo MainWindowMemo;

namespace {

Settings& S() {
    return App.settings;
}

// ---- window geometry ----

void RestorePositionBeforeMaximize() {
    if (S().WindowMaximized == 1 && MainWindowMemo.PreviousX >= 1 &&
        MainWindowMemo.PreviousY >= 1) {
        S().WindowX = MainWindowMemo.PreviousX;
        S().WindowY = MainWindowMemo.PreviousY;
    }
}

void WindowMoved() {
    if (S().WindowMaximized != 0) return;
    MainWindowMemo.PreviousX = S().WindowX;
    MainWindowMemo.PreviousY = S().WindowY;
    S().WindowX = tk_window_x(WinMain);
    S().WindowY = tk_window_y(WinMain);
}

void WindowSized() {
    S().WindowWidth = tk_window_width(WinMain);
    S().WindowHeight = tk_window_height(WinMain);
}

// ---- keys and menu items ----

int64_t AskQuit() {
    // With jobs waiting or running the question is about them.
    const bool jobs = FileJobsPending();
    const int64_t answer =
        Messages.Dialog(MessageKindQuestion, QuitCaption, QuitHeadline,
                        jobs ? QuitJobsText : QuitText, MessageTwoButtons, WinMain);
    if (answer != MessageAnswerOk) return 0;
    if (jobs) CancelAllFileJobs();
    RestorePositionBeforeMaximize();
    return 1;
}

// A program starts in the pane's folder, and on a hanging mount its start
// hangs with it: it starts on a thread of its own, and the window goes on
// after a short wait. The arguments are taken here, on the main thread.
void StartProgram(AskWork start) {
    AskAside(AskAnyTime, std::move(start), [] {});
}

void ReturnKey() {
    const int64_t focus = tk_gadget_active();
    const PaneSide* side = SideOfGadget(focus);
    if (side && focus == side->List)
        tk_event_post(EventGadget, WinMain, focus, EventTypeLeftDoubleClick);
    else if (side && focus == side->PathField)
        OpenTypedPath(side->List);
    else if (focus == GadCommandLine)
        RunCommandLine(false);
}

// A key or popup item that acts as a button: item -> button gadget.
struct ButtonKey {
    int64_t item;
    int64_t button;
};
constexpr ButtonKey ButtonKeys[] = {
    {MenuDeleteKey, GadDeleteButton},       {MenuViewKey, GadViewButton},
    {MenuEditKey, GadEditButton},           {MenuCopyKey, GadCopyButton},
    {MenuMoveKey, GadMoveButton},           {MenuNewFolderKey, GadNewFolderButton},
    {MenuDeleteButtonKey, GadDeleteButton}, {MenuNewFolder, GadNewFolderButton},
};

int64_t MenuItem(int64_t item) {
    // A context-menu answer runs its command and nothing else.
    if (IsPaneContextAnswer(item)) {
        PaneContextCommand();
        return 0;
    }
    if (RunButtonBarItem()) return 0;
    if (RunMainCommand(item)) return 0;
    if (UndoMenuItem(item)) return 0;
    if (TabMenuItem(item)) return 0;
    for (const ButtonKey& k : ButtonKeys)
        if (k.item == item) {
            tk_event_post(EventGadget, WinMain, k.button, k.button);
            return 0;
        }
    switch (item) {
    case MenuSpaceKey:
        if (tk_gadget_active() != GadCommandLine) ShowFolderSizeOfSelection(App.ActivePane);
        return 0;
    case MenuReturnKey: ReturnKey(); return 0;
    case MenuShiftReturnKey:
        if (tk_gadget_active() == GadCommandLine) RunCommandLine(true);
        return 0;
    case MenuTabKey: FocusKey(1); return 0;
    case MenuBackTabKey: FocusKey(0); return 0;
    case MenuBackspaceKey: BackspaceKey(); return 0;
    case MenuMenuBarKey: MenuBarKey(); return 0;
    case MenuRenameKey: StartInlineRename(App.ActivePane); return 0;
    case MenuRemoteDisconnect: DisconnectChosenRemote(); return 0;
    case MenuSettings:
    case MenuSettingsPopup: SettingsDialogCommand(); return 0;
    case MenuButtonBar: ButtonBarEditorCommand(); return 0;
    case MenuJobs: OpenJobsWindow(); return 0;
    case MenuQuit: return AskQuit();
    default: return 0;
    }
}

// ---- gadgets ----

std::wstring CurrentName(int64_t pane) {
    return tk_gadget_get_text(pane);
}

// F3 / F4 on a remote file: the viewer or editor gets a fetched local copy
// (an edited one is written back after asking, app/panes/pane_remote_open.h).
void ViewRemoteFile(const std::wstring& folder, const std::wstring& name, bool edit) {
    if (name.empty() || name == L"..") return;
    OpenRemoteFile(folder + name, edit, [edit](const std::wstring& local) {
        const std::wstring here = rt_path_folder(local);
        const std::wstring argument = rt_program_quote(rt_program_file_argument(local));
        if (edit)
            return StartProgram(
                [argument, here] { rt_program_run(pf_editor_program(), argument, here); });
        if (S().ViewerPath.find_first_not_of(L" \t") == std::wstring::npos)
            return StartProgram([local, here] { pf_open_document(local, here); });
        StartProgram(
            [viewer = S().ViewerPath, argument, here] { rt_program_run(viewer, argument, here); });
    });
}

void ViewFile() {
    const int64_t p = App.ActivePane;
    const std::wstring name = CurrentName(p);
    const std::wstring folder = PanePath(p);
    // A folder is viewed by entering it, as Return does.
    const int64_t row = tk_list_current_row(p);
    if (name == L".." || (row >= 0 && tk_gadget_get_item_data(p, row) == PaneRowFolder)) {
        OpenSelectedEntry(p);
        return;
    }
    if (PaneIsRemote(folder)) return ViewRemoteFile(folder, name, false);
    if (S().ViewerPath.find_first_not_of(L" \t") == std::wstring::npos) {
        // no viewer chosen yet: the desktop's application for the file's type
        if (!name.empty())
            StartProgram([path = folder + name, folder] { pf_open_document(path, folder); });
        return;
    }
    StartProgram([viewer = S().ViewerPath,
                  argument = rt_program_quote(rt_program_file_argument(name)),
                  folder] { rt_program_run(viewer, argument, folder); });
}

void EditFile() {
    // One argument even when the name holds blanks: unquoted, the editor
    // would open every word of it as a file of its own.
    const int64_t p = App.ActivePane;
    if (PaneIsRemote(PanePath(p))) return ViewRemoteFile(PanePath(p), CurrentName(p), true);
    // The editor is looked up on the program's thread too: the search path
    // may lead onto a hanging mount.
    StartProgram([argument = rt_program_quote(rt_program_file_argument(CurrentName(p))),
                  folder = PanePath(p)] { rt_program_run(pf_editor_program(), argument, folder); });
}

// A width the user gave a column travels in the data of its event: the
// column in the low 16 bits, the width above.
intptr_t ColumnWidthData(int64_t column, int64_t width) {
    return static_cast<intptr_t>((width << 16) | (column & 0xFFFF));
}
int64_t ColumnOfData(intptr_t data) {
    return static_cast<int64_t>(data & 0xFFFF);
}
int64_t WidthOfData(intptr_t data) {
    return static_cast<int64_t>(data >> 16);
}

void PaneEvent(int64_t pane, int64_t type) {
    ShowPath(pane, L"", ShowNoFill);
    if (Pane* p = PaneOf(pane)) RemoteLoginOnEntry(*p);
    switch (type) {
    case EventTypeRightClick: ShowPaneContextMenu(WinMain, pane, PanePath(pane)); break;
    case EventTypeLeftDoubleClick: OpenSelectedEntry(pane); break;
    case EventTypeColumnClick: ColumnClicked(pane); break;
    case EventTypeColumnResized:
        tk_list_set_column_width(OtherPane(pane), ColumnOfData(tk_event_data()),
                                 WidthOfData(tk_event_data()));
        break;
    case EventTypeDragStart:
        tk_drag_files(SelectedItems(pane, SelectedPaths), TkDropCopy | TkDropMove);
        break;
    case EventTypeMiddleClick: PaneMiddleClick(pane); break;
    default: break;
    }
}

void PathFieldFocus(int64_t field) {
    for (const PaneSide& side : PaneSides)
        if (side.PathField != field)
            tk_gadget_set_color(side.PathField, TkColorBack, TkColorDefault);
    tk_gadget_set_color(field, TkColorBack, ActivePathColor);
}

// The events of a side's filter box and path field.
void SideEvent(const PaneSide& side, int64_t gadget, int64_t type) {
    if (gadget == side.Filter && type == EventTypeChange) ApplyPaneFilter(side.List);
    if (gadget != side.PathField) return;
    if (type == EventTypeFocus)
        PathFieldFocus(gadget);
    else if (type == EventTypeLostFocus)
        PathFieldLeft(side.List);
}

// A drop of files onto a pane copies or moves them into its folder.
void PaneDrop(int64_t pane) {
    if (!SideOfList(pane) || tk_drop_type() != TkDropFiles) return;
    tk_window_activate(WinMain);
    DropOntoPane(pane, tk_drop_action(), tk_drop_files(), SelectedItems(pane, SelectedNamesJoined));
}

// What F5, F6 and F8 act on. With nothing chosen the user is told so, and
// nothing is asked: a question about ".." would be answered by a job that
// finds nothing to do.
std::wstring ChosenNames(int64_t pane) {
    std::wstring names = ChosenRows(pane);
    if (names.empty())
        Messages.Box(NothingChosenCaption, NothingChosen, TkMessageOk | TkMessageIconInformation);
    return names;
}

void CopyOrMove(int64_t p, int64_t move) {
    const std::wstring names = ChosenNames(p);
    if (names.empty()) return;
    if (move) WishCursorAfterSelection(p);
    CopyMoveBetweenPanes(names, p, OtherPane(p), move);
}

void GadgetEvent(int64_t gadget, int64_t type) {
    const int64_t p = App.ActivePane;
    if (const PaneSide* side = SideOfGadget(gadget)) {
        if (gadget == side->List)
            PaneEvent(gadget, type);
        else
            SideEvent(*side, gadget, type);
        return;
    }
    if (SideOfTabRow(gadget) >= 0) {
        TabRowGadgetEvent(gadget, type, tk_event_data());
        return;
    }
    switch (gadget) {
    case GadViewButton: ViewFile(); break;
    case GadEditButton: EditFile(); break;
    case GadCopyButton: CopyOrMove(p, 0); break;
    case GadMoveButton: CopyOrMove(p, 1); break;
    case GadNewFolderButton:
        OpenNewFolderDialog(NewFolderX, NewFolderY, NewFolderWidth, NewFolderHeight);
        break;
    case GadDeleteButton:
        if (const std::wstring names = ChosenNames(p); !names.empty()) {
            WishCursorAfterSelection(p);
            DeleteOrTrash(names, PanePath(p));
        }
        break;
    case GadCommandLine:
        // Space types a blank while the command line has the focus
        if (type == EventTypeFocus)
            tk_shortcut_remove(WinMain, KeySpace);
        else if (type == EventTypeLostFocus)
            tk_shortcut_add(WinMain, KeySpace, MenuSpaceKey);
        break;
    default: break;
    }
}

} // namespace

int64_t MainWindowEvents(int64_t value) {
    switch (value) {
    case EventMaximizeWindow: S().WindowMaximized = 1; return 0;
    case EventRestoreWindow: S().WindowMaximized = 0; return 0;
    case EventMoveWindow: WindowMoved(); return 0;
    case EventSizeWindow: WindowSized(); return 0;
    case EventCloseWindow: RestorePositionBeforeMaximize(); return 1;
    case EventMenu: return MenuItem(tk_event_menu());
    case EventUndoChanged: RefreshUndoMenu(); return 0;
    case EventActivateWindow: MarkUnwatchedRemotePanes(); return 0;
    case EventGadget:
        QuickSearchSawGadget(tk_event_gadget()); // a click elsewhere ends a quick search
        GadgetEvent(tk_event_gadget(), tk_event_type());
        UpdateSelectionLine(tk_event_gadget()); // at once, not at the next poll
        return 0;
    case EventPaneInfoReady: PaneInfoReady(tk_event_data()); return 0;
    case EventDirChanged:
        if (!HiddenTabReport(tk_event_data())) PaneDirReport(tk_event_data());
        return 0;
    case EventGadgetDrop: PaneDrop(tk_event_gadget()); return 0;
    default: return 0;
    }
}

void PaneHeaderHook(int64_t gadget, int64_t kind, int64_t column, int64_t width) {
    if (kind == TkListHeaderResize) {
        tk_event_post(EventGadget, WinMain, gadget, EventTypeColumnResized,
                      ColumnWidthData(column, width));
    } else if (kind == TkListHeaderClick) {
        tk_gadget_set_data(gadget, column);
        tk_event_post(EventGadget, WinMain, gadget, EventTypeColumnClick);
    }
}

std::wstring SelectedItems(int64_t pane, int64_t mode) {
    std::wstring out;
    const std::wstring folder = mode == SelectedPaths ? PanePath(pane) : std::wstring();
    for (int64_t row = tk_list_next_selected(pane, -1); row >= 0;
         row = tk_list_next_selected(pane, row)) {
        out += folder + tk_gadget_get_item_text(pane, row, ColName);
        if (mode != SelectedNamesJoined) out += L'\n';
    }
    return out;
}

std::wstring ChosenRows(int64_t pane) {
    std::wstring names;
    for (const std::wstring& name : ItemListSplit(SelectedItems(pane, SelectedNames)))
        if (name != L"..") names += name + L'\n';
    if (!names.empty()) return names;
    const int64_t row = tk_list_current_row(pane);
    const std::wstring name = row >= 0 ? tk_gadget_get_item_text(pane, row, ColName) : L"";
    return !name.empty() && name != L".." ? name + L'\n' : L"";
}
