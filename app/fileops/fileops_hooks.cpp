// Defaults of the file-operation doors: see fileops_hooks.h.
#include "app/fileops/fileops_hooks.h"

namespace {

int64_t NoCopyMove(const std::wstring&, const std::wstring&, const std::wstring&, int64_t) {
    return 0;
}
void NoInlineRename(int64_t) {}

} // namespace

CopyMoveCommandFn FileOpsCopyMove = NoCopyMove;
StartInlineRenameFn FileOpsStartInlineRename = NoInlineRename;
