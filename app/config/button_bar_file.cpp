// Crash-safe replacement of "Toolbar.bar" through the runtime's one file
// replace: temporary file, fsync, rename, fsync of the folder. A linked bar
// file stays linked and keeps its owner and permissions, as the settings do.
#include "app/config/button_bar_file.h"

#include "runtime/replace.h"
#include "runtime/text.h"

namespace {

constexpr int kBarReplace = RtReplaceSync | RtReplaceFollowLink | RtReplaceLikeOld;

} // namespace

int64_t ReplaceFileText(const std::wstring& path, const std::wstring& text) {
    const std::string target = rt_text_to_os(path);
    // Leftovers of a writer that died mid-save would otherwise pile up.
    rt_replace_remove_stale(rt_replace_target(target, kBarReplace));
    return rt_replace_file(target, rt_text_to_os(text), kBarReplace) ? 1 : 0;
}
