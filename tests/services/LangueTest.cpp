#include "services/Langue.h"

#include <QCalendarWidget>
#include <QDateEdit>
#include <QDialogButtonBox>
#include <QFontInfo>
#include <QPushButton>
#include <QTableView>
#include <QToolButton>
#include <gtest/gtest.h>

// The test main sets the program's language up as main() does: what is checked here is what a
// user sees. A calendar names its month and the days of the week in French, a standard button
// says "Annuler".
TEST(Langue, CalendarsAndStandardButtonsSpeakFrench) {
    EXPECT_TRUE(services::frenchTranslationsLoad());
    QDateEdit picker(QDate(2026, 11, 16));
    picker.setCalendarPopup(true);
    QCalendarWidget* calendar = picker.calendarWidget();
    calendar->setSelectedDate(picker.date());
    EXPECT_EQ(calendar->findChild<QToolButton*>(QStringLiteral("qt_calendar_monthbutton"))->text(),
              QStringLiteral("novembre"));
    const QAbstractItemModel* days =
        calendar->findChild<QTableView*>(QStringLiteral("qt_calendar_calendarview"))->model();
    EXPECT_EQ(days->data(days->index(0, 1)).toString(), QStringLiteral("lun."));
    QDialogButtonBox buttons(QDialogButtonBox::Cancel);
    EXPECT_EQ(buttons.button(QDialogButtonBox::Cancel)->text(), QStringLiteral("Annuler"));
}

// The windows' "Comic Sans MS" is drawn in its look-alike, never in whatever script face
// fontconfig would pick; a plain sans face follows when the look-alike is missing.
TEST(Langue, WindowsFontIsAReadableFace) {
    const QStringList faces = QFont::substitutes(QStringLiteral("Comic Sans MS"));
    ASSERT_GE(faces.size(), 2);
    EXPECT_EQ(faces.first(), QStringLiteral("comic neue")); // Qt keeps the names in lower case
    EXPECT_EQ(services::policeDesFenetres(), QStringLiteral("Comic Neue"));
    EXPECT_FALSE(QFontInfo(QFont(QStringLiteral("Comic Sans MS"))).italic());
}
