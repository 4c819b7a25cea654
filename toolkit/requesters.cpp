// The message box and the open-file requester, over the active window
// (tk_modal_run). Button sets, answers and German button texts come from
// one table.
#include "toolkit/requesters.h"
#include "toolkit/internal.h"

#include <QApplication>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>
#include <QPushButton>
#include <QRegularExpression>
#include <vector>

namespace {

// ---- message box ----
struct BoxButton {
    const char* text;
    int64_t answer;
    QMessageBox::ButtonRole role;
};
struct ButtonSet {
    std::vector<BoxButton> buttons;
    int64_t closed; // answer when the box is closed without a button
};

const ButtonSet& button_set(int64_t flags) {
    using R = QMessageBox::ButtonRole;
    static const ButtonSet sets[] = {
        {{{"OK", TkAnswerOk, R::AcceptRole}}, TkAnswerOk},
        {{{"OK", TkAnswerOk, R::AcceptRole}, {"Abbrechen", TkAnswerCancel, R::RejectRole}},
         TkAnswerCancel},
        {{{"Abbrechen", TkAnswerAbort, R::RejectRole},
          {"Wiederholen", TkAnswerRetry, R::AcceptRole},
          {"Ignorieren", TkAnswerIgnore, R::AcceptRole}},
         TkAnswerAbort},
        {{{"Ja", TkAnswerYes, R::YesRole},
          {"Nein", TkAnswerNo, R::NoRole},
          {"Abbrechen", TkAnswerCancel, R::RejectRole}},
         TkAnswerCancel},
        {{{"Ja", TkAnswerYes, R::YesRole}, {"Nein", TkAnswerNo, R::NoRole}}, TkAnswerNo},
        {{{"Wiederholen", TkAnswerRetry, R::AcceptRole},
          {"Abbrechen", TkAnswerCancel, R::RejectRole}},
         TkAnswerCancel},
    };
    const int64_t kind = flags & 0xF;
    return sets[kind < static_cast<int64_t>(std::size(sets)) ? kind : 0];
}

QMessageBox::Icon box_icon(int64_t flags) {
    switch (flags & 0xF0) {
    case TkMessageIconError: return QMessageBox::Critical;
    case TkMessageIconQuestion: return QMessageBox::Question;
    case TkMessageIconWarning: return QMessageBox::Warning;
    case TkMessageIconInformation: return QMessageBox::Information;
    default: return QMessageBox::NoIcon;
    }
}

// ---- file requester ----
// "*.*" (every file) and "*.exe" (programs, which have no extension here)
// both mean every file.
QString file_pattern(QString p) {
    p = p.trimmed();
    if (p == QLatin1String("*.*") || p.compare(QLatin1String("*.exe"), Qt::CaseInsensitive) == 0 ||
        p.compare(QLatin1String(".exe"), Qt::CaseInsensitive) == 0)
        return QStringLiteral("*");
    return p;
}

// "Text | *.txt | Alle | *.*" -> {"Text (*.txt)", "Alle (*)"}; a description
// keeps its words but loses a pattern list of its own in parentheses.
QStringList name_filters(const QString& pattern) {
    const QStringList parts = pattern.split(QLatin1Char('|'));
    static const QRegularExpression own_list(QStringLiteral("\\s*\\([^()]*\\)\\s*$"));
    QStringList filters;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        QString description = parts[i].trimmed().remove(own_list);
        QStringList patterns;
        for (const QString& p : parts[i + 1].split(QLatin1Char(';'), Qt::SkipEmptyParts))
            if (!file_pattern(p).isEmpty()) patterns << file_pattern(p);
        if (patterns.isEmpty()) continue;
        patterns.removeDuplicates();
        filters << description + QStringLiteral(" (") + patterns.join(QLatin1Char(' ')) + ')';
    }
    if (filters.isEmpty()) filters << QStringLiteral("Alle Dateien (*)");
    return filters;
}

} // namespace

int64_t tk_message_box(const std::wstring& caption, const std::wstring& text, int64_t flags) {
    QMessageBox box(box_icon(flags), tk_qstring(caption), tk_qstring(text), QMessageBox::NoButton,
                    QApplication::activeWindow());
    box.setTextFormat(Qt::PlainText); // a name that looks like markup shows as it is spelled
    const ButtonSet& set = button_set(flags);
    std::vector<std::pair<QAbstractButton*, int64_t>> answers;
    for (const BoxButton& b : set.buttons)
        answers.emplace_back(box.addButton(QString::fromUtf8(b.text), b.role), b.answer);
    box.setDefaultButton(static_cast<QPushButton*>(answers.front().first));
    tk_modal_run(&box);
    for (const auto& [button, answer] : answers)
        if (box.clickedButton() == button) return answer;
    return set.closed;
}

std::wstring tk_open_file_requester(const std::wstring& title, const std::wstring& default_file,
                                    const std::wstring& pattern, int64_t index, int64_t) {
    QFileDialog dialog(QApplication::activeWindow(), tk_qstring(title));
    dialog.setFileMode(QFileDialog::ExistingFile);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    const QStringList filters = name_filters(tk_qstring(pattern));
    dialog.setNameFilters(filters);
    dialog.selectNameFilter(filters[index >= 0 && index < filters.size() ? index : 0]);
    const QString preset = tk_qstring(default_file);
    if (preset.contains(QLatin1Char('/'))) {
        const QFileInfo info(preset);
        dialog.setDirectory(info.absolutePath());
        dialog.selectFile(info.fileName());
    } else if (!preset.isEmpty()) {
        dialog.selectFile(preset);
    }
    if (tk_modal_run(&dialog) != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return {};
    return tk_wstring(dialog.selectedFiles().constFirst());
}
