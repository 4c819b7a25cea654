// Reading a folder into finished rows, on any thread: see pane_reader.h.
//
// A folder of 100,000 entries should be read in little more than the time
// the kernel takes to list and stat it, so each entry is touched a few times
// only: its sort key goes as bytes into one pool (code-order bytes keep the
// keys' order), the sort moves 16-byte slots, and the row texts are written
// straight into each row's own text, the date and size without a text of
// their own in between.
#include "app/panes/pane_reader.h"

#include "app/core/ids.h"
#include "app/panes/navigation.h"
#include "app/panes/pane_remote.h"
#include "app/panes/pane_rows.h"
#include "app/panes/pane_sort.h"
#include "app/panes/panes.h"
#include "app/panes/size_text.h"
#include "runtime/dates.h"
#include "runtime/file_checks.h"
#include "runtime/files.h"
#include "runtime/os_path.h"
#include "runtime/replace.h"
#include "runtime/text.h"
#include "runtime/threads.h"

#include <algorithm>

namespace {

constexpr size_t kDateChars = 20; // "dd.mm.yyyy  hh:ii:ss"
// Characters of room in a row's text for the type name that replaces its
// extension later: a text that fits needs no new memory.
constexpr size_t kTypeNameRoom = 16;

void PutDigits(wchar_t*& at, int value, int width) {
    for (int i = width - 1; i >= 0; --i) {
        at[i] = static_cast<wchar_t>(L'0' + value % 10);
        value /= 10;
    }
    at += width;
}

bool Hidden(const PaneListingRequest& request, int64_t attributes) {
    if (!request.ShowHidden && (attributes & RtAttrHidden)) return true;
    if (!request.ShowSystem && (attributes & RtAttrSystem)) return true;
    return false;
}

// The entries a listing shows, split as they are shown: "..", the folders
// and the files, each as indices into the entries.
struct Groups {
    bool parent = false;
    std::vector<uint32_t> folders, files;
};

Groups GroupEntries(const PaneListingRequest& request, const std::vector<RtDirEntry>& entries) {
    Groups g;
    g.files.reserve(entries.size());
    for (size_t i = 0; i < entries.size(); ++i) {
        const RtDirEntry& e = entries[i];
        if (e.name.empty() || e.name == L".") continue;
        if (e.type == RtEntryFolder && e.name == L"..") {
            g.parent = true;
        } else if (!Hidden(request, e.attributes)) {
            (e.type == RtEntryFolder ? g.folders : g.files).push_back(static_cast<uint32_t>(i));
        }
    }
    return g;
}

// Sorts the indices by the entries' keys: text keys (names or extensions)
// when text_of is given, else the numbers number_of gives. Stable.
template <class TextOf, class NumberOf>
void SortIndices(std::vector<uint32_t>& indices, bool text, bool descending, TextOf text_of,
                 NumberOf number_of) {
    std::vector<SortSlot> slots(indices.size());
    std::string bytes; // the text keys, one after another
    for (size_t i = 0; i < indices.size(); ++i) {
        SortSlot& s = slots[i];
        s.RankRow = (SortRankKeyed << SortRankShift) | static_cast<uint32_t>(i);
        if (text) {
            const size_t start = bytes.size();
            AppendSortKeyBytes(bytes, text_of(indices[i]));
            s.Number = static_cast<int64_t>(start); // a pointer once bytes stops growing
            s.Length = static_cast<uint32_t>(bytes.size() - start);
        } else {
            s.Number = number_of(indices[i]);
            s.Length = 0;
        }
    }
    if (text) SealTextSlots(slots, bytes);
    SortSlots(slots, text, descending);
    std::vector<uint32_t> sorted(indices.size());
    for (size_t i = 0; i < slots.size(); ++i) sorted[i] = indices[slots[i].RankRow & SortRowMask];
    indices.swap(sorted);
}

// Folders by name, ascending, whatever the pane's sort state; files by the
// pane's sort column and order. Names and types sort by the keys a header
// click sorts by, so both order rows alike.
void SortGroups(const PaneListingRequest& request, const std::vector<RtDirEntry>& entries,
                Groups& g) {
    auto name = [&](uint32_t i) { return std::wstring_view(entries[i].name); };
    auto type = [&](uint32_t i) { return rt_path_extension_of(entries[i].name); };
    auto date = [&](uint32_t i) { return entries[i].modified; };
    auto size = [&](uint32_t i) { return entries[i].size; };
    auto none = [](uint32_t) { return int64_t(0); };
    SortIndices(g.folders, true, false, name, none);
    const bool descending = request.SortOrder == 1;
    switch (request.SortColumn) {
    case ColDate: SortIndices(g.files, false, descending, name, date); break;
    case ColType: SortIndices(g.files, true, descending, type, none); break;
    case ColSize: SortIndices(g.files, false, descending, name, size); break;
    default: SortIndices(g.files, true, descending, name, none); break;
    }
}

constexpr size_t kSplitRowsAbove = 4096; // rows from which two threads make them

// The text of file e's row, made in place with room for its type name:
// "name\ndate\nextension\nsize".
void MakeFileRow(const PaneListingRequest& request, const RtDirEntry& e, TkListNewRow& row) {
    thread_local std::wstring size; // reused: the row is sized exactly
    size.clear();
    AppendSizeText(size, e.size, request.FileSizeUnit);
    const std::wstring_view extension = rt_path_extension_of(e.name);
    std::wstring& text = row.text;
    text.reserve(e.name.size() + kDateChars + extension.size() + size.size() + 3 + kTypeNameRoom);
    text += e.name;
    text += L'\n';
    AppendPaneDateText(text, e.modified);
    text += L'\n';
    text += extension;
    text += L'\n';
    text += size;
    row.data = e.size;
    row.mark = (e.attributes & RtAttrLink) ? TkListMarkLink : TkListMarkNone; // links show an arrow
}

// Rows [from, to) of the listing: each names its entry through Order.
struct RowRange {
    const PaneListingRequest* request;
    const std::vector<RtDirEntry>* entries;
    const std::vector<uint32_t>* files;
    TkListNewRow* rows; // the first file row
    size_t from, to;

    void Run() const {
        for (size_t k = from; k < to; ++k) MakeFileRow(*request, (*entries)[(*files)[k]], rows[k]);
    }
    static void OnThread(intptr_t self) { reinterpret_cast<const RowRange*>(self)->Run(); }
};

// The rows: ".." when listed, the folders ("name\n\n"), the files. A large
// folder's file rows are made by two threads, each half of them; the helper
// is joined before the rows are done, part of this one reading and no
// question of its own.
void MakeRows(const PaneListingRequest& request, const std::vector<RtDirEntry>& entries,
              const Groups& g, PaneListing& out) {
    out.Rows.resize((g.parent ? 1 : 0) + g.folders.size() + g.files.size());
    TkListNewRow* row = out.Rows.data();
    if (g.parent) {
        row->text = L"..";
        row->tag = PaneTagDone;
        ++row;
    }
    for (uint32_t i : g.folders) {
        row->text.reserve(entries[i].name.size() + 2 + kTypeNameRoom);
        row->text += entries[i].name;
        row->text += L"\n\n";
        row->data = PaneRowFolder;
        row->mark = (entries[i].attributes & RtAttrLink) ? TkListMarkLink : TkListMarkNone;
        ++row;
    }
    RowRange whole{&request, &entries, &g.files, row, 0, g.files.size()};
    if (g.files.size() <= kSplitRowsAbove) {
        whole.Run();
        return;
    }
    RowRange second = whole;
    whole.to = second.from = g.files.size() / 2;
    const int helper = rt_thread_create(RowRange::OnThread, reinterpret_cast<intptr_t>(&second));
    whole.Run();
    if (helper)
        rt_thread_wait(helper);
    else
        second.Run();
}

} // namespace

void AppendPaneDateText(std::wstring& out, int64_t date) {
    const RtDateFields f = rt_date_split(date);
    const size_t start = out.size();
    out.resize(start + kDateChars, L' ');
    wchar_t* at = out.data() + start;
    PutDigits(at, f.day, 2);
    *at++ = L'.';
    PutDigits(at, f.month, 2);
    *at++ = L'.';
    PutDigits(at, f.year, 4);
    at += 2; // the two blanks
    PutDigits(at, f.hour, 2);
    *at++ = L':';
    PutDigits(at, f.minute, 2);
    *at++ = L':';
    PutDigits(at, f.second, 2);
}

std::wstring PaneDateText(int64_t date) {
    std::wstring text;
    AppendPaneDateText(text, date);
    return text;
}

namespace {

// A start folder may hold what copies killed in a former run left behind:
// it goes before anyone sees it. Only a listing that shows such a name
// costs a second look at the folder.
void RemoveStaleTemporaries(const std::wstring& folder, std::vector<RtDirEntry>& entries) {
    const auto temporary = [](const RtDirEntry& e) { return e.name.rfind(L".tc-tmp-", 0) == 0; };
    if (std::none_of(entries.begin(), entries.end(), temporary)) return;
    rt_replace_remove_stale_in(rt_os_strip_slashes(rt_text_to_os(folder)));
    std::erase_if(entries, [&](const RtDirEntry& e) {
        return temporary(e) && !rt_path_exists(folder + e.name);
    });
}

} // namespace

bool ReadPaneEntries(const std::wstring& folder, std::vector<RtDirEntry>* entries,
                     const std::atomic<int>* cancel, PaneReadFailure* failure, bool may_ask) {
    if (PaneIsRemote(folder))
        return ReadRemotePaneEntries(folder, entries, cancel, failure, may_ask);
    return rt_dir_read(folder, entries, cancel);
}

void ReadPaneListing(const PaneListingRequest& request, PaneListing* out,
                     const std::atomic<int>* cancel) {
    out->Path = request.Path;
    // A remote start folder is never looked for up its tree: its state shows.
    if (request.FindExisting && !PaneIsRemote(request.Path)) {
        out->Path = NearestExistingFolder(request.Path);
        if (out->Path.empty()) out->Path = request.Fallback;
    }
    std::vector<RtDirEntry> entries;
    // A start folder puts no login question to the user by itself: the
    // pane shows that one is needed, and asks once the user comes to it.
    out->Ok = ReadPaneEntries(out->Path, &entries, cancel, &out->Failure, !request.FindExisting);
    if (!out->Ok) return;
    if (request.FindExisting) RemoveStaleTemporaries(out->Path, entries);
    Groups groups = GroupEntries(request, entries);
    SortGroups(request, entries, groups);
    MakeRows(request, entries, groups, *out);
}
