// The grid as a widget: geometry in pixels and twips, hidden columns, the row-text band,
// the edit hand-off and the events a click raises.
#include "platform/Grid.h"
#include "platform/Units.h"

#include <QSignalSpy>
#include <QTest>
#include <gtest/gtest.h>

using namespace platform;
using namespace Qt::Literals::StringLiterals;

namespace {

// A message-list-like grid: three cells on the first line, a row-text column under them.
struct ViewFixture {
    Grid g;
    ViewFixture() {
        g.resize(600, 400);
        for (const auto& [key, width] : {std::pair{"P", 20}, {"No", 80}, {"Client", 200}})
            g.AddColumn(QLatin1String(key), QLatin1String(key), 0, -1, width);
        g.AddColumn(u"Message"_s, QString(), 0, -1, 985, true, false, QString(), true, QString(), true);
        for (int i = 1; i <= 30; ++i) {
            const int r = g.AddRow();
            g.CellDetails(r, 2, QString::number(i), 0x40020, -1, -1, -1, {}, 0, -1, i);
            g.CellDetails(r, 3, u"Client %1"_s.arg(i), 0x40020);
        }
        g.show();
    }
    // (row, column) under a point; row 0 when there is no cell.
    std::pair<int, int> at(const QPoint& p) {
        int row = 0, col = 0;
        g.CellFromPoint(p.x(), p.y(), row, col);
        return {row, col};
    }
};

} // namespace

// The text under a row is measured in the width of all the row's visible columns.
TEST(GridViewTest, RowTextHeightUsesTheWholeRowWidth) {
    ViewFixture f;
    const QString words = u"appeler "_s.repeated(60).trimmed();
    f.g.CellDetails(1, 4, words, 16);
    const int wide = f.g.EvaluateTextHeight(1, 4), narrow = f.g.RowTextWidth();
    f.g.AddColumn(u"Copie"_s, QString(), 0, -1, 300);
    const int atWider = f.g.EvaluateTextHeight(1, 4);
    EXPECT_EQ(std::tuple(narrow, f.g.RowTextWidth(), atWider < wide), std::tuple(300, 600, true));
    // The same text in an ordinary column of the row-text width needs the same height; hidden
    // columns do not widen the row text.
    f.g.CellDetails(1, 5, words, 16);
    f.g.setColumnWidth(5, 600);
    f.g.setColumnVisible(5, false);
    EXPECT_EQ(std::tuple(f.g.RowTextWidth(), f.g.EvaluateTextHeight(1, 4), f.g.EvaluateTextHeight(1, 5)),
              std::tuple(300, wide, atWider));
    // One line when the cell is single-line, nothing for an empty text.
    f.g.CellDetails(1, 3, words, 0x40020);
    EXPECT_EQ(std::pair(f.g.EvaluateTextHeight(1, 3), f.g.EvaluateTextHeight(2, 4)),
              std::pair(QFontMetrics(f.g.GridFont()).height(), 0));
}

// Every visible cell maps back to itself from its middle, through pixels and twips; the band
// under the cells belongs to the row-text column; a hidden column takes no room; grouped, the
// rows shift right by the indent; scrolling moves the boundaries with the rows.
TEST(GridViewTest, CellBoundaryAndCellFromPointAgree) {
    ViewFixture f;
    f.g.setRowHeight(2, 60); // 18 for the cells, 42 for the row text under them
    int l = 0, t = 0, w = 0, h = 0;
    for (int r : {1, 2, 5})
        for (int c : {1, 2, 3}) {
            ASSERT_TRUE(f.g.CellBoundary(r, c, l, t, w, h));
            EXPECT_EQ(f.at({twipsToPixelsX(l + w / 2), twipsToPixelsY(t + 15)}), std::make_pair(r, c));
        }
    EXPECT_EQ(std::pair(w, h), std::pair(pixelsToTwipsX(200), pixelsToTwipsY(18)));
    const QRect text = f.g.CellRect(2, 4);
    EXPECT_EQ(text, QRect(text.x(), f.g.RowsTop() + 36, 300, 42));
    EXPECT_EQ(f.at(text.center()), std::make_pair(2, 4));
    f.g.setColumnVisible(2, false);
    EXPECT_EQ(std::pair(f.g.CellRect(1, 2).width(), f.g.CellRect(1, 3).x()),
              std::pair(0, f.g.CellRect(1, 1).x() + 20));
    f.g.setColumnIsGrouped(3, true);
    EXPECT_EQ(f.g.CellRect(2, 1).x(), f.g.contentsRect().x() + f.g.GroupIndent());
    f.g.EnsureVisible(30, 1);
    EXPECT_EQ(f.at(f.g.CellRect(30, 2).center()).first, 30);
}

// Down skips a collapsed group's rows; Left and Right collapse and expand the selected group
// without a new selection.
TEST(GridViewTest, KeyboardMovesOverCollapsedGroups) {
    ViewFixture f;
    for (int r = 1; r <= 30; ++r)
        f.g.setCellText(r, 1, r <= 10 ? u"A"_s : u"B"_s);
    f.g.setColumnIsGrouped(1, true); // group A at row 1, group B at row 12
    ASSERT_TRUE(f.g.RowIsGroup(12));
    f.g.setRowExpanded(1, 0);
    f.g.setSelectedRow(1);
    QSignalSpy sel(&f.g, &Grid::SelectionChange);
    QTest::keyClick(&f.g, Qt::Key_Down);
    const int row = f.g.SelectedRow();
    QTest::keyClick(&f.g, Qt::Key_Left);
    const int collapsed = f.g.RowExpanded(12);
    QTest::keyClick(&f.g, Qt::Key_Right);
    EXPECT_EQ(std::tuple(row, collapsed, f.g.RowExpanded(12), sel.count()), std::tuple(12, 0, 1, 1));
}

// A row left pending keeps its estimated height until its height or its row text is asked
// for, or it is painted: a long list lays out only the rows someone looks at, once each,
// and a sort carries the rows' state with them.
TEST(GridViewTest, PendingRowsAreLaidOutWhenAskedForOrPainted) {
    ViewFixture f;
    QList<int> prepares; // rows the grid asked to lay out, by their item data
    f.g.setRowPreparer([&](int row, const QByteArray& source) {
        prepares << f.g.CellItemData(row, 2);
        f.g.setCellText(row, 4, QString::fromUtf8(source));
        f.g.setRowHeight(row, 40);
    });
    for (int r = 1; r <= 30; ++r) {
        f.g.setRowHeight(r, 20);
        f.g.setRowHeightPending(r, QByteArray("texte ") + QByteArray::number(r));
    }
    f.g.grab(); // painted: the rows in view, from the first
    const int vus = int(prepares.size());
    ASSERT_GT(vus, 0) << "painting laid out no row";
    EXPECT_LT(vus, 30) << "painting laid out rows out of view";
    for (int i = 0; i < vus; ++i)
        EXPECT_EQ(prepares[i], i + 1);
    EXPECT_FALSE(f.g.RowHeightPending(1));
    EXPECT_TRUE(f.g.RowHeightPending(30));

    // Asked for: its height, its row-text cell; another cell lays nothing out.
    EXPECT_EQ(f.g.RowHeight(30), 40);
    EXPECT_EQ(f.g.CellText(29, 4), u"texte 29"_s);
    EXPECT_EQ(f.g.CellText(28, 3), u"Client 28"_s);
    EXPECT_EQ(prepares.mid(vus), (QList<int>{30, 29}));
    EXPECT_TRUE(f.g.RowHeightPending(28));
    // A height given outright comes after the row's own work, and stays.
    f.g.setRowHeight(28, 25);
    EXPECT_EQ(f.g.RowHeight(28), 25);
    EXPECT_EQ(prepares.last(), 28);

    // Sorted in reverse, each row keeps its state: nothing is laid out twice.
    f.g.sortKeys().add(2, kSortDescending, kSortItemData);
    f.g.Sort();
    EXPECT_EQ(std::pair(f.g.RowHeight(1), f.g.RowHeight(3)), std::pair(40, 25));
    EXPECT_EQ(prepares.size(), vus + 3);
    EXPECT_EQ(f.g.RowHeight(4), 40); // item data 27, laid out now
    EXPECT_EQ(prepares.last(), 27);
}

// A row scrolled into view lands whole in view, though the rows shown above it grow as they
// are laid out.
TEST(GridViewTest, ARowScrolledIntoViewStaysWholeWhenTheRowsAboveItAreLaidOut) {
    ViewFixture f;
    f.g.setRowPreparer([&](int row, const QByteArray&) { f.g.setRowHeight(row, 40); });
    for (int r = 1; r <= 30; ++r) {
        f.g.setRowHeight(r, 20);
        f.g.setRowHeightPending(r);
    }
    f.g.EnsureVisible(30, 1);
    f.g.grab();
    const QRect rangee = f.g.CellRect(30, 1), zone = f.g.RowsArea();
    EXPECT_TRUE(zone.contains(rangee)) << "row 30 at y " << rangee.top() << " to " << rangee.bottom()
                                       << ", rows area " << zone.top() << " to " << zone.bottom();
}
