// FillPane: reads one folder into a pane's list. Entries are read and sorted
// in memory first and then added in one pass with redrawing off, so a large
// folder costs one repaint. Type names and icons come later from the pane's
// workers (pane_workers.h); rows start with the extension and the generic
// pictures ImgParent, ImgFolder and ImgFile. Main thread only.
#include "app/core/app_state.h"
#include "app/core/ids.h"
#include "app/core/shell_hooks.h"
#include "app/panes/pane_hooks.h"
#include "app/panes/pane_texts.h"
#include "app/panes/pane_workers.h"
#include "app/panes/panes.h"
#include "app/panes/size_text.h"
#include "runtime/dates.h"
#include "runtime/files.h"
#include "toolkit/gadget_ops.h"
#include "toolkit/images.h"
#include "toolkit/list.h"

#include <algorithm>
#include <array>
#include <numeric>
#include <vector>

namespace {

// Letters of AttributeLetters with their bits, in the order they are shown.
struct AttributeLetter {
    int bit;
    wchar_t letter;
};
constexpr std::array<AttributeLetter, 6> AttributeLetterTable = {{
    {RtAttrArchive, L'A'},
    {RtAttrCompressed, L'C'},
    {RtAttrFolder, L'D'},
    {RtAttrHidden, L'H'},
    {RtAttrReadOnly, L'R'},
    {RtAttrSystem, L'S'},
}};

// Sort key of a name: only A-Z fold to lower case and every other character
// compares by its code, so names sort the same whatever the user's locale.
std::wstring FoldedKey(const std::wstring& text) {
    std::wstring key = text;
    for (wchar_t& c : key) {
        if (c >= L'A' && c <= L'Z') c = wchar_t(c - L'A' + L'a');
    }
    return key;
}

// Stable sort of records by key_of (record), each key built once and each
// record moved once: a folder of 100,000 entries sorts in a blink.
template <class KeyOf> void SortBy(std::vector<FileEntry>& records, KeyOf key_of, bool descending) {
    using Key = decltype(key_of(records.front()));
    std::vector<Key> keys;
    keys.reserve(records.size());
    for (const FileEntry& e : records) keys.push_back(key_of(e));
    std::vector<size_t> order(records.size());
    std::iota(order.begin(), order.end(), size_t(0));
    std::stable_sort(order.begin(), order.end(), [&](size_t a, size_t b) {
        return descending ? keys[b] < keys[a] : keys[a] < keys[b];
    });
    std::vector<FileEntry> sorted;
    sorted.reserve(records.size());
    for (size_t i : order) sorted.push_back(std::move(records[i]));
    records.swap(sorted);
}

FileEntry ReadFileRecord(int number, const std::wstring& path) {
    FileEntry e;
    e.Name = rt_dir_entry_name(number);
    e.Attributes = rt_dir_entry_attributes(number);
    // The column is headed "Änderungsdatum": show and sort the last change.
    e.Date = rt_dir_entry_date(number, RtDateModified);
    e.DateText = rt_format_date(PaneDateMask, e.Date);
    e.Size = rt_dir_entry_size(number);
    e.SizeText = FormatSize(e.Size, 0, App.settings.FileSizeUnit);
    e.TypeText = rt_path_extension(path + e.Name);
    return e;
}

// Reads folder path into the two arrays; false when it cannot be listed.
bool ReadFolder(const std::wstring& path, std::vector<FileEntry>& folders,
                std::vector<FileEntry>& files) {
    int number = rt_dir_examine(-1, path, L"*.*");
    if (!number) return false;
    while (rt_dir_next(number)) {
        int type = rt_dir_entry_type(number);
        if (type == RtEntryFolder) {
            FileEntry e;
            e.Name = rt_dir_entry_name(number);
            e.Attributes = rt_dir_entry_attributes(number);
            folders.push_back(std::move(e));
        } else if (type == RtEntryFile) {
            files.push_back(ReadFileRecord(number, path));
        }
    }
    rt_dir_finish(number);
    return true;
}

// Folders by name, ascending, whatever the pane's sort state; files by the
// pane's sort column and order.
void SortEntries(const PaneState& ps, std::vector<FileEntry>& folders,
                 std::vector<FileEntry>& files) {
    auto name = [](const FileEntry& e) { return FoldedKey(e.Name); };
    SortBy(folders, name, false);
    bool descending = ps.SortOrder == 1;
    switch (ps.SortColumn) {
    case ColDate:
        SortBy(
            files, [](const FileEntry& e) { return e.Date; }, descending);
        break;
    case ColType:
        SortBy(
            files, [](const FileEntry& e) { return FoldedKey(e.TypeText); }, descending);
        break;
    case ColSize:
        SortBy(
            files, [](const FileEntry& e) { return e.Size; }, descending);
        break;
    default: SortBy(files, name, descending); break;
    }
}

// Adds ".." (when listed), the folders and the files, skipping what the
// hidden and system settings leave out.
void AddRows(int64_t pane, const std::vector<FileEntry>& folders,
             const std::vector<FileEntry>& files) {
    auto parent = std::find_if(folders.begin(), folders.end(),
                               [](const FileEntry& e) { return e.Name == L".."; });
    if (parent != folders.end()) tk_gadget_add_item(pane, -1, L"..", tk_image_handle(ImgParent));
    intptr_t folder_image = tk_image_handle(ImgFolder);
    for (const FileEntry& e : folders) {
        if (e.Name.empty() || e.Name == L"." || e.Name == L"..") continue;
        if (HiddenBySettings(e.Attributes)) continue;
        tk_gadget_add_item(pane, -1, e.Name + L"\n\n", folder_image);
    }
    intptr_t file_image = tk_image_handle(ImgFile);
    for (const FileEntry& e : files) {
        if (e.Name.empty() || HiddenBySettings(e.Attributes)) continue;
        tk_gadget_add_item(pane, -1,
                           e.Name + L'\n' + e.DateText + L'\n' + e.TypeText + L'\n' + e.SizeText,
                           file_image);
    }
}

// A folder that cannot be listed: say so, and put the history back on the
// folder whose rows the list still shows, so the path field and every command
// that reads PanePath name the folder the user sees.
void ListingFailed(int64_t pane, const std::wstring& path) {
    PaneError(PaneHeadlineError, PaneCannotList + path + PaneCannotListTail);
    PaneState* ps = PaneOf(pane);
    if (!ps->ListedHistory.empty()) {
        ps->PathHistory = ps->ListedHistory;
        ps->SelectionHistory = ps->ListedSelection;
    } else {
        PopHistory(pane);
    }
    tk_gadget_set_text(PanePathGadget(pane), PanePath(pane));
}

} // namespace

std::wstring AttributeLetters(const std::wstring& path) {
    int attributes = rt_file_attributes(path);
    std::wstring letters;
    for (const AttributeLetter& a : AttributeLetterTable) {
        if (attributes & a.bit) letters += a.letter;
    }
    return letters;
}

bool HiddenBySettings(int64_t attributes) {
    if (!App.settings.ShowHidden && (attributes & RtAttrHidden)) return true;
    if (!App.settings.ShowSystem && (attributes & RtAttrSystem)) return true;
    return false;
}

int64_t FillPane(int64_t pane, const std::wstring& path) {
    PaneState* ps = PaneOf(pane);
    if (!ps) return 0;
    std::vector<FileEntry> folders, files;
    if (!ReadFolder(path, folders, files)) {
        ListingFailed(pane, path);
        return 0;
    }
    SortEntries(*ps, folders, files);
    tk_list_set_redraw(pane, 0);
    tk_gadget_clear_items(pane);
    AddRows(pane, folders, files);
    tk_list_set_redraw(pane, 1);
    ps->ListedHistory = ps->PathHistory;
    ps->ListedSelection = ps->SelectionHistory;
    CallRelayoutMainWindow();
    StartPaneWorkers(pane);
    return 1;
}
