// The file-operation doors of the context menu: see fileops_hooks.h.
#include "app/fileops/fileops_hooks.h"

#include "app/fileops/fileops.h"

CopyMoveCommandFn FileOpsCopyMove = CopyMoveCommand;
StartInlineRenameFn FileOpsStartInlineRename = StartInlineRename;
