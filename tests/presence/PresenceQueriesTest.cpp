#include "presence/PresenceLayout.h"
#include "presence/frmPresence.h"

#include <QDate>
#include <gtest/gtest.h>

using namespace presence;

namespace {

TEST(PresenceWeek, MondayOfEveryDayAndTheDayIcons) {
    // Sunday closes its week; across a year too.
    const std::pair<QDate, QDate> lundis[] = {{{2024, 3, 11}, {2024, 3, 11}},
                                              {{2024, 3, 13}, {2024, 3, 11}},
                                              {{2024, 3, 17}, {2024, 3, 11}},
                                              {{2024, 3, 18}, {2024, 3, 18}},
                                              {{2025, 1, 1}, {2024, 12, 30}}};
    for (const auto& [d, lundi] : lundis)
        EXPECT_EQ(frmPresence::Lundi(d), lundi) << d.toString(Qt::ISODate).toStdString();
    // The first match wins: Easter on April 1 is the fish; a Monday holiday has no icon.
    const std::pair<QDate, int> icones[] = {{{2024, 3, 31}, 4},  {{2018, 4, 1}, 1}, {{2024, 3, 17}, 5},
                                            {{2024, 6, 24}, 7},  {{2024, 7, 1}, 6}, {{2024, 9, 2}, -1},
                                            {{2024, 12, 25}, -1}};
    for (const auto& [d, icone] : icones)
        EXPECT_EQ(frmPresence::IconeDuJour(d), icone) << d.toString(Qt::ISODate).toStdString();
}

PresenceLayout disposition(double W, double H, int legend = 7) {
    PresenceLayoutInput in;
    in.W = W;
    in.H = H;
    in.legendColumns = legend;
    in.normalState = true;
    return calculerDisposition(in);
}

// The rules a window of the usual sizes never reaches (the rest is tested on the window).
TEST(PresenceLayoutRules, DayWidthsRoundHalvesToEvenAndLegendColumnsTruncate) {
    // (783.33 - 170 - 23) / 6 = 98.39; then 98.5 and 99.5.
    EXPECT_EQ(disposition(11900, 9000).dayWidth, 98);
    EXPECT_EQ(disposition(11910, 9000).dayWidth, 98);
    EXPECT_EQ(disposition(12000, 9000).dayWidth, 100);
    // (835 - 4) / 7 = 118.7; no state leaves the legend alone.
    EXPECT_EQ(disposition(12915, 9000, 7).legendColumnWidth, 118);
    EXPECT_EQ(disposition(12915, 9000, 0).legendColumnWidth, -1);
    EXPECT_TRUE(disposition(12915, 9000, 0).widthRules);
    // Heights only above 2400 twips.
    EXPECT_FALSE(disposition(12915, 2400).heightRules);
    EXPECT_TRUE(disposition(12915, 2401).heightRules);
}

} // namespace
