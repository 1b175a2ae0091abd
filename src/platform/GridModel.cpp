#include "platform/GridModel.h"

#include <QFontMetrics>
#include <algorithm>
#include <climits>

namespace platform {

namespace {
constexpr int kCellPadding = 2; // each side of a cell's text
constexpr int kImageGap = 2;
} // namespace

// ---------------------------------------------------------------- construction, look

GridModel::GridModel() {
    m_sortKeys.m_model = this;
}

GridModel::~GridModel() {
    for (QFontMetrics* m : m_metrics)
        delete m;
}

void GridModel::touch(Change change) {
    if (change == Change::Layout) m_layoutDirty = true;
    if (m_redraw) modelChanged(change);
}

void GridModel::setRedraw(bool on) {
    m_redraw = on;
    if (on) modelChanged(Change::Layout);
}

void GridModel::setGridFont(const QFont& font) {
    m_font = font;
    m_lastFontKnown = false; // a font equal to the old one is no longer the grid's own
    if (!m_metrics.empty()) {
        delete m_metrics[0];
        m_metrics[0] = nullptr;
    }
    if (!m_wordWidths.empty()) m_wordWidths[0].clear();
    touch(Change::Layout);
}

void GridModel::setImageList(const ImageList& images) {
    m_images = images;
    touch(Change::Look);
}
void GridModel::setGridLineColor(qint64 c) {
    m_gridLineColor = c;
    touch(Change::Look);
}
void GridModel::setGridLines(bool on) {
    m_gridLines = on;
    touch(Change::Look);
}
void GridModel::setSelectionBackColor(qint64 c) {
    m_selBackColor = c;
    touch(Change::Look);
}
void GridModel::setSelectionForeColor(qint64 c) {
    m_selForeColor = c;
    touch(Change::Look);
}
void GridModel::setBackColor(qint64 c) {
    m_backColor = c;
    touch(Change::Look);
}
void GridModel::setForeColor(qint64 c) {
    m_foreColor = c;
    touch(Change::Look);
}
void GridModel::setHeaderVisible(bool v) {
    m_headerVisible = v;
    touch(Change::Layout);
}
void GridModel::setRowMode(bool on) {
    m_rowMode = on;
    touch(Change::Look);
}

// ---------------------------------------------------------------- columns

int GridModel::AddColumn(const QString& key, const QString& header, int alignment, int headerImage, int width,
                         bool visible, bool fixedWidth, const QString& keyBefore, bool includeInSelect,
                         const QString& format, bool rowTextColumn, int sortType) {
    Column c;
    c.key = key;
    c.header = header;
    c.alignment = alignment;
    c.headerImage = headerImage;
    c.width = std::max(0, width);
    c.visible = visible;
    c.fixedWidth = fixedWidth;
    c.includeInSelect = includeInSelect;
    c.format = format;
    c.rowText = rowTextColumn;
    c.sortType = sortType;
    if (rowTextColumn) // one row-text column per grid: the newest wins
        for (Column& o : m_columns)
            o.rowText = false;

    int at = keyBefore.isEmpty() ? 0 : ColumnIndex(keyBefore);
    if (at == 0) at = Columns() + 1;
    m_columns.insert(m_columns.begin() + (at - 1), c);
    Cell fresh;
    fresh.alignment = alignment;
    for (Row& r : m_rows)
        r.cells.insert(r.cells.begin() + (at - 1), fresh);
    // Column numbers at or after the new one move up by one.
    for (int& g : m_groupedColumns)
        if (g >= at) ++g;
    for (SortKeys::Key& k : m_sortKeys.m_keys)
        if (k.column >= at) ++k.column;
    for (Row& r : m_rows)
        if (r.groupColumn >= at) ++r.groupColumn;
    if (m_selCol >= at) ++m_selCol;
    touch(Change::Layout);
    return at;
}

void GridModel::RemoveColumn(int column) {
    if (column < 1 || column > Columns()) return;
    const bool wasGrouped = ColumnIsGrouped(column);
    m_groupedColumns.erase(std::remove(m_groupedColumns.begin(), m_groupedColumns.end(), column),
                           m_groupedColumns.end());
    for (int& g : m_groupedColumns)
        if (g > column) --g;
    auto& keys = m_sortKeys.m_keys;
    keys.erase(
        std::remove_if(keys.begin(), keys.end(), [&](const SortKeys::Key& k) { return k.column == column; }),
        keys.end());
    for (SortKeys::Key& k : keys)
        if (k.column > column) --k.column;
    m_columns.erase(m_columns.begin() + (column - 1));
    for (Row& r : m_rows) {
        r.cells.erase(r.cells.begin() + (column - 1));
        if (r.groupColumn > column) --r.groupColumn;
    }
    if (m_selCol == column)
        m_selCol = 0;
    else if (m_selCol > column)
        --m_selCol;
    if (wasGrouped) regroup();
    touch(Change::Layout);
}

void GridModel::ColumnRefresh() {
    touch(Change::Layout);
}

int GridModel::ColumnIndex(const QString& key) const {
    for (size_t i = 0; i < m_columns.size(); ++i)
        if (m_columns[i].key == key) return int(i) + 1;
    return 0;
}

#define COLUMN_GET(expr, fallback)                                                                           \
    if (column < 1 || column > Columns()) return fallback;                                                   \
    return columnAt(column).expr;
#define COLUMN_SET(field, value, change)                                                                     \
    if (column < 1 || column > Columns()) return;                                                            \
    m_columns[size_t(column - 1)].field = value;                                                             \
    touch(change);

QString GridModel::ColumnKey(int column) const {
    COLUMN_GET(key, QString())} QString GridModel::ColumnHeader(int column) const {
    COLUMN_GET(header, QString())
}
void GridModel::setColumnHeader(int column, const QString& h) {
    COLUMN_SET(header, h, Change::Look)
}
int GridModel::ColumnAlignment(int column) const {
    COLUMN_GET(alignment, 0)
}
int GridModel::ColumnHeaderImage(int column) const {
    COLUMN_GET(headerImage, -1)
}
int GridModel::ColumnWidth(int column) const {
    COLUMN_GET(width, 0)
}
void GridModel::setColumnWidth(int column, int w) {
    COLUMN_SET(width, std::max(0, w), Change::Layout)
}
bool GridModel::ColumnVisible(int column) const {
    COLUMN_GET(visible, false)
}
void GridModel::setColumnVisible(int column, bool v) {
    COLUMN_SET(visible, v, Change::Layout)
}
bool GridModel::ColumnFixedWidth(int column) const {
    COLUMN_GET(fixedWidth, false)
}
bool GridModel::ColumnIncludeInSelect(int column) const {
    COLUMN_GET(includeInSelect, false)} QString GridModel::ColumnFormat(int column) const {
    COLUMN_GET(format, QString())
}
bool GridModel::ColumnIsRowText(int column) const {
    COLUMN_GET(rowText, false)
}
int GridModel::ColumnSortType(int column) const {
    COLUMN_GET(sortType, kSortText)
}
void GridModel::setColumnSortType(int column, int t){
    COLUMN_SET(sortType, t, Change::Look)} QString GridModel::ColumnTag(int column) const {
    COLUMN_GET(tag, QString())
}
void GridModel::setColumnTag(int column, const QString& t) {
    COLUMN_SET(tag, t, Change::Look)
}

#undef COLUMN_GET
#undef COLUMN_SET

int GridModel::RowTextColumn() const {
    for (size_t i = 0; i < m_columns.size(); ++i)
        if (m_columns[i].rowText) return int(i) + 1;
    return 0;
}

int GridModel::columnLeft(int column) const {
    int x = GroupIndent();
    for (int c = 1; c < column && c <= Columns(); ++c) {
        const Column& col = columnAt(c);
        if (col.visible && !col.rowText) x += col.width;
    }
    return x;
}

int GridModel::columnsWidth() const {
    return GroupIndent() + RowTextWidth();
}

int GridModel::RowTextWidth() const {
    int w = 0;
    for (const Column& c : m_columns)
        if (c.visible && !c.rowText) w += c.width;
    return w;
}

// ---------------------------------------------------------------- rows

int GridModel::AddRow(int before, int height) {
    Row r;
    r.uid = m_nextUid++;
    r.height = height > 0 ? height : m_defaultRowHeight;
    r.cells.resize(m_columns.size());
    for (size_t i = 0; i < m_columns.size(); ++i)
        r.cells[i].alignment = m_columns[i].alignment;
    r.groupLevel = GroupedColumnCount();
    int at = validRow(before) ? before : Rows() + 1;
    m_rows.insert(m_rows.begin() + (at - 1), std::move(r));
    if (m_selRow >= at) ++m_selRow;
    touch(Change::Layout);
    return at;
}

void GridModel::RemoveRow(int row) {
    if (!validRow(row)) return;
    m_rows.erase(m_rows.begin() + (row - 1));
    if (m_selRow == row)
        m_selRow = 0;
    else if (m_selRow > row)
        --m_selRow;
    touch(Change::Layout);
}

void GridModel::Clear() {
    m_rows.clear();
    m_selRow = 0;
    touch(Change::Layout);
}

void GridModel::setDefaultRowHeight(int height) {
    m_defaultRowHeight = std::max(1, height);
    touch(Change::Layout);
}

int GridModel::RowHeight(int row) const {
    prepareRow(row);
    return validRow(row) ? rowAt(row).height : 0;
}

void GridModel::setRowHeight(int row, int height) {
    if (!validRow(row)) return;
    prepareRow(row); // its text read first: the height given outright then stays
    m_rows[size_t(row - 1)].height = std::max(0, height);
    touch(Change::Layout);
}

void GridModel::setRowHeightPending(int row, QByteArray source) {
    if (!validRow(row) || rowAt(row).isGroup) return;
    Row& r = m_rows[size_t(row - 1)];
    r.heightPending = true;
    r.source = std::move(source);
}

void GridModel::prepareRow(int row) const {
    if (!validRow(row) || !rowAt(row).heightPending) return;
    // Asked for from const questions (a height, a cell): the answer is worked out once and
    // kept, as the row tops are.
    auto* self = const_cast<GridModel*>(this);
    Row& r = self->m_rows[size_t(row - 1)];
    r.heightPending = false;
    const QByteArray source = std::move(r.source);
    r.source = QByteArray();
    if (m_preparer) m_preparer(row, source);
}

qint32 GridModel::RowItemData(int row) const {
    return validRow(row) ? rowAt(row).itemData : 0;
}
void GridModel::setRowItemData(int row, qint32 data) {
    if (validRow(row)) m_rows[size_t(row - 1)].itemData = data;
}
bool GridModel::RowIsGroup(int row) const {
    return validRow(row) && rowAt(row).isGroup;
}
int GridModel::RowGroupingLevel(int row) const {
    if (!validRow(row)) return 0;
    return rowAt(row).isGroup ? rowAt(row).groupLevel : GroupedColumnCount();
}
int GridModel::RowExpanded(int row) const {
    if (!validRow(row)) return 0;
    return rowAt(row).expanded ? 1 : 0;
}
void GridModel::setRowExpanded(int row, int expanded) {
    if (!validRow(row) || !rowAt(row).isGroup) return;
    m_rows[size_t(row - 1)].expanded = expanded != 0;
    touch(Change::Layout);
}
int GridModel::RowGroupCount(int row) const {
    return validRow(row) ? rowAt(row).groupCount : 0;
}

bool GridModel::RowVisible(int row) const {
    if (!validRow(row)) return false;
    ensureLayout();
    return rowAt(row).visible;
}

// Works out which rows lie in collapsed groups and where each row starts, in one pass.
// Every later question (a row's top, the row at a height) is then a look-up or a binary
// search, so painting does not depend on the number of rows.
void GridModel::ensureLayout() const {
    if (!m_layoutDirty) return;
    auto& rows = const_cast<std::vector<Row>&>(m_rows);
    m_tops.resize(rows.size() + 1);
    m_tops[0] = 0;
    int hideFrom = INT_MAX; // level of the collapsed group row now hiding rows
    for (size_t i = 0; i < rows.size(); ++i) {
        Row& r = rows[i];
        if (r.isGroup && r.groupLevel <= hideFrom) hideFrom = INT_MAX;
        r.visible = hideFrom == INT_MAX;
        if (r.isGroup && r.visible && !r.expanded) hideFrom = r.groupLevel;
        m_tops[i + 1] = m_tops[i] + (r.visible ? r.height : 0);
    }
    m_layoutDirty = false;
}

int GridModel::rowTop(int row) const {
    ensureLayout();
    return validRow(row) ? m_tops[size_t(row - 1)] : 0;
}

int GridModel::contentHeight() const {
    ensureLayout();
    return m_tops.back();
}

int GridModel::rowAtContentY(int y) const {
    ensureLayout();
    if (y < 0 || m_rows.empty()) return 0;
    const auto it = std::upper_bound(m_tops.begin(), m_tops.end(), y);
    const int row = int(it - m_tops.begin()); // m_tops[row - 1] <= y < m_tops[row]
    return row <= Rows() ? row : 0;
}

// ---------------------------------------------------------------- cells

GridModel::Cell* GridModel::cellPtr(int row, int column) {
    if (!validCell(row, column)) return nullptr;
    if (m_columns[size_t(column - 1)].rowText) prepareRow(row);
    return &m_rows[size_t(row - 1)].cells[size_t(column - 1)];
}
const GridModel::Cell* GridModel::cellPtr(int row, int column) const {
    if (!validCell(row, column)) return nullptr;
    if (m_columns[size_t(column - 1)].rowText) prepareRow(row);
    return &rowAt(row).cells[size_t(column - 1)];
}

short GridModel::internFont(const QFont& font) {
    // A row's cells come with copies of one font: a copy of the font just looked up has its
    // answer without comparing families and sizes again (a copy shares the same settings).
    if (font.isCopyOf(m_font)) return -1;
    if (m_lastFontKnown && font.isCopyOf(m_lastFont)) return m_lastFontIndex;
    short index = -1;
    if (font != m_font) {
        index = -2;
        for (size_t i = 0; i < m_fonts.size() && index == -2; ++i)
            if (m_fonts[i] == font) index = short(i);
        if (index == -2) {
            if (m_fonts.size() >= 30000) return -1; // a runaway caller: fall back to the grid's font
            m_fonts.push_back(font);
            index = short(m_fonts.size() - 1);
        }
    }
    m_lastFont = font;
    m_lastFontIndex = index;
    m_lastFontKnown = true;
    return index;
}

const QFont& GridModel::fontOf(const Cell& c) const {
    return c.font < 0 ? m_font : m_fonts[size_t(c.font)];
}

const QFontMetrics& GridModel::metricsFor(int fontIndex) const {
    const size_t slot = size_t(fontIndex + 1); // slot 0 is the grid's font
    if (m_metrics.size() <= slot) m_metrics.resize(slot + 1, nullptr);
    if (!m_metrics[slot])
        m_metrics[slot] = new QFontMetrics(fontIndex < 0 ? m_font : m_fonts[size_t(fontIndex)]);
    return *m_metrics[slot];
}

void GridModel::CellDetails(int row, int column, std::optional<QString> text, std::optional<int> alignment,
                            std::optional<int> image, std::optional<qint64> backColor,
                            std::optional<qint64> foreColor, std::optional<QFont> font,
                            std::optional<int> indent, std::optional<int> extraImage,
                            std::optional<qint32> itemData) {
    Cell* c = cellPtr(row, column);
    if (!c) return;
    if (text) c->text = std::move(*text);
    if (alignment) c->alignment = *alignment;
    if (image) c->image = short(*image);
    if (backColor) c->backColor = *backColor;
    if (foreColor) c->foreColor = *foreColor;
    if (font) c->font = internFont(*font);
    if (indent) c->indent = short(*indent);
    if (extraImage) c->extraImage = short(*extraImage);
    if (itemData) c->itemData = *itemData;
    touch(Change::Cells);
}

void GridModel::setCellDetails(int row, int column, const CellValues& v) {
    CellDetails(row, column, v.text, v.alignment, v.image, v.backColor, v.foreColor, v.font, v.indent,
                v.extraImage, v.itemData);
}

#define CELL_GET(expr, fallback)                                                                             \
    const Cell* c = cellPtr(row, column);                                                                    \
    return c ? (expr) : (fallback);
#define CELL_SET(stmt)                                                                                       \
    Cell* c = cellPtr(row, column);                                                                          \
    if (!c) return;                                                                                          \
    stmt;                                                                                                    \
    touch(Change::Cells);

QString GridModel::CellText(int row, int column) const {
    CELL_GET(c->text, QString())
}
void GridModel::setCellText(int row, int column, const QString& t) {
    CELL_SET(c->text = t)
}
int GridModel::CellAlignment(int row, int column) const {
    CELL_GET(c->alignment, 0)
}
void GridModel::setCellAlignment(int row, int column, int a) {
    CELL_SET(c->alignment = a)
}
int GridModel::CellImage(int row, int column) const {
    CELL_GET(int(c->image), -1)
}
void GridModel::setCellImage(int row, int column, int i) {
    CELL_SET(c->image = short(i))
}
int GridModel::CellExtraImage(int row, int column) const {
    CELL_GET(int(c->extraImage), -1)
}
void GridModel::setCellExtraImage(int row, int column, int i){
    CELL_SET(c->extraImage = short(i))} qint64 GridModel::CellBackColor(int row, int column) const {
    CELL_GET(c->backColor, qint64(-1))
}
void GridModel::setCellBackColor(int row, int column, qint64 v){
    CELL_SET(c->backColor = v)} qint64 GridModel::CellForeColor(int row, int column) const {
    CELL_GET(c->foreColor, qint64(-1))
}
void GridModel::setCellForeColor(int row, int column, qint64 v){
    CELL_SET(c->foreColor = v)} QFont GridModel::CellFont(int row, int column) const {
    CELL_GET(fontOf(*c), m_font)
}
void GridModel::setCellFont(int row, int column, const QFont& f) {
    CELL_SET(c->font = internFont(f))
}
int GridModel::CellIndent(int row, int column) const {
    CELL_GET(int(c->indent), 0)
}
void GridModel::setCellIndent(int row, int column, int v){
    CELL_SET(c->indent = short(v))} qint32 GridModel::CellItemData(int row, int column) const {
    CELL_GET(c->itemData, 0)
}
void GridModel::setCellItemData(int row, int column, qint32 v) {
    CELL_SET(c->itemData = v)
}

#undef CELL_GET
#undef CELL_SET

int GridModel::textWidthIn(const Cell& c, int cellWidth) const {
    int width = cellWidth - 2 * kCellPadding - c.indent;
    const int imageWidth = m_images.imageSize().width() + kImageGap;
    if (m_images.isValidIndex(c.image)) width -= imageWidth;
    if (m_images.isValidIndex(c.extraImage)) width -= imageWidth;
    return std::max(1, width);
}

int GridModel::linesHeight(int fontIndex, int lineCount) const {
    if (lineCount <= 0) return 0;
    const QFontMetrics& fm = metricsFor(fontIndex);
    return fm.height() + (lineCount - 1) * fm.lineSpacing();
}

void GridModel::wrapText(const QString& text, int fontIndex, int width, std::vector<TextLine>& lines) const {
    lines.clear();
    const QFontMetrics& fm = metricsFor(fontIndex);
    const size_t slot = size_t(fontIndex + 1);
    if (m_wordWidths.size() <= slot) m_wordWidths.resize(slot + 1);
    std::unordered_map<quint64, int>& cache = m_wordWidths[slot];
    if (cache.size() > 100000) cache.clear(); // keeps memory bounded on endless distinct words
    const int space = fm.horizontalAdvance(QLatin1Char(' '));
    const int n = int(text.size());
    int lineStart = -1, lineEnd = 0, lineWidth = 0;
    auto flush = [&] {
        lines.push_back({lineStart < 0 ? lineEnd : lineStart, lineStart < 0 ? 0 : lineEnd - lineStart});
        lineStart = -1;
        lineWidth = 0;
    };
    int i = 0;
    while (i < n) {
        const QChar ch = text.at(i);
        if (ch == u'\n') {
            flush();
            ++i;
            continue;
        }
        if (ch == u'\r' || ch == u' ' || ch == u'\t') {
            ++i;
            continue;
        }
        int j = i;
        while (j < n && text.at(j) != u' ' && text.at(j) != u'\n' && text.at(j) != u'\r' &&
               text.at(j) != u'\t')
            ++j;
        quint64 h = 14695981039346656037ULL; // FNV-1a over the word's UTF-16 units
        for (int k = i; k < j; ++k)
            h = (h ^ text.at(k).unicode()) * 1099511628211ULL;
        auto it = cache.find(h);
        if (it == cache.end()) it = cache.emplace(h, fm.horizontalAdvance(text.mid(i, j - i))).first;
        const int w = it->second;
        if (lineStart >= 0 && lineWidth + space + w <= width) {
            lineWidth += space + w;
            lineEnd = j;
        } else {
            if (lineStart >= 0) flush();
            if (w <= width) {
                lineStart = i;
                lineEnd = j;
                lineWidth = w;
            } else {
                // A word wider than the line is cut where it overflows.
                int k = i;
                while (k < j) {
                    int m = k + 1, used = fm.horizontalAdvance(text.at(k));
                    while (m < j) {
                        const int cw = fm.horizontalAdvance(text.at(m));
                        if (used + cw > width) break;
                        used += cw;
                        ++m;
                    }
                    lineStart = k;
                    lineEnd = m;
                    lineWidth = used;
                    if (m < j) flush();
                    k = m;
                }
            }
        }
        i = j;
    }
    if (lineStart >= 0) flush();
}

int GridModel::EvaluateTextHeight(int row, int column) const {
    const Cell* c = cellPtr(row, column);
    if (!c || c->text.isEmpty()) return 0;
    if (c->alignment & kAlignSingleLine) return metricsFor(c->font).height();
    const Column& col = columnAt(column);
    const int width = textWidthIn(*c, col.rowText ? RowTextWidth() : col.width);
    if (!(c->alignment & kAlignWordBreak)) // unwrapped text still breaks at its line feeds
        return linesHeight(c->font, int(c->text.count(QLatin1Char('\n'))) + 1);
    thread_local std::vector<TextLine> lines;
    wrapText(c->text, c->font, width, lines);
    return linesHeight(c->font, int(lines.size()));
}

// ---------------------------------------------------------------- selection

void GridModel::setSelectedRow(int row) {
    m_selRow = validRow(row) ? row : 0;
    if (m_selRow && m_selCol == 0 && Columns() > 0) m_selCol = 1;
    touch(Change::Selection);
}

void GridModel::setSelectedCol(int column) {
    m_selCol = (column >= 1 && column <= Columns()) ? column : 0;
    touch(Change::Selection);
}

quint32 GridModel::selectedUid() const {
    return validRow(m_selRow) ? rowAt(m_selRow).uid : 0;
}

void GridModel::restoreSelection(quint32 uid) {
    m_selRow = 0;
    if (uid == 0) return;
    for (size_t i = 0; i < m_rows.size(); ++i)
        if (m_rows[i].uid == uid) {
            m_selRow = int(i) + 1;
            return;
        }
}

} // namespace platform
