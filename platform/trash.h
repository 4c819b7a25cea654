// The desktop's trash (the freedesktop.org trash, version 1.0): moving an
// entry into the trash of its own file system, finding a trashed entry's
// record again, and putting it back where it was.
//
// An entry on the file system (and mount) of the home folder goes to the home
// trash, $XDG_DATA_HOME/Trash (~/.local/share/Trash). An entry elsewhere goes
// to the trash at the top of its mount: $topdir/.Trash/$uid when an
// administrator made $topdir/.Trash (a folder, not a link, with the sticky
// bit), otherwise $topdir/.Trash-$uid, created 0700. Every trash holds files/
// with the entries and info/ with one "<name>.trashinfo" record each: the
// original path (percent-encoded; absolute in the home trash, relative to
// $topdir on a mount) and the local time of the deletion.
//
// A move first creates the record (O_EXCL, so two trashing processes never
// share a name), then renames the entry into files/ under the same name,
// refusing to replace anything; when the rename fails the record goes again.
// Nothing is ever copied: an entry whose file system has no usable trash
// comes back as PfTrashNoTrash, untouched, for the caller to say so. The
// folder sizes cache (directorysizes) is left alone; readers check it against
// the records anyway.
//
// Paths are std::wstring, converted losslessly (runtime/text.h), so names with
// line feeds or bytes that are not UTF-8 work. Every system call goes through
// rt_sys. Plain calls on the calling thread; nothing is kept between calls.
#pragma once
#include "runtime/identity.h"
#include "runtime/undo_reasons.h"

#include <string>

// Outcomes of pf_trash_move.
enum : int {
    PfTrashFailed = 0,  // the entry cannot be moved (missing, no permission, busy)
    PfTrashDone = 1,    // the entry is in the trash
    PfTrashNoTrash = 2, // its file system has no trash that can be used
};

struct PfTrashResult {
    int result = PfTrashFailed; // PfTrash…
    int error = 0;              // errno unless PfTrashDone
    std::wstring trashed;       // PfTrashDone: the entry's path in the trash's files folder
};

// Moves the entry at path (a link itself, never followed) into its trash.
PfTrashResult pf_trash_move(const std::wstring& path);

// A trashed entry's record.
struct PfTrashEntry {
    std::wstring trashed;  // the entry in the trash's files folder
    std::wstring original; // where it was, absolute
    std::wstring deleted;  // the deletion time as recorded, "YYYY-MM-DDThh:mm:ss"
};

// The record of the entry pf_trash_move left at trashed. false when trashed
// lies in no files folder of a trash or its record is missing or damaged.
bool pf_trash_find(const std::wstring& trashed, PfTrashEntry* out);

// Puts the entry at trashed back where its record says it was, only when
// nothing stands there (a missing folder on the way is created again), and
// removes the record. *restored (when given) is where it went.
RtUndoResult pf_trash_restore(const std::wstring& trashed, std::wstring* restored);

// Looks in the trash the entry at original would go to for an entry with
// identity that came from original (as pf_trash_move names entries);
// *trashed is its path. For a move to the trash that a kill interrupted.
bool pf_trash_search(const std::wstring& original, const RtIdentity& identity,
                     std::wstring* trashed);

// The trash folder an entry at path goes to (ending in "/"), without
// creating anything; empty when there is none that could be used.
std::wstring pf_trash_folder_for(const std::wstring& path);
