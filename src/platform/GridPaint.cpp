// Painting of the grid. Only the rows that meet the viewport are visited: the first one is
// found by a binary search over the row tops, so a paint costs the same for 100 rows as
// for 100,000.
#include "platform/Grid.h"

#include "platform/Units.h"

#include <QPainter>
#include <QScrollBar>
#include <QStyleOptionHeader>

namespace platform {

namespace {
constexpr int kPad = 2;

QColor resolve(qint64 bgr, qint64 fallback) {
    return colorFromBgr(bgr < 0 ? fallback : bgr);
}
} // namespace

void Grid::paintAll(QPainter& p, const QRect& clip) {
    const int w = viewport()->width(), h = viewport()->height();
    const int band = GroupingBandHeight(), header = HeaderHeight();
    const int rowsTop = band + header;
    p.fillRect(clip, colorFromBgr(BackColor()));

    const int y0 = verticalScrollBar()->value();
    const int xOffset = -horizontalScrollBar()->value();
    p.save();
    p.setClipRect(QRect(0, rowsTop, w, h - rowsTop).intersected(clip));
    for (int row = rowAtContentY(y0); row != 0;) {
        prepareRow(row); // its real height, before the rows under it are placed
        const int top = rowTop(row);
        const int y = rowsTop + top - y0;
        if (y >= h) break;
        if (RowIsGroup(row))
            paintGroupRow(p, row, y, xOffset, w);
        else
            paintRow(p, row, y, xOffset, w);
        row = rowAtContentY(top + RowHeight(row)); // the next visible row
    }
    p.restore();

    if (header) paintHeader(p, band);
    if (band) paintBand(p);
}

void Grid::paintBand(QPainter& p) {
    const int band = GroupingBandHeight();
    const QRect area(0, 0, viewport()->width(), band);
    p.fillRect(area, palette().color(QPalette::Mid));
    p.setFont(GridFont());
    for (int l = 0; l < GroupedColumnCount(); ++l) {
        const QRect box = bandBox(l);
        if (l > 0) { // an elbow from the previous level's box down to this one
            const QRect prev = bandBox(l - 1);
            p.setPen(palette().color(QPalette::Dark));
            p.drawLine(prev.left() + 6, prev.bottom(), prev.left() + 6, box.center().y());
            p.drawLine(prev.left() + 6, box.center().y(), box.left(), box.center().y());
        }
        p.fillRect(box, palette().color(QPalette::Button));
        p.setPen(palette().color(QPalette::Dark));
        p.drawRect(box.adjusted(0, 0, -1, -1));
        p.setPen(palette().color(QPalette::ButtonText));
        p.drawText(box, Qt::AlignCenter, ColumnHeader(m_groupedColumns[size_t(l)]));
    }
    p.setPen(palette().color(QPalette::Dark));
    p.drawLine(0, band - 1, area.right(), band - 1);
}

void Grid::paintHeader(QPainter& p, int top) {
    const int h = HeaderHeight();
    const int xOffset = -horizontalScrollBar()->value();
    p.save();
    p.setFont(GridFont());
    QStyleOptionHeader opt;
    opt.initFrom(this);
    opt.state = QStyle::State_Enabled | QStyle::State_Raised | QStyle::State_Horizontal;
    opt.orientation = Qt::Horizontal;
    opt.fontMetrics = QFontMetrics(GridFont());
    auto section = [&](const QRect& r, const QString& text, int align, int image,
                       QStyleOptionHeader::SortIndicator s) {
        opt.rect = r;
        opt.text = text;
        opt.textAlignment = Qt::Alignment(align) | Qt::AlignVCenter;
        opt.sortIndicator = s;
        opt.icon = Images().isValidIndex(image) ? QIcon(Images().pixmap(image)) : QIcon();
        style()->drawControl(QStyle::CE_Header, &opt, &p, this);
    };
    int x = xOffset;
    if (GroupIndent() > 0) section(QRect(x, top, GroupIndent(), h), QString(), Qt::AlignLeft, -1, {});
    x += GroupIndent();
    // The sort arrow shows on the first key that is not a grouping key.
    const int firstFree = GroupedColumnCount() + 1;
    const int sortCol = sortKeys().column(firstFree);
    for (int c = 1; c <= Columns(); ++c) {
        const Column& col = columnAt(c);
        if (!col.visible || col.rowText) continue;
        QStyleOptionHeader::SortIndicator s = QStyleOptionHeader::None;
        if (c == sortCol)
            s = sortKeys().order(firstFree) == kSortDescending ? QStyleOptionHeader::SortDown
                                                               : QStyleOptionHeader::SortUp;
        const int align = (col.alignment & kAlignCenter)  ? int(Qt::AlignHCenter)
                          : (col.alignment & kAlignRight) ? int(Qt::AlignRight)
                                                          : int(Qt::AlignLeft);
        section(QRect(x, top, col.width, h), col.header, align, col.headerImage, s);
        x += col.width;
    }
    if (x < viewport()->width())
        section(QRect(x, top, viewport()->width() - x, h), QString(), Qt::AlignLeft, -1, {});
    p.restore();
}

void Grid::paintCellContent(QPainter& p, const Cell& cell, const QRect& rect, bool selected) {
    QRect r = rect.adjusted(kPad + cell.indent, 0, -kPad, 0);
    const int line = std::min(rect.height(), DefaultRowHeight());
    const QSize is = Images().imageSize();
    const bool wraps = (cell.alignment & kAlignWordBreak) != 0;
    auto drawImage = [&](int index) {
        if (!Images().isValidIndex(index)) return;
        int x = r.left();
        if (cell.text.isEmpty())
            x = rect.left() + (rect.width() - is.width()) / 2; // an image alone is centred
        const int y = wraps ? rect.top() + kPad : rect.top() + (line - is.height()) / 2;
        p.drawPixmap(QRect(QPoint(x, y), is), Images().pixmap(index));
        r.setLeft(r.left() + is.width() + kPad);
    };
    drawImage(cell.image);
    drawImage(cell.extraImage);
    if (cell.text.isEmpty() || r.width() <= 0) return;

    const QFont& f = fontOf(cell);
    p.setFont(f);
    const bool defaultHighlight = SelectionBackColor() == kSysHighlight;
    p.setPen(selected && defaultHighlight ? colorFromBgr(SelectionForeColor())
                                          : resolve(cell.foreColor, ForeColor()));
    int flags = (cell.alignment & kAlignCenter)  ? Qt::AlignHCenter
                : (cell.alignment & kAlignRight) ? Qt::AlignRight
                                                 : Qt::AlignLeft;
    QString text = cell.text;
    if (wraps) {
        // The same line breaks EvaluateTextHeight counted.
        thread_local std::vector<TextLine> lines;
        wrapText(text, cell.font, r.width(), lines);
        const QFontMetrics& fm = metricsFor(cell.font);
        const int bottom =
            p.clipBoundingRect().isEmpty() ? rect.bottom() : int(p.clipBoundingRect().bottom());
        int y = r.top() + kPad;
        for (const TextLine& l : lines) {
            if (y > bottom) break;
            p.drawText(QRect(r.left(), y, r.width(), fm.height()), flags | Qt::TextSingleLine | Qt::AlignTop,
                       text.mid(l.start, l.length));
            y += fm.lineSpacing();
        }
        return;
    } else if (cell.alignment & kAlignSingleLine) {
        flags |= Qt::TextSingleLine | Qt::AlignVCenter;
        r.setHeight(line);
        if (cell.alignment & (kAlignWordEllipsis | kAlignEndEllipsis))
            text = metricsFor(cell.font).elidedText(text, Qt::ElideRight, r.width());
    } else {
        flags |= (cell.alignment & kAlignBottom) ? Qt::AlignBottom : Qt::AlignVCenter;
    }
    p.drawText(r, flags, text);
}

void Grid::paintRow(QPainter& p, int row, int y, int xOffset, int viewWidth) {
    const Row& rr = rowAt(row);
    const int textCol = RowTextColumn();
    const bool textBand = textCol && ColumnVisible(textCol) && rr.height > DefaultRowHeight();
    const int cellsHeight = textBand ? DefaultRowHeight() : rr.height;
    const bool rowSelected = row == SelectedRow();
    const QColor lines = colorFromBgr(GridLineColor());
    const QColor selBack = colorFromBgr(SelectionBackColor());

    if (GroupIndent() > 0) p.fillRect(QRect(xOffset, y, GroupIndent(), rr.height), colorFromBgr(BackColor()));
    for (int c = 1; c <= Columns(); ++c) {
        const Column& col = columnAt(c);
        if (!col.visible || col.rowText) continue;
        const QRect cell(xOffset + columnLeft(c), y, col.width, cellsHeight);
        if (cell.right() < 0 || cell.left() >= viewWidth) continue;
        const Cell& data = rr.cells[size_t(c - 1)];
        const bool sel = rowSelected && (RowMode() || c == SelectedCol());
        // Selection colour -1: the cell keeps its own colour and a frame marks it.
        const bool frame = sel && SelectionBackColor() == -1;
        p.fillRect(cell, sel && !frame ? selBack : resolve(data.backColor, BackColor()));
        p.save();
        p.setClipRect(cell, Qt::IntersectClip);
        paintCellContent(p, data, cell, sel);
        if (frame) {
            p.setPen(QPen(palette().color(QPalette::Highlight), 2));
            p.setBrush(Qt::NoBrush);
            p.drawRect(cell.adjusted(1, 1, -1, -1));
        }
        p.restore();
        if (GridLines()) {
            p.setPen(lines);
            p.drawLine(cell.right(), cell.top(), cell.right(), cell.bottom());
            p.drawLine(cell.left(), cell.bottom(), cell.right(), cell.bottom());
        }
    }
    if (textBand) {
        const QRect band(xOffset + GroupIndent(), y + cellsHeight, RowTextWidth(), rr.height - cellsHeight);
        const Cell& data = rr.cells[size_t(textCol - 1)];
        const bool sel = rowSelected && (RowMode() || textCol == SelectedCol());
        p.fillRect(band, sel ? selBack : resolve(data.backColor, BackColor()));
        p.save();
        p.setClipRect(band, Qt::IntersectClip);
        paintCellContent(p, data, band, sel);
        p.restore();
        if (GridLines()) {
            p.setPen(lines);
            p.drawLine(band.left(), band.bottom(), band.right(), band.bottom());
            p.drawLine(band.right(), band.top(), band.right(), band.bottom());
        }
    }
}

void Grid::paintGroupRow(QPainter& p, int row, int y, int xOffset, int viewWidth) {
    const Row& rr = rowAt(row);
    const int h = rr.height;
    const int right = std::max(viewWidth, xOffset + columnsWidth());
    const int indent = rr.groupLevel * DefaultRowHeight();
    const bool sel = row == SelectedRow();
    QRect all(xOffset + indent, y, right - xOffset - indent, h);
    p.fillRect(QRect(xOffset, y, indent, h), colorFromBgr(BackColor()));
    p.fillRect(all, sel ? colorFromBgr(SelectionBackColor()) : palette().color(QPalette::AlternateBase));

    // The expand/collapse box.
    const int box = std::min(9, h - 4);
    const QRect mark(xOffset + indent + (DefaultRowHeight() - box) / 2, y + (h - box) / 2, box, box);
    p.setPen(palette().color(QPalette::Dark));
    p.fillRect(mark, palette().color(QPalette::Base));
    p.drawRect(mark);
    p.setPen(palette().color(QPalette::Text));
    p.drawLine(mark.left() + 2, mark.center().y(), mark.right() - 2, mark.center().y());
    if (!rr.expanded) p.drawLine(mark.center().x(), mark.top() + 2, mark.center().x(), mark.bottom() - 2);

    const Cell& c = rr.cells[size_t(rr.groupColumn - 1)];
    int x = xOffset + indent + DefaultRowHeight();
    const QSize is = Images().imageSize();
    QFont f = GridFont();
    f.setBold(true);
    p.setFont(f);
    const bool defaultHighlight = SelectionBackColor() == kSysHighlight;
    p.setPen(sel && defaultHighlight ? colorFromBgr(SelectionForeColor()) : colorFromBgr(ForeColor()));
    const QString head = ColumnHeader(rr.groupColumn);
    QString label = head.isEmpty() ? QString() : head + QStringLiteral(" : ");
    const QFontMetrics fm(f);
    p.drawText(QRect(x, y, fm.horizontalAdvance(label), h), Qt::AlignVCenter | Qt::TextSingleLine, label);
    x += fm.horizontalAdvance(label);
    if (Images().isValidIndex(c.image)) {
        p.drawPixmap(QRect(QPoint(x, y + (h - is.height()) / 2), is), Images().pixmap(c.image));
        x += is.width() + kPad;
    }
    const QString rest = c.text + QStringLiteral(" (") + QString::number(rr.groupCount) + QLatin1Char(')');
    p.drawText(QRect(x, y, right - x, h), Qt::AlignVCenter | Qt::TextSingleLine, rest);
    if (GridLines()) {
        p.setPen(colorFromBgr(GridLineColor()));
        p.drawLine(all.left(), all.bottom(), all.right(), all.bottom());
    }
}

} // namespace platform
