// Sorting a pane's rows in place by one column, without reading the folder
// again: after a header click (ColumnClicked) and after the folder watcher
// appended rows. ".." stays first and folders stay before files in both
// orders; only file rows are ordered by the column. A listing sorts its rows
// with the same keys (AppendSortKeyBytes) and the same slot sort, so a
// listing and a header click order names alike. Main thread only, except
// the key and slot procedures, which are pure.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

// Kinds of sort key by column: 0 "Name" text, 1 "Änderungsdatum" date,
// 2 "Typ" text, 3 "Größe" size.
enum : int64_t {
    SortTypeText = 0,
    SortTypeDate = 1,
    SortTypeSize = 3,
};
// The kind of key of a column (0..3); text for any other.
int64_t SortTypeOfColumn(int64_t column);

// Sort key of a text: Ä Ö Ü ä ö ü ß à â é è ê ù û become two letters each
// ("Äpfel" sorts as "Aepfel", "éclair" as "exclair") and A-Z fold to lower
// case; every other character compares by its code, except that with
// natural order on (name_fold.h) a run of digits compares by its value.
std::wstring SortTextKey(std::wstring_view text);
// Appends SortTextKey (text) as code-order bytes (rt_text_append_code_bytes):
// compared bytewise, the bytes order as the keys do, in a quarter of the room.
void AppendSortKeyBytes(std::string& bytes, std::wstring_view text);

// One row in a sort of many rows, packed small so that the sort moves little
// memory: its key (text bytes, AppendSortKeyBytes, or a number) and its rank
// and row in one word. Most comparisons of text keys end at the first eight
// bytes, kept in Prefix as one number.
struct SortSlot {
    union {
        const char* Text; // Length bytes of a text key (SealTextSlots)
        int64_t Number;   // a date or size key; before SealTextSlots, a text key's offset
    };
    uint64_t Prefix = 0;  // a text key's first eight bytes, big-endian, zero-padded
    uint32_t Length = 0;  // bytes of the text key; 0 for a number
    uint32_t RankRow = 0; // rank in the top two bits (SortRankShift), row index below
};
enum : uint32_t {
    SortRankParent = 0, // ".." goes first
    SortRankFolder = 1, // folders next, in the order they have
    SortRankKeyed = 2,  // the rest ordered by key
};
inline constexpr int SortRankShift = 30;
inline constexpr uint32_t SortRowMask = (uint32_t(1) << SortRankShift) - 1;
// Once every text key is in bytes (each slot's Number its offset there):
// points the slots at their keys and fills in their prefixes.
void SealTextSlots(std::vector<SortSlot>& slots, const std::string& bytes);
// Sorts slots by rank and, among SortRankKeyed slots, by text or number key,
// ascending or descending; slots that compare equal keep the order of their
// row indices (RankRow), so the sort is stable in effect. scratch is room
// for the sort's passes that the caller keeps between sorts (a fresh buffer
// of megabytes is mapped and touched page by page each time); without it
// the sort makes its own.
void SortSlots(std::vector<SortSlot>& slots, bool text, bool descending,
               std::vector<SortSlot>* scratch = nullptr);

// Byte count of a size text as a pane shows it ("1,234 KB" -> 1234 * 1024);
// 0 for an empty or unreadable text.
int64_t SizeTextBytes(const std::wstring& text);

// The keys of one sort of a pane's rows, kept by row while the rows' texts
// and data stay as they are: a header click on a column sorted before only
// compares.
struct SortKeyCache {
    int64_t Column = -1;
    int64_t SortType = -1;
    std::wstring Mask;
    uint64_t Revision = 0;       // tk_list_content_revision the slots belong to
    std::vector<SortSlot> Slots; // by row index
    std::string Bytes;           // the text keys the slots point into
};

// A pane's kept keys, and the room its sorts work in: the radix passes and
// the carried keys of another column. Kept between sorts, since fresh
// buffers of megabytes are mapped and touched page by page every time,
// which cost more than the sort itself.
struct PaneSortKeys {
    std::vector<SortKeyCache> Caches; // latest first
    std::vector<SortSlot> Scratch;
};

struct Pane;

// Sorts the pane's rows by column with its kind of key and order, with the
// busy cursor shown; the current row stays on its entry and the keyboard
// focus where it was. An empty mask means the listing's date mask.
void SortPane(Pane& pane, int64_t column, int64_t sort_type, const std::wstring& mask,
              int64_t order);
void SortPane(int64_t list, int64_t column, int64_t sort_type, const std::wstring& mask,
              int64_t order);
// The same by the pane's own sort column, kind and order.
void SortPaneAsStored(Pane& pane);
// The header's arrow on the pane's sort column, pointing its way.
void ShowSortArrow(const Pane& pane);
// A click on the header of the pane's column (tk_gadget_get_data of the
// list): flips the column's toggle, stores column, kind and order (first
// click ascending, next descending) and sorts.
void ColumnClicked(int64_t list);
