// The quick search's matcher, natural name order, the quick search field
// under its keys, and the menus that list every command with its key.
#include "app/panes/name_fold.h"
#include "app/panes/pane_sort.h"
#include "app/panes/quick_search.h"
#include "app/panes/quick_search_field.h"
#include "app/shell/key_table_window.h"
#include "app/shell/main_commands.h"
#include "app/shell/main_menu.h"
#include "habits_fixture.h"
#include "runtime/text.h"
#include "toolkit/list_keys.h"
#include "toolkit/readback.h"

#include <QMenu>
#include <QMenuBar>
#include <algorithm>

namespace {

QuickSearchIndex IndexOf(const std::vector<std::wstring>& names) {
    QuickSearchIndex index;
    QuickSearchClear(index);
    for (const std::wstring& n : names) QuickSearchAddName(index, n);
    return index;
}

int64_t Find(const QuickSearchIndex& index, const std::wstring& typed, int64_t from = 0,
             int step = 1) {
    return QuickSearchFind(index, QuickSearchFoldTyped(typed), from, step);
}

// Names in the order natural name sort keys put them.
std::vector<std::wstring> Sorted(std::vector<std::wstring> names) {
    std::stable_sort(names.begin(), names.end(), [](const std::wstring& a, const std::wstring& b) {
        std::string ka, kb;
        AppendSortKeyBytes(ka, a);
        AppendSortKeyBytes(kb, b);
        return ka < kb;
    });
    return names;
}

} // namespace

TEST(QuickSearchMatch, UmlautsAccentsAndCaseAsTheSortReadsThem) {
    const auto index = IndexOf({L"..", L"Mud.txt", L"Müll.txt", L"Straße", L"Café Über"});
    for (const wchar_t* typed : {L"mull", L"müll", L"muell", L"MÜLL", L"Mue"})
        EXPECT_EQ(Find(index, typed), 2) << typed;
    EXPECT_EQ(Find(index, L"strasse"), 3);
    EXPECT_EQ(Find(index, L"straß"), 3);
    EXPECT_EQ(Find(index, L"cafe"), 4);
    EXPECT_EQ(Find(index, L"ueber"), 4); // contained, no name begins with it
    EXPECT_EQ(Find(index, L".."), -1);   // ".." is never a match
    EXPECT_EQ(Find(index, L"xyz"), -1);
}

TEST(QuickSearchMatch, APrefixBeatsContainingAndTheArrowsGoRound) {
    const auto index = IndexOf({L"..", L"Abbild", L"Bild 1", L"bild 2", L"Zubild"});
    EXPECT_EQ(Find(index, L"bild"), 2); // not "Abbild", which only contains it
    EXPECT_EQ(Find(index, L"bild", 3, 1), 3);
    EXPECT_EQ(Find(index, L"bild", 4, 1), 2); // round past the end, prefix matches only
    EXPECT_EQ(Find(index, L"bild", 1, -1), 3);
    EXPECT_EQ(Find(index, L"ubi"), 4);
}

TEST(NaturalOrder, NumbersByValueLeadingZerosLongRunsAndMixedText) {
    SetNaturalNameOrder(true);
    EXPECT_EQ(Sorted({L"Foto 10", L"Foto 2", L"Foto 1"}),
              (std::vector<std::wstring>{L"Foto 1", L"Foto 2", L"Foto 10"}));
    EXPECT_EQ(Sorted({L"v1.10", L"v1.9", L"v1.09b"}),
              (std::vector<std::wstring>{L"v1.9", L"v1.09b", L"v1.10"}));
    EXPECT_EQ(Sorted({L"a007", L"a8", L"a0010"}),
              (std::vector<std::wstring>{L"a007", L"a8", L"a0010"}));
    const std::wstring huge(300, L'9'), bigger = L"1" + std::wstring(300, L'0');
    EXPECT_EQ(Sorted({L"x" + bigger, L"x" + huge, L"x12"}),
              (std::vector<std::wstring>{L"x12", L"x" + huge, L"x" + bigger}));
    EXPECT_EQ(Sorted({L"Zebra 1", L"Äpfel 20", L"apfel 3", L"Äpfel 3"}),
              (std::vector<std::wstring>{L"Äpfel 3", L"Äpfel 20", L"apfel 3", L"Zebra 1"}));
    EXPECT_EQ(Sorted({L"b", L"1", L"-"}), (std::vector<std::wstring>{L"-", L"1", L"b"}));
    SetNaturalNameOrder(false);
    EXPECT_EQ(Sorted({L"Foto 10", L"Foto 2"}), (std::vector<std::wstring>{L"Foto 10", L"Foto 2"}));
    SetNaturalNameOrder(true);
}

TEST_F(HabitsTest, TheFieldJumpsNarrowsWalksAndClosesKeepingTheRow) {
    Fill(GadLeftPane, {L"Abfall.txt:1", L"Mud.txt:1", L"Müll.txt:1", L"Mull2:1"});
    tk_gadget_set_state(GadLeftPane, 0);
    EXPECT_EQ(QuickSearchKey(GadLeftPane, TkShortcutShift | 'M', L"M"), 1); // Shift too
    EXPECT_EQ(Current(GadLeftPane), L"Mud.txt");
    QuickSearchKey(GadLeftPane, 'U', L"u");
    EXPECT_EQ(Current(GadLeftPane), L"Mud.txt");
    QuickSearchKey(GadLeftPane, 'L', L"l");
    EXPECT_EQ(Current(GadLeftPane), L"Müll.txt"); // "mul" as the plain letter
    EXPECT_EQ(QuickSearchTyped(GadLeftPane), L"Mul");
    QuickSearchKey(GadLeftPane, 40, L""); // Down: the next match
    EXPECT_EQ(Current(GadLeftPane), L"Mull2");
    QuickSearchKey(GadLeftPane, 'Q', L"q"); // no match: the row stays, the text too
    EXPECT_EQ(Current(GadLeftPane), L"Mull2");
    QuickSearchKey(GadLeftPane, 8, L""); // Backspace
    EXPECT_EQ(QuickSearchTyped(GadLeftPane), L"Mul");
    EXPECT_EQ(QuickSearchKey(GadLeftPane, 27, L""), 1); // Escape closes
    EXPECT_EQ(QuickSearchTyped(GadLeftPane), L"");
    EXPECT_EQ(Current(GadLeftPane), L"Müll.txt");
    EXPECT_TRUE(tk_gadget_hidden(GadLeftQuickSearch));
    // the number pad's "+" during a search is the selection key, not text
    QuickSearchKey(GadLeftPane, 'M', L"m");
    EXPECT_EQ(QuickSearchKey(GadLeftPane, KeyNumPlus, L"+"), 0);
    EXPECT_EQ(QuickSearchTyped(GadLeftPane), L"");
    // an umlaut starts a search as a letter does, whatever the locale
    EXPECT_EQ(QuickSearchKey(GadLeftPane, 0, L"ü"), 1);
    EXPECT_EQ(QuickSearchTyped(GadLeftPane), L"ü");
    CloseQuickSearch(GadLeftPane);
    // Ctrl keys and plain keys without text are never a search
    EXPECT_EQ(QuickSearchKey(GadLeftPane, TkShortcutControl | 'A', L""), 0);
    EXPECT_EQ(QuickSearchKey(GadLeftPane, 40, L""), 0);
}

TEST_F(HabitsTest, APauseClosesTheFieldButOnlyTheNewestKeysPauseCounts) {
    Fill(GadLeftPane, {L"Abfall.txt:1", L"Zebra:1"});
    const int64_t pause = QuickSearchPauseMs;
    QuickSearchPauseMs = 150;
    QuickSearchKey(GadLeftPane, 'Z', L"z");
    tk_event_wait_timeout(100);
    QuickSearchKey(GadLeftPane, 'E', L"e"); // its pause starts again
    tk_event_wait_timeout(80);              // the first key's pause is over ...
    EXPECT_EQ(QuickSearchTyped(GadLeftPane), L"ze") << "... but not the second's";
    for (int i = 0; i < 50 && !QuickSearchTyped(GadLeftPane).empty(); ++i)
        tk_event_wait_timeout(20);
    EXPECT_EQ(QuickSearchTyped(GadLeftPane), L"");
    EXPECT_EQ(Current(GadLeftPane), L"Zebra");
    QuickSearchPauseMs = pause;
}

TEST_F(HabitsTest, TheSettingChoosesLettersAltLettersOrNoSearch) {
    Fill(GadLeftPane, {L"Abfall.txt:1", L"Zebra:1"});
    tk_string_create(GadCommandLine, 0, 420, 400, 20, L"");
    App.settings.QuickSearch = 1; // Alt+Buchstaben
    EXPECT_EQ(QuickSearchKey(GadLeftPane, 'Z', L"z"), 1);
    EXPECT_EQ(tk_gadget_get_text(GadCommandLine), L"z");
    EXPECT_EQ(QuickSearchTyped(GadLeftPane), L"");
    EXPECT_EQ(QuickSearchKey(GadLeftPane, TkShortcutAlt | 'Z', L""), 1);
    EXPECT_EQ(Current(GadLeftPane), L"Zebra");
    CloseQuickSearch(GadLeftPane);
    App.settings.QuickSearch = 2; // Aus
    tk_gadget_set_state(GadLeftPane, 0);
    EXPECT_EQ(QuickSearchKey(GadLeftPane, 'Z', L"z"), 1); // taken, and nothing happens
    EXPECT_EQ(QuickSearchTyped(GadLeftPane), L"");
    EXPECT_EQ(Current(GadLeftPane), L"..");
}

TEST_F(HabitsTest, FileAndCommandMenusListEveryCommandWithItsKey) {
    BuildMainMenu();
    auto* bar = reinterpret_cast<QMenuBar*>(tk_menu_handle(MenuMain));
    ASSERT_NE(bar, nullptr);
    int items = 0;
    QStringList texts;
    for (QAction* title : bar->actions()) {
        if (title->text() != QStringLiteral("&Datei") &&
            title->text() != QStringLiteral("&Befehle"))
            continue;
        for (QAction* a : title->menu()->actions()) {
            if (a->isSeparator()) continue;
            ++items;
            texts << a->text();
            EXPECT_TRUE(a->text().contains(QLatin1Char('\t'))) << a->text().toStdString();
        }
    }
    EXPECT_GE(items, 30); // the commands of both menus
    // the tab keys and Shift+F8, bound elsewhere, are in the menus too
    for (const char* item : {"Neuer Reiter\tCtrl+T", "Voriger Reiter\tCtrl+Shift+Tab",
                             "Löschen ohne Papierkorb\tShift+F8"})
        EXPECT_TRUE(texts.contains(QString::fromUtf8(item))) << item;
    // the key table holds every key, second keys and keys without an item too
    const std::wstring table = KeyTableText();
    for (const wchar_t* key :
         {L"Ctrl+R\tAktualisieren", L"Ctrl+U\tSeiten tauschen", L"Alt+F4\tBeenden",
          L"Num +\tAuswahl erweitern", L"F1\t", L"Ctrl+T\tNeuer Reiter", L"Ctrl+Q\tBeenden",
          L"Ctrl+Z\tRückgängig", L"Menütaste\tKontextmenü", L"Ctrl++\t", L"Alt+1 … Alt+9\t",
          L"Shift+Eingabe\t"})
        EXPECT_NE(table.find(key), std::wstring::npos) << rt_text_to_os(key);
    for (const int64_t list : {GadLeftPane, GadRightPane}) tk_list_set_key_hook(list, nullptr);
}

TEST_F(HabitsTest, TheKeyTableWindowListsEveryKeyWholeAndEscapeClosesIt) {
    OpenKeyTableWindow();
    const int64_t list = KeyTableList();
    ASSERT_NE(list, 0);
    const std::wstring table = KeyTableText();
    EXPECT_EQ(tk_gadget_count_items(list), std::count(table.begin(), table.end(), L'\n') + 1);
    EXPECT_EQ(tk_gadget_get_item_text(list, 0, 1), L"Anzeigen");
    for (const int64_t column : {0, 1}) // no key and no command cut
        EXPECT_GE(tk_list_column_width(list, column), tk_list_column_fit_width(list, column));
    tk_window_press_escape(WinKeyTable);
    for (int i = 0; i < 50 && KeyTableList(); ++i)
        if (const int32_t code = tk_event_wait_timeout(20);
            code && tk_event_window() == WinKeyTable)
            KeyTableEvents(code);
    EXPECT_EQ(KeyTableList(), 0);
    EXPECT_FALSE(tk_window_exists(WinKeyTable));
}
