// Qt's own texts (file and font requesters, standard buttons) in German,
// whatever the user's locale: the program speaks German throughout.
#include <QApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

#include "toolkit/internal.h"

int64_t tk_translations_load() {
    static QTranslator* translator = nullptr;
    if (translator) return 1;
    auto* t = new QTranslator(QCoreApplication::instance());
    if (!t->load(QLocale(QLocale::German, QLocale::Germany), QStringLiteral("qtbase"),
                 QStringLiteral("_"), QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
        delete t;
        return 0;
    }
    QCoreApplication::installTranslator(t);
    translator = t;
    return 1;
}
