// The grid's data without painting: grouping, sort keys, item data.
#include "platform/Grid.h"

#include <gtest/gtest.h>

using namespace platform;

namespace {

// Columns: 1 name (text), 2 office (text), 3 date (200), 4 image (300), 5 id (800).
struct Fixture {
    Grid g;
    Fixture() {
        g.AddColumn(QStringLiteral("Nom"), QStringLiteral("Nom"));
        g.AddColumn(QStringLiteral("Bureau"), QStringLiteral("Bureau"));
        g.AddColumn(QStringLiteral("Date"), QStringLiteral("Date"), 0, -1, 80, true, false, QString(), true,
                    QString(), false, kSortDate);
        g.AddColumn(QStringLiteral("P"), QStringLiteral("P"), 0, -1, 20, true, false, QString(), true,
                    QString(), false, kSortImage);
        g.AddColumn(QStringLiteral("No"), QStringLiteral("No"), 0, -1, 60, true, false, QString(), true,
                    QString(), false, kSortItemData);
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
    // The outer heading of an office, or 0.
    int officeGroup(const QString& office) const {
        for (int r = 1; r <= g.Rows(); ++r)
            if (g.RowIsGroup(r) && g.RowGroupingLevel(r) == 0 && g.CellText(r, 2) == office) return r;
        return 0;
    }
    // Item data of column 5 down the data rows, group rows shown as 0.
    std::vector<int> ids() const {
        std::vector<int> v;
        for (int r = 1; r <= g.Rows(); ++r)
            v.push_back(g.RowIsGroup(r) ? 0 : g.CellItemData(r, 5));
        return v;
    }
};

void fill(Fixture& f) {
    f.add(QStringLiteral("Émile"), QStringLiteral("Québec"), QStringLiteral("2024-03-10"), 2, 1);
    f.add(QStringLiteral("zoé"), QStringLiteral("Lévis"), QStringLiteral("2023-12-31"), 0, 2);
    f.add(QStringLiteral("emile"), QStringLiteral("Québec"), QStringLiteral("2024-03-09"), 1, 3);
    f.add(QStringLiteral("Adèle"), QStringLiteral("Lévis"), QStringLiteral("2024-01-05"), 2, 4);
    f.add(QStringLiteral("Éric"), QStringLiteral("Québec"), QStringLiteral("2024-03-10"), 0, 5);
}

} // namespace

TEST(GridModelTest, GroupingInsertsCountsCollapsesAndUngroups) {
    Fixture f;
    fill(f);
    f.g.setSelectedRow(5); // Éric, id 5
    f.g.setColumnIsGrouped(2, true);
    EXPECT_EQ(f.g.ColumnGroupingLevel(2), 0);
    // Lévis (2 rows) sorts before Québec (3 rows): 2 group rows + 5 data rows.
    ASSERT_EQ(f.g.Rows(), 7);
    EXPECT_TRUE(f.g.RowIsGroup(1));
    EXPECT_EQ(f.g.CellText(1, 2), QStringLiteral("Lévis"));
    EXPECT_EQ(f.g.RowGroupCount(1), 2);
    EXPECT_EQ(f.g.CellItemData(1, 5), 0); // a heading carries no message number
    EXPECT_TRUE(f.g.RowIsGroup(4));
    EXPECT_EQ(f.g.RowGroupCount(4), 3);
    EXPECT_EQ(f.ids(), (std::vector<int>{0, 2, 4, 0, 1, 3, 5}));
    EXPECT_EQ(f.g.CellItemData(f.g.SelectedRow(), 5), 5); // the selection followed its row

    // A second level nests under the first and sorts by its own key.
    f.g.setColumnIsGrouped(1, true);
    EXPECT_EQ(f.g.ColumnGroupingLevel(1), 1);
    EXPECT_EQ(f.g.RowGroupingLevel(1), 0);
    EXPECT_EQ(f.g.RowGroupingLevel(2), 1);
    EXPECT_EQ(f.g.RowGroupingLevel(3), 2); // a data row sits below both levels
    EXPECT_EQ(f.g.Rows(), 5 + 2 + 5);      // every name is its own subgroup

    // Collapsing the outer Québec group hides everything under it, inner headings included.
    const int quebec = f.officeGroup(QStringLiteral("Québec"));
    ASSERT_GT(quebec, 0);
    f.g.setRowExpanded(quebec, 0);
    EXPECT_EQ(f.g.RowExpanded(quebec), 0);
    EXPECT_TRUE(f.g.RowVisible(quebec));
    for (int r = quebec + 1; r <= f.g.Rows(); ++r)
        EXPECT_FALSE(f.g.RowVisible(r)) << r;
    EXPECT_TRUE(f.g.RowVisible(2));
    // A collapsed group stays collapsed when the rows are sorted again.
    f.g.Sort();
    EXPECT_EQ(f.g.RowExpanded(f.officeGroup(QStringLiteral("Québec"))), 0);

    // Ungrouping both levels brings back exactly the data rows, all visible.
    f.g.setColumnIsGrouped(1, false);
    EXPECT_EQ(f.g.Rows(), 7);
    EXPECT_EQ(f.g.ColumnGroupingLevel(2), 0);
    f.g.setColumnIsGrouped(2, false);
    ASSERT_EQ(f.g.Rows(), 5);
    std::vector<int> ids = f.ids();
    std::sort(ids.begin(), ids.end());
    EXPECT_EQ(ids, (std::vector<int>{1, 2, 3, 4, 5}));
    for (int r = 1; r <= 5; ++r)
        EXPECT_TRUE(f.g.RowVisible(r));
    EXPECT_EQ(f.g.ColumnGroupingLevel(2), -1);
}

TEST(GridModelTest, SortKeysKeepGroupedKeysFirst) {
    Fixture f;
    fill(f);
    f.g.sortKeys().add(1, kSortAscending);
    f.g.setColumnIsGrouped(2, true);
    // The grouped column's key moved to the front; the other key follows.
    ASSERT_EQ(f.g.sortKeys().count(), 2);
    EXPECT_EQ(f.g.sortKeys().column(1), 2);
    EXPECT_EQ(f.g.sortKeys().indexOf(1), 2);
    EXPECT_EQ(f.g.sortKeys().indexOf(3), 0);
    f.g.sortKeys().clear();
    EXPECT_EQ(f.g.sortKeys().count(), 1);
    EXPECT_EQ(f.g.sortKeys().column(1), 2);
    // Descending on the grouped key reverses the groups; rows keep inside their groups.
    f.g.sortKeys().setOrder(1, kSortDescending);
    const int p = f.g.sortKeys().add(5, kSortDescending, kSortItemData);
    EXPECT_EQ(p, 2);
    f.g.Sort();
    EXPECT_EQ(f.g.CellText(1, 2), QStringLiteral("Québec"));
    EXPECT_EQ(f.ids(), (std::vector<int>{0, 5, 3, 1, 0, 4, 2}));
}

TEST(GridModelTest, EachSortTypeComparesValuesAndIsStable) {
    Fixture f;
    fill(f);
    auto sortBy = [&](int col, int order, int type) {
        f.g.sortKeys().clear();
        f.g.sortKeys().add(col, order, type);
        f.g.Sort();
        return f.ids();
    };
    // French text order: accents and case do not scatter Émile from emile.
    EXPECT_EQ(sortBy(1, kSortAscending, kSortText), (std::vector<int>{4, 3, 1, 5, 2}));
    // Dates as values (2023-12-31 first); equal dates keep their previous order (stable).
    EXPECT_EQ(sortBy(3, kSortAscending, kSortDate), (std::vector<int>{2, 4, 3, 1, 5}));
    EXPECT_EQ(sortBy(3, kSortDescending, kSortDate), (std::vector<int>{1, 5, 3, 4, 2}));
    // Images: 0,0,1,2,2 with ties in the order the previous sort left.
    EXPECT_EQ(sortBy(4, kSortAscending, kSortImage), (std::vector<int>{5, 2, 3, 1, 4}));
    // Item data beats the displayed text ("10" < "9" as text).
    const int r = f.add(QStringLiteral("x"), QString(), QString(), -1, 10);
    f.g.setCellText(r, 5, QStringLiteral("10"));
    f.add(QStringLiteral("y"), QString(), QString(), -1, 9);
    EXPECT_EQ(sortBy(5, kSortAscending, kSortItemData), (std::vector<int>{1, 2, 3, 4, 5, 9, 10}));
}

TEST(GridModelTest, TimesAndDateTimesSortAsValues) {
    Grid g;
    g.AddColumn(QStringLiteral("H"), QString(), 0, -1, 50, true, false, QString(), true, QString(), false,
                kSortDate);
    const QStringList times = {QStringLiteral("9:05"), QStringLiteral("13:00:01"), QStringLiteral("08:59"),
                               QStringLiteral("13:00")};
    for (const QString& t : times)
        g.CellDetails(g.AddRow(), 1, t);
    g.sortKeys().add(1, kSortAscending);
    g.Sort();
    QStringList got;
    for (int r = 1; r <= g.Rows(); ++r)
        got << g.CellText(r, 1);
    EXPECT_EQ(got, (QStringList{QStringLiteral("08:59"), QStringLiteral("9:05"), QStringLiteral("13:00"),
                                QStringLiteral("13:00:01")}));
}

TEST(GridModelTest, CellDetailsKeepsWhatItIsNotGiven) {
    Fixture f;
    const int r = f.add(QStringLiteral("a"), QString(), QString(), 1, 42);
    QFont strike;
    strike.setStrikeOut(true);
    f.g.CellDetails(r, 5, QStringLiteral("42"), 0x40020, -1, 0xC0C0FF, 0x0000FF, strike, 0, -1, 42);
    f.g.CellDetails(r, 5, QStringLiteral("42 (3)"), 16, -1, 0xFFFFFF, 0,
                    strike); // no indent, extra, item data
    EXPECT_EQ(f.g.CellItemData(r, 5), 42);
    EXPECT_EQ(f.g.CellBackColor(r, 5), 0xFFFFFF);
    EXPECT_EQ(f.g.CellAlignment(r, 5), 16);
    EXPECT_TRUE(f.g.CellFont(r, 5).strikeOut());
    EXPECT_FALSE(f.g.CellFont(r, 1).strikeOut()); // a cell without a font shows the grid's
    EXPECT_EQ(f.g.CellBackColor(r, 1), -1);
}

TEST(GridModelTest, ColumnsInsertedAndRemovedKeepCellsAndKeys) {
    Fixture f;
    fill(f);
    f.g.setColumnIsGrouped(2, true);
    f.g.AddColumn(QStringLiteral("Avant"), QStringLiteral("Avant"), 0, -1, 40, true, false,
                  QStringLiteral("Nom"));
    EXPECT_EQ(f.g.ColumnIndex(QStringLiteral("Avant")), 1);
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
