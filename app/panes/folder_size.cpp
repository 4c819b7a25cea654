// Folder sizes on request (Space key): see navigation.h. The walk never
// follows a symbolic link, so a link to a large tree elsewhere, or a link
// loop, adds nothing. The walk runs off the main thread (app/core/answers.h)
// on the pane's Shown topic; until it ends the rows keep their old size
// texts. FolderSize itself is safe from any thread (the walk is
// rt_dir_tree_bytes).
#include "app/core/answers.h"
#include "app/core/app_state.h"
#include "app/panes/navigation.h"
#include "app/panes/pane.h"
#include "app/panes/pane_remote.h"
#include "app/panes/pane_sides.h"
#include "app/panes/panes.h"
#include "app/panes/size_text.h"
#include "runtime/file_checks.h"
#include "runtime/files.h"
#include "toolkit/gadget_ops.h"
#include "toolkit/list.h"

#include <memory>
#include <vector>

int64_t FolderSize(const std::wstring& path, int64_t depth) {
    if (PaneIsRemote(path)) return RemoteFolderSize(path, depth == FolderSizeWithSubfolders);
    std::wstring folder = path;
    if (folder.empty() || folder.back() != L'/') folder += L'/';
    // A link counts as the link itself, also when it is the folder asked for.
    int attributes = rt_file_attributes(folder);
    if (attributes != -1 && (attributes & RtAttrLink)) return 0;
    return rt_dir_tree_bytes(folder, depth == FolderSizeWithSubfolders ? 1 : 0);
}

namespace {

// One selected row and, once asked, its size text (empty: no folder).
struct SizedRow {
    int64_t Row = 0;
    std::wstring Name;
    std::wstring Text;
};

// The row that shows name: row itself unless the rows moved meanwhile.
int64_t RowNamed(int64_t pane, int64_t row, const std::wstring& name) {
    if (tk_gadget_get_item_text(pane, row, ColName) == name) return row;
    const int64_t count = tk_gadget_count_items(pane);
    for (int64_t r = 0; r < count; ++r)
        if (tk_gadget_get_item_text(pane, r, ColName) == name) return r;
    return -1;
}

} // namespace

void ShowFolderSizeOfSelection(int64_t list) {
    Pane* pane = PaneOf(list);
    if (!pane || PaneFolder(*pane).empty()) return;
    const std::wstring folder = PaneFolder(*pane);
    auto rows = std::make_shared<std::vector<SizedRow>>();
    for (int64_t row = tk_list_next_selected(list, -1); row >= 0;
         row = tk_list_next_selected(list, row))
        rows->push_back({row, tk_gadget_get_item_text(list, row, ColName), L""});
    if (rows->empty()) return;
    AskAside(
        pane->Shown,
        [rows, folder] {
            for (SizedRow& r : *rows) {
                std::wstring path = folder + r.Name;
                if (PaneIsRemote(path)) {
                    // -1: no folder, or its server does not answer
                    const int64_t bytes = RemoteFolderSize(path, true);
                    if (bytes >= 0) r.Text = FormatSize(bytes, 0, 1);
                    continue;
                }
                if (rt_file_size(path) != RtSizeFolder) continue;
                // Always KB here, whatever unit the listing uses.
                r.Text = FormatSize(FolderSize(path, FolderSizeWithSubfolders), 0, 1);
            }
        },
        [rows, list] {
            for (const SizedRow& r : *rows) {
                if (r.Text.empty()) continue;
                const int64_t row = RowNamed(list, r.Row, r.Name);
                if (row >= 0) tk_gadget_set_item_text(list, row, r.Text, ColSize);
            }
        });
}
