// Settings file: the bytes SaveSettings writes, what LoadSettings reads back
// and the window it opens, the monitor clamps and the start without a file.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <pwd.h>

#include "app/config/settings.h"
#include "app/core/app_state.h"
#include "app/core/ids.h"
#include "app/panes/pane.h"
#include "app/panes/pane_sides.h"
#include "app/panes/panes.h"
#include "runtime/text.h"
#include "test_support.h"
#include "toolkit/events.h"
#include "toolkit/gadgets.h"

namespace {

int64_t Monitors = 1;
int64_t MonitorWidth = 1920, MonitorHeight = 1080;
int64_t OneCount() {
    return Monitors;
}
int64_t FixedWidth(int64_t index) {
    return index < Monitors ? MonitorWidth : 0;
}
int64_t FixedHeight(int64_t index) {
    return index < Monitors ? MonitorHeight : 0;
}
std::wstring FakeHome;
std::wstring TestHome() {
    return FakeHome;
}

std::wstring W(const std::string& s) {
    return rt_text_from_os(s);
}

// Each test runs in its own temporary current folder (the settings file is
// relative to it) with one 1920 x 1080 monitor and a home folder inside it.
class SettingsFile : public testing::Test {
  protected:
    void SetUp() override {
        tk_init();
        saved_cwd_ = getcwd(nullptr, 0);
        ASSERT_EQ(chdir(dir_.path().c_str()), 0);
        ASSERT_EQ(mkdir((dir_ / "home").c_str(), 0700), 0);
        ASSERT_EQ(mkdir((dir_ / "left").c_str(), 0700), 0);
        ASSERT_EQ(mkdir((dir_ / "right").c_str(), 0700), 0);
        FakeHome = W(dir_ / "home/");
        saved_query_ = SettingsQuery;
        SettingsQuery = {OneCount, FixedWidth, FixedHeight, TestHome};
        Monitors = 1;
        AppStateReset();
        ResetPanes();
    }
    void TearDown() override {
        tk_window_close(WinMain);
        SettingsQuery = saved_query_;
        if (chdir(saved_cwd_) != 0) ADD_FAILURE() << "cannot go back to " << saved_cwd_;
        free(saved_cwd_);
        AppStateReset();
        ResetPanes();
    }
    // Fills every persisted field with a value of its own.
    void FillSettings() {
        Settings& s = App.settings;
        s.RememberWindow = 0;
        s.WindowX = 120;
        s.WindowY = 80;
        s.WindowWidth = 900;
        s.WindowHeight = 700;
        s.ShowHidden = 1;
        s.ListFontName = L"DejaVu Sans";
        s.ListFontBold = 256;
        s.ListFontSize = 10;
        s.FileSizeUnit = 1;
        s.DriveSizeUnit = 2;
        s.ViewerPath = L"/usr/bin/less";
        s.ListFilter = L"|*.txt|*.cpp";
        ResetHistory(PaneOf(GadLeftPane)->History, W(dir_ / "left/"));
        ResetHistory(PaneOf(GadRightPane)->History, W(dir_ / "right/"));
    }
    std::string Saved() { return dir_.read("Settings.pref"); }
    // The file text of the keys after the window group, as FillSettings sets them.
    std::string Tail() {
        return "; Dateieigenschaften\r\n[Dateien]\r\nVersteckte Dateien = 1\r\n"
               "System Dateien = 0\r\n; Schriftarten\r\n[Schrift]\r\n"
               "Listenfensterschrift = DejaVu Sans\r\nStyle fett = 256\r\nStyle Italic = 0\r\n"
               "Schrift Size = 10\r\n[Paht]\r\nPaht0 = " +
               (dir_ / "left/") + "\r\nPaht1 = " + (dir_ / "right/") +
               "\r\n[Gr\xC3\xB6\xC3\x9F"
               "enanzeige]\r\nDateien = 1\r\nLaufwerke = 2\r\n"
               "[Viewer]\r\nViewer.exe = /usr/bin/less\r\n[List Filter]\r\nFilter = "
               "|*.txt|*.cpp\r\n; Tastatur und Reihenfolge\r\n[Bedienung]\r\nSchnellsuche = 0\r\n"
               "Zahlen nach Wert = 1\r\nMuster mit Ordnern = 0\r\n"
               "; Kopieren und Verschieben\r\n[Kopieren]\r\nKopien pr\xC3\xBC"
               "fen = 0\r\n"
               "; L\xC3\xB6schen in den Papierkorb\r\n[L\xC3\xB6schen]\r\n"
               "Papierkorb = 0\r\n";
    }
    const std::string Head = "\xEF\xBB\xBF\r\n; Die Kordinaten vom Fenster\r\n[Fenster]\r\n";
    TempDir dir_;

  private:
    char* saved_cwd_ = nullptr;
    SettingsSystem saved_query_{};
};

TEST_F(SettingsFile, WindowGroupFollowsRememberAndMaximized) {
    struct {
        int64_t remember, maximized;
        std::string window;
    } cases[] = {
        {0, 0, "PosOn = 0\r\nX = 120\r\nY = 80\r\nCenter = 1\r\n"},
        {1, 0,
         "PosOn = 1\r\nX = 120\r\nY = 80\r\nWidth = 900\r\nHeight = 700\r\nCenter = 0\r\n"
         "FensterMax = 0\r\n"},
        {1, 1,
         "PosOn = 1\r\nX = 120\r\nY = 80\r\nWidth = 1020\r\nHeight = 630\r\nCenter = 0\r\n"
         "FensterMax = 1\r\n"},
        {0, 1, // maximized is remembered without a remembered position too
         "PosOn = 0\r\nX = 120\r\nY = 80\r\nWidth = 1020\r\nHeight = 630\r\nCenter = 0\r\n"
         "FensterMax = 1\r\n"},
    };
    for (const auto& c : cases) {
        FillSettings();
        App.settings.RememberWindow = c.remember;
        App.settings.WindowMaximized = c.maximized;
        EXPECT_EQ(SaveSettings(), 0);
        EXPECT_EQ(Saved(), Head + c.window + Tail()) << c.remember << c.maximized;
    }
}

TEST_F(SettingsFile, SavingClampsThePositionOntoOneMonitor) {
    FillSettings();
    App.settings.WindowX = -8;
    App.settings.WindowY = 1200;
    SaveSettings();
    EXPECT_NE(Saved().find("X = 0\r\nY = 1060\r\n"), std::string::npos);
    EXPECT_EQ(App.settings.WindowX, 0); // the field itself is changed
    EXPECT_EQ(App.settings.WindowY, 1060);

    Monitors = 2; // the second monitor may lie beyond the first
    App.settings.WindowX = 2500;
    SaveSettings();
    EXPECT_NE(Saved().find("X = 2500\r\nY = 1060\r\n"), std::string::npos);
}

TEST_F(SettingsFile, UncreatableFileIsSkippedSilently) {
    FillSettings();
    ASSERT_EQ(mkdir((dir_ / "Settings.pref").c_str(), 0700), 0); // a folder in the way
    EXPECT_EQ(SaveSettings(), 0);
}

TEST_F(SettingsFile, WithoutFileTheDefaultsOpenTheWindow) {
    EXPECT_EQ(LoadSettings(), 0);
    EXPECT_EQ(tk_window_handle(WinMain), 0);
    SettingsUseDefaults(); // two thirds of the 1920 x 1080 monitor, centred
    EXPECT_EQ(App.settings.WindowWidth, 1280);
    EXPECT_EQ(App.settings.WindowHeight, 720);
    EXPECT_EQ(App.settings.WindowX, 320);
    EXPECT_EQ(App.settings.WindowY, 180);
    EXPECT_EQ(PanePath(GadLeftPane), FakeHome);
    EXPECT_EQ(PanePath(GadRightPane), FakeHome);
    EXPECT_NE(tk_font_exists(App.settings.ListFont), 0);

    // Two thirds of a 1280 wide monitor cannot show four columns a pane:
    // the window takes the width they need.
    MonitorWidth = 1280, MonitorHeight = 1024;
    SettingsUseDefaults();
    MonitorWidth = 1920, MonitorHeight = 1080;
    EXPECT_EQ(App.settings.WindowWidth, 1120);
    EXPECT_EQ(App.settings.WindowX, 80);
}

TEST_F(SettingsFile, FileWithOnlyPosOnTakesTheDefaults) {
    dir_.write("Settings.pref", "[Fenster]\r\nPosOn = 1\r\n");
    EXPECT_EQ(LoadSettings(), 1);
    EXPECT_EQ(App.settings.RememberWindow, 1);
    EXPECT_EQ(App.settings.WindowX, 0);
    EXPECT_EQ(App.settings.WindowY, 0);
    EXPECT_EQ(App.settings.WindowMaximized, 0);
    EXPECT_EQ(tk_window_width(WinMain), 640);
    EXPECT_EQ(tk_window_height(WinMain), 480);
    EXPECT_EQ(PanePath(GadLeftPane), FakeHome);
    EXPECT_EQ(PanePath(GadRightPane), FakeHome);
}

TEST_F(SettingsFile, VanishedStartFolderOpensItsNearestAncestor) {
    dir_.write("Settings.pref", "[Paht]\r\nPaht0 = " + (dir_ / "left/gone/deeper/") +
                                    "\r\nPaht1 = relative/nowhere/\r\n");
    EXPECT_EQ(LoadSettings(), 1);
    EXPECT_EQ(PanePath(GadLeftPane), W(dir_ / "left/"));
    EXPECT_EQ(PanePath(GadRightPane), FakeHome);
}

TEST_F(SettingsFile, SavedFileLoadsBackUnchanged) {
    FillSettings();
    App.settings.RememberWindow = 1;
    App.settings.ListFontItalic = 512;
    SaveSettings();
    std::string first = Saved();
    AppStateReset();
    ResetPanes();
    EXPECT_EQ(LoadSettings(), 1);
    EXPECT_EQ(tk_window_width(WinMain), 900);
    EXPECT_EQ(tk_window_height(WinMain), 700);
    EXPECT_EQ(PanePath(GadLeftPane), W(dir_ / "left/"));
    SaveSettings(); // every key read back as written
    EXPECT_EQ(Saved(), first);
}

TEST_F(SettingsFile, WindowNotRememberedReopensCentredSize) {
    FillSettings();
    SaveSettings();
    AppStateReset();
    ResetPanes();
    LoadSettings();
    EXPECT_EQ(App.settings.WindowX, 120);
    EXPECT_EQ(App.settings.WindowY, 80);
    EXPECT_EQ(tk_window_width(WinMain), 1020);
    EXPECT_EQ(tk_window_height(WinMain), 630);
}

TEST_F(SettingsFile, LoadingClampsOnlyBeyondASingleMonitor) {
    dir_.write("Settings.pref", "[Fenster]\r\nX = 2500\r\nY = 1080\r\n");
    LoadSettings();
    EXPECT_EQ(App.settings.WindowX, 1900);
    EXPECT_EQ(App.settings.WindowY, 1080); // exactly the height is not beyond it

    Monitors = 2;
    LoadSettings();
    EXPECT_EQ(App.settings.WindowX, 2500);
}

TEST_F(SettingsFile, UnitsAndValuesAreReadAsStored) {
    // A file without byte order mark is ISO 8859-1; group and key match
    // without regard to case; a value outside the usual range stays.
    dir_.write("Settings.pref", "[gr\xF6\xDF"
                                "enanzeige]\r\nlaufwerke=3\r\nDateien = 7\r\n"
                                "[Schrift]\r\nStyle fett = 1\r\nSchrift Size = abc\r\n");
    LoadSettings();
    EXPECT_EQ(App.settings.DriveSizeUnit, 3);
    EXPECT_EQ(App.settings.FileSizeUnit, 7);
    EXPECT_EQ(App.settings.ListFontBold, 1);
    EXPECT_EQ(App.settings.ListFontSize, 0);
}

TEST_F(SettingsFile, SizesNoWindowCanHaveOpenTheSmallestWindow) {
    // far below the minimum, and the smallest 64-bit value (nothing may
    // compute with it before it is clamped)
    for (const char* size : {"Width = -900\r\nHeight = -1\r\n",
                             "Width = -9223372036854775808\r\nHeight = -99999999999999999999\r\n",
                             "Width = 0\r\nHeight = 0\r\n"}) {
        AppStateReset();
        ResetPanes();
        dir_.write("Settings.pref", std::string("[Fenster]\r\nPosOn = 1\r\n") + size +
                                        "X = -9223372036854775808\r\n");
        ASSERT_EQ(LoadSettings(), 1) << size;
        ASSERT_NE(tk_window_handle(WinMain), 0) << size;
        EXPECT_EQ(tk_window_width(WinMain), 640) << size;
        EXPECT_EQ(tk_window_height(WinMain), 480) << size;
        SaveSettings();
        EXPECT_NE(Saved().find("Width = 640\r\nHeight = 480\r\n"), std::string::npos) << Saved();
        EXPECT_NE(Saved().find("X = 0\r\n"), std::string::npos) << Saved();
    }
}

TEST_F(SettingsFile, TheSizeSavedIsTheSizeTheWindowHas) {
    dir_.write("Settings.pref", "[Fenster]\r\nPosOn = 1\r\nCenter = 1\r\n");
    LoadSettings();
    SaveSettings();
    EXPECT_NE(Saved().find("Width = 1020\r\nHeight = 630\r\nCenter = 0\r\n"), std::string::npos)
        << Saved();

    AppStateReset();

    ResetPanes();
    dir_.write("Settings.pref", "[Fenster]\r\nPosOn = 1\r\nHeight = 2147483647\r\n");
    LoadSettings();
    EXPECT_LE(App.settings.WindowHeight, 32767);
    EXPECT_EQ(App.settings.WindowHeight, tk_window_height(WinMain));
    SaveSettings();
    EXPECT_NE(Saved().find("Height = " + std::to_string(tk_window_height(WinMain)) + "\r\n"),
              std::string::npos)
        << Saved();
}

TEST_F(SettingsFile, StoredPathWithANulIsAFolderThatDoesNotExist) {
    dir_.write("Settings.pref",
               "[Paht]\r\nPaht0 = " + (dir_ / "left") + std::string(1, '\0') + "/junk/\r\n");
    ASSERT_EQ(LoadSettings(), 1);
    const std::wstring left = PanePath(GadLeftPane);
    EXPECT_EQ(left.find(L'\0'), std::wstring::npos);
    EXPECT_EQ(left, W(dir_.path()) + L"/"); // the nearest ancestor that exists
    EXPECT_EQ(tk_gadget_get_text(GadLeftPath), left);
    SaveSettings();
    EXPECT_EQ(Saved().find('\0'), std::string::npos);
}

TEST(SettingsHome, HomeFolderComesFromThePasswordDatabase) {
    const passwd* entry = getpwuid(getuid());
    std::string expected = entry && entry->pw_dir && *entry->pw_dir ? entry->pw_dir : "/";
    if (expected.back() != '/') expected += '/';
    EXPECT_EQ(HomeFolder(), rt_text_from_os(expected));
}

} // namespace
