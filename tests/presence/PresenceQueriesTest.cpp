#include "presence/PresenceQueries.h"
#include "presence/PresenceLayout.h"
#include "presence/frmPresence.h"

#include <QDate>
#include <gtest/gtest.h>

using namespace presence;

namespace {

QString s(const char* text) {
    return QString::fromUtf8(text);
}

TEST(PresenceQueries, InvalidDateAndFebruary29Birthdays) {
    // An invalid date must not leave an unterminated or bare value in the statement.
    EXPECT_TRUE(sqlEvenementJour(QDate()).endsWith(s("DateEvenement = ''")));
    // February 29 birthdays show on the 28th of common years only.
    EXPECT_TRUE(sqlAnniversaires(QDate(2023, 2, 28)).contains(s("'29'")));
    EXPECT_TRUE(sqlAnniversaires(QDate(2100, 2, 28)).contains(s("'29'")));  // 2100 is not leap
    EXPECT_FALSE(sqlAnniversaires(QDate(2000, 2, 28)).contains(s("'29'"))); // 2000 is
    EXPECT_FALSE(sqlAnniversaires(QDate(2024, 2, 28)).contains(s("'29'")));
}

TEST(PresenceWeek, MondayOfEveryWeekdayAndSundayClosesItsWeek) {
    const QDate lundi(2024, 3, 11);
    for (int i = 0; i < 7; ++i)
        EXPECT_EQ(frmPresence::Lundi(lundi.addDays(i)), lundi) << i;
    EXPECT_EQ(frmPresence::Lundi(QDate(2024, 3, 10)), QDate(2024, 3, 4)); // a Sunday
    EXPECT_EQ(frmPresence::Lundi(QDate(2024, 3, 18)), QDate(2024, 3, 18));
    EXPECT_EQ(frmPresence::Lundi(QDate(2025, 1, 1)), QDate(2024, 12, 30)); // across a year
}

TEST(PresenceWeek, DayIconsFirstMatchWins) {
    EXPECT_EQ(frmPresence::IconeDuJour(QDate(2024, 3, 31)), 4); // Easter
    EXPECT_EQ(frmPresence::IconeDuJour(QDate(2018, 4, 1)), 1);  // Easter on April 1: the fish
    EXPECT_EQ(frmPresence::IconeDuJour(QDate(2024, 3, 17)), 5);
    EXPECT_EQ(frmPresence::IconeDuJour(QDate(2024, 6, 24)), 7);
    EXPECT_EQ(frmPresence::IconeDuJour(QDate(2024, 7, 1)), 6);
    EXPECT_EQ(frmPresence::IconeDuJour(QDate(2024, 9, 2)), -1); // a Monday holiday has no icon
    EXPECT_EQ(frmPresence::IconeDuJour(QDate(2024, 12, 25)), -1);
}

PresenceLayout disposition(double W, double H, int legend = 7, bool normal = true) {
    PresenceLayoutInput in;
    in.W = W;
    in.H = H;
    in.legendColumns = legend;
    in.normalState = normal;
    return calculerDisposition(in);
}

TEST(PresenceLayoutRules, NarrowWindowSpringsBackOnlyInTheNormalState) {
    const PresenceLayout n = disposition(11000, 9000);
    EXPECT_TRUE(n.springBack);
    EXPECT_FALSE(n.widthRules);
    EXPECT_TRUE(n.heightRules); // the height still follows
    const PresenceLayout m = disposition(11000, 9000, 7, false);
    EXPECT_FALSE(m.springBack);
    EXPECT_FALSE(m.widthRules);
    EXPECT_FALSE(disposition(11900, 9000).springBack);
}

TEST(PresenceLayoutRules, DayWidthsRoundHalvesToEven) {
    const PresenceLayout l = disposition(11900, 9000);
    EXPECT_NEAR(l.gridWidth, 783.33, 0.01);
    EXPECT_EQ(l.dayWidth, 98);                         // (783.33 - 170 - 23) / 6 = 98.39
    EXPECT_EQ(disposition(11910, 9000).dayWidth, 98);  // 98.5
    EXPECT_EQ(disposition(12000, 9000).dayWidth, 100); // 99.5
    EXPECT_NEAR(l.pickerLeft, 11900 / 15.0 / 2 - 68.5, 1e-9);
    EXPECT_NEAR(l.previousLeft, l.pickerLeft - 56, 1e-9);
    EXPECT_NEAR(l.nextLeft, l.pickerLeft + 144, 1e-9);
}

TEST(PresenceLayoutRules, LegendColumnsTruncateAndNoStateLeavesThemAlone) {
    // (12915 - 390) / 15 = 835 pixels; (835 - 4) / 7 = 118.7
    EXPECT_EQ(disposition(12915, 9000, 7).legendColumnWidth, 118);
    EXPECT_EQ(disposition(12915, 9000, 5).legendColumnWidth, 166);
    EXPECT_EQ(disposition(12915, 9000, 0).legendColumnWidth, -1);
    EXPECT_TRUE(disposition(12915, 9000, 0).widthRules);
}

TEST(PresenceLayoutRules, HeightsOnlyAbove2400Twips) {
    EXPECT_FALSE(disposition(12915, 2400).heightRules);
    const PresenceLayout l = disposition(12915, 9375);
    EXPECT_TRUE(l.heightRules);
    EXPECT_DOUBLE_EQ(l.gridHeight, 465);
    EXPECT_DOUBLE_EQ(l.legendTop, 556);
}

} // namespace
