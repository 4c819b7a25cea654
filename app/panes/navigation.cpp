// Opening a pane's current row, following shortcuts and links, and typed
// paths: see navigation.h.
//
// What the file system says about the row (is it a folder, where does a
// shortcut lead, does the folder above still exist) is asked off the main
// thread (app/core/answers.h) on the pane's Shown topic: the move itself
// happens when the answer comes, and only if the pane still shows the
// listing the row belonged to. The helpers take the pane's record, looked up
// once by the public procedure.
#include "app/panes/navigation.h"

#include "app/core/answers.h"
#include "app/core/app_state.h"
#include "app/panes/pane.h"
#include "app/panes/pane_cursor.h"
#include "app/panes/pane_hooks.h"
#include "app/panes/pane_location.h"
#include "app/panes/pane_remote.h"
#include "app/panes/pane_remote_open.h"
#include "app/panes/pane_sides.h"
#include "app/panes/pane_tabs.h"
#include "app/panes/pane_texts.h"
#include "app/panes/panes.h"
#include "platform/links.h"
#include "platform/remote_location.h"
#include "runtime/files.h"
#include "toolkit/gadget_ops.h"
#include "toolkit/list.h"

#include <memory>

namespace {

std::wstring WithSlash(std::wstring path) {
    if (path.empty() || path.back() != L'/') path += L'/';
    return path;
}

// The folder above folder (which ends in "/"); empty for "/".
std::wstring ParentFolder(const std::wstring& folder) {
    if (folder.size() < 2) return L"";
    return rt_path_part(folder.substr(0, folder.size() - 1));
}

void ScrollToCurrentRow(const Pane& pane) {
    const int64_t list = ListOf(pane);
    int64_t row = tk_list_current_row(list);
    int64_t row_height = tk_list_row_height(list);
    if (row > 0) tk_list_scroll(list, 0, row * (row_height > 0 ? row_height : 16));
}

// "..": back to the folder the pane came from, with the row it left selected
// and scrolled to the top. A pane whose history holds no earlier folder (a
// mount point shown by its drive button) goes to the real parent instead of
// showing the same folder again.
// A folder deleted behind the pane's back (with its parents) leaves it at
// the nearest ancestor that still exists.
void GoUp(Pane& pane) {
    if (PaneIsRemote(PaneFolder(pane))) return RemoteGoUp(pane);
    const std::vector<std::wstring>& history = pane.History.Paths;
    const bool back = history.size() >= 3;
    std::wstring target = back ? history[history.size() - 3] : ParentFolder(PaneFolder(pane));
    if (target.empty()) return;
    // The row to come back to is the folder left, by name: the rows kept in
    // the history are those of a start or a typed path, not of the way down.
    const std::wstring& here = PaneFolder(pane);
    const std::wstring left = rt_path_name(here.substr(0, here.size() - 1));
    struct Answer {
        bool target_there = false;
        std::wstring existing;
    };
    auto a = std::make_shared<Answer>();
    AskAside(
        pane.Shown,
        [a, target, back] {
            a->target_there = back && rt_file_size(target) == RtSizeFolder;
            if (!a->target_there) a->existing = NearestExistingFolder(target);
        },
        [a, &pane, target, left] {
            if (EnterInNewTab(pane, a->target_there ? target : a->existing)) return;
            if (a->target_there) {
                WishCursorOn(pane, target, left);
                ShowPath(pane, L"", ShowPop);
            } else {
                if (a->existing.empty()) return;
                WishCursorOn(pane, a->existing, left);
                SetPaneLocation(pane, a->existing);
                ShowPath(pane, L"", ShowRefresh);
            }
            ScrollToCurrentRow(pane);
        });
}

// Folder rows carry no date; every file row does.
bool IsFolderRow(int64_t list) {
    const int64_t row = tk_list_current_row(list);
    return row >= 0 && tk_gadget_get_item_text(list, row, 1).empty();
}

// What the file system says about the entry of a row.
struct EntryAnswer {
    bool folder = false;          // entry + "/" is a folder
    std::wstring shortcut_folder; // a shortcut's target folder, "/" at the end
};

// On the question's thread.
void AskAboutEntry(const std::wstring& entry, bool folder_row, EntryAnswer* a) {
    a->folder = rt_file_size(entry + L"/") == RtSizeFolder;
    if (a->folder || folder_row || !pf_is_shortcut(entry)) return;
    std::wstring target = ResolveShortcut(entry);
    if (target.empty() || target == NoShortcutTarget) return;
    target = WithSlash(target);
    if (rt_file_size(target) == RtSizeFolder) a->shortcut_folder = target;
}

// A folder is entered; a row listed as a folder that is none now (gone a
// moment ago, too long a path, a loop of links or no way through) has no
// file to hand to the desktop either; a shortcut to a folder re-roots the
// pane at its target; everything else, empty files included, goes to the
// desktop to open.
void ActOnEntry(Pane& pane, const std::wstring& entry, bool folder_row, const EntryAnswer& a) {
    if (a.folder) {
        if (!EnterInNewTab(pane, entry + L"/")) ShowPath(pane, entry + L"/", ShowPush);
    } else if (folder_row) {
        PaneError(PaneHeadlineError, PaneCannotList + entry + L"/" + PaneCannotListTail);
    } else if (!a.shortcut_folder.empty()) {
        if (EnterInNewTab(pane, a.shortcut_folder)) return;
        SetPaneLocation(pane, a.shortcut_folder);
        ShowPath(pane, a.shortcut_folder, ShowRefresh);
    } else {
        PaneShellOpen(entry, L"", PaneFolder(pane));
    }
}

} // namespace

int64_t OpenSelectedEntry(int64_t list) {
    Pane* pane = PaneOf(list);
    if (!pane) return 0;
    std::wstring name = tk_gadget_get_text(list);
    if (name.empty()) return 0;
    if (name == L"..") {
        GoUp(*pane);
        return 0;
    }
    const std::wstring entry = PaneFolder(*pane) + name;
    const bool folder_row = IsFolderRow(list);
    if (PaneIsRemote(entry)) {
        OpenRemoteEntry(*pane, entry, folder_row);
        return 0;
    }
    auto a = std::make_shared<EntryAnswer>();
    AskAside(
        pane->Shown, [a, entry, folder_row] { AskAboutEntry(entry, folder_row, a.get()); },
        [a, entry, folder_row, pane] { ActOnEntry(*pane, entry, folder_row, *a); });
    return 0;
}

int64_t OpenParentFolder(int64_t list) {
    Pane* pane = PaneOf(list);
    if (!pane || tk_gadget_get_item_text(list, 0, 0) != L"..") return 0;
    GoUp(*pane);
    return 0;
}

std::wstring NearestExistingFolder(std::wstring folder) {
    // A name with a NUL in it names nothing, whatever the part before it does.
    while (folder.find(L'\0') != std::wstring::npos || rt_file_size(folder) != RtSizeFolder) {
        if (folder.size() > 1 && folder.back() == L'/') folder.pop_back();
        folder = rt_path_folder(folder);
        if (folder.empty()) return L"";
    }
    return WithSlash(folder);
}

std::wstring ResolveShortcut(const std::wstring& path) {
    std::wstring target = pf_resolve_shortcut(path);
    return target.empty() ? NoShortcutTarget : target;
}

void OpenTypedPath(int64_t list) {
    Pane* pane = PaneOf(list);
    const PaneSide* side = pane ? SideOf(*pane) : nullptr;
    if (!side) return;
    const int64_t field = side->PathField;
    std::wstring typed = tk_gadget_get_text(field);
    if (pf_remote_is_location(typed)) return OpenTypedLocation(*pane, typed);
    std::wstring folder = WithSlash(typed);
    // Kept absolute: the history, the drive buttons and every command that
    // joins PanePath with a name rely on it.
    if (folder.front() != L'/') folder = rt_dir_current() + folder;
    auto is_folder = std::make_shared<bool>(false);
    AskAside(
        pane->Shown, [is_folder, folder] { *is_folder = rt_file_size(folder) == RtSizeFolder; },
        [is_folder, folder, typed, field, pane] {
            if (*is_folder) {
                SetPaneLocation(*pane, folder);
                ShowPath(*pane, L"", ShowRefresh);
            } else {
                PaneError(PaneHeadlineError, PaneNoSuchFolder + typed);
                tk_gadget_set_text(field, PaneFolder(*pane));
            }
        });
}
