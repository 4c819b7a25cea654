// The pane context menu and its commands. See pane_context_menu.h.
#include "app/shell/pane_context_menu.h"

#include "app/core/answers.h"
#include "app/core/app_state.h"
#include "app/core/ids.h"
#include "app/core/item_list.h"
#include "app/core/message_dialog.h"
#include "app/fileops/fileops_hooks.h"
#include "app/fileops/undo_trash.h"
#include "app/panes/navigation.h"
#include "app/panes/pane_sides.h"
#include "app/panes/panes.h"
#include "app/shell/main_events.h"
#include "app/shell/main_menu.h"
#include "app/shell/main_texts.h"
#include "platform/entry_commands.h"
#include "platform/links.h"
#include "runtime/files.h"
#include "toolkit/clipboard.h"
#include "toolkit/gadgets.h"

#include <memory>

PaneContextState PaneContext;

namespace {

void Error(const std::wstring& text) {
    Messages.Dialog(MessageKindError, ContextCaption, ContextHeadline, text, MessageOneButton,
                    WinMain);
}

struct MenuLine {
    int64_t command; // -1 separator
    const wchar_t* text;
};
constexpr MenuLine ContextLinesBeforeOpenWith[] = {{ContextOpen, L"Öffnen"}};
constexpr MenuLine ContextLinesAfterOpenWith[] = {
    {-1, nullptr},
    {ContextCut, L"Ausschneiden"},
    {ContextCopy, L"Kopieren"},
    {ContextPaste, L"Einfügen"},
    {-1, nullptr},
    {ContextCreateShortcut, L"Verknüpfung erstellen"},
    {ContextRename, L"Umbenennen"},
    {ContextTrash, L"In den Papierkorb verschieben"},
    {-1, nullptr},
    {ContextProperties, L"Eigenschaften"},
    {-1, nullptr},
    {ContextNewFolder, L"Neues Verzeichnis erstellen"},
};

template <size_t N> void AddLines(const MenuLine (&lines)[N]) {
    for (const MenuLine& l : lines) {
        if (l.command < 0)
            tk_menu_separator();
        else
            tk_menu_item_add(PaneContextIdBase + l.command, l.text);
    }
}

void BuildContextPopup() {
    tk_popup_menu_create(MenuPaneContext);
    AddLines(ContextLinesBeforeOpenWith);
    tk_menu_submenu_open(L"Öffnen mit");
    const int64_t most = ContextLast - ContextOpenWithFirst;
    for (size_t i = 0; i < PaneContext.Apps.size() && static_cast<int64_t>(i) <= most; ++i)
        tk_menu_item_add(PaneContextIdBase + ContextOpenWithFirst + static_cast<int64_t>(i),
                         PaneContext.Apps[i].name);
    tk_menu_submenu_close();
    AddLines(ContextLinesAfterOpenWith);
}

std::wstring JoinedPaths() {
    std::wstring out;
    for (const std::wstring& p : PaneContext.Paths) out += (out.empty() ? L"" : L"\n") + p;
    return out;
}

void OpenWith(int64_t index) {
    if (index < 0 || index >= static_cast<int64_t>(PaneContext.Apps.size())) return;
    for (const std::wstring& p : PaneContext.Paths)
        pf_app_launch(PaneContext.Apps[static_cast<size_t>(index)].id, p);
}

// Into the trash as one job, so that Ctrl+Z brings the entries back.
void TrashSelected() {
    std::vector<std::wstring> names;
    for (const std::wstring& p : PaneContext.Paths) names.push_back(rt_path_name(p));
    TrashCommand(PaneContext.Folder, names);
}

void ShowProperties() {
    if (PaneContext.Paths.empty()) return;
    const std::wstring text = PropertiesText(PaneContext.Paths.front());
    if (!text.empty())
        Messages.Box(ContextPropertiesCaption, text, TkMessageOk | TkMessageIconInformation);
}

} // namespace

namespace {
AskTopic ContextMenuTopic; // the newest menu asked for
} // namespace

void ShowPaneContextMenu(int64_t window, int64_t pane, const std::wstring& folder, bool from_key) {
    const auto show = [window, pane, from_key](int64_t menu) {
        if (from_key)
            tk_popup_menu_show_at(menu, tk_window_handle(window), pane);
        else
            tk_popup_menu_show(menu, tk_window_handle(window));
    };
    std::vector<std::wstring> paths;
    for (int64_t row = tk_list_next_selected(pane, -1); row >= 0;
         row = tk_list_next_selected(pane, row)) {
        const std::wstring name = tk_gadget_get_item_text(pane, row, 0);
        if (name != L"..") paths.push_back(folder + name);
    }
    if (paths.empty() && from_key) // the Menu key with nothing selected: as F5 takes it
        for (const std::wstring& name : ItemListSplit(ChosenRows(pane)))
            paths.push_back(folder + name);
    if (paths.empty()) {
        // Files on the clipboard go into the folder the pane shows, also an
        // empty one: "Einfügen" is offered on the background and on "..".
        int64_t cut = 0;
        PaneContext = PaneContextState{};
        PaneContext.Pane = pane;
        PaneContext.Folder = folder;
        BuildPaneBackgroundMenu(!tk_clipboard_get_files(&cut).empty());
        show(MenuPaneBackground);
        return;
    }
    // Whether the entries are still there and which programs open the first
    // are asked off the main thread (the type may be read from the file's
    // content): a selection on a hanging mount must not freeze the window.
    // The menu opens with the answer, unless a newer menu was asked for or
    // the pane shows another folder by then.
    struct Answer {
        bool vanished = false;
        std::vector<PfApp> apps;
    };
    auto a = std::make_shared<Answer>();
    AskAsideLatest(
        ContextMenuTopic,
        [a, paths] {
            // An entry that vanished since the listing suppresses the whole menu.
            for (const std::wstring& p : paths)
                if (rt_file_attributes(p) == -1) a->vanished = true;
            if (!a->vanished) a->apps = pf_apps_for_type(paths.front());
        },
        [a, show, pane, folder, paths] {
            if (a->vanished || PanePath(pane) != folder) return;
            PaneContext = PaneContextState{};
            PaneContext.Pane = pane;
            PaneContext.Folder = folder;
            PaneContext.Paths = paths;
            PaneContext.Apps = a->apps;
            BuildContextPopup();
            show(MenuPaneContext);
        });
}

int64_t IsPaneContextAnswer(int64_t item) {
    return item >= PaneContextIdBase && item <= PaneContextIdBase + ContextLast;
}

void PaneContextCommand() {
    RunPaneContextCommand(tk_event_menu() - PaneContextIdBase);
}

void RunPaneContextCommand(int64_t command) {
    const int64_t pane = PaneContext.Pane ? PaneContext.Pane : App.ActivePane;
    if (command == PaneContext.NewFolderCommand) {
        tk_event_post(EventGadget, WinMain, GadNewFolderButton, GadNewFolderButton);
        return;
    }
    switch (command) {
    case ContextRename: FileOpsStartInlineRename(pane); break;
    case ContextSuppressed: break;
    case ContextCreateShortcut:
        for (const std::wstring& p : PaneContext.Paths) CreateShortcut(p);
        break;
    case ContextOpen: OpenSelectedEntry(pane); break;
    case ContextCut:
    case ContextCopy: tk_clipboard_set_files(JoinedPaths(), command == ContextCut); break;
    case ContextPaste: PasteFiles(); break;
    case ContextTrash: TrashSelected(); break;
    case ContextProperties: ShowProperties(); break;
    default: OpenWith(command - ContextOpenWithFirst); break;
    }
}

int64_t CreateShortcut(const std::wstring& target) {
    if (!pf_create_shortcut(target).empty()) return 1;
    Error(ContextShortcutFailed + target);
    return 0;
}

std::wstring PropertiesText(const std::wstring& path) {
    PfEntryFacts f;
    if (!pf_entry_facts(path, f)) return {};
    std::wstring text = L"Name: " + f.Name + L"\nTyp: " + f.Kind + L"\nGröße: " + f.Size +
                        L"\nGeändert: " + f.Modified + L"\nLetzter Zugriff: " + f.Accessed +
                        L"\nStatus geändert: " + f.Changed + L"\nRechte: " + f.Permissions +
                        L"\nBesitzer: " + f.Owner;
    if (!f.LinkTarget.empty()) text += L"\nVerknüpfung zu: " + f.LinkTarget;
    return text;
}

std::wstring PasteTarget(const std::vector<std::wstring>& paths, const std::wstring& folder) {
    if (paths.size() == 1 && rt_file_size(paths[0]) == RtSizeFolder) {
        std::wstring target = paths[0];
        if (target.back() != L'/') target += L'/';
        return target;
    }
    return folder;
}

int64_t PasteFiles() {
    int64_t cut = 0;
    const std::wstring files = tk_clipboard_get_files(&cut);
    if (files.empty()) return 0;
    // One job per source folder: the job takes names inside one folder.
    std::vector<std::pair<std::wstring, std::wstring>> groups; // folder, names
    for (std::wstring path : ItemListSplit(files + L'\n')) {
        while (path.size() > 1 && path.back() == L'/') path.pop_back();
        const std::wstring folder = rt_path_folder(path), name = rt_path_name(path);
        if (folder.empty() || name.empty()) continue;
        if (groups.empty() || groups.back().first != folder) groups.emplace_back(folder, L"");
        groups.back().second += name + L"\n";
    }
    auto target = std::make_shared<std::wstring>();
    AskAside(
        AskAnyTime,
        [target, paths = PaneContext.Paths, folder = PaneContext.Folder] {
            *target = PasteTarget(paths, folder);
        },
        [target, groups, cut, pane = PaneContext.Pane, shown = PaneContext.Folder] {
            // Into a selected folder the files go to no pane's folder.
            const int64_t target_pane = *target == shown ? pane : 0;
            for (const auto& [folder, items] : groups)
                FileOpsCopyMove(items, folder, *target, cut, ListShowingFolder(folder),
                                target_pane);
        });
    return static_cast<int64_t>(groups.size());
}
