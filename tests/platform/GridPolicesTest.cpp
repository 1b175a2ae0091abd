#include "platform/Grid.h"

#include <gtest/gtest.h>

using namespace Qt::Literals::StringLiterals;

namespace {

// The grid keeps each font once and finds a cell's among them: fonts of one family that
// differ only in weight, strike-out or size are different fonts, whatever the order they
// come in.
TEST(GridPolices, FontsOfOneFamilyStayApart) {
    platform::Grid g;
    for (const QString& key : {u"A"_s, u"B"_s, u"C"_s})
        g.AddColumn(key, key, 0, -1, 60, true, false, QString(), true, QString(), false, platform::kSortText);
    g.AddRow();
    QFont normale(u"DejaVu Sans"_s, 9);
    QFont grasse = normale, barree = normale, grande = normale;
    grasse.setBold(true);
    barree.setStrikeOut(true);
    grande.setPointSize(14);
    g.setCellFont(1, 1, normale);
    g.setCellFont(1, 2, grasse);
    g.setCellFont(1, 3, barree);
    g.setCellFont(1, 1, grande);
    g.setCellFont(1, 3, QFont(u"DejaVu Sans"_s, 9)); // equal to the first one, not a copy of it

    EXPECT_EQ(g.CellFont(1, 1).pointSize(), 14) << "the larger font";
    EXPECT_TRUE(g.CellFont(1, 2).bold()) << "the bold font";
    EXPECT_FALSE(g.CellFont(1, 3).strikeOut()) << "the plain font after a struck-through one";
    EXPECT_FALSE(g.CellFont(1, 3).bold());
}

} // namespace
