#include "services/Langue.h"
#include "support/Widgets.h"

#include <QCalendarWidget>
#include <QDialogButtonBox>
#include <QFontInfo>
#include <QPushButton>
#include <QToolButton>
#include <gtest/gtest.h>

using namespace Qt::Literals::StringLiterals;

// The test main sets the program's language up as main() does: what is checked here is what a
// user sees. A calendar names its month in French, a standard button says "Annuler".
TEST(Langue, CalendarsAndStandardButtonsSpeakFrench) {
    EXPECT_TRUE(services::frenchTranslationsLoad());
    QCalendarWidget calendar;
    calendar.setSelectedDate(QDate(2026, 11, 16));
    EXPECT_EQ(enfant<QToolButton>(&calendar, "qt_calendar_monthbutton")->text(), u"novembre"_s);
    EXPECT_EQ(QDialogButtonBox(QDialogButtonBox::Cancel).button(QDialogButtonBox::Cancel)->text(),
              u"Annuler"_s);
}

// The windows' "Comic Sans MS" is drawn in its look-alike, never in whatever script face
// fontconfig would pick; a plain sans face follows when the look-alike is missing. Qt keeps
// the names in lower case.
TEST(Langue, WindowsFontIsAReadableFace) {
    const QStringList faces = QFont::substitutes(u"Comic Sans MS"_s);
    EXPECT_EQ(faces.mid(0, 1), QStringList{u"comic neue"_s});
    EXPECT_GE(faces.size(), 2);
    EXPECT_EQ(services::policeDesFenetres(), u"Comic Neue"_s);
    EXPECT_FALSE(QFontInfo(QFont(u"Comic Sans MS"_s)).italic());
}
