// Qt's own dialogs speak German whatever the user's locale: the standard
// buttons of the requesters come out translated once the toolkit started.
#include <QDialogButtonBox>
#include <QPushButton>
#include <gtest/gtest.h>

#include "toolkit/events.h"
#include "toolkit/internal.h"

TEST(Translations, StandardButtonsAreGerman) {
    ASSERT_EQ(tk_init(), 1);
    ASSERT_EQ(tk_translations_load(), 1) << "qt6-translations-l10n is missing";
    QDialogButtonBox box(QDialogButtonBox::Cancel | QDialogButtonBox::Open);
    EXPECT_EQ(box.button(QDialogButtonBox::Cancel)->text().remove('&'),
              QStringLiteral("Abbrechen"));
    EXPECT_EQ(box.button(QDialogButtonBox::Open)->text().remove('&'), QStringLiteral("Öffnen"));
}
