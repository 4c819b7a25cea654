// The pane context menu: which popup a right click opens, that its answers
// never run a main-menu item, "Öffnen mit" against a private application
// database of recording scripts, the trash in a private data folder, the
// clipboard in both file-manager formats, paste as copy or move jobs,
// shortcut, rename and properties.
#include <chrono>
#include <cstdlib>
#include <fstream>
#include <sys/stat.h>
#include <thread>

#include "app/fileops/copy_job.h"
#include "app/fileops/fileops.h"
#include "app/fileops/fileops_hooks.h"
#include "app/panes/pane_location.h"
#include "app/panes/panes.h"
#include "app/shell/main_events.h"
#include "app/shell/pane_context_menu.h"
#include "config_fixture.h"
#include "platform/app_icon.h"
#include "toolkit/clipboard.h"

namespace {

const char* kRecorder = "#!/bin/sh\n"
                        "{ for a in \"$@\"; do echo \"arg=$a\"; done; } > \"$TC_RECORD_LOG.part\"\n"
                        "mv \"$TC_RECORD_LOG.part\" \"$TC_RECORD_LOG\"\n";

// GLib reads the XDG folders once per process, so they are set before main.
struct ContextSandbox {
    TempDir dir;
    ContextSandbox() {
        const std::string d = dir.path();
        if (system(("mkdir -p " + d + "/data/applications " + d + "/home/.local/share " + d +
                    "/config")
                       .c_str()) != 0)
            abort();
        if (symlink("/usr/share/mime", (d + "/data/mime").c_str()) != 0) abort();
        if (symlink("/usr/share/icons", (d + "/data/icons").c_str()) != 0) abort();
        dir.write("record.sh", kRecorder);
        chmod((d + "/record.sh").c_str(), 0755);
        dir.write("data/applications/tc-eins.desktop",
                  "[Desktop Entry]\nType=Application\nName=Eins\nExec=" + d +
                      "/record.sh --eins %f\nMimeType=text/plain;\n");
        dir.write("data/applications/tc-zwei.desktop",
                  "[Desktop Entry]\nType=Application\nName=Zwei\nExec=" + d +
                      "/record.sh --zwei %f\nMimeType=text/plain;\n");
        dir.write("tool.sh", "#!/bin/sh\n");
        chmod((d + "/tool.sh").c_str(), 0755);
        dir.write("data/applications/tc-tool.desktop",
                  "[Desktop Entry]\nType=Application\nName=Werkzeug\nIcon=folder\nExec=" + d +
                      "/tool.sh\n");
        dir.write("data/applications/mimeinfo.cache",
                  "[MIME Cache]\ntext/plain=tc-eins.desktop;tc-zwei.desktop;\n");
        dir.write("config/mimeapps.list", "[Default Applications]\ntext/plain=tc-eins.desktop\n");
        setenv("XDG_DATA_DIRS", (d + "/data").c_str(), 1);
        setenv("XDG_DATA_HOME", (d + "/home/.local/share").c_str(), 1);
        setenv("XDG_CONFIG_HOME", (d + "/config").c_str(), 1);
        setenv("XDG_CONFIG_DIRS", (d + "/config").c_str(), 1);
        setenv("HOME", (d + "/home").c_str(), 1);
        unsetenv("XDG_CURRENT_DESKTOP");
        unsetenv("DBUS_SESSION_BUS_ADDRESS");
    }
};
ContextSandbox& Sandbox() {
    static ContextSandbox s;
    return s;
}
[[maybe_unused]] const bool kSandboxReady = (Sandbox(), true);

std::string WaitForFile(const std::string& path) {
    for (int i = 0; i < 500; ++i) {
        std::ifstream f(path);
        if (f) return std::string((std::istreambuf_iterator<char>(f)), {});
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return "(none)";
}

std::vector<std::wstring> Jobs;
void RecordJob(const std::wstring& items, const std::wstring& source, const std::wstring& target,
               int64_t move, int64_t, int64_t target_pane) {
    Jobs.push_back(items + L"|" + source + L"|" + target + L"|" + std::to_wstring(move) + L"|" +
                   std::to_wstring(target_pane));
}
std::vector<int64_t> Renamed;
void RecordRename(int64_t pane) {
    Renamed.push_back(pane);
}
std::wstring Shown;
int64_t RecordShow(const std::wstring& caption, const std::wstring& text, int64_t) {
    Shown = caption + L"\n" + text;
    return 1;
}

class ContextMenuTest : public ConfigTest {
  protected:
    void SetUp() override {
        ConfigTest::SetUp();
        Jobs.clear();
        Renamed.clear();
        Shown.clear();
        FileOpsCopyMove = RecordJob;
        FileOpsStartInlineRename = RecordRename;
        Messages.Box = RecordShow;
        folder_ = W(dir_.path()) + L"/";
        dir_.write("brief.txt", "Hallo\n");
        mkdir((dir_ / "ordner").c_str(), 0755);
        SetPaneLocation(GadLeftPane, folder_);
        ShowPath(GadLeftPane, L"", ShowRefresh);
        App.ActivePane = GadLeftPane;
    }
    void TearDown() override {
        FileOpsCopyMove = saved_copy_;
        FileOpsStartInlineRename = saved_rename_;
        PaneContext = PaneContextState{};
        tk_menu_free(MenuPaneContext); // an open popup would keep the mouse
        ConfigTest::TearDown();
    }
    void For(std::vector<std::wstring> names) {
        PaneContext = PaneContextState{};
        PaneContext.Pane = GadLeftPane;
        PaneContext.Folder = folder_;
        for (const std::wstring& n : names) PaneContext.Paths.push_back(folder_ + n);
        PaneContext.Apps = pf_apps_for_type(PaneContext.Paths.front());
    }
    int64_t Row(const std::wstring& name) {
        for (int64_t r = 0; r < tk_gadget_count_items(GadLeftPane); ++r)
            if (tk_gadget_get_item_text(GadLeftPane, r, 0) == name) return r;
        return -1;
    }
    std::wstring folder_;
    CopyMoveCommandFn saved_copy_ = FileOpsCopyMove;
    StartInlineRenameFn saved_rename_ = FileOpsStartInlineRename;
};

TEST_F(ContextMenuTest, RightClickBuildsTheMenuOnlyForRealSelections) {
    tk_gadget_set_item_state(GadLeftPane, Row(L".."), TkItemSelected);
    ShowPaneContextMenu(WinMain, GadLeftPane, folder_);
    EXPECT_TRUE(PaneContext.Paths.empty()); // popup 27 instead
    tk_gadget_set_item_state(GadLeftPane, Row(L"brief.txt"), TkItemSelected);
    ShowPaneContextMenu(WinMain, GadLeftPane, folder_);
    ASSERT_EQ(PaneContext.Paths.size(), 1u);
    EXPECT_EQ(PaneContext.Paths[0], folder_ + L"brief.txt");
    ASSERT_EQ(PaneContext.Apps.size(), 2u);
    EXPECT_EQ(PaneContext.Apps[0].name, L"Eins");
    EXPECT_TRUE(tk_menu_exists(MenuPaneContext));
    // the Menu key with nothing selected: the menu of the current row
    for (const wchar_t* name : {L"..", L"brief.txt"})
        tk_gadget_set_item_state(GadLeftPane, Row(name), 0);
    tk_list_set_current_row(GadLeftPane, Row(L"brief.txt"));
    ASSERT_EQ(tk_list_selected_count(GadLeftPane), 0);
    ShowPaneContextMenu(WinMain, GadLeftPane, folder_, true);
    ASSERT_EQ(PaneContext.Paths.size(), 1u);
    EXPECT_EQ(PaneContext.Paths[0], folder_ + L"brief.txt");
}

TEST_F(ContextMenuTest, AnswersAreApartFromMainMenuItems) {
    for (int64_t item :
         std::vector<int64_t>{MenuSettings, MenuButtonBar, MenuQuit, MenuFirstToolbarButton, 999})
        EXPECT_FALSE(IsPaneContextAnswer(item));
    EXPECT_TRUE(IsPaneContextAnswer(PaneContextIdBase + ContextRename));
    // "Umbenennen" (18) through the main window runs the rename, not item 18 or 0.
    For({L"brief.txt"});
    Fire(MainWindowEvents, EventMenu, WinMain, PaneContextIdBase + ContextRename);
    EXPECT_EQ(Renamed, (std::vector<int64_t>{GadLeftPane}));
    EXPECT_FALSE(tk_window_exists(WinSettings));
    Fire(MainWindowEvents, EventMenu, WinMain, PaneContextIdBase + 0);
    EXPECT_FALSE(tk_window_exists(WinSettings));
    Fire(MainWindowEvents, EventMenu, WinMain, PaneContextIdBase + ContextSuppressed);
    EXPECT_EQ(Renamed.size(), 1u);
}

TEST_F(ContextMenuTest, OpenWithStartsTheChosenApplication) {
    const std::string log = dir_ / "record.log";
    setenv("TC_RECORD_LOG", log.c_str(), 1);
    For({L"brief.txt"});
    RunPaneContextCommand(ContextOpenWithFirst + 1);
    EXPECT_EQ(WaitForFile(log), "arg=--zwei\narg=" + dir_ / "brief.txt" + "\n");
}

TEST_F(ContextMenuTest, TrashMovesIntoThePrivateTrash) {
    For({L"brief.txt"});
    RunPaneContextCommand(ContextTrash);
    // The move to the trash is a file job: its end is handled as the main loop would.
    for (int i = 0; i < 500 && (FileJobRunning() || tk_window_exists(WinCopyProgress)); ++i) {
        const int32_t v = tk_event_wait_timeout(10);
        if (tk_event_window() == WinCopyProgress) CopyProgressEvents(v);
    }
    struct stat s;
    EXPECT_NE(stat((dir_ / "brief.txt").c_str(), &s), 0);
    const std::string trash = Sandbox().dir / "home/.local/share/Trash";
    EXPECT_EQ(stat((trash + "/files/brief.txt").c_str(), &s), 0);
    EXPECT_EQ(stat((trash + "/info/brief.txt.trashinfo").c_str(), &s), 0);
}

TEST_F(ContextMenuTest, CopyAndCutPutBothFormatsOnTheClipboard) {
    dir_.write("a b%.txt", "x");
    For({L"a b%.txt", L"ordner"});
    RunPaneContextCommand(ContextCut);
    const std::string uri_a = "file://" + dir_ / "a%20b%25.txt";
    const std::string uri_folder = "file://" + dir_ / "ordner";
    EXPECT_EQ(tk_clipboard_format("text/uri-list"), uri_a + "\r\n" + uri_folder + "\r\n");
    EXPECT_EQ(tk_clipboard_format("x-special/gnome-copied-files"),
              "cut\n" + uri_a + "\n" + uri_folder);
    int64_t cut = 0;
    EXPECT_EQ(tk_clipboard_get_files(&cut), folder_ + L"a b%.txt\n" + folder_ + L"ordner");
    EXPECT_EQ(cut, 1);
    RunPaneContextCommand(ContextCopy);
    EXPECT_EQ(tk_clipboard_format("x-special/gnome-copied-files").rfind("copy\n", 0), 0u);
}

TEST_F(ContextMenuTest, PasteFromAnotherFileManagerRunsOneJobPerFolder) {
    tk_clipboard_set_formats(
        {{"x-special/gnome-copied-files",
          "copy\nfile:///q/eins.txt\nfile:///q/zwei%C3%A4.txt\nfile:///r/drei"}});
    For({L"ordner"}); // one folder selected: the files go into it
    RunPaneContextCommand(ContextPaste);
    ASSERT_EQ(Jobs.size(), 2u);
    EXPECT_EQ(Jobs[0], L"eins.txt\nzweiä.txt\n|/q/|" + folder_ + L"ordner/|0|0");
    EXPECT_EQ(Jobs[1], L"drei\n|/r/|" + folder_ + L"ordner/|0|0");

    tk_clipboard_set_formats(
        {{"text/uri-list", "file:///q/eins.txt\r\n"}, {"application/x-kde-cutselection", "1"}});
    For({L"brief.txt"});
    RunPaneContextCommand(ContextPaste);
    ASSERT_EQ(Jobs.size(), 3u);
    EXPECT_EQ(Jobs[2], L"eins.txt\n|/q/|" + folder_ + L"|1|" + std::to_wstring(GadLeftPane));
}

TEST_F(ContextMenuTest, ShortcutNewFolderAndProperties) {
    For({L"brief.txt"});
    RunPaneContextCommand(ContextCreateShortcut);
    struct stat s;
    ASSERT_EQ(lstat((dir_ / "Verknüpfung zu brief.txt").c_str(), &s), 0);
    EXPECT_TRUE(S_ISLNK(s.st_mode));

    For({L"Verknüpfung zu brief.txt"});
    RunPaneContextCommand(ContextProperties);
    EXPECT_EQ(Shown.find(L"Eigenschaften\nName: Verknüpfung zu brief.txt\n"), 0u);
    EXPECT_NE(Shown.find(L"Verknüpfung zu: " + folder_ + L"brief.txt"), std::wstring::npos);
    EXPECT_NE(Shown.find(L"Rechte: l"), std::wstring::npos);
    EXPECT_NE(Shown.find(L"Größe: 6 Byte"), std::wstring::npos);

    RunPaneContextCommand(ContextNewFolder);
    bool posted = false;
    for (int i = 0; i < 100 && !posted; ++i)
        posted = tk_event_wait_timeout(5) == EventGadget && tk_event_gadget() == GadNewFolderButton;
    EXPECT_TRUE(posted);
}

TEST(ProgramIcon, ComesFromTheDesktopEntryThatStartsTheProgram) {
    std::vector<uint32_t> pixels;
    EXPECT_EQ(pf_program_icon(rt_text_from_os(Sandbox().dir / "tool.sh"), 32, pixels), 1);
    EXPECT_EQ(pixels.size(), 32u * 32u);
    // record.sh is started by entries without an icon; a document is no program.
    EXPECT_EQ(pf_program_icon(rt_text_from_os(Sandbox().dir / "record.sh"), 32, pixels), 0);
    EXPECT_EQ(pf_program_icon(rt_text_from_os(Sandbox().dir / "data/applications/tc-tool.desktop"),
                              32, pixels),
              0);
}

} // namespace
