// FillPane and the two halves of a listing (pane_reader.h): entries are read,
// sorted and turned into row texts in memory first, on any thread, and then
// added in one pass with redrawing off, so a large folder costs one repaint.
// Type names and icons come later from the pane's workers (pane_workers.h);
// rows start with the extension and the generic pictures ImgParent, ImgFolder
// and ImgFile.
#include "app/core/app_state.h"
#include "app/core/ids.h"
#include "app/core/shell_hooks.h"
#include "app/panes/pane_hooks.h"
#include "app/panes/pane_reader.h"
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
#include <initializer_list>
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

// Reads folder path into the two arrays; false when it cannot be listed.
bool ReadFolder(const PaneListingRequest& request, std::vector<FileEntry>& folders,
                std::vector<FileEntry>& files, const std::atomic<int>* cancel) {
    std::vector<RtDirEntry> entries;
    if (!rt_dir_read(request.Path, &entries, cancel)) return false;
    for (RtDirEntry& d : entries) {
        if (d.type == RtEntryFolder) {
            FileEntry e;
            e.Name = std::move(d.name);
            e.Attributes = d.attributes;
            folders.push_back(std::move(e));
        } else if (d.type == RtEntryFile) {
            // The column is headed "Änderungsdatum": show and sort the last change.
            files.push_back(FileRecordIn(request.FileSizeUnit, std::move(d.name), d.attributes,
                                         d.size, d.modified));
        }
    }
    return true;
}

// Folders by name, ascending, whatever the pane's sort state; files by the
// pane's sort column and order. Names and types sort by the keys a header
// click sorts by (SortTextKey), so both order rows alike.
void SortEntries(const PaneListingRequest& request, std::vector<FileEntry>& folders,
                 std::vector<FileEntry>& files) {
    auto name = [](const FileEntry& e) { return SortTextKey(e.Name); };
    SortBy(folders, name, false);
    bool descending = request.SortOrder == 1;
    switch (request.SortColumn) {
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

bool Hidden(const PaneListingRequest& request, int64_t attributes) {
    if (!request.ShowHidden && (attributes & RtAttrHidden)) return true;
    if (!request.ShowSystem && (attributes & RtAttrSystem)) return true;
    return false;
}

// Appends a row whose text is the given columns joined by "\n".
void AddRow(PaneListing& out, std::initializer_list<const std::wstring*> columns, int64_t image,
            int64_t data, bool done = false) {
    PaneListedRow row{out.Texts.size(), 0, image, data, done};
    bool first = true;
    for (const std::wstring* c : columns) {
        if (!first) out.Texts += L'\n';
        out.Texts += *c;
        first = false;
    }
    row.Length = out.Texts.size() - row.Start;
    out.Rows.push_back(row);
}

// ".." (when listed), the folders and the files, leaving out what the
// hidden and system settings leave out.
void MakeRows(const PaneListingRequest& request, const std::vector<FileEntry>& folders,
              const std::vector<FileEntry>& files, PaneListing& out) {
    size_t chars = 0;
    for (const FileEntry& e : folders) chars += e.Name.size() + 2;
    for (const FileEntry& e : files)
        chars += e.Name.size() + e.DateText.size() + e.TypeText.size() + e.SizeText.size() + 3;
    out.Texts.reserve(chars);
    out.Rows.reserve(folders.size() + files.size());
    const std::wstring parent_name = L"..", empty;
    auto parent = std::find_if(folders.begin(), folders.end(),
                               [](const FileEntry& e) { return e.Name == L".."; });
    if (parent != folders.end()) AddRow(out, {&parent_name}, ImgParent, 0, true);
    for (const FileEntry& e : folders) {
        if (e.Name.empty() || e.Name == L"." || e.Name == L"..") continue;
        if (Hidden(request, e.Attributes)) continue;
        AddRow(out, {&e.Name, &empty, &empty}, ImgFolder, PaneRowFolder);
    }
    for (const FileEntry& e : files) {
        if (e.Name.empty() || Hidden(request, e.Attributes)) continue;
        AddRow(out, {&e.Name, &e.DateText, &e.TypeText, &e.SizeText}, ImgFile, e.Size);
    }
}

// Days from 1970-01-01 to year, month, day (the era count of dates.cpp).
void CivilFromDays(int64_t z, int* year, int* month, int* day) {
    z += 719468;
    const int64_t era = z / 146097;
    const int64_t doe = z - era * 146097;
    const int64_t yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const int64_t doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const int64_t mp = (5 * doy + 2) / 153;
    *month = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
    *year = static_cast<int>(yoe + era * 400 + (*month <= 2));
    *day = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
}

void PutDigits(wchar_t*& at, int value, int width) {
    for (int i = width - 1; i >= 0; --i) {
        at[i] = static_cast<wchar_t>(L'0' + value % 10);
        value /= 10;
    }
    at += width;
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

FileEntry FileRecordIn(int64_t size_unit, std::wstring name, int64_t attributes, int64_t size,
                       int64_t date) {
    FileEntry e;
    e.Name = std::move(name);
    e.Attributes = attributes;
    e.Date = date;
    e.DateText = PaneDateText(e.Date);
    e.Size = size;
    e.SizeText = FormatSize(e.Size, 0, size_unit);
    // a name has no "/": it is its own last component
    e.TypeText = rt_path_extension(e.Name);
    return e;
}

FileEntry MakeFileRecord(const std::wstring& path, std::wstring name, int64_t attributes,
                         int64_t size, int64_t date) {
    FileEntry e = FileRecordIn(App.settings.FileSizeUnit, std::move(name), attributes, size, date);
    e.TypeText = rt_path_extension(path + e.Name);
    return e;
}

std::wstring PaneDateText(int64_t date) {
    constexpr int64_t kDay = 86400;
    constexpr int64_t kYear10000 = 253402300800; // four digits no longer hold the year
    int year = 0, month = 0, day = 0, hour = 0, minute = 0, second = 0;
    if (date >= 0 && date < kYear10000) {
        CivilFromDays(date / kDay, &year, &month, &day);
        const int64_t secs = date % kDay;
        hour = static_cast<int>(secs / 3600);
        minute = static_cast<int>(secs / 60 % 60);
        second = static_cast<int>(secs % 60);
    }
    std::wstring text(20, L' '); // "dd.mm.yyyy  hh:ii:ss"
    wchar_t* at = text.data();
    PutDigits(at, day, 2);
    *at++ = L'.';
    PutDigits(at, month, 2);
    *at++ = L'.';
    PutDigits(at, year, 4);
    at += 2;
    PutDigits(at, hour, 2);
    *at++ = L':';
    PutDigits(at, minute, 2);
    *at++ = L':';
    PutDigits(at, second, 2);
    return text;
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

PaneListingRequest PaneListingRequestOf(const PaneState& ps, const std::wstring& path) {
    PaneListingRequest r;
    r.Path = path;
    r.ShowHidden = App.settings.ShowHidden != 0;
    r.ShowSystem = App.settings.ShowSystem != 0;
    r.FileSizeUnit = App.settings.FileSizeUnit;
    r.SortColumn = ps.SortColumn;
    r.SortOrder = ps.SortOrder;
    return r;
}

void ReadPaneListing(const PaneListingRequest& request, PaneListing* out,
                     const std::atomic<int>* cancel) {
    std::vector<FileEntry> folders, files;
    out->Ok = ReadFolder(request, folders, files, cancel);
    if (!out->Ok) return;
    SortEntries(request, folders, files);
    MakeRows(request, folders, files, *out);
}

void PutListingIntoPane(int64_t pane, const PaneListing& listing) {
    PutListedRows(pane, listing);
    FinishListedRows(pane);
}

void PutListedRows(int64_t pane, const PaneListing& listing) {
    PaneState* ps = PaneOf(pane);
    if (!ps) return;
    ps->ListingEpoch++; // rows of the previous listing are no worker's business any more
    ps->RowsVersion++;
    const uint32_t tag = PaneNewRowTag(pane);
    const intptr_t pictures[] = {tk_image_handle(ImgParent), tk_image_handle(ImgFolder),
                                 tk_image_handle(ImgFile)};
    auto picture = [&](int64_t image) {
        return image == ImgParent ? pictures[0] : image == ImgFolder ? pictures[1] : pictures[2];
    };
    tk_list_set_redraw(pane, 0);
    tk_gadget_clear_items(pane);
    std::wstring text; // one buffer for every row: assigning reuses it
    for (const PaneListedRow& row : listing.Rows) {
        text.assign(listing.Texts, row.Start, row.Length);
        tk_list_add_item(pane, -1, text, picture(row.Image), row.Data,
                         row.Done ? tag | PaneTagDone : tag);
    }
    tk_list_set_redraw(pane, 1);
    ps->ListedHistory = ps->PathHistory;
    ps->ListedSelection = ps->SelectionHistory;
}

void FinishListedRows(int64_t pane) {
    CallRelayoutMainWindow();
    StartPaneWorkers(pane);
}

// A folder that cannot be listed: say so, and put the history back on the
// folder whose rows the list still shows, so the path field and every command
// that reads PanePath name the folder the user sees.
void PaneListingFailed(int64_t pane, const std::wstring& path) {
    PaneError(PaneHeadlineError, PaneCannotList + path + PaneCannotListTail);
    PaneState* ps = PaneOf(pane);
    if (!ps) return;
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

int64_t FillPane(int64_t pane, const std::wstring& path) {
    PaneState* ps = PaneOf(pane);
    if (!ps) return 0;
    PaneListing listing;
    ReadPaneListing(PaneListingRequestOf(*ps, path), &listing);
    if (!listing.Ok) {
        PaneListingFailed(pane, path);
        return 0;
    }
    PutListingIntoPane(pane, listing);
    return 1;
}
