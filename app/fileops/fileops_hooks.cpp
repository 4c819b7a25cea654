// Defaults of the file-operation doors: see fileops_hooks.h.
#include "app/fileops/fileops_hooks.h"

namespace {

void NoCopyMove(const std::wstring&, const std::wstring&, const std::wstring&, int64_t) {}
void NoInlineRename(int64_t) {}

} // namespace

CopyMoveCommandFn FileOpsCopyMove = NoCopyMove;
StartInlineRenameFn FileOpsStartInlineRename = NoInlineRename;
