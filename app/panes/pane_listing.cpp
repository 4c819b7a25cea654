// FillPane: reads one folder into a pane's list. Entries are read and sorted
// in memory first and then added in one pass with redrawing off, so a large
// folder costs one repaint. Type names and icons come later from the pane's
// workers (pane_workers.h); rows start with the extension and the generic
// pictures ImgParent, ImgFolder and ImgFile. Main thread only.
#include "app/panes/pane_hooks.h"
#include "app/panes/pane_texts.h"
#include "app/panes/pane_workers.h"
#include "app/panes/panes.h"
#include "app/panes/size_text.h"
#include "app/shell/app_state.h"
#include "app/shell/ids.h"
#include "app/shell/main_window.h"
#include "runtime/dates.h"
#include "runtime/files.h"
#include "toolkit/gadget_ops.h"
#include "toolkit/images.h"
#include "toolkit/list.h"

#include <algorithm>
#include <array>
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

// Only A-Z fold to lower case; every other character compares by its code,
// so names sort the same whatever the user's locale.
wchar_t FoldAscii(wchar_t c) {
    return (c >= L'A' && c <= L'Z') ? wchar_t(c - L'A' + L'a') : c;
}

bool LessNoCase(const std::wstring& a, const std::wstring& b) {
    return std::lexicographical_compare(
        a.begin(), a.end(), b.begin(), b.end(),
        [](wchar_t x, wchar_t y) { return FoldAscii(x) < FoldAscii(y); });
}

// Strict order of two file records by the pane's sort column, ascending.
bool LessByColumn(const FileEntry& a, const FileEntry& b, int64_t column) {
    switch (column) {
    case 1: return a.Date < b.Date;
    case 2: return LessNoCase(a.TypeText, b.TypeText);
    case 3: return a.Size < b.Size;
    default: return LessNoCase(a.Name, b.Name);
    }
}

FileEntry ReadFileRecord(int number, const std::wstring& path) {
    FileEntry e;
    e.Name = rt_dir_entry_name(number);
    e.Attributes = rt_dir_entry_attributes(number);
    e.Mark = 2;
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

void SortEntries(const PaneState& ps, std::vector<FileEntry>& folders,
                 std::vector<FileEntry>& files) {
    std::stable_sort(folders.begin(), folders.end(), [](const FileEntry& a, const FileEntry& b) {
        return LessNoCase(a.Name, b.Name);
    });
    int64_t column = ps.SortColumn;
    bool descending = ps.SortOrder == 1;
    std::stable_sort(files.begin(), files.end(), [&](const FileEntry& a, const FileEntry& b) {
        return descending ? LessByColumn(b, a, column) : LessByColumn(a, b, column);
    });
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
    RelayoutMainWindow();
    StartPaneWorkers(pane);
    return 1;
}
