// The grid as a widget: geometry in pixels and twips, hidden columns, the row-text band,
// the edit hand-off and the events a click raises.
#include "platform/Grid.h"
#include "platform/Units.h"

#include <QSignalSpy>
#include <QTest>
#include <gtest/gtest.h>

using namespace platform;

namespace {

// A message-list-like grid: three cells on the first line, a row-text column under them.
struct ViewFixture {
    Grid g;
    ViewFixture() {
        g.resize(600, 400);
        g.AddColumn(QStringLiteral("P"), QStringLiteral("P"), 0, -1, 20);
        g.AddColumn(QStringLiteral("No"), QStringLiteral("No"), 0, -1, 80);
        g.AddColumn(QStringLiteral("Client"), QStringLiteral("Client"), 0, -1, 200);
        g.AddColumn(QStringLiteral("Message"), QString(), 0, -1, 985, true, false, QString(), true, QString(),
                    true);
        for (int i = 1; i <= 30; ++i) {
            const int r = g.AddRow();
            g.CellDetails(r, 2, QString::number(i), 0x40020, -1, -1, -1, {}, 0, -1, i);
            g.CellDetails(r, 3, QStringLiteral("Client %1").arg(i), 0x40020);
        }
        g.show();
    }
    // (row, column) under a point; row 0 when there is no cell.
    std::pair<int, int> at(int x, int y) {
        int row = 0, col = 0;
        g.CellFromPoint(x, y, row, col);
        return {row, col};
    }
    std::pair<int, int> at(const QPoint& p) { return at(p.x(), p.y()); }
};

QString words(int n) {
    QString s;
    for (int i = 0; i < n; ++i)
        s += QStringLiteral("appeler ");
    return s.trimmed();
}

} // namespace

TEST(GridViewTest, RowTextHeightUsesTheWholeRowWidth) {
    ViewFixture f;
    f.g.CellDetails(1, 4, words(60), 16);
    const int wide = f.g.EvaluateTextHeight(1, 4);
    EXPECT_EQ(f.g.RowTextWidth(), 300);
    // The same text in an ordinary column of the row-text width needs the same height...
    f.g.AddColumn(QStringLiteral("Copie"), QString(), 0, -1, 300);
    EXPECT_EQ(f.g.RowTextWidth(), 600);
    const int atWider = f.g.EvaluateTextHeight(1, 4);
    EXPECT_LT(atWider, wide); // ...and a wider row needs fewer lines
    f.g.CellDetails(1, 5, words(60), 16);
    f.g.setColumnWidth(5, 600);
    f.g.setColumnVisible(5, false); // hidden columns do not widen the row text
    EXPECT_EQ(f.g.RowTextWidth(), 300);
    EXPECT_EQ(f.g.EvaluateTextHeight(1, 4), wide);
    EXPECT_EQ(f.g.EvaluateTextHeight(1, 5), atWider);
    // One line when the cell is single-line, nothing for an empty text.
    f.g.CellDetails(1, 3, words(60), 0x40020);
    EXPECT_EQ(f.g.EvaluateTextHeight(1, 3), QFontMetrics(f.g.GridFont()).height());
    EXPECT_EQ(f.g.EvaluateTextHeight(2, 4), 0);
}

TEST(GridViewTest, CellBoundaryAndCellFromPointAgree) {
    ViewFixture f;
    f.g.setRowHeight(2, 60); // 18 for the cells, 42 for the row text under them
    f.g.setGroupingBandHidden(false);
    QApplication::processEvents();
    int l = 0, t = 0, w = 0, h = 0;
    ASSERT_TRUE(f.g.CellBoundary(2, 3, l, t, w, h));
    const QRect px = f.g.CellRect(2, 3);
    EXPECT_EQ(QRect(l, t, w, h),
              QRect(pixelsToTwipsX(px.x()), pixelsToTwipsY(px.y()), pixelsToTwipsX(200), pixelsToTwipsY(60)));
    EXPECT_EQ(px.topLeft(), QPoint(f.g.CellRect(2, 1).x() + 100, f.g.RowsTop() + 18)); // under row 1

    // Every visible cell maps back to itself from its middle, through pixels and twips.
    for (int r : {1, 2, 5})
        for (int c : {1, 2, 3}) {
            ASSERT_TRUE(f.g.CellBoundary(r, c, l, t, w, h));
            EXPECT_EQ(f.at(twipsToPixelsX(l + w / 2), twipsToPixelsY(t + 15)), std::make_pair(r, c));
        }
    // The band under the cells belongs to the row-text column.
    const QRect text = f.g.CellRect(2, 4);
    EXPECT_EQ(text, QRect(text.x(), px.top() + 18, 300, 42));
    EXPECT_EQ(f.at(text.center()), std::make_pair(2, 4));
    // Above the rows and past the last column there is no cell.
    EXPECT_EQ(f.at(px.x() + 5, f.g.RowsTop() - 2).first, 0);
    EXPECT_EQ(f.at(f.g.CellRect(1, 3).right() + 20, f.g.CellRect(1, 3).center().y()).first, 0);

    // Scrolling moves the boundaries with the rows.
    f.g.EnsureVisible(30, 1);
    const QRect last = f.g.CellRect(30, 2);
    EXPECT_LE(last.bottom(), f.g.height());
    EXPECT_EQ(f.at(last.center()).first, 30);
}

TEST(GridViewTest, HiddenColumnsTakeNoSpaceAndHeadersMapToColumns) {
    ViewFixture f;
    f.g.setColumnVisible(2, false);
    EXPECT_EQ(f.g.CellRect(1, 2).width(), 0);
    EXPECT_EQ(f.g.CellRect(1, 3).x(), f.g.CellRect(1, 1).x() + 20);
    const int headerY = f.g.RowsTop() - f.g.HeaderHeight() / 2;
    EXPECT_EQ(f.g.ColumnAtPoint(f.g.CellRect(1, 3).x() + 5, headerY), 3);
    EXPECT_EQ(f.g.ColumnAtPoint(f.g.CellRect(1, 1).x() + 5, headerY), 1);

    // Grouped: the band maps to its grouped column, the header shifts right by the indent.
    f.g.setGroupingBandHidden(false);
    f.g.setColumnIsGrouped(3, true);
    EXPECT_EQ(f.g.CellRect(2, 1).x(), f.g.contentsRect().x() + f.g.GroupIndent());
    const int bandY = f.g.contentsRect().y() + 12;
    int found = 0;
    for (int x = 0; x < 200 && !found; ++x)
        found = f.g.ColumnAtPoint(x, bandY);
    EXPECT_EQ(found, 3);
    EXPECT_EQ(f.g.ColumnAtPoint(590, bandY), 0);
}

TEST(GridViewTest, RequestEditHonoursCancelAndDoubleClickOnlyOpens) {
    ViewFixture f;
    bool cancelIt = true;
    std::vector<std::tuple<int, int, int>> asked;
    QObject::connect(
        &f.g, &Grid::RequestEdit, &f.g,
        [&](int r, int c, int key, bool& cancel) {
            asked.emplace_back(r, c, key);
            cancel = cancelIt;
        },
        Qt::DirectConnection);
    QSignalSpy dbl(&f.g, &Grid::DblClick);
    QSignalSpy sel(&f.g, &Grid::SelectionChange);
    QSignalSpy up(&f.g, &Grid::MouseUp);

    const QRect cell = f.g.CellRect(3, 3);
    const QPoint at = cell.center() - f.g.viewport()->geometry().topLeft();
    QTest::mouseClick(f.g.viewport(), Qt::LeftButton, {}, at);
    ASSERT_EQ(sel.count(), 1);
    EXPECT_EQ(sel.at(0).at(0).toInt(), 3);
    ASSERT_EQ(up.count(), 1);
    EXPECT_EQ(up.at(0).at(0).toInt(), 1);
    EXPECT_NEAR(up.at(0).at(3).toFloat(), float(pixelsToTwipsY(cell.center().y())), 1.0f);
    QTest::qWait(QApplication::doubleClickInterval() + 50);
    EXPECT_TRUE(asked.empty()); // the first click only selects

    // A second click on the selected cell asks for an editor; cancelled, no edit is pending.
    QTest::mouseClick(f.g.viewport(), Qt::LeftButton, {}, at, QApplication::doubleClickInterval() + 100);
    QTest::qWait(QApplication::doubleClickInterval() + 50);
    ASSERT_EQ(asked.size(), 1u);
    EXPECT_EQ(asked[0], std::make_tuple(3, 3, 0));
    EXPECT_FALSE(f.g.IsEditing());

    // F2 and a typed letter ask too; left uncancelled, the grid notes the pending edit.
    cancelIt = false;
    QTest::keyClick(&f.g, Qt::Key_F2);
    EXPECT_TRUE(f.g.IsEditing());
    EXPECT_EQ(f.g.EditRow(), 3);
    f.g.EndEdit();
    QTest::keyClick(&f.g, Qt::Key_A, Qt::NoModifier);
    ASSERT_EQ(asked.size(), 3u);
    EXPECT_EQ(std::get<2>(asked[1]), int(Qt::Key_F2));
    EXPECT_EQ(std::get<2>(asked[2]), int('a'));

    // A double-click on the selected cell raises DblClick and no edit request.
    asked.clear();
    QTest::mouseDClick(f.g.viewport(), Qt::LeftButton, {}, at, QApplication::doubleClickInterval() + 100);
    QTest::qWait(QApplication::doubleClickInterval() + 50);
    ASSERT_EQ(dbl.count(), 1);
    EXPECT_EQ(dbl.at(0).at(0).toInt(), 3);
    EXPECT_TRUE(asked.empty());
}

TEST(GridViewTest, KeyboardMovesOverCollapsedGroups) {
    ViewFixture f;
    for (int r = 1; r <= 30; ++r)
        f.g.setCellText(r, 1, r <= 10 ? QStringLiteral("A") : QStringLiteral("B"));
    f.g.setColumnIsGrouped(1, true); // group A at row 1, group B at row 12
    ASSERT_TRUE(f.g.RowIsGroup(12));
    f.g.setRowExpanded(1, 0);
    f.g.setSelectedRow(1);
    QSignalSpy sel(&f.g, &Grid::SelectionChange);
    QTest::keyClick(&f.g, Qt::Key_Down);
    EXPECT_EQ(f.g.SelectedRow(), 12); // the collapsed group's rows are skipped
    QTest::keyClick(&f.g, Qt::Key_Left);
    EXPECT_EQ(f.g.RowExpanded(12), 0);
    QTest::keyClick(&f.g, Qt::Key_Right);
    EXPECT_EQ(f.g.RowExpanded(12), 1);
    EXPECT_EQ(sel.count(), 1);
}
