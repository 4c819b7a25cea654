// Folder sizes on request (Space key): see navigation.h. The walk never
// follows a symbolic link, so a link to a large tree elsewhere, or a link
// loop, adds nothing. Main thread only (the Space key); FolderSize itself is
// safe from any thread (the walk is rt_dir_tree_bytes).
#include "app/panes/navigation.h"
#include "app/panes/panes.h"
#include "app/panes/size_text.h"
#include "runtime/file_checks.h"
#include "runtime/files.h"
#include "toolkit/gadget_ops.h"
#include "toolkit/list.h"

int64_t FolderSize(const std::wstring& path, int64_t recursive) {
    std::wstring folder = path;
    if (folder.empty() || folder.back() != L'/') folder += L'/';
    // A link counts as the link itself, also when it is the folder asked for.
    int attributes = rt_file_attributes(folder);
    if (attributes != -1 && (attributes & RtAttrLink)) return 0;
    return rt_dir_tree_bytes(folder, static_cast<int>(recursive));
}

void ShowFolderSizeOfSelection(int64_t pane) {
    std::wstring folder = PanePath(pane);
    if (folder.empty()) return;
    for (int64_t row = tk_list_next_selected(pane, -1); row >= 0;
         row = tk_list_next_selected(pane, row)) {
        std::wstring path = folder + tk_gadget_get_item_text(pane, row, ColName);
        if (rt_file_size(path) != RtSizeFolder) continue;
        // Always KB here, whatever unit the listing uses.
        tk_gadget_set_item_text(pane, row, FormatSize(FolderSize(path, 1), 0, 1), 3);
    }
}
