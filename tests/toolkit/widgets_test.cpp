// Gadget kinds driven through their numbers: what the user does reports
// events, what the program does stays silent, and states read back right.
#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QTest>
#include <QToolButton>
#include <algorithm>
#include <gtest/gtest.h>
#include <vector>

#include "toolkit/events.h"
#include "toolkit/gadget_ops.h"
#include "toolkit/images.h"
#include "toolkit/internal.h"
#include "toolkit/readback.h"
#include "toolkit/widgets.h"
#include "toolkit/windows.h"

namespace {

struct Taken {
    int32_t code;
    int64_t window, object, type;
};

// Every event that arrives until 30 ms pass without one (at most a
// thousand, so a source that never stops fails the test instead of hanging it).
std::vector<Taken> drain() {
    std::vector<Taken> out;
    for (int i = 0; i < 1000; ++i) {
        const int32_t code = tk_event_wait_timeout(30);
        if (!code) break;
        out.push_back({code, tk_event_window(), tk_event_gadget(), tk_event_type()});
    }
    return out;
}

int count(const std::vector<Taken>& events, int64_t gadget, int64_t type) {
    int n = 0;
    for (const Taken& e : events)
        n += e.code == EventGadget && e.object == gadget && e.type == type;
    return n;
}

QWidget* widget_of(int64_t gadget) {
    TkGadget* g = tk_gadget_lookup(gadget);
    return g ? g->widget : nullptr;
}

class WidgetsTest : public ::testing::Test {
  protected:
    void SetUp() override {
        tk_init();
        ASSERT_NE(tk_window_open(1, 0, 0, 400, 300, L"Test", TkWindowDialog), 0);
        QWidget* window = reinterpret_cast<QWidget*>(tk_window_handle(1));
        QApplication::setActiveWindow(window);
        drain();
    }
    void TearDown() override {
        tk_window_close(-1);
        tk_image_free(-1);
        drain();
        tk_end();
    }
};

TEST_F(WidgetsTest, StringReportsTypingButNotProgramText) {
    tk_string_create(10, 0, 0, 200, 20, L"Anfang");
    tk_string_create(11, 0, 30, 200, 20, L"", TkStringReadOnly);
    EXPECT_EQ(tk_gadget_get_text(10), L"Anfang");
    tk_gadget_set_text(10, L"vom Programm");
    EXPECT_EQ(count(drain(), 10, EventTypeChange), 0);

    tk_gadget_activate(10);
    QTest::keyClicks(widget_of(10), QStringLiteral("ab"));
    const auto events = drain();
    EXPECT_GE(count(events, 10, EventTypeChange), 1);
    EXPECT_EQ(tk_gadget_get_text(10), L"abvom Programm"); // program text leaves the caret at 0

    // inserted text goes in at the caret as typed text does, and typing goes on after it
    tk_string_insert(10, L"cd", true); // the caret is after "ab": a blank before and after
    QTest::keyClicks(widget_of(10), QStringLiteral("x"));
    EXPECT_EQ(tk_gadget_get_text(10), L"ab cd xvom Programm");
    EXPECT_EQ(count(drain(), 10, EventTypeChange), 1) << "only the typed x reports";
    tk_gadget_set_text(10, L"");
    tk_string_insert(10, L"z");
    tk_string_insert(10, L"ei", true); // no blank at the start, one before "ei" after "z"
    QTest::keyClicks(widget_of(10), QStringLiteral("s"));
    EXPECT_EQ(tk_gadget_get_text(10), L"z ei s");

    QTest::keyClicks(widget_of(11), QStringLiteral("x")); // read-only takes no typing
    EXPECT_EQ(tk_gadget_get_text(11), L"");
}

TEST_F(WidgetsTest, StringFocusInAndOut) {
    tk_string_create(10, 0, 0, 200, 20, L"");
    tk_string_create(12, 0, 30, 200, 20, L"");
    tk_gadget_activate(10);
    drain();
    tk_gadget_activate(12);
    const auto events = drain();
    EXPECT_EQ(count(events, 10, EventTypeLostFocus), 1);
    EXPECT_EQ(count(events, 12, EventTypeFocus), 1);
}

TEST_F(WidgetsTest, ComboInsertAtZeroGoesFirstAndSelectsNothing) {
    tk_combo_create(6, 0, 0, 120, 20, TkComboEditable);
    tk_gadget_add_item(6, -1, L"*.txt", 0);
    tk_gadget_add_item(6, -1, L"*.cpp", 0);
    tk_gadget_add_item(6, 0, L"", 0);
    ASSERT_EQ(tk_gadget_count_items(6), 3);
    EXPECT_EQ(tk_gadget_get_item_text(6, 0), L"");
    EXPECT_EQ(tk_gadget_get_item_text(6, 1), L"*.txt");
    EXPECT_EQ(tk_gadget_get_item_text(6, 2), L"*.cpp");
    // Like the native box, filling it selects nothing: the edit text stays empty.
    EXPECT_EQ(tk_gadget_get_state(6), -1);
    EXPECT_EQ(tk_gadget_get_text(6), L"");
    EXPECT_EQ(tk_gadget_get_item_text(6, 7), L"");

    tk_gadget_set_state(6, 2);
    EXPECT_EQ(tk_gadget_get_text(6), L"*.cpp");
    EXPECT_EQ(tk_gadget_get_item_state(6, 2), 1);
    tk_gadget_set_item_data(6, 1, -2);
    EXPECT_EQ(tk_gadget_get_item_data(6, 1), -2);
    EXPECT_EQ(count(drain(), 6, EventTypeChange), 0); // all of that was the program

    tk_gadget_clear_items(6);
    EXPECT_EQ(tk_gadget_count_items(6), 0);
    EXPECT_EQ(tk_gadget_get_text(6), L"");
}

TEST_F(WidgetsTest, ComboReportsUserSelectionTypingAndEditorFocus) {
    tk_combo_create(6, 0, 0, 120, 20, TkComboEditable);
    tk_string_create(7, 0, 30, 120, 20, L"");
    tk_gadget_add_item(6, -1, L"eins", 0);
    tk_gadget_add_item(6, -1, L"zwei", 0);
    auto* box = static_cast<QComboBox*>(widget_of(6));

    tk_gadget_activate(7);
    drain();
    box->lineEdit()->setFocus();
    // The focus sits in the edit field inside the box: the box counts as active.
    EXPECT_EQ(tk_gadget_active(), 6);
    auto events = drain();
    EXPECT_EQ(count(events, 6, EventTypeFocus), 1);

    QTest::keyClicks(box->lineEdit(), QStringLiteral("z"));
    box->setCurrentIndex(0); // what choosing from the drop-down does
    events = drain();
    EXPECT_GE(count(events, 6, EventTypeChange), 1);
    EXPECT_EQ(tk_gadget_get_state(6), 0);

    tk_gadget_activate(7);
    events = drain();
    EXPECT_EQ(count(events, 6, EventTypeLostFocus), 1);
    EXPECT_EQ(count(events, 6, EventTypeFocus), 0);
}

TEST_F(WidgetsTest, NonEditableComboSetTextSelectsTheEntry) {
    tk_combo_create(20, 0, 0, 120, 20);
    for (const wchar_t* unit : {L"Byte", L"Kilo-Byte", L"Mega-Byte"})
        tk_gadget_add_item(20, -1, unit, 0);
    EXPECT_EQ(tk_gadget_get_state(20), -1);
    tk_gadget_set_text(20, L"Mega-Byte");
    EXPECT_EQ(tk_gadget_get_state(20), 2);
    tk_gadget_remove_item(20, 0);
    EXPECT_EQ(tk_gadget_get_item_text(20, 0), L"Kilo-Byte");
}

TEST_F(WidgetsTest, ToggleImageButtonKeepsItsState) {
    const int64_t picture = tk_image_create(-1, 30, 20, 32, 0x00FF00);
    tk_image_button_create(30, 0, 0, 30, 20, tk_image_handle(picture), TkButtonToggle);
    tk_image_button_create(31, 40, 0, 30, 20, tk_image_handle(picture));
    tk_image_free(picture); // the buttons keep their own copy
    auto* toggle = static_cast<QToolButton*>(widget_of(30));
    EXPECT_FALSE(toggle->icon().isNull());

    QTest::mouseClick(toggle, Qt::LeftButton);
    EXPECT_EQ(tk_gadget_get_state(30), 1);
    QTest::mouseClick(widget_of(31), Qt::LeftButton);
    EXPECT_EQ(tk_gadget_get_state(31), 0); // a plain button does not stay pressed
    auto events = drain();
    EXPECT_EQ(count(events, 30, EventTypeLeftClick), 1);
    EXPECT_EQ(count(events, 31, EventTypeLeftClick), 1);

    tk_gadget_set_state(30, 0); // the program releases it: silently
    EXPECT_EQ(tk_gadget_get_state(30), 0);
    tk_gadget_set_state(30, 1);
    EXPECT_EQ(tk_gadget_get_state(30), 1);
    EXPECT_EQ(count(drain(), 30, EventTypeLeftClick), 0);
}

TEST_F(WidgetsTest, CheckBoxListBoxProgressAndScrollBar) {
    tk_checkbox_create(40, 0, 0, 200, 16, L"Versteckte Dateien anzeigen ");
    QTest::mouseClick(widget_of(40), Qt::LeftButton, {}, QPoint(5, 8));
    EXPECT_EQ(tk_gadget_get_state(40), 1);
    EXPECT_EQ(count(drain(), 40, EventTypeLeftClick), 1);
    tk_gadget_set_state(40, 0);
    EXPECT_EQ(tk_gadget_get_state(40), 0);

    tk_listbox_create(29, 0, 20, 110, 100);
    tk_gadget_add_item(29, -1, L"Allgemein", 0);
    tk_gadget_add_item(29, -1, L"Schriften", 0);
    tk_gadget_set_state(29, 0);
    EXPECT_EQ(count(drain(), 29, EventTypeChange), 0);
    static_cast<QListWidget*>(widget_of(29))->setCurrentRow(1); // as a click does
    EXPECT_EQ(count(drain(), 29, EventTypeChange), 1);
    EXPECT_EQ(tk_gadget_get_state(29), 1);
    EXPECT_EQ(tk_gadget_get_text(29), L"Schriften");

    tk_progress_create(41, 0, 130, 200, 16, 0, 100);
    tk_gadget_set_state(41, 150);
    EXPECT_EQ(tk_gadget_get_state(41), 100);

    // 0 .. 9 with a page of 5: a page can start at 0 .. 5
    tk_scrollbar_create(42, 0, 150, 200, 16, 0, 9, 5);
    tk_gadget_set_state(42, 9);
    EXPECT_EQ(tk_gadget_get_state(42), 5);
}

TEST_F(WidgetsTest, ContainerTakesTheGadgetsCreatedInside) {
    tk_container_create(3, 10, 30, 200, 100);
    tk_text_create(4, 5, 4, 100, 16, L"Speicherausgabe");
    tk_gadget_list_close();
    tk_text_create(13, 5, 4, 100, 16, L"draußen", TkTextCenter);
    EXPECT_EQ(widget_of(4)->parentWidget(), widget_of(3));
    EXPECT_NE(widget_of(13)->parentWidget(), widget_of(3));
    EXPECT_EQ(tk_gadget_get_text(13), L"draußen");
    EXPECT_EQ(tk_gadget_list_open(3), 1);
    tk_frame_create(14, 0, 0, 50, 50, L"");
    tk_gadget_list_close();
    EXPECT_EQ(widget_of(14)->parentWidget(), widget_of(3));
    // A frame lies under the gadgets and lets clicks through.
    EXPECT_TRUE(widget_of(14)->testAttribute(Qt::WA_TransparentForMouseEvents));
}

TEST_F(WidgetsTest, CanvasMouseEventsCarryCoordinates) {
    tk_canvas_create(56, 110, 30, 200, 40);
    QWidget* canvas = widget_of(56);
    QTest::mouseMove(canvas, QPoint(5, 5)); // the first move inside reports nothing
    drain();
    QTest::mouseMove(canvas, QPoint(20, 10));
    auto events = drain();
    EXPECT_EQ(count(events, 56, EventTypeMouseMove), 1);
    EXPECT_EQ(tk_gadget_get_attribute(56, TkCanvasMouseX), 20);
    EXPECT_EQ(tk_gadget_get_attribute(56, TkCanvasMouseY), 10);

    QTest::mousePress(canvas, Qt::LeftButton, {}, QPoint(30, 12));
    ASSERT_EQ(tk_event_wait_timeout(50), EventGadget);
    EXPECT_EQ(tk_event_type(), EventTypeLeftButtonDown);
    EXPECT_EQ(tk_event_window(), 1);
    EXPECT_EQ(tk_gadget_get_attribute(56, TkCanvasMouseX), 30);
    EXPECT_EQ(tk_gadget_get_attribute(56, TkCanvasMouseY), 12);
    QTest::mouseRelease(canvas, Qt::LeftButton, {}, QPoint(44, 13));
    events = drain();
    EXPECT_EQ(count(events, 56, EventTypeLeftButtonUp), 1);
    EXPECT_EQ(tk_gadget_get_attribute(56, TkCanvasMouseX), 44);
    EXPECT_EQ(tk_gadget_get_attribute(56, 7), 0);
    EXPECT_EQ(tk_gadget_get_attribute(999, TkCanvasMouseX), 0);
}

TEST_F(WidgetsTest, CanvasKeepsWhatWasDrawn) {
    tk_canvas_create(62, 0, 0, 60, 40);
    ASSERT_NE(tk_drawing_start(tk_canvas_output(62)), 0);
    tk_draw_box(0, 0, 60, 40, 0xFFFFFF);
    tk_draw_box(10, 10, 5, 5, 0x0000FF);
    tk_drawing_stop();
    QWidget* canvas = widget_of(62);
    canvas->resize(80, 50); // growing keeps the picture
    const QImage shot = canvas->grab().toImage();
    EXPECT_EQ(shot.pixelColor(12, 12), QColor(255, 0, 0));
    EXPECT_EQ(shot.pixelColor(70, 45), QColor(Qt::white));
    EXPECT_EQ(tk_canvas_output(999), 0);
    tk_string_create(63, 0, 50, 10, 10, L"");
    EXPECT_EQ(tk_canvas_output(63), 0); // no canvas
}

TEST_F(WidgetsTest, TextCutsAtAWordOnlyWhenAskedTo) {
    const std::wstring headline = L"Verzeichnis Exsistiert bereits und noch viel mehr Worte";
    tk_text_create(50, 0, 0, 120, 30, headline, TkTextCenter | TkTextWordEllipsis);
    tk_text_create(51, 0, 40, 120, 60, headline, TkTextCenter);
    auto shown = [](int64_t g) { return static_cast<QLabel*>(widget_of(g))->text(); };
    EXPECT_EQ(tk_gadget_get_text(50), headline); // the gadget keeps the whole text
    const QString cut = shown(50);
    ASSERT_TRUE(cut.endsWith(QStringLiteral("...")));
    const QString kept = cut.chopped(3);
    EXPECT_TRUE(QString::fromStdWString(headline).startsWith(kept + ' ')) << kept.toStdString();
    EXPECT_LE(QFontMetrics(widget_of(50)->font()).horizontalAdvance(cut), 120);
    EXPECT_EQ(shown(51), QString::fromStdWString(headline)); // plain text wraps instead

    widget_of(50)->resize(2000, 30); // room enough: the whole text again
    EXPECT_EQ(shown(50), QString::fromStdWString(headline));
}

TEST_F(WidgetsTest, TooltipsAndColours) {
    tk_text_create(-1, 0, 0, 10, 10, L"");
    const int64_t text = tk_text_create(-1, 0, 0, 100, 16, L"Allgemein", TkTextCenter);
    tk_gadget_tooltip(text, L"Hinweis");
    EXPECT_EQ(widget_of(text)->toolTip(), QStringLiteral("Hinweis"));
    tk_gadget_set_color(text, 2, 0xEECD8B); // RGB(139, 205, 238)
    EXPECT_EQ(widget_of(text)->palette().color(QPalette::Window), QColor(139, 205, 238));
    EXPECT_TRUE(widget_of(text)->autoFillBackground());
    tk_gadget_set_color(text, 2, -1);
    EXPECT_FALSE(widget_of(text)->autoFillBackground());
}

// A window's cut texts: each kind measured as it draws, and what the
// needed width gives back fits.
TEST_F(WidgetsTest, CutTextsOfAWindowAreFoundAndTheNeededWidthFits) {
    const int64_t label = tk_text_create(-1, 10, 10, 60, 20, L"Auswahl von Dateibetrachter:");
    const int64_t combo = tk_combo_create(-1, 10, 40, 60, 20);
    for (const wchar_t* unit : {L"Byte", L"Kilo-Byte", L"Mega-Byte"})
        tk_gadget_add_item(combo, -1, unit);
    const int64_t check = tk_checkbox_create(-1, 10, 70, 60, 16, L"Versteckte Dateien anzeigen ");
    const int64_t more = tk_button_create(-1, 300, 10, 30, 20, L">>");
    const int64_t ok = tk_button_create(-1, 300, 40, 80, 20, L"OK");
    const int64_t under = tk_button_create(-1, 340, 40, 50, 20, L"Nein"); // lies on "OK"
    const int64_t outside = tk_button_create(-1, 380, 70, 80, 20, L"Abbruch");
    auto cut = [] {
        std::vector<int64_t> c = tk_window_cut_gadgets(1);
        std::sort(c.begin(), c.end());
        return c;
    };
    std::vector<int64_t> expected = {label, combo, check, ok, under, outside};
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(cut(), expected);
    EXPECT_EQ(std::count(expected.begin(), expected.end(), more), 0);

    for (int64_t g : {label, combo, check})
        tk_gadget_resize(g, TkKeep, TkKeep, tk_gadget_needed_width(g), TkKeep);
    tk_gadget_free(under);
    tk_gadget_resize(outside, 300, TkKeep, TkKeep, TkKeep);
    EXPECT_EQ(cut(), std::vector<int64_t>{}) << "the needed widths do not fit";
}

// A dialog built at fixed places grows as a whole for a larger font, and
// one whose texts fit is left alone.
TEST_F(WidgetsTest, AWindowGrowsUntilItsTextsFit) {
    tk_window_open(2, 0, 0, 200, 60, L"Frage", TkWindowDialog);
    const int64_t ok = tk_button_create(-1, 20, 30, 70, 20, L"OK");
    const int64_t cancel = tk_button_create(-1, 100, 30, 80, 20, L"Abbrechen");
    EXPECT_EQ(tk_window_fit(2), 100);
    EXPECT_EQ(tk_window_width(2), 200);

    const int64_t large = tk_font_load(-1, L"DejaVu Sans", 16);
    for (int64_t g : {ok, cancel}) tk_gadget_set_font(g, tk_font_handle(large));
    ASSERT_FALSE(tk_window_cut_gadgets(2).empty());
    EXPECT_GT(tk_window_fit(2), 100);
    EXPECT_EQ(tk_window_cut_gadgets(2), std::vector<int64_t>{});
    EXPECT_GT(tk_window_width(2), 200);
    EXPECT_LT(tk_gadget_x(ok) + tk_gadget_width(ok), tk_gadget_x(cancel))
        << "the layout keeps its order";
    tk_font_free(large);
}

} // namespace
