#include "services/Langue.h"

#include <QCalendarWidget>
#include <QDateEdit>
#include <QDialogButtonBox>
#include <QFont>
#include <QFontInfo>
#include <QPushButton>
#include <QTableView>
#include <QToolButton>
#include <gtest/gtest.h>

// The test main sets the program's language up as main() does: what is checked here is
// what a user sees.
TEST(Langue, CalendarsAndStandardButtonsSpeakFrench) {
    EXPECT_TRUE(services::frenchTranslationsLoad());

    QDateEdit picker(QDate(2026, 11, 16));
    picker.setCalendarPopup(true);
    QCalendarWidget* calendar = picker.calendarWidget();
    ASSERT_NE(calendar, nullptr);
    calendar->setSelectedDate(picker.date());
    auto* month = calendar->findChild<QToolButton*>(QStringLiteral("qt_calendar_monthbutton"));
    ASSERT_NE(month, nullptr);
    EXPECT_EQ(month->text(), QStringLiteral("novembre"));
    // The header row names the days of the week.
    auto* view = calendar->findChild<QTableView*>(QStringLiteral("qt_calendar_calendarview"));
    ASSERT_NE(view, nullptr);
    QStringList days;
    for (int c = 0; c < view->model()->columnCount(); ++c)
        days << view->model()->data(view->model()->index(0, c)).toString();
    EXPECT_TRUE(days.contains(QStringLiteral("lun."))) << days.join(QLatin1Char(' ')).toStdString();

    QDialogButtonBox buttons(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
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
