// The grid widget: geometry, scrolling, mouse and keyboard. Painting is in GridPaint.cpp.
#include "platform/Grid.h"

#include "platform/Units.h"

#include <QApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>
#include <QTimer>
#include <cmath>

namespace platform {

namespace {
constexpr int kResizeGrip = 4;     // pixels either side of a header border that start a resize
constexpr int kKeyF2 = Qt::Key_F2; // beyond every character, so that no typed one reads as F2

int shiftState(Qt::KeyboardModifiers m) {
    return (m & Qt::ShiftModifier ? 1 : 0) | (m & Qt::ControlModifier ? 2 : 0) |
           (m & Qt::AltModifier ? 4 : 0);
}
int buttonCode(Qt::MouseButton b) {
    switch (b) {
    case Qt::LeftButton:
        return 1;
    case Qt::RightButton:
        return 2;
    case Qt::MiddleButton:
        return 4;
    default:
        return 0;
    }
}
} // namespace

Grid::Grid(QWidget* parent) : QAbstractScrollArea(parent) {
    setFrameShape(QFrame::StyledPanel);
    setFocusPolicy(Qt::StrongFocus);
    setGridFont(font());
    viewport()->setAttribute(Qt::WA_OpaquePaintEvent);
    viewport()->setMouseTracking(true);
    verticalScrollBar()->setSingleStep(DefaultRowHeight());
    horizontalScrollBar()->setSingleStep(16);
    // A click on the selected cell asks for an editor only once it is clear that the
    // click is not the first half of a double-click.
    m_editTimer = new QTimer(this);
    m_editTimer->setSingleShot(true);
    connect(m_editTimer, &QTimer::timeout, this, [this] { requestEdit(0); });
}

Grid::~Grid() = default;

QSize Grid::sizeHint() const {
    const int frame = 2 * frameWidth();
    return QSize(frame + columnsWidth(), frame + GroupingBandHeight() + HeaderHeight() + contentHeight());
}

void Grid::changeEvent(QEvent* event) {
    if (event->type() == QEvent::FontChange) setGridFont(font());
    QAbstractScrollArea::changeEvent(event);
}

void Grid::modelChanged(Change change) {
    if (change == Change::Layout) updateScrollBars();
    viewport()->update();
}

void Grid::resizeEvent(QResizeEvent* event) {
    QAbstractScrollArea::resizeEvent(event);
    updateScrollBars();
}

int Grid::HeaderHeight() const {
    return HeaderVisible() ? QFontMetrics(GridFont()).height() + 8 : 0;
}
int Grid::RowsTop() const {
    return viewportOrigin().y() + GroupingBandHeight() + HeaderHeight();
}
QRect Grid::RowsArea() const {
    QRect r = viewport()->geometry();
    r.setTop(RowsTop());
    return r;
}
QPoint Grid::viewportOrigin() const {
    return viewport()->geometry().topLeft();
}

void Grid::updateScrollBars() {
    const int rowsArea = std::max(0, viewport()->height() - GroupingBandHeight() - HeaderHeight());
    QScrollBar* v = verticalScrollBar();
    v->setRange(0, std::max(0, contentHeight() - rowsArea));
    v->setPageStep(std::max(1, rowsArea));
    v->setSingleStep(DefaultRowHeight());
    QScrollBar* h = horizontalScrollBar();
    h->setRange(0, std::max(0, columnsWidth() - viewport()->width()));
    h->setPageStep(std::max(1, viewport()->width()));
}

void Grid::scrollContentsBy(int, int) {
    viewport()->update();
    emit ScrollChange();
}

// ---------------------------------------------------------------- positions

QRect Grid::CellRect(int row, int column) const {
    if (!validCell(row, column)) return QRect();
    prepareRow(row);
    ensureLayout();
    const Row& r = rowAt(row);
    const int top = RowsTop() + rowTop(row) - verticalScrollBar()->value();
    const int height = r.visible ? r.height : 0;
    const int x0 = viewportOrigin().x() - horizontalScrollBar()->value();
    const Column& c = columnAt(column);
    if (c.rowText) {
        // The band under the row's other cells, across the whole row.
        const int band = std::min(DefaultRowHeight(), height);
        return QRect(x0 + GroupIndent(), top + band, c.visible ? RowTextWidth() : 0, height - band);
    }
    return QRect(x0 + columnLeft(column), top, c.visible ? c.width : 0, height);
}

bool Grid::CellBoundary(int row, int column, int& left, int& top, int& width, int& height) const {
    if (!validCell(row, column)) {
        left = top = width = height = 0;
        return false;
    }
    const QRect r = CellRect(row, column);
    left = pixelsToTwipsX(r.x());
    top = pixelsToTwipsY(r.y());
    width = pixelsToTwipsX(r.width());
    height = pixelsToTwipsY(r.height());
    return true;
}

void Grid::CellFromPoint(int x, int y, int& row, int& column) const {
    row = column = 0;
    const int cy = y - RowsTop() + verticalScrollBar()->value();
    if (y < RowsTop() || y >= viewportOrigin().y() + viewport()->height()) return;
    const int r = rowAtContentY(cy);
    if (r == 0) return;
    const int cx = x - viewportOrigin().x() + horizontalScrollBar()->value();
    const int textCol = RowTextColumn();
    if (textCol && ColumnVisible(textCol) && !RowIsGroup(r) && cy - rowTop(r) >= DefaultRowHeight()) {
        if (cx >= GroupIndent() && cx < columnsWidth()) {
            row = r;
            column = textCol;
        }
        return;
    }
    for (int c = 1; c <= Columns(); ++c) {
        const Column& col = columnAt(c);
        if (!col.visible || col.rowText) continue;
        const int left = columnLeft(c);
        if (cx >= left && cx < left + col.width) {
            row = r;
            column = c;
            return;
        }
    }
}

QRect Grid::bandBox(int level) const {
    const int col = m_groupedColumns[size_t(level)];
    const QFontMetrics fm(GridFont());
    int x = 8;
    for (int l = 0; l < level; ++l)
        x += fm.horizontalAdvance(ColumnHeader(m_groupedColumns[size_t(l)])) + 24;
    return QRect(x, 6 + 8 * level, fm.horizontalAdvance(ColumnHeader(col)) + 16, fm.height() + 6);
}

int Grid::ColumnAtPoint(int x, int y) const {
    const QPoint o = viewportOrigin();
    const int vx = x - o.x(), vy = y - o.y();
    const int band = GroupingBandHeight();
    if (vy >= 0 && vy < band) {
        for (int l = 0; l < GroupedColumnCount(); ++l)
            if (bandBox(l).contains(vx, vy)) return m_groupedColumns[size_t(l)];
        return 0;
    }
    if (vy < band || vy >= band + HeaderHeight()) return 0;
    const int cx = vx + horizontalScrollBar()->value();
    for (int c = 1; c <= Columns(); ++c) {
        const Column& col = columnAt(c);
        if (!col.visible || col.rowText) continue;
        const int left = columnLeft(c);
        if (cx >= left && cx < left + col.width) return c;
    }
    return 0;
}

void Grid::EnsureVisible(int row, int column) {
    if (!validRow(row) || !RowVisible(row)) return;
    const int area = std::max(0, viewport()->height() - GroupingBandHeight() - HeaderHeight());
    // The rows that may show above it take their own heights first (asking lays a pending
    // row out), so that it lands where it is put and not under rows grown since.
    for (int r = row - 1, shown = RowHeight(row); r >= 1 && shown < area; --r)
        if (RowVisible(r)) shown += RowHeight(r);
    QScrollBar* v = verticalScrollBar();
    const int top = rowTop(row), bottom = top + RowHeight(row);
    if (top < v->value())
        v->setValue(top);
    else if (bottom > v->value() + area)
        v->setValue(std::min(top, bottom - area));
    if (column >= 1 && column <= Columns() && !ColumnIsRowText(column) && ColumnVisible(column)) {
        QScrollBar* h = horizontalScrollBar();
        const int left = columnLeft(column), right = left + ColumnWidth(column);
        const int width = viewport()->width();
        if (left - GroupIndent() < h->value())
            h->setValue(left - GroupIndent());
        else if (right > h->value() + width)
            h->setValue(std::min(left, right - width));
    }
}

// ---------------------------------------------------------------- editing hand-off

void Grid::requestEdit(int key) {
    const int row = SelectedRow(), col = SelectedCol();
    if (!validCell(row, col) || RowIsGroup(row)) return;
    bool cancel = false;
    emit RequestEdit(row, col, key, cancel);
}

void Grid::userSelect(int row, int column) {
    if (row == SelectedRow() && column == SelectedCol()) return;
    setSelectedRow(row);
    setSelectedCol(column);
    EnsureVisible(row, column);
    emit SelectionChange(SelectedRow(), SelectedCol());
}

// ---------------------------------------------------------------- mouse

bool Grid::viewportEvent(QEvent* event) {
    // Mouse events arrive in viewport coordinates; the handlers below want grid pixels.
    return QAbstractScrollArea::viewportEvent(event);
}

int Grid::resizeHandleAt(int x, int y) const {
    const int vy = y - viewportOrigin().y(), band = GroupingBandHeight();
    if (vy < band || vy >= band + HeaderHeight()) return 0;
    const int cx = x - viewportOrigin().x() + horizontalScrollBar()->value();
    for (int c = 1; c <= Columns(); ++c) {
        const Column& col = columnAt(c);
        if (!col.visible || col.rowText || col.fixedWidth) continue;
        const int right = columnLeft(c) + col.width;
        if (std::abs(cx - right) <= kResizeGrip) return c;
    }
    return 0;
}

void Grid::mousePressEvent(QMouseEvent* event) {
    const QPoint p = event->position().toPoint() + viewportOrigin();
    m_pressOnSelected = false;
    m_editTimer->stop();
    if (event->button() == Qt::LeftButton) {
        if (const int c = resizeHandleAt(p.x(), p.y())) {
            m_resizeColumn = c;
            m_resizeStartX = p.x();
            m_resizeStartWidth = ColumnWidth(c);
            return;
        }
    }
    if (p.y() < RowsTop()) return; // headers and band act on release
    int row = 0, col = 0;
    CellFromPoint(p.x(), p.y(), row, col);
    if (row == 0) return;
    if (RowIsGroup(row) && event->button() == Qt::LeftButton) {
        // The +/- box sits at the group's indent.
        const int cx = p.x() - viewportOrigin().x() + horizontalScrollBar()->value();
        const int left = RowGroupingLevel(row) * DefaultRowHeight();
        if (cx >= left && cx < left + DefaultRowHeight()) setRowExpanded(row, RowExpanded(row) ? 0 : 1);
    }
    if (col == 0) col = SelectedCol() ? SelectedCol() : 1;
    m_pressOnSelected = event->button() == Qt::LeftButton && row == SelectedRow() && col == SelectedCol();
    userSelect(row, col);
}

void Grid::mouseMoveEvent(QMouseEvent* event) {
    const QPoint p = event->position().toPoint() + viewportOrigin();
    if (m_resizeColumn) {
        setColumnWidth(m_resizeColumn, std::max(4, m_resizeStartWidth + p.x() - m_resizeStartX));
        return;
    }
    viewport()->setCursor(resizeHandleAt(p.x(), p.y()) ? Qt::SplitHCursor : Qt::ArrowCursor);
}

void Grid::mouseReleaseEvent(QMouseEvent* event) {
    const QPoint p = event->position().toPoint() + viewportOrigin();
    if (m_resizeColumn) {
        m_resizeColumn = 0;
        return;
    }
    const int vy = p.y() - viewportOrigin().y();
    if (vy < GroupingBandHeight() + HeaderHeight()) {
        const bool inBand = vy < GroupingBandHeight();
        if (event->button() == Qt::RightButton) {
            emit HeaderRightClick(inBand ? p.x() : p.x() - GroupIndent(), p.y());
        } else if (event->button() == Qt::LeftButton && !inBand) {
            if (const int c = ColumnAtPoint(p.x(), p.y())) emit ColumnClick(c);
        }
        return;
    }
    if (m_pressOnSelected) {
        int row = 0, col = 0;
        CellFromPoint(p.x(), p.y(), row, col);
        if (row == SelectedRow() && col == SelectedCol())
            m_editTimer->start(QApplication::doubleClickInterval());
        m_pressOnSelected = false;
    }
    emit MouseUp(buttonCode(event->button()), shiftState(event->modifiers()), float(pixelsToTwipsX(p.x())),
                 float(pixelsToTwipsY(p.y())));
}

void Grid::mouseDoubleClickEvent(QMouseEvent* event) {
    m_editTimer->stop(); // a double-click opens, it never edits
    const QPoint p = event->position().toPoint() + viewportOrigin();
    if (event->button() != Qt::LeftButton || p.y() < RowsTop()) return;
    int row = 0, col = 0;
    CellFromPoint(p.x(), p.y(), row, col);
    if (row) emit DblClick(row, col);
}

// ---------------------------------------------------------------- keyboard

int Grid::nextVisibleRow(int row, int step) const {
    int r = row;
    for (int i = 0; i < Rows(); ++i) {
        r += step;
        if (!validRow(r)) return row;
        if (RowVisible(r)) return r;
    }
    return row;
}

void Grid::keyPressEvent(QKeyEvent* event) {
    const int row = SelectedRow();
    int col = SelectedCol() ? SelectedCol() : 1;
    const int pageRows = std::max(1, verticalScrollBar()->pageStep() / std::max(1, DefaultRowHeight()));
    auto stepColumn = [&](int step) {
        for (int c = col + step; c >= 1 && c <= Columns(); c += step)
            if (ColumnVisible(c) && !ColumnIsRowText(c)) return c;
        return col;
    };
    switch (event->key()) {
    case Qt::Key_Up:
        userSelect(row ? nextVisibleRow(row, -1) : nextVisibleRow(0, 1), col);
        return;
    case Qt::Key_Down:
        userSelect(nextVisibleRow(row, 1), col);
        return;
    case Qt::Key_PageUp: {
        int r = row;
        for (int i = 0; i < pageRows; ++i)
            r = nextVisibleRow(r, -1);
        userSelect(r ? r : nextVisibleRow(0, 1), col);
        return;
    }
    case Qt::Key_PageDown: {
        int r = row;
        for (int i = 0; i < pageRows; ++i)
            r = nextVisibleRow(r, 1);
        userSelect(r, col);
        return;
    }
    case Qt::Key_Home:
        userSelect(nextVisibleRow(0, 1), col);
        return;
    case Qt::Key_End:
        userSelect(nextVisibleRow(Rows() + 1, -1), col);
        return;
    case Qt::Key_Left:
        if (RowIsGroup(row) && RowExpanded(row))
            setRowExpanded(row, 0);
        else
            userSelect(row, stepColumn(-1));
        return;
    case Qt::Key_Right:
        if (RowIsGroup(row) && !RowExpanded(row))
            setRowExpanded(row, 1);
        else
            userSelect(row, stepColumn(1));
        return;
    case Qt::Key_F2:
        requestEdit(kKeyF2);
        return;
    default:
        break;
    }
    const QString text = event->text();
    if (RowIsGroup(row) &&
        (text == QLatin1String(" ") || text == QLatin1String("+") || text == QLatin1String("-"))) {
        setRowExpanded(row,
                       text == QLatin1String("-") ? 0 : (text == QLatin1String("+") ? 1 : !RowExpanded(row)));
        return;
    }
    if (!text.isEmpty() && text.at(0).isPrint() &&
        !(event->modifiers() & (Qt::ControlModifier | Qt::AltModifier))) {
        requestEdit(int(text.toUcs4().value(0)));
        return;
    }
    QAbstractScrollArea::keyPressEvent(event);
}

void Grid::renderTo(QPainter& painter) {
    painter.save();
    painter.translate(viewportOrigin());
    paintAll(painter, QRect(QPoint(0, 0), viewport()->size()));
    painter.restore();
}

void Grid::paintEvent(QPaintEvent* event) {
    QPainter p(viewport());
    paintAll(p, event->rect());
}

} // namespace platform
