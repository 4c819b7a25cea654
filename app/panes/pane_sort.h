// Sorting a pane's rows in place by one column, without reading the folder
// again: after a header click (ColumnClicked) and after the folder watcher
// appended rows. ".." stays first and folders stay before files in both
// orders; only file rows are ordered by the column. FillPane sorts a fresh
// listing with the same name keys (SortTextKey), so a listing and a header
// click order names alike. Main thread only.
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
// case; every other character compares by its code.
std::wstring SortTextKey(const wchar_t* text, size_t length);
inline std::wstring SortTextKey(const std::wstring& text) {
    return SortTextKey(text.data(), text.size());
}
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

// One row's place in a sort: what it is and its key.
struct SortItem {
    uint32_t Row = 0;       // row index before the sort
    uint8_t Rank = 0;       // 0 "..", 1 folder, 2 file
    int64_t Number = 0;     // date or size key
    std::wstring_view Text; // text key (in SortParams::Pool)
};

// What CompareRows compares, with every row's key built once before the sort
// (by row index as it was before the sort).
struct SortParams {
    int64_t Pane = 0;
    int64_t Column = 0;
    int64_t SortType = SortTypeText;
    int64_t Order = 0;           // 0 ascending, 1 descending
    std::wstring Mask;           // date mask of sort type 1
    std::vector<SortItem> Items; // per row, by row index
    std::vector<wchar_t> Pool;   // text keys one after another
};

// Builds the keys of every row of params.Pane for params.Column / SortType.
void BuildSortKeys(SortParams& params);
// -1, 0 or 1: ".." first, then folders (equal among themselves), then file
// rows by key, ascending or descending. user is a SortParams*.
int CompareRows(int64_t row_a, int64_t row_b, intptr_t user);
// The same order on two items.
int CompareItems(const SortItem& a, const SortItem& b, const SortParams& params);

// Sorts the pane's rows by column with its kind of key and order, with the
// busy cursor shown; the current row stays on its entry and the keyboard
// focus where it was. An empty mask means the listing's date mask.
void SortPane(int64_t pane, int64_t column, int64_t sort_type, const std::wstring& mask,
              int64_t order);
// A click on the header of the pane's column (tk_gadget_get_data of the
// pane): flips the column's toggle, stores column, kind and order (first
// click ascending, next descending) and sorts.
void ColumnClicked(int64_t pane);
