// Doors from the shell's context menu into the file operations: the
// copy/move job behind "Einfügen" and the in-place rename behind
// "Umbenennen". They lead to CopyMoveCommand and StartInlineRename; tests of
// the menu put recorders in their place. Main thread only.
#pragma once

#include <cstdint>
#include <string>

// names: an ItemList of bare names inside sourceFolder (each ended by a line
// feed); both folders end in "/"; move 0 copies, 1 moves; the lists of the
// panes the items come from and go to, 0 for none (CopyMoveCommand).
using CopyMoveCommandFn = void (*)(const std::wstring& names, const std::wstring& sourceFolder,
                                   const std::wstring& targetFolder, int64_t move,
                                   int64_t sourcePane, int64_t targetPane);
// Opens the rename field over the pane's current row.
using StartInlineRenameFn = void (*)(int64_t pane);

extern CopyMoveCommandFn FileOpsCopyMove;            // CopyMoveCommand
extern StartInlineRenameFn FileOpsStartInlineRename; // StartInlineRename
