// The grid's data without painting: grouping, sort keys, item data.
#include "platform/Grid.h"

#include <gtest/gtest.h>

using namespace platform;

namespace {

using Ids = std::vector<int>;

// Columns: 1 name (text), 2 office (text), 3 date (200), 4 image (300), 5 id (800).
struct Fixture {
    Grid g;
    explicit Fixture(bool filled = true) {
        g.AddColumn(QStringLiteral("Nom"), QStringLiteral("Nom"));
        g.AddColumn(QStringLiteral("Bureau"), QStringLiteral("Bureau"));
        for (const auto& [key, type] :
             {std::pair{"Date", kSortDate}, {"P", kSortImage}, {"No", kSortItemData}})
            g.AddColumn(QLatin1String(key), QLatin1String(key), 0, -1, 60, true, false, QString(), true,
                        QString(), false, type);
        if (!filled) return;
        add(QStringLiteral("Émile"), QStringLiteral("Québec"), QStringLiteral("2024-03-10"), 2, 1);
        add(QStringLiteral("zoé"), QStringLiteral("Lévis"), QStringLiteral("2023-12-31"), 0, 2);
        add(QStringLiteral("emile"), QStringLiteral("Québec"), QStringLiteral("2024-03-09"), 1, 3);
        add(QStringLiteral("Adèle"), QStringLiteral("Lévis"), QStringLiteral("2024-01-05"), 2, 4);
        add(QStringLiteral("Éric"), QStringLiteral("Québec"), QStringLiteral("2024-03-10"), 0, 5);
    }
    int add(const QString& name, const QString& office, const QString& date, int image, int id) {
        const int r = g.AddRow();
        g.CellDetails(r, 1, name);
        g.CellDetails(r, 2, office);
        g.CellDetails(r, 3, date);
        g.CellDetails(r, 4, QString(), {}, image);
        g.CellDetails(r, 5, QString::number(id), {}, {}, {}, {}, {}, {}, {}, id);
        return r;
    }
    // Item data of column 5 down the rows, group rows shown as 0.
    Ids ids() const {
        Ids v;
        for (int r = 1; r <= g.Rows(); ++r)
            v.push_back(g.RowIsGroup(r) ? 0 : g.CellItemData(r, 5));
        return v;
    }
    Ids sortBy(int col, int order, int type = -1) {
        g.sortKeys().clear();
        g.sortKeys().add(col, order, type);
        g.Sort();
        return ids();
    }
};

} // namespace

TEST(GridModelTest, GroupingInsertsCountsCollapsesAndUngroups) {
    Fixture f;
    f.g.setSelectedRow(5); // Éric, id 5
    f.g.setColumnIsGrouped(2, true);
    // Lévis (2 rows) sorts before Québec (3 rows); a heading carries no message number.
    EXPECT_EQ(f.ids(), (Ids{0, 2, 4, 0, 1, 3, 5}));
    EXPECT_EQ(f.g.CellText(1, 2), QStringLiteral("Lévis"));
    EXPECT_EQ(f.g.RowGroupCount(1), 2);
    EXPECT_EQ(f.g.RowGroupCount(4), 3);
    EXPECT_EQ(f.g.CellItemData(1, 5), 0);
    EXPECT_EQ(f.g.CellItemData(f.g.SelectedRow(), 5), 5); // the selection followed its row

    // A second level nests under the first; every name is its own subgroup.
    f.g.setColumnIsGrouped(1, true);
    EXPECT_EQ(f.g.ColumnGroupingLevel(1), 1);
    EXPECT_EQ(f.g.RowGroupingLevel(2), 1);
    EXPECT_EQ(f.g.RowGroupingLevel(3), 2); // a data row sits below both levels
    EXPECT_EQ(f.g.Rows(), 5 + 2 + 5);

    // Collapsing the outer Québec group hides everything under it, inner headings included,
    // and it stays collapsed when the rows are sorted again.
    const int quebec = 6; // after Lévis, Adèle (2 rows) and zoé (2 rows)
    ASSERT_EQ(f.g.CellText(quebec, 2), QStringLiteral("Québec"));
    f.g.setRowExpanded(quebec, 0);
    EXPECT_TRUE(f.g.RowVisible(quebec));
    for (int r = quebec + 1; r <= f.g.Rows(); ++r)
        EXPECT_FALSE(f.g.RowVisible(r)) << r;
    EXPECT_TRUE(f.g.RowVisible(2));
    f.g.Sort();
    EXPECT_EQ(f.g.RowExpanded(quebec), 0);

    // Ungrouping both levels brings back exactly the data rows, all visible.
    f.g.setColumnIsGrouped(1, false);
    EXPECT_EQ(f.g.Rows(), 7);
    f.g.setColumnIsGrouped(2, false);
    Ids ids = f.ids();
    std::sort(ids.begin(), ids.end());
    EXPECT_EQ(ids, (Ids{1, 2, 3, 4, 5}));
    for (int r = 1; r <= 5; ++r)
        EXPECT_TRUE(f.g.RowVisible(r));
    EXPECT_EQ(f.g.ColumnGroupingLevel(2), -1);
}

TEST(GridModelTest, SortKeysKeepGroupedKeysFirst) {
    Fixture f;
    f.g.sortKeys().add(1, kSortAscending);
    f.g.setColumnIsGrouped(2, true);
    // The grouped column's key moved to the front and survives a clear.
    ASSERT_EQ(f.g.sortKeys().count(), 2);
    EXPECT_EQ(f.g.sortKeys().indexOf(1), 2);
    f.g.sortKeys().clear();
    EXPECT_EQ(f.g.sortKeys().count(), 1);
    EXPECT_EQ(f.g.sortKeys().column(1), 2);
    // Descending on the grouped key reverses the groups; rows keep inside their groups.
    f.g.sortKeys().setOrder(1, kSortDescending);
    EXPECT_EQ(f.g.sortKeys().add(5, kSortDescending, kSortItemData), 2);
    f.g.Sort();
    EXPECT_EQ(f.ids(), (Ids{0, 5, 3, 1, 0, 4, 2}));
}

TEST(GridModelTest, EachSortTypeComparesValuesAndIsStable) {
    Fixture f;
    // French text order: accents and case do not scatter Émile from emile.
    EXPECT_EQ(f.sortBy(1, kSortAscending, kSortText), (Ids{4, 3, 1, 5, 2}));
    // Dates as values (2023-12-31 first); equal dates keep their previous order (stable).
    EXPECT_EQ(f.sortBy(3, kSortAscending, kSortDate), (Ids{2, 4, 3, 1, 5}));
    EXPECT_EQ(f.sortBy(3, kSortDescending, kSortDate), (Ids{1, 5, 3, 4, 2}));
    // Images: 0,0,1,2,2 with ties in the order the previous sort left.
    EXPECT_EQ(f.sortBy(4, kSortAscending, kSortImage), (Ids{5, 2, 3, 1, 4}));
    // Item data beats the displayed text ("10" < "9" as text).
    f.add(QStringLiteral("x"), QString(), QString(), -1, 10);
    f.add(QStringLiteral("y"), QString(), QString(), -1, 9);
    EXPECT_EQ(f.sortBy(5, kSortAscending, kSortItemData), (Ids{1, 2, 3, 4, 5, 9, 10}));

    // Times, with or without seconds or a leading zero, sort as values in a date column.
    Fixture t(false);
    int id = 0;
    for (const char* time : {"9:05", "13:00:01", "08:59", "13:00"})
        t.add(QString(), QString(), QLatin1String(time), 0, ++id);
    EXPECT_EQ(t.sortBy(3, kSortAscending), (Ids{3, 1, 4, 2}));
}

TEST(GridModelTest, CellDetailsKeepsWhatItIsNotGiven) {
    Fixture f(false);
    const int r = f.add(QStringLiteral("a"), QString(), QString(), 1, 42);
    QFont strike;
    strike.setStrikeOut(true);
    f.g.CellDetails(r, 5, QStringLiteral("42"), 0x40020, -1, 0xC0C0FF, 0x0000FF, strike, 0, -1, 42);
    f.g.CellDetails(r, 5, QStringLiteral("42 (3)"), 16, -1, 0xFFFFFF, 0, strike); // no item data
    EXPECT_EQ(f.g.CellItemData(r, 5), 42);
    EXPECT_EQ(f.g.CellBackColor(r, 5), 0xFFFFFF);
    EXPECT_EQ(f.g.CellAlignment(r, 5), 16);
    EXPECT_TRUE(f.g.CellFont(r, 5).strikeOut());
    EXPECT_FALSE(f.g.CellFont(r, 1).strikeOut()); // a cell without a font shows the grid's
    EXPECT_EQ(f.g.CellBackColor(r, 1), -1);
    // A cell given the grid's old font keeps it once the grid's font changes.
    QFont ancienne = f.g.GridFont();
    ancienne.setStrikeOut(false); // equal to the grid's font, not a copy of it
    f.g.setCellFont(r, 2, ancienne);
    QFont grasse = ancienne;
    grasse.setBold(true);
    f.g.setGridFont(grasse);
    f.g.setCellFont(r, 3, ancienne);
    EXPECT_FALSE(f.g.CellFont(r, 3).bold());
}

TEST(GridModelTest, ColumnsInsertedAndRemovedKeepCellsAndKeys) {
    Fixture f;
    f.g.setColumnIsGrouped(2, true);
    f.g.AddColumn(QStringLiteral("Avant"), QStringLiteral("Avant"), 0, -1, 40, true, false,
                  QStringLiteral("Nom"));
    EXPECT_EQ(f.g.ColumnIndex(QStringLiteral("Bureau")), 3);
    EXPECT_TRUE(f.g.ColumnIsGrouped(3));
    EXPECT_EQ(f.g.sortKeys().column(1), 3);
    EXPECT_EQ(f.g.CellText(2, 2), QStringLiteral("zoé"));
    f.g.RemoveColumn(3); // removing the grouped column ungroups
    EXPECT_EQ(f.g.Rows(), 5);
    EXPECT_EQ(f.g.GroupedColumnCount(), 0);
    EXPECT_EQ(f.g.sortKeys().indexOf(3), 0);
    EXPECT_EQ(f.g.Columns(), 5);
}
