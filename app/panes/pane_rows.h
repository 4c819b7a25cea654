// What a pane row carries besides its four column texts, and how the folder
// watcher's refresh turns a directory entry into a row that looks exactly
// like a row of a listing (pane_reader.cpp makes those, in bulk).
//
// Item data: PaneRowFolder (-2) on a folder row, the size in bytes on a file
// row, 0 on "..". Sorting by "Größe" reads the byte count from it; the size
// text is only what is shown.
//
// Tag (tk_list_item_tag): which decorations the workers have put on the row,
// the listing it belongs to and its MIME type number:
//   bits 0-3   PaneTag… flags below
//   bits 4-7   listing epoch (Pane::ListingEpoch, modulo 16): a worker
//              still busy with the previous folder's rows cannot write into
//              a row of the new listing that happens to have the same name
//   bits 8-31  pf_mime type number, once PaneTagTyped is set
// Main thread, except PaneRowTag… helpers, which are pure.
#pragma once

#include <cstdint>
#include <string>

struct FileEntry;
struct Pane;

inline constexpr int64_t PaneRowFolder = -2;

enum : uint32_t {
    PaneTagTyped = 0x1,  // column "Typ" holds the type name
    PaneTagIconed = 0x2, // the row shows its type's icon
    PaneTagMarked = 0x4, // ... with the red "!" of a hidden entry
    PaneTagDone = PaneTagTyped | PaneTagIconed,
    PaneTagEpochMask = 0xF0,
    PaneTagTypeMask = 0xFFFFFF00,
};
inline constexpr int PaneTagEpochShift = 4;
inline constexpr int PaneTagTypeShift = 8;

inline uint32_t PaneTagEpoch(uint32_t epoch) {
    return (epoch << PaneTagEpochShift) & PaneTagEpochMask;
}
inline int PaneTagType(uint32_t tag) {
    return static_cast<int>(tag >> PaneTagTypeShift);
}

// The tag new rows of the pane's current listing start with.
uint32_t PaneNewRowTag(const Pane& pane);
uint32_t PaneNewRowTag(int64_t list);

// Folder and file rows of a listing (pane_listing.cpp): the row text, its
// generic picture, item data and tag, appended at the end of the pane's list.
void AppendFolderRow(Pane& pane, const FileEntry& folder);
void AppendFileRow(Pane& pane, const FileEntry& file);
// A file record of folder path as a listing shows it: name, modification
// date and its text, size and its text in the pane's file unit, extension.
FileEntry MakeFileRecord(const std::wstring& path, std::wstring name, int64_t attributes,
                         int64_t size, int64_t date);
