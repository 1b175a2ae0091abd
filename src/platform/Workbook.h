#pragma once

#include <QList>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <functional>
#include <map>
#include <memory>
#include <vector>

struct lxw_workbook;

// The spreadsheet the reports are written into: the operations of the desktop spreadsheet
// program's automation that the reports use, recorded on an in-memory sheet. When the
// application is made visible and let go, each workbook is written as .xlsx in the user's
// temporary folder and opened with the desktop's spreadsheet program. The program never
// saves a workbook anywhere else.
//
// A report of 50,000 messages has half a million rows: the sheet keeps only the cells that
// hold a value or a format of their own (frames are kept as ranges, formats once each), and
// the file is written row by row, so that neither the sheet nor the writer holds a second
// copy of every cell.
namespace platform {

// Numbers the spreadsheet program gives its constants.
constexpr int xlEdgeLeft = 7;
constexpr int xlEdgeTop = 8;
constexpr int xlEdgeBottom = 9;
constexpr int xlEdgeRight = 10;
constexpr int xlInsideVertical = 11;
constexpr int xlThin = 2;
constexpr int xlTop = -4160;
constexpr int xlNone = -4142;
constexpr int xlLandscape = 2;
constexpr int xlPortrait = 1;

struct CellFormat {
    double fontSize = 0; // 0: the sheet's default font
    bool bold = false;
    bool underline = false;
    QString numberFormat;
    bool shrinkToFit = false;
    bool wrapText = false;
    int verticalAlignment = 0; // 0: the default (bottom), xlTop
    int borderLeft = 0;        // border weights, 0 none
    int borderTop = 0;
    int borderBottom = 0;
    int borderRight = 0;

    bool operator==(const CellFormat& o) const;
};

struct PageSetup {
    int Orientation = xlPortrait;
    QString CenterFooter;
    QString PrintTitleRows; // "$1:$2"
    // Margins in points.
    double TopMargin = 54;
    double BottomMargin = 54;
    double FooterMargin = 22;
    double HeaderMargin = 22;
    double RightMargin = 50;
    double LeftMargin = 50;
};

struct CellRange {
    int firstRow = 0;
    int firstColumn = 0;
    int lastRow = 0;
    int lastColumn = 0;
};

// "A3:H5", "I3:I5" (1-based rows; columns A to Z and AA to XFD).
bool parseRange(const QString& address, CellRange* range);
// Column number of a letter ("A" is 1); 0 when not a column.
int columnNumber(const QString& letters);

class ExcelApplication;
class Workbook;

// One sheet. Rows and columns count from 1.
class Worksheet {
public:
    Worksheet(Workbook* book, QString name);

    QString Name() const { return m_name; }
    Workbook* Parent() const { return m_book; }
    ExcelApplication* Application() const;

    // Columns("C").ColumnWidth, in the program's character units.
    void setColumnWidth(const QString& letter, double width);
    double columnWidth(int column) const; // 0 when never set

    // Cells(row, column).Value: a QString, double, QDate or QTime; invalid when empty. A text
    // holding a line feed is wrapped in its cell, as the spreadsheet program does when such a
    // text is typed in.
    void setValue(int row, int column, const QVariant& value);
    QVariant value(int row, int column) const;
    // Cells(row, column) formatting, borders of framed ranges aside.
    CellFormat format(int row, int column) const;
    void setFormat(int row, int column, const CellFormat& format);

    // The sheet's font and row height (Cells.Font, Rows.RowHeight), and one row's height in points.
    void setStandardFont(const QString& name, double size);
    void setStandardRowHeight(double points) { m_hauteurStandard = points; }
    void setRowHeight(int row, double points) { m_hauteurs[row] = points; }
    double rowHeight(int row) const;

    // Range(address).Merge
    void Merge(const QString& address);
    const std::vector<CellRange>& merges() const { return m_merges; }
    // Range(address).Borders(edge).Weight = weight; edge is xlEdgeLeft .. xlInsideVertical.
    void setBorderWeight(const QString& address, int edge, int weight);

    PageSetup& pageSetup() { return m_pageSetup; }
    const PageSetup& pageSetup() const { return m_pageSetup; }
    // Cells.PageBreak = xlNone: no manual page break left.
    void ResetAllPageBreaks() { m_breaks.clear(); }
    // HPageBreaks.Add Cells(row, 1): a break above that row.
    void AddHPageBreak(int row);

    // True when rows 1 to 10 of columns 1 to 10 hold no value.
    bool topLeftIsEmpty() const;
    int lastRow() const;

    // Rows a sheet can hold: 1,048,576; tests may lower it.
    static int maxRows();
    static void setMaxRows(int rows);

private:
    friend class Workbook; // writes the file
    // False when the writer took no sheet (errno says why).
    bool ecrire(lxw_workbook* wb) const;
    static qint64 key(int row, int column) { return (qint64(row) << 16) | column; }
    struct Cellule {
        QVariant value;
        quint16 format = 0; // in m_formats
    };
    // A framed range and the weight of each of its edges.
    struct Cadre {
        CellRange range;
        int left = 0, top = 0, bottom = 0, right = 0, insideVertical = 0;
    };
    Workbook* m_book;
    QString m_name;
    std::map<qint64, Cellule> m_cells; // ordered by row, then column
    std::vector<CellFormat> m_formats{CellFormat()};
    std::vector<Cadre> m_cadres; // in the order written
    std::map<int, double> m_widths;
    std::map<int, double> m_hauteurs;
    double m_hauteurStandard = 0; // 0: the spreadsheet program's own
    QString m_police;
    double m_taillePolice = 0;
    std::vector<CellRange> m_merges;
    PageSetup m_pageSetup;
    QList<int> m_breaks;
};

class Workbook {
public:
    explicit Workbook(ExcelApplication* app);
    ~Workbook();

    ExcelApplication* Application() const { return m_app; }
    // Worksheets.Add: a new sheet before the first one, which becomes the active sheet.
    Worksheet* AddWorksheet();
    int count() const { return int(m_sheets.size()); }
    Worksheet* sheet(int index) const { return m_sheets[size_t(index)].get(); } // from 0
    // The last sheet of a workbook cannot go.
    bool DeleteSheet(Worksheet* sheet);

    // Writes the workbook as .xlsx; false with what failed, where and why, in French, in
    // *error ("Le classeur n'a pas pu être écrit dans /tmp : le disque est plein."). Reads the workbook only,
    // so it may run on another thread while nothing changes the workbook.
    bool SaveAs(const QString& path, QString* error) const;

private:
    ExcelApplication* m_app;
    std::vector<std::unique_ptr<Worksheet>> m_sheets;
    int m_nextNumber = 1;
};

// The spreadsheet program, hidden until made visible.
class ExcelApplication {
public:
    ExcelApplication();
    ~ExcelApplication();

    // Workbooks.Add: a new workbook with one empty sheet.
    Workbook* AddWorkbook();
    Workbook* workbook(int index) const { return m_books[size_t(index)].get(); }

    bool Visible() const { return m_visible; }
    void setVisible(bool visible) { m_visible = visible; }

    // Lets the application go. When it was made visible, each workbook is written to the
    // user's temporary folder and opened with the desktop's spreadsheet program; the files
    // are returned. A workbook that could not be written or opened is named in *error.
    // The files are written on a thread of their own while this one runs its events, so
    // that the windows keep answering during a long write.
    QStringList release(QString* error);

    // Opens a written workbook (the desktop's spreadsheet program); tests replace it.
    using Opener = std::function<bool(const QString& path)>;
    static Opener setOpener(Opener opener);

private:
    std::vector<std::unique_ptr<Workbook>> m_books;
    bool m_visible = false;
};

} // namespace platform
