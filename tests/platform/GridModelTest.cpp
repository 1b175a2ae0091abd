// The grid's data without painting: grouping, sort keys, item data.
#include "platform/Grid.h"
#include "support/Etapes.h"

#include <gtest/gtest.h>

using namespace platform;
using namespace Qt::Literals::StringLiterals;

namespace {

// Columns: 1 name (text), 2 office (text), 3 date (200), 4 image (300), 5 id (800).
struct Fixture {
    Grid g;
    explicit Fixture(bool filled = true) {
        const int types[] = {kSortText, kSortText, kSortDate, kSortImage, kSortItemData};
        for (const QString& key : u"Nom Bureau Date P No"_s.split(u' '))
            g.AddColumn(key, key, 0, -1, 60, true, false, QString(), true, QString(), false,
                        types[g.Columns()]);
        if (!filled) return;
        int id = 0;
        for (const char* row :
             {"Émile|Québec|2024-03-10|2", "zoé|Lévis|2023-12-31|0", "emile|Québec|2024-03-09|1",
              "Adèle|Lévis|2024-01-05|2", "Éric|Québec|2024-03-10|0"})
            add(QString::fromUtf8(row).split(u'|'), ++id);
    }
    // Name, office, date and image of a row; its id goes in column 5 as text and item data.
    int add(const QStringList& v, int id) {
        const int r = g.AddRow();
        for (int c = 1; c <= 3; ++c)
            g.CellDetails(r, c, v.value(c - 1));
        g.CellDetails(r, 4, QString(), {}, v.value(3).toInt());
        g.CellDetails(r, 5, QString::number(id), {}, {}, {}, {}, {}, {}, {}, id);
        return r;
    }
    // The rows top to bottom: a data row as its id, a group row as "[" its row count "]" with
    // "-" when collapsed; a row hidden in a collapsed group in parentheses.
    QString rows() const {
        QStringList v;
        for (int r = 1; r <= g.Rows(); ++r) {
            const QString row =
                g.RowIsGroup(r)
                    ? u"[%1%2]"_s.arg(g.RowGroupCount(r)).arg(QLatin1String(g.RowExpanded(r) ? "" : "-"))
                    : QString::number(g.CellItemData(r, 5));
            v << (g.RowVisible(r) ? row : u"(%1)"_s.arg(row));
        }
        return v.join(u' ');
    }
    QString sortBy(int col, int order, int type = -1) {
        g.sortKeys().clear();
        g.sortKeys().add(col, order, type);
        g.Sort();
        return rows();
    }
};

} // namespace

TEST(GridModelTest, GroupingInsertsCountsCollapsesAndUngroups) {
    Fixture f;
    f.g.setSelectedRow(5); // Éric, id 5
    f.g.setColumnIsGrouped(2, true);
    // Lévis (2 rows) sorts before Québec (3 rows); a heading carries no message number, and
    // the selection followed its row.
    EXPECT_EQ(f.rows(), u"[2] 2 4 [3] 1 3 5"_s);
    EXPECT_EQ(std::tuple(f.g.CellText(1, 2), f.g.CellItemData(1, 5), f.g.CellItemData(f.g.SelectedRow(), 5)),
              std::tuple(u"Lévis"_s, 0, 5));

    // A second level nests under the first; every name is its own subgroup. Collapsing the
    // outer Québec group hides everything under it, inner headings included, and it stays
    // collapsed when the rows are sorted again.
    ETAPE("a second level");
    f.g.setColumnIsGrouped(1, true);
    EXPECT_EQ(std::tuple(f.g.ColumnGroupingLevel(1), f.g.RowGroupingLevel(2), f.g.RowGroupingLevel(3)),
              std::tuple(1, 1, 2));
    ASSERT_EQ(f.g.CellText(6, 2), u"Québec"_s);
    f.g.setRowExpanded(6, 0);
    f.g.Sort();
    EXPECT_EQ(f.rows(), u"[2] [1] 4 [1] 2 [3-] ([1]) (3) ([1]) (1) ([1]) (5)"_s);

    // Ungrouping both levels brings back exactly the data rows, all visible.
    ETAPE("both levels ungrouped");
    f.g.setColumnIsGrouped(1, false);
    EXPECT_EQ(f.g.Rows(), 7);
    f.g.setColumnIsGrouped(2, false);
    EXPECT_EQ(f.rows(), u"4 2 3 1 5"_s);
    EXPECT_EQ(f.g.ColumnGroupingLevel(2), -1);
}

TEST(GridModelTest, EachSortTypeComparesValuesAndIsStable) {
    Fixture f;
    // French text order: accents and case do not scatter Émile from emile.
    EXPECT_EQ(f.sortBy(1, kSortAscending, kSortText), u"4 3 1 5 2"_s);
    // Dates as values (2023-12-31 first); equal dates keep their previous order (stable).
    EXPECT_EQ(f.sortBy(3, kSortAscending, kSortDate), u"2 4 3 1 5"_s);
    EXPECT_EQ(f.sortBy(3, kSortDescending, kSortDate), u"1 5 3 4 2"_s);
    // Images: 0,0,1,2,2 with ties in the order the previous sort left.
    EXPECT_EQ(f.sortBy(4, kSortAscending, kSortImage), u"5 2 3 1 4"_s);
    // Item data beats the displayed text ("10" < "9" as text).
    f.add({u"x"_s}, 10);
    f.add({u"y"_s}, 9);
    EXPECT_EQ(f.sortBy(5, kSortAscending, kSortItemData), u"1 2 3 4 5 9 10"_s);

    // Times, with or without seconds or a leading zero, sort as values in a date column.
    ETAPE("times in a date column");
    Fixture t(false);
    int id = 0;
    for (const char* time : {"9:05", "13:00:01", "08:59", "13:00"})
        t.add({QString(), QString(), QLatin1String(time)}, ++id);
    EXPECT_EQ(t.sortBy(3, kSortAscending), u"3 1 4 2"_s);
}

// Cells share the fonts they are given; a cell given the grid's old font keeps it once the
// grid's font changes.
TEST(GridModelTest, ACellKeepsTheGridsOldFont) {
    Fixture f;
    QFont ancienne = f.g.GridFont();
    ancienne.setStrikeOut(false); // equal to the grid's font, not a copy of it
    f.g.setCellFont(1, 2, ancienne);
    QFont grasse = ancienne;
    grasse.setBold(true);
    f.g.setGridFont(grasse);
    f.g.setCellFont(1, 3, ancienne);
    EXPECT_FALSE(f.g.CellFont(1, 3).bold());
}
