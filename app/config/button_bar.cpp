// The button bar in memory, on the toolbar and in its file. See button_bar.h.
#include "app/config/button_bar.h"

#include "app/config/button_bar_file.h"
#include "app/config/config_ids.h"
#include "app/config/config_texts.h"
#include "app/core/answers.h"
#include "app/core/app_state.h"
#include "app/core/ids.h"
#include "app/core/message_dialog.h"
#include "app/panes/panes.h"
#include "platform/app_icon.h"
#include "platform/mime.h"
#include "platform/shell_open.h"
#include "runtime/files.h"
#include "runtime/numbers.h"
#include "runtime/program.h"
#include "runtime/seqfile.h"
#include "toolkit/gadgets.h"

#include <memory>
#include <vector>

std::list<ButtonBarEntry> ButtonBarList;
std::vector<ToolbarButton> ToolbarButtons(1);

namespace {

// The pixels of the icon of path, or none: its program's icon, else its
// type's. Reads the file system: any thread but the main one.
std::vector<uint32_t> IconPixelsOf(const std::wstring& path) {
    std::vector<uint32_t> pixels;
    if (pf_program_icon(path, ButtonBarIconSize, pixels)) return pixels;
    const int64_t size = rt_file_size(path);
    if (size != RtSizeMissing &&
        pf_type_icon(path, size == RtSizeFolder, ButtonBarIconSize, pixels))
        return pixels;
    return {};
}

// The built-in picture, scaled onto image.
void DrawBuiltInPicture(int64_t image) {
    size_t size = 0;
    const unsigned char* png = tk_asset_png("item_file", &size);
    if (!png) return;
    const int64_t picture = tk_image_catch(-1, png, size);
    if (!picture) return;
    if (tk_drawing_start(tk_image_output(image))) {
        tk_draw_image(tk_image_handle(picture), 0, 0, ButtonBarIconSize, ButtonBarIconSize);
        tk_drawing_stop();
    }
    tk_image_free(picture);
}

// Gives entry the built-in picture; its own icon comes with AskIcons.
void TakeIcon(ButtonBarEntry& entry) {
    entry.IconImage = tk_image_create(-1, ButtonBarIconSize, ButtonBarIconSize, 32, -1);
    if (entry.IconImage) DrawBuiltInPicture(entry.IconImage);
    entry.IconWidth = tk_image_width(entry.IconImage);
}

void SetPixels(int64_t image, const std::vector<uint32_t>& argb) {
    std::vector<unsigned char> rgba(argb.size() * 4);
    for (size_t i = 0; i < argb.size(); ++i) {
        rgba[i * 4] = (argb[i] >> 16) & 0xFF;
        rgba[i * 4 + 1] = (argb[i] >> 8) & 0xFF;
        rgba[i * 4 + 2] = argb[i] & 0xFF;
        rgba[i * 4 + 3] = (argb[i] >> 24) & 0xFF;
    }
    tk_image_set_pixels(image, ButtonBarIconSize, ButtonBarIconSize, rgba.data());
}

// A bare program name (the editor when none was found by path) is looked up
// on the search path; anything else is opened as the desktop would.
int OpenButtonPath(const std::wstring& file, const std::wstring& params,
                   const std::wstring& folder) {
    if (file.find(L'/') == std::wstring::npos) return rt_program_run(file, params, folder);
    return pf_shell_open(file, params, folder);
}

// The entries' own icons are looked for off the main thread (a program on a
// hanging mount would freeze the window); until they come the buttons show
// the built-in picture. An answer for an entry that is gone or changed since
// is dropped.
void AskIcons(const std::list<ButtonBarEntry>& list) {
    struct Asked {
        int64_t image;
        std::wstring path;
        std::vector<uint32_t> pixels;
    };
    auto asked = std::make_shared<std::vector<Asked>>();
    for (const ButtonBarEntry& e : list)
        if (e.IconImage) asked->push_back({e.IconImage, e.Button.Path, {}});
    if (asked->empty()) return;
    AskAside(
        AskAnyTime,
        [asked] {
            for (Asked& a : *asked) a.pixels = IconPixelsOf(a.path);
        },
        [asked] {
            bool changed = false;
            for (const Asked& a : *asked)
                for (const ButtonBarEntry& e : ButtonBarList)
                    if (!a.pixels.empty() && e.IconImage == a.image && e.Button.Path == a.path) {
                        SetPixels(a.image, a.pixels);
                        changed = true;
                    }
            if (changed) RebuildToolbar(ButtonBarList);
        });
}

} // namespace

ButtonBarOpenFn ButtonBarOpen = OpenButtonPath;

void ButtonBarMessage(const std::wstring& headline, const std::wstring& text) {
    Messages.Dialog(MessageKindError, ConfigCaption, headline, text, MessageOneButton, WinMain);
}

std::wstring ButtonBarFolder() {
    return rt_dir_current() + ButtonBarDataFolder;
}

std::wstring ButtonBarFile() {
    return ButtonBarFolder() + ButtonBarFileName;
}

void ParseButtonBarLine(const std::wstring& line, ButtonBarEntry& entry) {
    size_t start = 0;
    int field = 0;
    for (size_t bar = line.find(L'|'); bar != std::wstring::npos; bar = line.find(L'|', start)) {
        const std::wstring text = line.substr(start, bar - start);
        start = bar + 1;
        switch (++field) {
        case 1: entry.Button.Path = text; break;
        case 2: entry.Button.Tooltip = text; break;
        case 3: entry.Button.Action = rt_val(text); break;
        case 4:
            // kept in 32 bits: larger values wrap as the file always stored them
            entry.Button.Parameter = static_cast<int32_t>(static_cast<uint32_t>(rt_val(text)));
            break;
        default: return;
        }
    }
}

std::wstring ButtonBarLine(const ButtonBarEntry& entry) {
    const ToolbarButton& b = entry.Button;
    return b.Path + L"|" + b.Tooltip + L"|" + rt_str_from_int(b.Action) + L"|" +
           rt_str_from_int(b.Parameter) + L"|";
}

int64_t LoadButtonBar(std::list<ButtonBarEntry>& list) {
    const int file = rt_seqfile_open_read(-1, ButtonBarFile());
    if (!file) return 0;
    while (!rt_seqfile_eof(file)) {
        ButtonBarEntry& entry = list.emplace_back();
        const std::wstring line = rt_seqfile_read_line(file);
        ParseButtonBarLine(line, entry);
        if (line.find(L'|') != std::wstring::npos) TakeIcon(entry);
    }
    rt_seqfile_close(file);
    for (const ButtonBarEntry& e : list)
        AddToolbarButton(ToolbarButtons, tk_image_handle(e.IconImage), e.Button.Path,
                         e.Button.Action, e.Button.Tooltip);
    AskIcons(list);
    return 1;
}

void UseDefaultButtonBar() {
    ButtonBarEntry& entry = ButtonBarList.emplace_back();
    entry.Button.Path = pf_editor_program();
    entry.Button.Tooltip = DefaultButtonTooltip;
    entry.Button.Action = ActionOpen;
    TakeIcon(entry);
    AddToolbarButton(ToolbarButtons, tk_image_handle(entry.IconImage), entry.Button.Path,
                     entry.Button.Action, entry.Button.Tooltip);
    AskIcons(ButtonBarList);
}

int64_t SaveButtonBar(const std::list<ButtonBarEntry>& list) {
    std::wstring text;
    for (const ButtonBarEntry& e : list) text += ButtonBarLine(e) + L"\r\n";
    const std::wstring folder = ButtonBarFolder();
    if (rt_file_size(folder) != RtSizeFolder) rt_dir_create(folder);
    return ReplaceFileText(ButtonBarFile(), text);
}

int64_t CreateButtonBarToolbar() {
    if (!tk_toolbar_create(GadToolbar, tk_window_handle(WinMain), TkToolbarLarge)) return 0;
    tk_toolbar_resize(GadToolbar, ToolbarX, ToolbarY, ToolbarWidth, ToolbarHeight);
    return 1;
}

void AddToolbarButton(std::vector<ToolbarButton>& buttons, intptr_t image, const std::wstring& path,
                      int64_t action, const std::wstring& tooltip) {
    if (buttons.empty()) buttons.resize(1);
    const size_t n = buttons.size() - 1;
    const int64_t item = MenuFirstToolbarButton + static_cast<int64_t>(n);
    buttons[n].Result = tk_toolbar_image_button(item, image);
    buttons[n].Action = action;
    buttons[n].Path = path;
    tk_toolbar_tooltip(GadToolbar, item, tooltip);
    buttons.emplace_back();
}

void RebuildToolbar(const std::list<ButtonBarEntry>& list) {
    tk_toolbar_free(GadToolbar);
    CreateButtonBarToolbar();
    ToolbarButtons.assign(1, ToolbarButton{});
    for (const ButtonBarEntry& e : list)
        AddToolbarButton(ToolbarButtons, tk_image_handle(e.IconImage), e.Button.Path,
                         e.Button.Action, e.Button.Tooltip);
}

int64_t ButtonIconFromFile(const std::wstring& path) {
    const int64_t image = tk_image_create(-1, ButtonBarIconSize, ButtonBarIconSize, 32, -1);
    if (!image) return 0;
    const std::vector<uint32_t> pixels = IconPixelsOf(path);
    if (!pixels.empty())
        SetPixels(image, pixels);
    else
        DrawBuiltInPicture(image);
    return image;
}

int64_t RunButtonBarItem() {
    const int64_t index = tk_event_menu() - MenuFirstToolbarButton;
    if (index < 0 || index + 1 >= static_cast<int64_t>(ToolbarButtons.size())) return 0;
    const ToolbarButton& b = ToolbarButtons[static_cast<size_t>(index)];
    if (b.Action != ActionOpen) return 1;
    // A button whose file is gone says so instead of doing nothing; whether
    // it is there is asked off the main thread.
    // It runs in the folder the user looks at, as F3, F4 and the command
    // line do, not in the one the program was started in.
    auto gone = std::make_shared<bool>(false);
    AskAside(
        AskAnyTime,
        [gone, path = b.Path] {
            *gone = path.find(L'/') != std::wstring::npos && rt_file_size(path) == RtSizeMissing;
        },
        [gone, path = b.Path, folder = PanePath(App.ActivePane)] {
            if (*gone || !ButtonBarOpen(path, L"", folder))
                ButtonBarMessage(ConfigHeadline, ButtonPathMissing + path);
        });
    return 1;
}

void ButtonBarReset() {
    ButtonBarList.clear();
    ToolbarButtons.assign(1, ToolbarButton{});
}
