#pragma once

#include "platform/ImageList.h"

#include <QByteArray>
#include <QFont>
#include <QSet>
#include <QString>
#include <functional>
#include <optional>
#include <unordered_map>
#include <vector>

class QFontMetrics;

// The data of a grid: columns, rows, cells, grouping and sorting, with no painting.
// `Grid` (Grid.h) is the widget; it derives from this class, so every operation below is
// also an operation of the widget. Rows and columns count from 1; sizes are pixels;
// colours are Windows BGR values (0x00BBGGRR, or a 0x800000nn system colour) with -1 for
// the grid's default.
namespace platform {

// How a column sorts.
enum GridSortType {
    kSortText = 0,       // text, compared as a French reader expects (case and accents secondary)
    kSortDate = 200,     // dates and times written "yyyy-MM-dd", "HH:mm", "HH:mm:ss" or both
    kSortImage = 300,    // the cell's image index
    kSortItemData = 800, // the cell's item data
};

// Cell alignment flags: the values of the Windows text drawing flags the callers store.
enum GridAlign : int {
    kAlignLeft = 0,
    kAlignCenter = 1,
    kAlignRight = 2,
    kAlignVCenter = 4,
    kAlignBottom = 8,
    kAlignWordBreak = 16, // wraps at word ends
    kAlignSingleLine = 32,
    kAlignEndEllipsis = 0x8000,
    kAlignWordEllipsis = 0x40000,
    kAlignSingleLineEllipsis = 0x40020, // one line, cut at a word end with "..."
};

enum GridSortOrder { kSortAscending = 1, kSortDescending = 2 };

class GridModel;

// The list of sort keys a sort applies, first key first. Positions count from 1.
// The keys of grouped columns always come first, in grouping order.
class SortKeys {
public:
    // Removes every key that is not a grouped column's key (those stay, first).
    void clear();
    // Appends a key; returns its position. sortType -1 takes the column's own sort type.
    int add(int column, int order = kSortAscending, int sortType = -1);
    void remove(int position);
    // Position of the column's key, 0 when it has none.
    int indexOf(int column) const;
    int count() const { return int(m_keys.size()); }

    int column(int position) const;
    int order(int position) const;
    int sortType(int position) const;
    void setColumn(int position, int column);
    void setOrder(int position, int order);
    void setSortType(int position, int sortType);

private:
    friend class GridModel;
    struct Key {
        int column;
        int order;
        int sortType;
    };
    bool valid(int position) const { return position >= 1 && position <= count(); }
    GridModel* m_model = nullptr;
    std::vector<Key> m_keys;
};

// Everything CellDetails can set at once; an empty field leaves the cell's value as it is.
struct CellValues {
    std::optional<QString> text;
    std::optional<int> alignment;
    std::optional<int> image;
    std::optional<qint64> backColor;
    std::optional<qint64> foreColor;
    std::optional<QFont> font;
    std::optional<int> indent;
    std::optional<int> extraImage;
    std::optional<qint32> itemData;
};

class GridModel {
public:
    GridModel();
    virtual ~GridModel();
    GridModel(const GridModel&) = delete;
    GridModel& operator=(const GridModel&) = delete;

    // ---- Painting switch: while false, changes pile up and nothing is painted.
    bool Redraw() const { return m_redraw; }
    void setRedraw(bool on);

    // ---- Columns
    // Adds a column and returns its number. keyBefore names the column it goes in front
    // of (empty: at the end). A row-text column is not shown among the others: its text
    // is drawn under the row's cells across the whole row width.
    int AddColumn(const QString& key, const QString& header = QString(), int alignment = kAlignLeft,
                  int headerImage = -1, int width = 64, bool visible = true, bool fixedWidth = false,
                  const QString& keyBefore = QString(), bool includeInSelect = true,
                  const QString& format = QString(), bool rowTextColumn = false, int sortType = kSortText);
    void RemoveColumn(int column);
    // Closes a series of AddColumn calls: lays the columns out again.
    void ColumnRefresh();
    int Columns() const { return int(m_columns.size()); }
    int ColumnIndex(const QString& key) const; // 0 when no column has that key
    QString ColumnKey(int column) const;
    QString ColumnHeader(int column) const;
    void setColumnHeader(int column, const QString& header);
    int ColumnAlignment(int column) const;
    int ColumnHeaderImage(int column) const;
    int ColumnWidth(int column) const;
    void setColumnWidth(int column, int width);
    bool ColumnVisible(int column) const;
    void setColumnVisible(int column, bool visible);
    bool ColumnFixedWidth(int column) const;
    bool ColumnIncludeInSelect(int column) const;
    QString ColumnFormat(int column) const;
    bool ColumnIsRowText(int column) const;
    int RowTextColumn() const; // 0 when none
    int ColumnSortType(int column) const;
    void setColumnSortType(int column, int sortType);
    QString ColumnTag(int column) const;
    void setColumnTag(int column, const QString& tag);

    // ---- Grouping
    // Setting the flag groups the rows by that column at the next level at once;
    // clearing it removes that level (the data rows all come back, the group rows go).
    bool ColumnIsGrouped(int column) const;
    void setColumnIsGrouped(int column, bool grouped);
    // Level of a grouped column, 0 for the first grouped, 1 for the next...; -1 when not grouped.
    int ColumnGroupingLevel(int column) const;
    int GroupedColumnCount() const { return int(m_groupedColumns.size()); }
    // The band above the headers that shows the grouped columns.
    bool GroupingBandHidden() const { return m_bandHidden; }
    void setGroupingBandHidden(bool hidden);
    // 40 pixels, plus 8 per grouped column after the first; 0 while hidden.
    int GroupingBandHeight() const;
    // Width of the indent that grouping puts left of the columns (default row height per level).
    int GroupIndent() const { return GroupedColumnCount() * m_defaultRowHeight; }

    // ---- Rows
    // Adds a row in front of row `before` (0: at the end) and returns its number.
    // height 0 takes the default row height.
    int AddRow(int before = 0, int height = 0);
    void RemoveRow(int row);
    void Clear(); // removes every row; columns, grouping flags and sort keys stay
    int Rows() const { return int(m_rows.size()); }
    int DefaultRowHeight() const { return m_defaultRowHeight; }
    void setDefaultRowHeight(int height);
    int RowHeight(int row) const;
    void setRowHeight(int row, int height);
    qint32 RowItemData(int row) const;
    void setRowItemData(int row, qint32 data);
    // A row whose height is costly to work out (its row text to read and lay out) may be
    // left pending: it keeps the height it was given, as an estimate, until its height or
    // its row-text cell is first asked for, or it is painted; the preparer, called then with
    // the row's number and the source kept for it, sets them. A list of many rows reads and
    // lays out only the rows someone looks at.
    using RowPreparer = std::function<void(int row, const QByteArray& source)>;
    void setRowPreparer(RowPreparer preparer) { m_preparer = std::move(preparer); }
    void setRowHeightPending(int row, QByteArray source = QByteArray());
    bool RowHeightPending(int row) const { return validRow(row) && rowAt(row).heightPending; }
    // A group row is a heading the grid inserted; it has no item data (0).
    bool RowIsGroup(int row) const;
    // A group row's level (as its column's); for a data row, the number of grouped columns.
    int RowGroupingLevel(int row) const;
    // Expanded state of a group row: 1 expanded, 0 collapsed (always 1 for a data row).
    int RowExpanded(int row) const;
    void setRowExpanded(int row, int expanded);
    // Number of data rows under a group row (0 for a data row).
    int RowGroupCount(int row) const;
    // False when the row lies in a collapsed group.
    bool RowVisible(int row) const;

    // ---- Cells
    // Sets any of a cell's values at once; an argument left empty keeps the cell's value.
    void CellDetails(int row, int column, std::optional<QString> text = {}, std::optional<int> alignment = {},
                     std::optional<int> image = {}, std::optional<qint64> backColor = {},
                     std::optional<qint64> foreColor = {}, std::optional<QFont> font = {},
                     std::optional<int> indent = {}, std::optional<int> extraImage = {},
                     std::optional<qint32> itemData = {});
    void setCellDetails(int row, int column, const CellValues& values);
    QString CellText(int row, int column) const;
    void setCellText(int row, int column, const QString& text);
    int CellAlignment(int row, int column) const;
    void setCellAlignment(int row, int column, int alignment);
    int CellImage(int row, int column) const; // -1 none
    void setCellImage(int row, int column, int image);
    int CellExtraImage(int row, int column) const;
    void setCellExtraImage(int row, int column, int image);
    qint64 CellBackColor(int row, int column) const; // -1: the grid's
    void setCellBackColor(int row, int column, qint64 color);
    qint64 CellForeColor(int row, int column) const;
    void setCellForeColor(int row, int column, qint64 color);
    // The cell's font: its own, or the grid's when none was given.
    QFont CellFont(int row, int column) const;
    void setCellFont(int row, int column, const QFont& font);
    int CellIndent(int row, int column) const;
    void setCellIndent(int row, int column, int indent);
    qint32 CellItemData(int row, int column) const;
    void setCellItemData(int row, int column, qint32 data);

    // Height in pixels that the cell's text needs at the cell's width, wrapped at word ends
    // (one line for a single-line cell; 0 for an empty text). For the row-text column the
    // width is the whole row's: the sum of the visible columns.
    int EvaluateTextHeight(int row, int column) const;
    // Width the row-text column's text is drawn in.
    int RowTextWidth() const;

    // ---- Sorting
    SortKeys& sortKeys() { return m_sortKeys; }
    const SortKeys& sortKeys() const { return m_sortKeys; }
    // Stable sort of the data rows over the sort keys; rows stay inside their groups.
    void Sort();

    // ---- Selection (0 when none). Writing selects; the selection follows its row
    // through sorting and grouping.
    int SelectedRow() const { return m_selRow; }
    void setSelectedRow(int row);
    int SelectedCol() const { return m_selCol; }
    void setSelectedCol(int column);

    // ---- Look
    QFont GridFont() const { return m_font; }
    void setGridFont(const QFont& font);
    const ImageList& Images() const { return m_images; }
    void setImageList(const ImageList& images);
    qint64 GridLineColor() const { return m_gridLineColor; }
    void setGridLineColor(qint64 color);
    bool GridLines() const { return m_gridLines; }
    void setGridLines(bool on);
    // -1: a selected cell keeps its own back colour and is framed instead.
    qint64 SelectionBackColor() const { return m_selBackColor; }
    void setSelectionBackColor(qint64 color);
    qint64 SelectionForeColor() const { return m_selForeColor; }
    void setSelectionForeColor(qint64 color);
    qint64 BackColor() const { return m_backColor; }
    void setBackColor(qint64 color);
    qint64 ForeColor() const { return m_foreColor; }
    void setForeColor(qint64 color);
    bool HeaderVisible() const { return m_headerVisible; }
    void setHeaderVisible(bool visible);
    // true: the whole selected row is highlighted; false: only the selected cell.
    bool RowMode() const { return m_rowMode; }
    void setRowMode(bool on);

protected:
    // What a change touched, so that the view knows what to lay out again.
    enum class Change { Cells, Layout, Selection, Look };
    virtual void modelChanged(Change) {}

    struct Cell {
        QString text;
        qint64 backColor = -1;
        qint64 foreColor = -1;
        qint32 itemData = 0;
        int alignment = 0;
        short image = -1;
        short extraImage = -1;
        short indent = 0;
        short font = -1; // index into m_fonts, -1: the grid's font
    };
    struct Row {
        std::vector<Cell> cells;
        quint32 uid = 0; // follows the row through sorts, for the selection
        int height = 0;
        qint32 itemData = 0;
        bool isGroup = false;
        bool heightPending = false; // see setRowHeightPending
        QByteArray source;          // kept for the preparer while the row is pending
        bool expanded = true;
        bool visible = true; // false inside a collapsed group
        int groupLevel = 0;
        int groupColumn = 0;
        int groupCount = 0;
    };
    struct Column {
        QString key, header, format, tag;
        int alignment = 0;
        int headerImage = -1;
        int width = 64;
        bool visible = true;
        bool fixedWidth = false;
        bool includeInSelect = true;
        bool rowText = false;
        int sortType = kSortText;
    };

    bool validRow(int row) const { return row >= 1 && row <= Rows(); }
    // Has a pending row's height worked out now (nothing for another row).
    void prepareRow(int row) const;
    bool validCell(int row, int column) const { return validRow(row) && column >= 1 && column <= Columns(); }
    const Row& rowAt(int row) const { return m_rows[size_t(row - 1)]; }
    const Column& columnAt(int column) const { return m_columns[size_t(column - 1)]; }
    const QFont& fontOf(const Cell& c) const;
    const QFontMetrics& metricsFor(int fontIndex) const;
    // Visible rows' tops (prefix sums), recomputed only after a change.
    void ensureLayout() const;
    int rowTop(int row) const;        // content y of a visible row's top
    int contentHeight() const;        // sum of the visible rows' heights
    int rowAtContentY(int y) const;   // 0 when below the last row
    int columnLeft(int column) const; // content x, grouping indent included
    int columnsWidth() const;         // the visible columns (indent included)

    // Word-wrapped text is laid out here, by greedy filling with cached word widths, both to
    // measure and to paint, so that the height a row is given is exactly what gets painted.
    struct TextLine {
        int start;
        int length;
    };
    void wrapText(const QString& text, int fontIndex, int width, std::vector<TextLine>& lines) const;
    int linesHeight(int fontIndex, int lineCount) const;
    // Width left for a cell's text in a cell of the given width (padding, indent, images).
    int textWidthIn(const Cell& cell, int cellWidth) const;

    std::vector<Column> m_columns;
    std::vector<Row> m_rows;
    std::vector<int> m_groupedColumns; // in level order

private:
    friend class SortKeys;
    Cell* cellPtr(int row, int column);
    const Cell* cellPtr(int row, int column) const;
    short internFont(const QFont& font);
    void touch(Change change);
    void placeGroupedKeys();
    void regroup();
    void removeGroupRows();
    QSet<QString> collapsedGroups() const;
    void insertGroupRows(const QSet<QString>& collapsed);
    void sortDataRows();
    void restoreSelection(quint32 uid);
    quint32 selectedUid() const;

    SortKeys m_sortKeys;
    RowPreparer m_preparer;
    std::vector<QFont> m_fonts;
    // The font internFont looked up last and its answer.
    QFont m_lastFont;
    short m_lastFontIndex = -1;
    bool m_lastFontKnown = false;
    mutable std::vector<QFontMetrics*> m_metrics; // slot 0 the grid's font, then m_fonts
    // Word widths by a 64-bit hash of the word, same slots as m_metrics.
    mutable std::vector<std::unordered_map<quint64, int>> m_wordWidths;
    mutable std::vector<int> m_tops; // Rows() + 1 entries
    mutable bool m_layoutDirty = true;
    ImageList m_images;
    QFont m_font;
    quint32 m_nextUid = 1;
    int m_defaultRowHeight = 18;
    int m_selRow = 0;
    int m_selCol = 0;
    qint64 m_gridLineColor = 0x80000010;
    qint64 m_selBackColor = 0x8000000D;
    qint64 m_selForeColor = 0x8000000E;
    qint64 m_backColor = 0x80000005;
    qint64 m_foreColor = 0x80000008;
    bool m_redraw = true;
    bool m_bandHidden = true;
    bool m_gridLines = true;
    bool m_headerVisible = true;
    bool m_rowMode = true;
};

} // namespace platform
