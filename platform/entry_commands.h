// Commands of the pane context menu that the desktop provides: moving an
// entry into the freedesktop trash (trash.h: the trash folder of the user's
// data folder, or of the volume it lies on) and the facts an "Eigenschaften"
// window shows. Plain calls on the calling thread; nothing is kept.
#pragma once
#include <string>

// Moves path (file, link or folder, never followed) into the trash. 1 on
// success, 0 when it cannot be trashed. pf_trash_move (trash.h) also tells
// a file system without a usable trash from other failures.
int pf_trash(const std::wstring& path);

// What is known of one entry, as texts ready to show.
struct PfEntryFacts {
    std::wstring Name;     // last component
    std::wstring Kind;     // German type name ("Dateiordner", "Einfaches Textdokument")
    std::wstring Size;     // bytes, e.g. "1234 Byte"
    std::wstring Modified; // "DD.MM.YYYY hh:mm:ss"
    std::wstring Accessed;
    std::wstring Changed;     // status change
    std::wstring Permissions; // "-rw-r--r--"
    std::wstring Owner;       // "user:group" (numbers when unnamed)
    std::wstring LinkTarget;  // empty unless path is a symbolic link
};
// 1 and facts filled when path exists (the link itself for a link).
int pf_entry_facts(const std::wstring& path, PfEntryFacts& facts);
