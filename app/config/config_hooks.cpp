// The requesters behind the configuration dialogs: see config_hooks.h.
#include "app/config/config_hooks.h"

#include "platform/shell_open.h"
#include "runtime/files.h"
#include "toolkit/gadgets.h"

namespace {

std::wstring ToolkitFileRequester(const std::wstring& title, const std::wstring& default_file,
                                  const std::wstring& pattern, int64_t index) {
    return tk_open_file_requester(title, default_file, pattern, index);
}

int64_t ToolkitFontRequester(const std::wstring& name, int64_t size, int64_t flags, int64_t color,
                             int64_t style, ChosenFont& chosen) {
    if (!tk_font_requester(name, size, flags, color, style)) return 0;
    chosen = {tk_selected_font_name(), tk_selected_font_size(), tk_selected_font_style(),
              tk_selected_font_color()};
    return 1;
}

} // namespace

ConfigFileRequesterFn ConfigFileRequester = ToolkitFileRequester;
ConfigFontRequesterFn ConfigFontRequester = ToolkitFontRequester;

std::wstring EditorFileName() {
    return rt_path_file_part(pf_editor_program());
}
