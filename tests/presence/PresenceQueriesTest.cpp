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

TEST(PresenceQueries, EmployeeGroupsExcludeTheLoggedInEmployeeAndKeepTheirOrder) {
    EXPECT_EQ(sqlEmployeCourant(7), s("SELECT NoEmploye, Nom FROM tblemploye WHERE NoEmploye = 7"));
    const QString ordonnes = sqlEmployesOrdonnes(7);
    EXPECT_TRUE(ordonnes.contains(s("INNER JOIN tblordreemployemsg ON (tblemploye.NoEmploye = "
                                    "tblordreemployemsg.NoEmploye)")));
    EXPECT_TRUE(ordonnes.contains(s("WHERE tblacces_empl.typeAcces = 14 AND tblemploye.Actif = 1 AND "
                                    "tblemploye.NoEmploye <> 7 ORDER BY tblordreemployemsg.Ordre")));
    EXPECT_TRUE(sqlEmployesAutres(7).endsWith(s(
        "AND tblemploye.NoEmploye <> 7 AND tblemploye.NoEmploye NOT IN (SELECT tblordreemployemsg.NoEmploye "
        "FROM tblordreemployemsg) ORDER BY tblemploye.Nom")));
}

TEST(PresenceQueries, DatesGoThroughTheQuotingHelper) {
    const QDate d(2024, 2, 28);
    EXPECT_TRUE(sqlPresenceJour(3, d).endsWith(
        s(" WHERE tblpresences.NoEmploye = 3 AND tblpresences.DatePresence = '2024-02-28'")));
    EXPECT_EQ(
        sqlEvenementJour(d),
        s("SELECT Description, BackColor, ForeColor FROM tblevenement WHERE DateEvenement = '2024-02-28'"));
    // An invalid date must not leave an unterminated or bare value in the statement.
    EXPECT_TRUE(sqlEvenementJour(QDate()).endsWith(s("DateEvenement = ''")));
}

TEST(PresenceQueries, BirthdaysOfFebruary29AreShownOnThe28thOfCommonYearsOnly) {
    EXPECT_EQ(sqlAnniversaires(QDate(2024, 3, 5)),
              s("SELECT Nom FROM tblemploye WHERE EXTRACT(MONTH FROM DateFete) = '3' AND EXTRACT(DAY FROM "
                "DateFete) = '5' AND Actif = 1"));
    const QString commune = sqlAnniversaires(QDate(2023, 2, 28));
    EXPECT_TRUE(commune.contains(s("= '28') OR (EXTRACT(MONTH FROM DateFete) = '2' AND EXTRACT(DAY FROM "
                                   "DateFete) = '29'))")));
    EXPECT_TRUE(commune.endsWith(s(")) AND Actif = 1"))) << qPrintable(commune);
    EXPECT_FALSE(sqlAnniversaires(QDate(2024, 2, 28)).contains(s("'29'")));
    EXPECT_TRUE(sqlAnniversaires(QDate(2100, 2, 28)).contains(s("'29'")));  // 2100 is not leap
    EXPECT_FALSE(sqlAnniversaires(QDate(2000, 2, 28)).contains(s("'29'"))); // 2000 is
}

TEST(PresenceQueries, OptionAndRightStatements) {
    EXPECT_EQ(sqlUpdateAffPresenceAuto(true, 4),
              s("UPDATE tblemploye SET AffPresenceAuto = 1 WHERE NoEmploye = 4"));
    EXPECT_EQ(sqlUpdateAffPresenceAuto(false, 4),
              s("UPDATE tblemploye SET AffPresenceAuto = 0 WHERE NoEmploye = 4"));
    EXPECT_EQ(sqlAccesGestion(4),
              s("SELECT typeAcces FROM tblacces_empl WHERE NoEmploye = 4 AND typeAcces = 16"));
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
