// Drag and drop: file drops become EventGadgetDrop with lossless paths and
// the chosen action, drops of the wrong kind or action are refused, and
// text/uri-list encoding round-trips awkward names.
#include "core_fixture.h"
#include "runtime/text.h"

#include <QDropEvent>
#include <QMimeData>
#include <QTreeView>

namespace {

class DragDropTest : public CoreTest {
  protected:
    void SetUp() override {
        CoreTest::SetUp();
        tk_window_open(0, 0, 0, 400, 300, L"main", TkWindowNormal);
        make_line_edit(5);
    }
    // Drags mime over the widget and drops it; true when the drop was taken.
    static bool drop(QWidget* on, const QMimeData& mime, Qt::DropActions offered,
                     Qt::KeyboardModifiers mods = Qt::NoModifier) {
        QDragEnterEvent enter(QPoint(5, 5), offered, &mime, Qt::LeftButton, mods);
        QApplication::sendEvent(on, &enter);
        if (!enter.isAccepted()) return false;
        QDropEvent dropped(QPointF(5, 5), offered, &mime, Qt::LeftButton, mods);
        QApplication::sendEvent(on, &dropped);
        return dropped.isAccepted();
    }
};

// File names as bytes: one with invalid UTF-8, one with a line feed, one
// with blanks and umlauts.
const std::string kOdd = "/tmp/a\xff b";
const std::string kLineFeed = "/tmp/x\ny";
const std::string kUmlaut = "/tmp/Größe 100%.txt";

std::wstring paths_text() {
    return rt_text_from_os(kOdd) + L"\n" + rt_text_from_os(kLineFeed) + L"\n" +
           rt_text_from_os(kUmlaut);
}

TEST_F(DragDropTest, UriListRoundTripsAwkwardNames) {
    const QByteArray list = tk_uri_list_encode(paths_text());
    EXPECT_TRUE(list.startsWith("file:///tmp/a%FF%20b\r\n"));
    EXPECT_EQ(tk_uri_list_decode(list), paths_text());
    // relative paths, other hosts, other schemes and comments are skipped
    EXPECT_TRUE(tk_uri_list_encode(L"relative/name").isEmpty());
    const QByteArray mixed = "# comment\r\nhttp://x/y\r\nfile://elsewhere/etc/passwd\r\n"
                             "file://localhost/tmp/ok\r\nfile:/tmp/short\n";
    EXPECT_EQ(tk_uri_list_decode(mixed), L"/tmp/ok\n/tmp/short");
}

TEST_F(DragDropTest, FileDropReportsLosslessPathsAndAction) {
    EXPECT_EQ(tk_gadget_enable_drop(5, TkDropFiles, TkDropCopy | TkDropMove), 1);
    QMimeData mime;
    mime.setData("text/uri-list", tk_uri_list_encode(paths_text()));
    ASSERT_TRUE(drop(widget_of(5), mime, Qt::CopyAction | Qt::MoveAction));

    ASSERT_EQ(tk_event_wait_timeout(100), EventGadgetDrop);
    EXPECT_EQ(tk_event_gadget(), 5);
    EXPECT_EQ(tk_event_window(), 0);
    EXPECT_EQ(tk_drop_type(), TkDropFiles);
    EXPECT_EQ(tk_drop_action(), TkDropCopy);
    EXPECT_EQ(tk_drop_files(), paths_text());
    EXPECT_EQ(rt_text_to_os(tk_drop_files().substr(0, kOdd.size())), kOdd);
    take_events();
    EXPECT_EQ(tk_drop_files(), L"") << "the drop record is gone with its event";
}

TEST_F(DragDropTest, WrongFormatOrActionIsRefused) {
    tk_gadget_enable_drop(5, TkDropFiles, TkDropMove);
    QMimeData text;
    text.setText("nur Text");
    EXPECT_FALSE(drop(widget_of(5), text, Qt::CopyAction | Qt::MoveAction));
    QMimeData files;
    files.setData("text/uri-list", "file:///tmp/a\r\n");
    EXPECT_FALSE(drop(widget_of(5), files, Qt::CopyAction)) << "only move is allowed here";
    EXPECT_EQ(count_code(take_events(), EventGadgetDrop), 0);

    // offered both: the allowed one is taken
    ASSERT_TRUE(drop(widget_of(5), files, Qt::CopyAction | Qt::MoveAction));
    ASSERT_EQ(tk_event_wait_timeout(100), EventGadgetDrop);
    EXPECT_EQ(tk_drop_action(), TkDropMove);
}

const TkGadgetOps kPlainOps{};

TEST_F(DragDropTest, ListsTakeDropsOnTheirViewport) {
    auto* view = new QTreeView;
    tk_gadget_register(10, view, &kPlainOps, nullptr, 0, 40, 300, 200);
    tk_gadget_enable_drop(10, TkDropFiles, TkDropCopy | TkDropMove);
    QMimeData files;
    files.setData("text/uri-list", "file:///home/x/Datei\r\n");
    ASSERT_TRUE(drop(view->viewport(), files, Qt::CopyAction | Qt::MoveAction));
    ASSERT_EQ(tk_event_wait_timeout(100), EventGadgetDrop);
    EXPECT_EQ(tk_event_gadget(), 10);
    EXPECT_EQ(tk_drop_files(), L"/home/x/Datei");
}

} // namespace
