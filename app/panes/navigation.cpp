// Opening a pane's current row, following shortcuts and links, and typed
// paths: see navigation.h.
#include "app/panes/navigation.h"

#include "app/core/app_state.h"
#include "app/panes/pane_hooks.h"
#include "app/panes/pane_location.h"
#include "app/panes/pane_texts.h"
#include "app/panes/panes.h"
#include "platform/links.h"
#include "runtime/files.h"
#include "toolkit/gadget_ops.h"
#include "toolkit/list.h"

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

// "..": back to the folder the pane came from, with the row it left selected
// and scrolled to the top. A pane whose history holds no earlier folder (a
// mount point shown by its drive button) goes to the real parent instead of
// showing the same folder again.
// A folder deleted behind the pane's back (with its parents) leaves it at
// the nearest ancestor that still exists.
void GoUp(int64_t pane) {
    const std::vector<std::wstring>& history = PaneOf(pane)->PathHistory;
    std::wstring target =
        history.size() >= 3 ? history[history.size() - 3] : ParentFolder(PanePath(pane));
    if (target.empty()) return;
    if (history.size() >= 3 && rt_file_size(target) == RtSizeFolder) {
        ShowPath(pane, L"", ShowPop);
    } else {
        const std::wstring existing = NearestExistingFolder(target);
        if (existing.empty()) return;
        SetPaneLocation(pane, existing);
        ShowPath(pane, L"", ShowRefresh);
    }
    int64_t row = tk_list_current_row(pane);
    int64_t row_height = tk_list_row_height(pane);
    if (row > 0) tk_list_scroll(pane, 0, row * (row_height > 0 ? row_height : 16));
}

// A file row: a shortcut to a folder re-roots the pane at its target;
// everything else, empty files included, goes to the desktop to open.
void OpenFile(int64_t pane, const std::wstring& entry) {
    if (pf_is_shortcut(entry)) {
        std::wstring target = ResolveShortcut(entry);
        if (!target.empty() && target != NoShortcutTarget) {
            target = WithSlash(target);
            if (rt_file_size(target) == RtSizeFolder) {
                SetPaneLocation(pane, target);
                ShowPath(pane, target, ShowRefresh);
                return;
            }
        }
    }
    PaneShellOpen(entry, L"", PanePath(pane));
}

// Folder rows carry no date; every file row does.
bool IsFolderRow(int64_t pane) {
    const int64_t row = tk_list_current_row(pane);
    return row >= 0 && tk_gadget_get_item_text(pane, row, 1).empty();
}

} // namespace

int64_t OpenSelectedEntry(int64_t pane) {
    if (!PaneOf(pane)) return 0;
    std::wstring name = tk_gadget_get_text(pane);
    if (name.empty()) return 0;
    if (name == L"..") {
        GoUp(pane);
        return 0;
    }
    std::wstring entry = PanePath(pane) + name;
    if (rt_file_size(entry + L"/") == RtSizeFolder) {
        ShowPath(pane, entry + L"/", ShowPush);
    } else if (IsFolderRow(pane)) {
        // listed as a folder, but gone a moment ago, too long a path, a loop
        // of links or no way through: no file to hand to the desktop either
        PaneError(PaneHeadlineError, PaneCannotList + entry + L"/" + PaneCannotListTail);
    } else {
        OpenFile(pane, entry);
    }
    return 0;
}

int64_t OpenParentFolder(int64_t pane) {
    if (!PaneOf(pane) || tk_gadget_get_item_text(pane, 0, 0) != L"..") return 0;
    GoUp(pane);
    return 0;
}

std::wstring NearestExistingFolder(std::wstring folder) {
    // A name with a NUL in it names nothing, whatever the part before it does.
    while (folder.find(L'\0') != std::wstring::npos || rt_file_size(folder) != RtSizeFolder) {
        if (folder.size() > 1 && folder.back() == L'/') folder.pop_back();
        const size_t slash = folder.rfind(L'/');
        if (slash == std::wstring::npos) return L"";
        folder.resize(slash + 1);
    }
    return WithSlash(folder);
}

std::wstring ResolveShortcut(const std::wstring& path) {
    std::wstring target = pf_resolve_shortcut(path);
    return target.empty() ? NoShortcutTarget : target;
}

std::wstring ResolveJunction(const std::wstring& path) {
    int attributes = rt_file_attributes(path);
    if (attributes == -1 || !(attributes & RtAttrLink)) return path;
    return pf_read_link(path);
}

void OpenTypedPath(int64_t pane) {
    int64_t field = PanePathGadget(pane);
    if (!field) return;
    std::wstring typed = tk_gadget_get_text(field);
    std::wstring folder = WithSlash(typed);
    // Kept absolute: the history, the drive buttons and every command that
    // joins PanePath with a name rely on it.
    if (folder.front() != L'/') folder = rt_dir_current() + folder;
    if (rt_file_size(folder) == RtSizeFolder) {
        SetPaneLocation(pane, folder);
        ShowPath(pane, L"", ShowRefresh);
    } else {
        PaneError(PaneHeadlineError, PaneNoSuchFolder + typed);
        tk_gadget_set_text(field, PanePath(pane));
    }
}
