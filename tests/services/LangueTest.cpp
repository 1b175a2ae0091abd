#include "services/Langue.h"

#include <QCalendarWidget>
#include <QDateEdit>
#include <QDialogButtonBox>
#include <QFontInfo>
#include <QPushButton>
#include <QTableView>
#include <QToolButton>
#include <gtest/gtest.h>

using namespace Qt::Literals::StringLiterals;

// The test main sets the program's language up as main() does: what is checked here is what a
// user sees. A calendar names its month and the days of the week in French, a standard button
// says "Annuler".
TEST(Langue, CalendarsAndStandardButtonsSpeakFrench) {
    EXPECT_TRUE(services::frenchTranslationsLoad());
    QDateEdit picker(QDate(2026, 11, 16));
    picker.setCalendarPopup(true);
    QCalendarWidget* calendar = picker.calendarWidget();
    calendar->setSelectedDate(picker.date());
    EXPECT_EQ(calendar->findChild<QToolButton*>(u"qt_calendar_monthbutton"_s)->text(), u"novembre"_s);
    const QAbstractItemModel* days = calendar->findChild<QTableView*>(u"qt_calendar_calendarview"_s)->model();
    EXPECT_EQ(days->data(days->index(0, 1)).toString(), u"lun."_s);
    QDialogButtonBox buttons(QDialogButtonBox::Cancel);
    EXPECT_EQ(buttons.button(QDialogButtonBox::Cancel)->text(), u"Annuler"_s);
}

// The windows' "Comic Sans MS" is drawn in its look-alike, never in whatever script face
// fontconfig would pick; a plain sans face follows when the look-alike is missing.
TEST(Langue, WindowsFontIsAReadableFace) {
    const QStringList faces = QFont::substitutes(u"Comic Sans MS"_s);
    ASSERT_GE(faces.size(), 2);
    EXPECT_EQ(faces.first(), u"comic neue"_s); // Qt keeps the names in lower case
    EXPECT_EQ(services::policeDesFenetres(), u"Comic Neue"_s);
    EXPECT_FALSE(QFontInfo(QFont(u"Comic Sans MS"_s)).italic());
}
