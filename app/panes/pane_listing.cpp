// FillPane: reads one folder into a pane's list. Entries are read and sorted
// in memory first and then added in one pass with redrawing off, so a large
// folder costs one repaint. Type names and icons come later from the pane's
// workers (pane_workers.h); rows start with the extension and the generic
// pictures ImgParent, ImgFolder and ImgFile. Main thread only.
#include "app/core/app_state.h"
#include "app/core/ids.h"
#include "app/core/shell_hooks.h"
#include "app/panes/pane_hooks.h"
#include "app/panes/pane_rows.h"
#include "app/panes/pane_sort.h"
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
    // The column is headed "Änderungsdatum": show and sort the last change.
    return MakeFileRecord(path, rt_dir_entry_name(number), rt_dir_entry_attributes(number),
                          rt_dir_entry_size(number), rt_dir_entry_date(number, RtDateModified));
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
// pane's sort column and order. Names and types sort by the keys a header
// click sorts by (SortTextKey), so both order rows alike.
void SortEntries(const PaneState& ps, std::vector<FileEntry>& folders,
                 std::vector<FileEntry>& files) {
    auto name = [](const FileEntry& e) { return SortTextKey(e.Name); };
    SortBy(folders, name, false);
    bool descending = ps.SortOrder == 1;
    switch (ps.SortColumn) {
    case ColDate:
        SortBy(
            files, [](const FileEntry& e) { return e.Date; }, descending);
        break;
    case ColType:
        SortBy(
            files, [](const FileEntry& e) { return SortTextKey(e.TypeText); }, descending);
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
    if (parent != folders.end())
        tk_list_add_item(pane, -1, L"..", tk_image_handle(ImgParent), 0,
                         PaneNewRowTag(pane) | PaneTagDone);
    for (const FileEntry& e : folders) {
        if (e.Name.empty() || e.Name == L"." || e.Name == L"..") continue;
        if (HiddenBySettings(e.Attributes)) continue;
        AppendFolderRow(pane, e);
    }
    for (const FileEntry& e : files) {
        if (e.Name.empty() || HiddenBySettings(e.Attributes)) continue;
        AppendFileRow(pane, e);
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
    // ShowPath stopped the workers of the rows still shown: let them finish.
    for (int64_t kind : {PaneWorkerTypeNames, PaneWorkerIcons})
        StartPaneWorker(pane, *PaneWorkerOf(pane, kind), kind);
}

} // namespace

uint32_t PaneNewRowTag(int64_t pane) {
    const PaneState* ps = PaneOf(pane);
    return ps ? PaneTagEpoch(ps->ListingEpoch) : 0;
}

void AppendFolderRow(int64_t pane, const FileEntry& folder) {
    tk_list_add_item(pane, -1, folder.Name + L"\n\n", tk_image_handle(ImgFolder), PaneRowFolder,
                     PaneNewRowTag(pane));
}

void AppendFileRow(int64_t pane, const FileEntry& e) {
    tk_list_add_item(pane, -1,
                     e.Name + L'\n' + e.DateText + L'\n' + e.TypeText + L'\n' + e.SizeText,
                     tk_image_handle(ImgFile), e.Size, PaneNewRowTag(pane));
}

FileEntry MakeFileRecord(const std::wstring& path, std::wstring name, int64_t attributes,
                         int64_t size, int64_t date) {
    FileEntry e;
    e.Name = std::move(name);
    e.Attributes = attributes;
    e.Date = date;
    e.DateText = rt_format_date(PaneDateMask, e.Date);
    e.Size = size;
    e.SizeText = FormatSize(e.Size, 0, App.settings.FileSizeUnit);
    e.TypeText = rt_path_extension(path + e.Name);
    return e;
}

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
    ps->ListingEpoch++; // rows of the previous listing are no worker's business any more
    ps->RowsVersion++;
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
