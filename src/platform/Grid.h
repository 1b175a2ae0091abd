#pragma once

#include "platform/GridModel.h"
#include "platform/Pictures.h" // the program's image lists, which every grid host loads

#include <QAbstractScrollArea>
#include <QRect>

class QPainter;
class QTimer;

namespace platform {

// The data grid of the message list and the presence board: the model of GridModel with
// a view that paints only the rows on screen, a grouping band and column headers.
//
// The grid never edits a cell: when the user asks to (a click on the selected cell, F2,
// or a typed character) it raises RequestEdit and the host places its own editor.
// The grid keeps no editing state of its own: the host hides its editor itself.
//
// Coordinates: "grid pixels" are relative to the Grid widget's top-left corner (frame
// included), which is what a host adds to the grid's own position to place an editor.
class Grid : public QAbstractScrollArea, public GridModel {
    Q_OBJECT
public:
    explicit Grid(QWidget* parent = nullptr);
    ~Grid() override;

    // ---- Positions
    // Scrolls so that the cell is in view (column 0: only the row).
    void EnsureVisible(int row, int column = 0);
    // Cell rectangle in twips relative to the grid. A hidden column or row gives width or
    // height 0. The row-text column's cell is the band under the row's other cells.
    bool CellBoundary(int row, int column, int& left, int& top, int& width, int& height) const;
    // The same in grid pixels (an empty rectangle for an invalid cell).
    QRect CellRect(int row, int column) const;
    // Cell under a point in grid pixels; row 0 and column 0 when none.
    void CellFromPoint(int x, int y, int& row, int& column) const;
    // Column under a point of the grouping band (a grouped column's box) or of the headers,
    // in grid pixels; 0 when none.
    int ColumnAtPoint(int x, int y) const;
    // Height of the header row (0 when hidden) and the top of the first row, grid pixels.
    int HeaderHeight() const;
    int RowsTop() const;
    // Where rows are drawn, in grid pixels: the viewport less the grouping band and the
    // headers. An editor a host lays over the grid stays inside it.
    QRect RowsArea() const;

    // Paints the whole widget as shown into a painter (used to render to an image).
    void renderTo(QPainter& painter);

    // What the visible columns and rows take, frame included (no scroll bar).
    QSize sizeHint() const override;

signals:
    void ColumnClick(int column);
    // Right-click in the grouping band or on a header, in pixels, y from the grid's top.
    // In the band x is from the grid's left; on a header x is from the left of the columns
    // (after the grouping indent), so a header click maps back with
    // ColumnAtPoint(x + GroupIndent(), y).
    void HeaderRightClick(int x, int y);
    // button 1 left, 2 right, 4 middle; shift 1 Shift, 2 Ctrl, 4 Alt; x and y in twips
    // relative to the grid.
    void MouseUp(int button, int shift, float x, float y);
    void DblClick(int row, int column);
    void ScrollChange();
    // Raised when the user moves the selection (not when code writes it).
    void SelectionChange(int row, int column);
    // key: 0 for a mouse click, Qt::Key_F2 for F2, the code point of a typed character (which
    // the host's editor then receives: it is the first character the user typed).
    void RequestEdit(int row, int column, int key, bool& cancel);

protected:
    void modelChanged(Change change) override;
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void scrollContentsBy(int dx, int dy) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    bool viewportEvent(QEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    void updateScrollBars();
    void paintAll(QPainter& p, const QRect& clip);
    void paintBand(QPainter& p);
    void paintHeader(QPainter& p, int top);
    void paintRow(QPainter& p, int row, int y, int xOffset, int viewWidth);
    void paintGroupRow(QPainter& p, int row, int y, int xOffset, int viewWidth);
    void paintCellContent(QPainter& p, const Cell& cell, const QRect& rect, bool selected);
    QRect bandBox(int level) const;
    QPoint viewportOrigin() const; // viewport's top-left in grid pixels
    void userSelect(int row, int column);
    void requestEdit(int key);
    int nextVisibleRow(int row, int step) const;
    int resizeHandleAt(int x, int y) const;

    int m_resizeColumn = 0; // column being resized by dragging its header border
    int m_resizeStartX = 0;
    int m_resizeStartWidth = 0;
    bool m_pressOnSelected = false;
    QTimer* m_editTimer = nullptr; // waits out a possible double-click before RequestEdit
};

} // namespace platform
