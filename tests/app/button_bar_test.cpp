// The button bar file to the byte, loading with its toolbar buttons and ids,
// the default bar, the crash-safe save and what a pressed button does.
#include <filesystem>
#include <sys/stat.h>
#include <unistd.h>

#include "app/config/button_bar_file.h"
#include "app/core/answers.h"
#include "config_fixture.h"
#include "platform/shell_open.h"
#include "runtime/syscalls.h"

namespace {

class ButtonBarTest : public ConfigTest {
  protected:
    void WriteBar(const std::string& bytes) {
        mkdir((dir_ / "Data").c_str(), 0755);
        dir_.write("Data/Toolbar.bar", bytes);
    }
    static int64_t Press(int64_t item) {
        return Fire([](int64_t) { return RunButtonBarItem(); }, EventMenu, WinMain, item);
    }
};

ButtonBarEntry Parsed(const std::wstring& line) {
    ButtonBarEntry e;
    ParseButtonBarLine(line, e);
    return e;
}

TEST(ButtonBarLineTest, FieldsAreClosedByBarsAndExtraOnesIgnored) {
    ButtonBarEntry e = Parsed(L"/usr/bin/gedit|Notepad|2|7|");
    EXPECT_EQ(e.Button.Path, L"/usr/bin/gedit");
    EXPECT_EQ(e.Button.Tooltip, L"Notepad");
    EXPECT_EQ(e.Button.Action, 2);
    EXPECT_EQ(e.Button.Parameter, 7);
    EXPECT_EQ(ButtonBarLine(e), L"/usr/bin/gedit|Notepad|2|7|");

    // The tooltip is not closed by a bar: only the path counts.
    e = Parsed(L"/bin/prog|Werkzeug");
    EXPECT_EQ(e.Button.Path, L"/bin/prog");
    EXPECT_EQ(e.Button.Tooltip, L"");
    EXPECT_EQ(e.Button.Action, 0);

    e = Parsed(L"/p|t|2|5|mehr|noch mehr|");
    EXPECT_EQ(e.Button.Parameter, 5);
    EXPECT_EQ(e.Button.Action, 2);

    e = Parsed(L"ohne Balken");
    EXPECT_EQ(e.Button.Path, L"");
    EXPECT_EQ(e.Button.Action, 0);
    e = Parsed(L"/p|t|x2|abc|");
    EXPECT_EQ(e.Button.Action, 0);
    EXPECT_EQ(e.Button.Parameter, 0);
}

TEST(ButtonBarLineTest, ParameterWrapsInThirtyTwoBits) {
    EXPECT_EQ(Parsed(L"/p|t|2|3000000000|").Button.Parameter, -1294967296);
    EXPECT_EQ(Parsed(L"/p|t|2|4294967297|").Button.Parameter, 1);
    EXPECT_EQ(Parsed(L"/p|t|2|-5|").Button.Parameter, -5);
    ButtonBarEntry e = Parsed(L"/p|t|2|3000000000|");
    EXPECT_EQ(ButtonBarLine(e), L"/p|t|2|-1294967296|");
}

TEST_F(ButtonBarTest, ThreeLinesGiveButtons400To402And403RunsNothing) {
    WriteBar("/a/eins|Eins|2|0|\r\n/a/zwei|Zwei|2|0|\r\n/a/drei|Drei|1|0|\r\n");
    ASSERT_EQ(LoadButtonBar(ButtonBarList), 1);
    ASSERT_EQ(ButtonBarList.size(), 3u);
    EXPECT_EQ(ToolbarButtons.size(), 4u);
    EXPECT_EQ(ButtonBarList.front().IconWidth, 32);
    EXPECT_NE(ButtonBarList.front().IconImage, 0);

    EXPECT_EQ(Press(401), 1);
    EXPECT_EQ(Press(402), 1); // action 1 does nothing
    EXPECT_EQ(Press(403), 0);
    EXPECT_EQ(Press(MenuSettings), 0);
    // /a/zwei does not exist: a message instead of silence, nothing opened.
    EXPECT_TRUE(opened.empty());
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_NE(messages[0].find(L"/a/zwei"), std::wstring::npos);
}

TEST_F(ButtonBarTest, ExistingButtonOpensItsPath) {
    dir_.write("tool.sh", "#!/bin/sh\n");
    const std::string line = dir_ / "tool.sh" + "|Tool|2|0|\r\n";
    WriteBar(line);
    ASSERT_EQ(LoadButtonBar(ButtonBarList), 1);
    EXPECT_EQ(Press(400), 1);
    ASSERT_EQ(opened.size(), 1u);
    EXPECT_EQ(opened[0], W(dir_ / "tool.sh"));
    EXPECT_TRUE(messages.empty());
}

TEST_F(ButtonBarTest, BareProgramNameIsNotTakenForAMissingFile) {
    WriteBar("xdg-open|Notepad|2|0|\r\n");
    ASSERT_EQ(LoadButtonBar(ButtonBarList), 1);
    EXPECT_EQ(Press(400), 1);
    EXPECT_EQ(opened, (std::vector<std::wstring>{L"xdg-open"}));
    EXPECT_TRUE(messages.empty());
}

TEST_F(ButtonBarTest, EmptyFileIsAnEmptyBarAndNoFileIsNotRead) {
    EXPECT_EQ(LoadButtonBar(ButtonBarList), 0);
    EXPECT_TRUE(ButtonBarList.empty());
    WriteBar("");
    EXPECT_EQ(LoadButtonBar(ButtonBarList), 1);
    EXPECT_TRUE(ButtonBarList.empty());
    EXPECT_EQ(ToolbarButtons.size(), 1u);
}

TEST_F(ButtonBarTest, DefaultBarIsTheEditorAsNotepadAndWritesNothing) {
    UseDefaultButtonBar();
    ASSERT_EQ(ButtonBarList.size(), 1u);
    const ButtonBarEntry& e = ButtonBarList.front();
    EXPECT_EQ(e.Button.Path, pf_editor_program());
    EXPECT_EQ(e.Button.Tooltip, L"Notepad");
    EXPECT_EQ(e.Button.Action, 2);
    EXPECT_EQ(e.IconWidth, 32);
    EXPECT_EQ(ToolbarButtons.size(), 2u);
    struct stat s;
    EXPECT_NE(stat((dir_ / "Data").c_str(), &s), 0);
}

TEST_F(ButtonBarTest, SaveWritesTheBytesAndLoadReadsThemBack) {
    const std::string bytes = "/opt/ä b/x|Grüße|2|-1294967296|\r\n|leer|0|0|\r\n";
    WriteBar(bytes + "no bar at all\r\n");
    ASSERT_EQ(LoadButtonBar(ButtonBarList), 1);
    ASSERT_EQ(ButtonBarList.size(), 3u);
    ButtonBarList.pop_back(); // the line without bars is an entry of its own
    ASSERT_EQ(SaveButtonBar(ButtonBarList), 1);
    EXPECT_EQ(dir_.read("Data/Toolbar.bar"), bytes);
    ButtonBarReset();
    ASSERT_EQ(LoadButtonBar(ButtonBarList), 1);
    ASSERT_EQ(SaveButtonBar(ButtonBarList), 1);
    EXPECT_EQ(dir_.read("Data/Toolbar.bar"), bytes);
}

TEST_F(ButtonBarTest, SaveCreatesDataAndAFailedWriteKeepsTheOldFile) {
    ButtonBarEntry& e = ButtonBarList.emplace_back();
    e.Button = {0, 2, 0, L"/x", L"X"};
    ASSERT_EQ(SaveButtonBar(ButtonBarList), 1); // "Data" did not exist
    EXPECT_EQ(dir_.read("Data/Toolbar.bar"), "/x|X|2|0|\r\n");

    RtSyscallsRestore restore;
    rt_sys.write = [](int, const void*, size_t) -> ssize_t {
        errno = ENOSPC;
        return -1;
    };
    e.Button.Tooltip = L"Neu";
    EXPECT_EQ(SaveButtonBar(ButtonBarList), 0);
    rt_sys = rt_syscalls_real();
    EXPECT_EQ(dir_.read("Data/Toolbar.bar"), "/x|X|2|0|\r\n");
    struct stat s;
    EXPECT_NE(stat((dir_ / "Data/Toolbar.bar.tmp").c_str(), &s), 0);
    int entries = 0;
    for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator(dir_ / "Data"))
        ++entries;
    EXPECT_EQ(entries, 1) << "no temporary file is left beside the bar";
}

TEST_F(ButtonBarTest, SaveThroughALinkKeepsTheLinkAndAFailedSyncKeepsTheOldFile) {
    mkdir((dir_ / "Data").c_str(), 0755);
    dir_.write("real.bar", "alt|\r\n");
    ASSERT_EQ(symlink((dir_ / "real.bar").c_str(), (dir_ / "Data/Toolbar.bar").c_str()), 0);
    ButtonBarEntry& e = ButtonBarList.emplace_back();
    e.Button = {0, 2, 0, L"/x", L"X"};
    ASSERT_EQ(SaveButtonBar(ButtonBarList), 1);
    struct stat s;
    ASSERT_EQ(lstat((dir_ / "Data/Toolbar.bar").c_str(), &s), 0);
    EXPECT_TRUE(S_ISLNK(s.st_mode)) << "the link is followed, not replaced";
    EXPECT_EQ(dir_.read("real.bar"), "/x|X|2|0|\r\n");

    RtSyscallsRestore restore;
    rt_sys.fsync = [](int) {
        errno = EIO;
        return -1;
    };
    e.Button.Tooltip = L"Neu";
    EXPECT_EQ(SaveButtonBar(ButtonBarList), 0);
    rt_sys = rt_syscalls_real();
    EXPECT_EQ(dir_.read("real.bar"), "/x|X|2|0|\r\n");
}

// The bar opens with the built-in picture on every button; each button's own
// icon, looked for off the main thread, replaces it when it comes. A button
// whose file hangs or is gone keeps the picture; so does an entry that was
// replaced before its answer came.
TEST_F(ButtonBarTest, OwnIconsArriveAfterTheBarIsShown) {
    dir_.write("text.txt", "hallo\n");
    WriteBar(dir_ / "text.txt" + "|Text|2|0|\r\n/a/fehlt|Weg|2|0|\r\n");
    const int64_t saved_wait = AnswerWaitMs;
    AnswerWaitMs = 0; // every answer comes through the loop
    ASSERT_EQ(LoadButtonBar(ButtonBarList), 1);
    ASSERT_EQ(ButtonBarList.size(), 2u);
    const int64_t text = ButtonBarList.front().IconImage, gone = ButtonBarList.back().IconImage;
    const auto pixels = [](int64_t image) {
        std::vector<uint32_t> out;
        for (int y = 0; y < 32; ++y)
            for (int x = 0; x < 32; ++x) out.push_back(tk_image_pixel(image, x, y));
        return out;
    };
    const std::vector<uint32_t> built_in = pixels(text);
    EXPECT_EQ(pixels(gone), built_in);
    for (int i = 0; i < 400 && (QuestionsRunning() > 0 || pixels(text) == built_in); ++i)
        tk_event_wait_timeout(5);
    AnswerWaitMs = saved_wait;
    EXPECT_NE(pixels(text), built_in); // the type's theme icon
    EXPECT_EQ(pixels(gone), built_in);
    EXPECT_EQ(ToolbarButtons.size(), 3u); // rebuilt with the same two buttons
    EXPECT_EQ(Press(400), 1);
    EXPECT_EQ(opened, (std::vector<std::wstring>{W(dir_ / "text.txt")}));
}

TEST_F(ButtonBarTest, IconsComeFromTheTypeOrTheBuiltInPicture) {
    dir_.write("text.txt", "hallo\n");
    const int64_t text = ButtonIconFromFile(W(dir_ / "text.txt"));
    const int64_t missing = ButtonIconFromFile(W(dir_ / "fehlt"));
    for (int64_t image : {text, missing}) {
        ASSERT_NE(image, 0);
        EXPECT_EQ(tk_image_width(image), 32);
        EXPECT_EQ(tk_image_height(image), 32);
        bool painted = false;
        for (int y = 0; y < 32 && !painted; ++y)
            for (int x = 0; x < 32 && !painted; ++x)
                painted = (tk_image_pixel(image, x, y) >> 24) != 0;
        EXPECT_TRUE(painted);
    }
}

} // namespace
