// The settings dialog: its gadgets filled from the settings, what the close
// box, "Anehmen" and "Anwenden" push to the panes and filter boxes, the
// viewer text and the font round trip through the requester.

#include "app/config/config_hooks.h"
#include "app/config/config_ids.h"
#include "app/config/settings.h"
#include "app/config/settings_dialog.h"
#include "app/panes/pane_location.h"
#include "app/panes/panes.h"
#include "config_fixture.h"
#include "toolkit/readback.h"

namespace {

ChosenFont NextFont;
int64_t FontAnswer = 0;
int64_t FakeFont(const std::wstring&, int64_t, int64_t flags, int64_t, int64_t,
                 ChosenFont& chosen) {
    EXPECT_EQ(flags, TkFontRequesterEffects);
    if (FontAnswer) chosen = NextFont;
    return FontAnswer;
}
std::wstring FakeViewer(const std::wstring& title, const std::wstring&, const std::wstring&,
                        int64_t) {
    EXPECT_EQ(title, L"Viewer Auswahl !");
    return std::wstring(L"/opt/") + std::wstring(65, L'v');
}

class SettingsDialogTest : public ConfigTest {
  protected:
    void SetUp() override {
        ConfigTest::SetUp();
        dir_.write(".versteckt", "x");
        dir_.write("sichtbar", "x");
        saved_font_ = ConfigFontRequester;
        saved_file_ = ConfigFileRequester;
        ConfigFontRequester = FakeFont;
        ConfigFileRequester = FakeViewer;
        SettingsDialog = SettingsDialogState{}; // the change flags outlive a dialog
        for (int64_t pane : {GadLeftPane, GadRightPane}) {
            SetPaneLocation(pane, W(dir_.path()) + L"/");
            ShowPath(pane, L"", ShowRefresh);
        }
        SettingsDialogCommand();
    }
    void TearDown() override {
        ConfigFontRequester = saved_font_;
        ConfigFileRequester = saved_file_;
        ConfigTest::TearDown();
    }
    static bool Lists(int64_t pane, const std::wstring& name) {
        for (int64_t r = 0; r < tk_gadget_count_items(pane); ++r)
            if (tk_gadget_get_item_text(pane, r, 0) == name) return true;
        return false;
    }
    static void Click(int64_t gadget, int64_t type = 0) {
        Fire(SettingsDialogEvent, EventGadget, WinSettings, gadget, type);
    }
    static void Tick(int64_t check) {
        tk_gadget_set_state(check, 1);
        Click(check);
    }
    static std::wstring Title() { return tk_window_title(WinSettings); }
    ConfigFontRequesterFn saved_font_ = nullptr;
    ConfigFileRequesterFn saved_file_ = nullptr;
};

TEST_F(SettingsDialogTest, OpensOnPageOneFilledFromTheSettingsWithTheMainWindowDisabled) {
    ASSERT_TRUE(tk_window_exists(WinSettings));
    EXPECT_EQ(Title(), L"Konfiguration");
    EXPECT_FALSE(tk_window_enabled(WinMain));
    EXPECT_EQ(tk_gadget_count_items(GadSettingsPages), 3);
    EXPECT_EQ(tk_gadget_get_state(GadSettingsPages), 0);
    EXPECT_EQ(tk_gadget_count_items(SettingsDialog.SettingsCombos[0]), 4);
    EXPECT_EQ(tk_gadget_get_item_text(SettingsDialog.SettingsCombos[1], 3), L"Giga-Byte");
    EXPECT_EQ(tk_gadget_get_text(SettingsDialog.SettingsChecks[0]), L"Fensterposition merken ");
    EXPECT_TRUE(tk_gadget_hidden(SettingsDialog.SettingsPages[1]));
}

TEST_F(SettingsDialogTest, CloseBoxKeepsTheChangeButRefreshesNothing) {
    Tick(SettingsDialog.SettingsChecks[1]);
    EXPECT_EQ(App.settings.ShowHidden, 1);
    EXPECT_EQ(SettingsDialog.FileDisplayChanged, 1);
    Fire(SettingsDialogEvent, EventCloseWindow, WinSettings, WinSettings);
    EXPECT_FALSE(tk_window_exists(WinSettings));
    EXPECT_TRUE(tk_window_enabled(WinMain));
    EXPECT_FALSE(Lists(GadLeftPane, L".versteckt"));
    EXPECT_FALSE(Lists(GadRightPane, L".versteckt"));
}

TEST_F(SettingsDialogTest, AcceptWithOnlyRememberTickedRefillsFiltersButReadsNoPane) {
    App.settings.ListFilter = L"|*.txt|*.cpp";
    App.settings.ShowHidden = 1; // no change flag: the panes must not be re-read
    Tick(SettingsDialog.SettingsChecks[0]);
    EXPECT_EQ(App.settings.RememberWindow, 1);
    Click(GadSettingsAccept);
    EXPECT_FALSE(tk_window_exists(WinSettings));
    EXPECT_EQ(tk_gadget_count_items(GadLeftFilter), 2);
    EXPECT_EQ(tk_gadget_get_item_text(GadRightFilter, 1), L"*.cpp");
    EXPECT_FALSE(Lists(GadLeftPane, L".versteckt"));
}

TEST_F(SettingsDialogTest, ApplyRefillsFiltersAndRereadsBothPanesAndStaysOpen) {
    tk_gadget_set_text(GadSettingsFilter, L"|*.a|*.b|*.c");
    Click(GadSettingsFilter, EventTypeChange);
    EXPECT_EQ(App.settings.ListFilter, L"|*.a|*.b|*.c");
    Tick(SettingsDialog.SettingsChecks[1]);
    Click(GadSettingsApply);
    EXPECT_TRUE(tk_window_exists(WinSettings));
    EXPECT_EQ(tk_gadget_count_items(GadLeftFilter), 3);
    EXPECT_EQ(tk_gadget_count_items(GadRightFilter), 3);
    EXPECT_TRUE(Lists(GadLeftPane, L".versteckt"));
    EXPECT_TRUE(Lists(GadRightPane, L".versteckt"));
    EXPECT_EQ(SettingsDialog.FileDisplayChanged, 0);
}

TEST_F(SettingsDialogTest, UnitCombosWriteTheirIndexOnlyOnAChange) {
    tk_gadget_set_state(SettingsDialog.SettingsCombos[0], 2);
    Click(SettingsDialog.SettingsCombos[0], EventTypeFocus);
    EXPECT_EQ(App.settings.FileSizeUnit, 0);
    Click(SettingsDialog.SettingsCombos[0], EventTypeChange);
    EXPECT_EQ(App.settings.FileSizeUnit, 2);
    EXPECT_EQ(SettingsDialog.SizeUnitChanged, 1);
}

TEST_F(SettingsDialogTest, LongViewerPathIsShortenedOnlyOnScreen) {
    const std::wstring seventy = std::wstring(L"/opt/") + std::wstring(65, L'v');
    ASSERT_EQ(seventy.size(), 70u);
    EXPECT_EQ(ViewerText(seventy), L"..." + seventy.substr(12));
    EXPECT_EQ(ViewerText(seventy.substr(0, 64)), seventy.substr(0, 64));
    Click(SettingsDialog.SettingsButtons[0]);
    EXPECT_EQ(App.settings.ViewerPath, seventy);
    EXPECT_EQ(tk_gadget_get_text(SettingsDialog.SettingsFields[0]), L"..." + seventy.substr(12));
}

// "Abbrechen", here by Escape, puts back every change since the dialog
// opened or since "Anwenden", the list font included, and closes.
TEST_F(SettingsDialogTest, EscapeCancelsEveryChangeSinceOpeningOrApplying) {
    Tick(SettingsDialog.SettingsChecks[1]);
    Click(GadSettingsApply); // kept from here on
    const Settings applied = App.settings;
    Tick(SettingsDialog.SettingsChecks[2]);
    tk_gadget_set_state(SettingsDialog.SettingsCombos[0], 3);
    Click(SettingsDialog.SettingsCombos[0], EventTypeChange);
    tk_gadget_set_text(GadSettingsFilter, L"|*.neu");
    Click(GadSettingsFilter, EventTypeChange);
    Click(SettingsDialog.SettingsButtons[0]); // a viewer
    FontAnswer = 1;
    NextFont = {L"DejaVu Serif", 15, 0, 0};
    Click(SettingsDialog.SettingsButtons[1]); // the dialog is rebuilt
    ASSERT_EQ(App.settings.ListFontSize, 15);

    tk_window_press_escape(WinSettings);
    for (int i = 0; i < 400 && tk_window_exists(WinSettings); ++i)
        if (const int32_t code = tk_event_wait_timeout(5); code && tk_event_window() == WinSettings)
            SettingsDialogEvent(code);
    EXPECT_FALSE(tk_window_exists(WinSettings));
    EXPECT_TRUE(tk_window_enabled(WinMain));
    const Settings& now = App.settings;
    EXPECT_EQ(now.ShowHidden, 1);
    EXPECT_EQ(now.ShowSystem, applied.ShowSystem);
    EXPECT_EQ(now.FileSizeUnit, applied.FileSizeUnit);
    EXPECT_EQ(now.ListFilter, applied.ListFilter);
    EXPECT_EQ(now.ViewerPath, applied.ViewerPath);
    EXPECT_EQ(now.ListFontName, applied.ListFontName);
    EXPECT_EQ(now.ListFontSize, applied.ListFontSize);
    EXPECT_TRUE(tk_font_exists(now.ListFont)) << "the list font was freed and not made again";
}

TEST_F(SettingsDialogTest, TheViewerCanBeUnsetForTheDesktopsApplication) {
    const int64_t remove = tk_window_gadget_with_text(WinSettings, L"Entfernen");
    ASSERT_NE(remove, 0);
    EXPECT_FALSE(tk_gadget_enabled(remove)) << "nothing to remove";
    Click(SettingsDialog.SettingsButtons[0]);
    ASSERT_FALSE(App.settings.ViewerPath.empty());
    ASSERT_TRUE(tk_gadget_enabled(remove));
    Click(remove);
    EXPECT_EQ(App.settings.ViewerPath, L"");
    EXPECT_EQ(tk_gadget_get_text(SettingsDialog.SettingsFields[0]), L"");
    EXPECT_FALSE(tk_gadget_enabled(remove));
}

TEST_F(SettingsDialogTest, FontChoiceReopensOnSchriftenAndDropsUnderline) {
    FontAnswer = 0;
    Click(SettingsDialog.SettingsButtons[1]);
    EXPECT_EQ(Title(), L"Konfiguration");
    EXPECT_EQ(SettingsDialog.FontChanged, 0);

    FontAnswer = 1;
    NextFont = {L"DejaVu Sans", 14, TkFontBold | TkFontUnderline, 0x0000FF};
    const int64_t old_font = App.settings.ListFont;
    Click(SettingsDialog.SettingsButtons[1]);
    EXPECT_EQ(Title(), L"Konfiguaration");
    EXPECT_EQ(tk_gadget_get_state(GadSettingsPages), 1);
    EXPECT_EQ(SettingsDialog.FontChanged, 1);
    EXPECT_EQ(App.settings.ListFontName, L"DejaVu Sans");
    EXPECT_EQ(App.settings.ListFontSize, 14);
    EXPECT_EQ(App.settings.ListFontBold, 256);
    EXPECT_EQ(App.settings.ListFontItalic, 0);
    EXPECT_EQ(App.settings.ListFontColor, 0x0000FF);
    EXPECT_NE(App.settings.ListFont, 0);
    if (old_font != App.settings.ListFont) {
        EXPECT_FALSE(tk_font_exists(old_font)) << "the old font is freed";
    }
    Click(GadSettingsAccept);
    const int64_t style = tk_gadget_font_flags(GadLeftPane);
    EXPECT_FALSE(style & TkFontUnderline);
    EXPECT_TRUE(style & TkFontBold);
}

} // namespace

// No text of the dialog is cut, on either page, in the desktop's font and
// in a larger one; the window grows for a larger font instead.
TEST_F(SettingsDialogTest, NoTextIsCutInTheDesktopsFontNorInALargerOne) {
    auto cut_texts = [] {
        std::string texts;
        for (int64_t g : tk_window_cut_gadgets(WinSettings))
            texts += "\"" + rt_text_to_os(tk_gadget_get_text(g)) + "\" ";
        return texts;
    };
    EXPECT_EQ(cut_texts(), "");
    EXPECT_EQ(tk_window_width(WinSettings), SettingsWidth);
    const int64_t large = tk_font_load(-1, L"DejaVu Sans", 13);
    tk_gadget_set_font(-1, tk_font_handle(large));
    Fire(SettingsDialogEvent, EventCloseWindow, WinSettings, WinSettings);
    SettingsDialogCommand();
    EXPECT_EQ(cut_texts(), "") << "in a 13 pt font";
    tk_gadget_set_font(-1, -1);
    tk_font_free(large);
}

// Page "Bedienung": the quick search's choice, and natural order, whose
// change sorts the panes again as soon as it is applied.
TEST_F(SettingsDialogTest, HabitsPageChoosesTheSearchAndSortsTheNumbersAgain) {
    dir_.write("Foto 10", "x");
    dir_.write("Foto 2", "x");
    ShowPath(GadLeftPane, L"", ShowRefresh);
    const auto order = [] {
        std::vector<std::wstring> names;
        for (int64_t r = 0; r < tk_gadget_count_items(GadLeftPane); ++r)
            if (tk_gadget_get_item_text(GadLeftPane, r, 0).starts_with(L"Foto"))
                names.push_back(tk_gadget_get_item_text(GadLeftPane, r, 0));
        return names;
    };
    EXPECT_EQ(order(), (std::vector<std::wstring>{L"Foto 2", L"Foto 10"}));
    const int64_t search = tk_window_gadget_with_text(WinSettings, L"Buchstaben");
    ASSERT_NE(search, 0);
    tk_gadget_set_state(search, 2); // "Aus"
    Click(search, EventTypeChange);
    EXPECT_EQ(App.settings.QuickSearch, 2);
    const int64_t natural =
        tk_window_gadget_with_text(WinSettings, L"Zahlen in Namen nach Wert sortieren");
    ASSERT_NE(natural, 0);
    tk_gadget_set_state(natural, 0);
    Click(natural);
    Click(GadSettingsApply);
    EXPECT_EQ(App.settings.NaturalOrder, 0);
    EXPECT_EQ(order(), (std::vector<std::wstring>{L"Foto 10", L"Foto 2"}));
    Tick(natural);
    Click(GadSettingsAccept);
    EXPECT_EQ(order(), (std::vector<std::wstring>{L"Foto 2", L"Foto 10"}));
}
