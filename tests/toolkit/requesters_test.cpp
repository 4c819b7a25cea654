// Modal requesters answered by a timer that acts on the active modal dialog,
// so the tests never block: answers, patterns and the font choice.
#include <QApplication>
#include <QCheckBox>
#include <QColorDialog>
#include <QDir>
#include <QFileDialog>
#include <QFontComboBox>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QSpinBox>
#include <QTimer>
#include <functional>
#include <gtest/gtest.h>

#include "test_support.h"
#include "toolkit/events.h"
#include "toolkit/images.h"
#include "toolkit/requesters.h"

namespace {

// The requester of type T on the screen, the one opened last if several.
template <class T> T* shown_dialog() {
    T* found = nullptr;
    for (QWidget* w : QApplication::topLevelWidgets())
        if (auto* d = qobject_cast<T*>(w); d && d->isVisible()) found = d;
    return found;
}

// Runs fn on the first requester of type T that shows up (within 2 s).
template <class T> void when_modal(std::function<void(T*)> fn) {
    auto* timer = new QTimer;
    auto tries = std::make_shared<int>(0);
    QObject::connect(timer, &QTimer::timeout, [timer, tries, fn] {
        if (T* dialog = shown_dialog<T>()) {
            timer->stop();
            timer->deleteLater();
            fn(dialog);
        } else if (++*tries > 200) {
            timer->stop();
            timer->deleteLater();
            ADD_FAILURE() << "no modal dialog appeared";
        }
    });
    timer->start(10);
}

QAbstractButton* button_with_text(QWidget* dialog, const QString& text) {
    for (auto* b : dialog->findChildren<QAbstractButton*>())
        if (b->text() == text) return b;
    return nullptr;
}

class RequestersTest : public ::testing::Test {
  protected:
    void SetUp() override { tk_init(); }
};

TEST_F(RequestersTest, MessageBoxAnswersWithTheButtonCodes) {
    when_modal<QMessageBox>([](QMessageBox* box) {
        EXPECT_EQ(box->text(), QStringLiteral("Kopieren nicht erfolgreich"));
        EXPECT_EQ(box->windowTitle(), QStringLiteral("Copy..."));
        button_with_text(box, QStringLiteral("Nein"))->click();
    });
    EXPECT_EQ(tk_message_box(L"Copy...", L"Kopieren nicht erfolgreich",
                             TkMessageYesNo | TkMessageIconQuestion),
              TkAnswerNo);

    when_modal<QMessageBox>([](QMessageBox* box) { box->defaultButton()->click(); });
    EXPECT_EQ(tk_message_box(L"Error !", L"Verzeichnis konnte nicht erstellt werden !"),
              TkAnswerOk);

    when_modal<QMessageBox>([](QMessageBox* box) { box->reject(); }); // the close box
    EXPECT_EQ(tk_message_box(L"Frage", L"Weiter?", TkMessageYesNoCancel), TkAnswerCancel);
}

TEST_F(RequestersTest, FileRequesterOffersThePatternsAndReturnsThePath) {
    TempDir dir;
    dir.write("notiz.txt", "x");
    dir.write("bild.dat", "y");
    const QString chosen = QString::fromStdString(dir / "notiz.txt");
    const QString before = QDir::currentPath();

    when_modal<QFileDialog>([chosen](QFileDialog* dialog) {
        EXPECT_EQ(dialog->nameFilters(),
                  QStringList({QStringLiteral("Text (*.txt)"), QStringLiteral("Alle (*)")}));
        EXPECT_EQ(dialog->selectedNameFilter(), QStringLiteral("Alle (*)")); // index 1
        // Typed into the name field as a user would: selectFile() depends on
        // the dialog's folder model, which a busy machine may not have filled.
        if (auto* name = dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit")))
            name->setText(chosen);
        else
            dialog->selectFile(chosen);
        // done() rather than accept(): accept() looks the file up in the dialog's
        // own folder model, which a busy machine may not have filled yet, and
        // then stops in a nested "file not found" box.
        static_cast<QDialog*>(dialog)->done(QDialog::Accepted);
    });
    const std::wstring path =
        tk_open_file_requester(L"Auswahl", QString::fromStdString(dir / "x").toStdWString(),
                               L"Text | *.txt | Alle | *.*", 1);
    EXPECT_EQ(QString::fromStdWString(path), chosen);
    EXPECT_EQ(QDir::currentPath(), before); // the process's folder is left alone

    // Program patterns offer every file; cancelling gives the empty text.
    when_modal<QFileDialog>([](QFileDialog* dialog) {
        EXPECT_EQ(dialog->nameFilters(), QStringList(QStringLiteral("Programm (*)")));
        dialog->reject();
    });
    EXPECT_EQ(
        tk_open_file_requester(L"Viewer Auswahl !", L"Notepad.exe", L"Programm (*.exe) | *.exe", 0),
        L"");
}

TEST_F(RequestersTest, FontRequesterOffersAllSevenChoices) {
    when_modal<QDialog>([](QDialog* dialog) {
        dialog->findChild<QFontComboBox*>(QStringLiteral("tk_font_face"))
            ->setCurrentFont(QFont(QStringLiteral("DejaVu Sans")));
        dialog->findChild<QSpinBox*>(QStringLiteral("tk_font_size"))->setValue(14);
        EXPECT_TRUE(dialog->findChild<QCheckBox*>(QStringLiteral("tk_font_bold"))->isChecked());
        dialog->findChild<QCheckBox*>(QStringLiteral("tk_font_bold"))->setChecked(false);
        dialog->findChild<QCheckBox*>(QStringLiteral("tk_font_italic"))->setChecked(true);
        dialog->findChild<QCheckBox*>(QStringLiteral("tk_font_underline"))->setChecked(true);
        dialog->findChild<QCheckBox*>(QStringLiteral("tk_font_strikeout"))->setChecked(true);
        // The colour comes from a nested colour dialog.
        when_modal<QColorDialog>([dialog](QColorDialog* colors) {
            colors->setCurrentColor(QColor(10, 20, 30));
            colors->accept();
            QTimer::singleShot(0, dialog, &QDialog::accept);
        });
        dialog->findChild<QPushButton*>(QStringLiteral("tk_font_color"))->click();
    });
    ASSERT_NE(tk_font_requester(L"Verdana", 9, TkFontRequesterEffects, 0x0000FF, TkFontBold), 0);
    EXPECT_EQ(tk_selected_font_name(), L"DejaVu Sans");
    EXPECT_EQ(tk_selected_font_size(), 14);
    EXPECT_EQ(tk_selected_font_style(), TkFontItalic | TkFontUnderline | TkFontStrikeOut);
    EXPECT_EQ(tk_selected_font_color(), 0x1E140A); // 0xBBGGRR of RGB(10, 20, 30)

    // Cancelled: nothing chosen, the last choice stays readable.
    when_modal<QDialog>([](QDialog* dialog) {
        // Without the effects flag only face, size, bold and italic are offered.
        EXPECT_FALSE(
            dialog->findChild<QCheckBox*>(QStringLiteral("tk_font_underline"))->isVisible());
        EXPECT_FALSE(dialog->findChild<QPushButton*>(QStringLiteral("tk_font_color"))->isVisible());
        dialog->reject();
    });
    EXPECT_EQ(tk_font_requester(L"", 0), 0);
    EXPECT_EQ(tk_selected_font_size(), 14);
}

} // namespace
