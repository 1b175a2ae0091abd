#include "platform/Workbook.h"

#include <QDate>
#include <QDesktopServices>
#include <QDir>
#include <QFile>
#include <QTemporaryFile>
#include <QTime>
#include <QUrl>
#include <xlsxwriter.h>

namespace platform {

namespace {

int g_maxRows = 1048576;

ExcelApplication::Opener& opener() {
    static ExcelApplication::Opener o = [](const QString& path) {
        return QDesktopServices::openUrl(QUrl::fromLocalFile(path));
    };
    return o;
}

uint8_t bordure(int weight) {
    switch (weight) {
    case 0:
        return LXW_BORDER_NONE;
    case 1:
        return LXW_BORDER_HAIR;
    case -4138:
        return LXW_BORDER_MEDIUM;
    case 4:
        return LXW_BORDER_THICK;
    default:
        return LXW_BORDER_THIN;
    }
}

lxw_format* nouveauFormat(lxw_workbook* wb, const CellFormat& f) {
    lxw_format* x = workbook_add_format(wb);
    if (f.fontSize > 0) format_set_font_size(x, f.fontSize);
    if (f.bold) format_set_bold(x);
    if (f.underline) format_set_underline(x, LXW_UNDERLINE_SINGLE);
    if (!f.numberFormat.isEmpty()) format_set_num_format(x, f.numberFormat.toUtf8().constData());
    if (f.shrinkToFit) format_set_shrink(x);
    if (f.wrapText) format_set_text_wrap(x);
    if (f.verticalAlignment == xlTop) format_set_align(x, LXW_ALIGN_VERTICAL_TOP);
    if (f.borderLeft) format_set_left(x, bordure(f.borderLeft));
    if (f.borderTop) format_set_top(x, bordure(f.borderTop));
    if (f.borderBottom) format_set_bottom(x, bordure(f.borderBottom));
    if (f.borderRight) format_set_right(x, bordure(f.borderRight));
    return x;
}

// Dates and times are day numbers counted from the spreadsheet's epoch.
double numeroJour(const QDate& d) {
    return double(QDate(1899, 12, 30).daysTo(d));
}

} // namespace

bool CellFormat::operator==(const CellFormat& o) const {
    return fontSize == o.fontSize && bold == o.bold && underline == o.underline &&
           numberFormat == o.numberFormat && shrinkToFit == o.shrinkToFit && wrapText == o.wrapText &&
           verticalAlignment == o.verticalAlignment && borderLeft == o.borderLeft &&
           borderTop == o.borderTop && borderBottom == o.borderBottom && borderRight == o.borderRight;
}

int columnNumber(const QString& letters) {
    if (letters.isEmpty() || letters.size() > 3) return 0;
    int n = 0;
    for (QChar c : letters) {
        const char16_t u = c.toUpper().unicode();
        if (u < 'A' || u > 'Z') return 0;
        n = n * 26 + (u - 'A' + 1);
    }
    return n;
}

bool parseRange(const QString& address, CellRange* range) {
    auto cellule = [](const QString& s, int* row, int* col) {
        int i = 0;
        while (i < s.size() && s[i].isLetter())
            ++i;
        bool ok = false;
        *col = columnNumber(s.left(i));
        *row = s.mid(i).toInt(&ok);
        return ok && *col > 0 && *row > 0;
    };
    const QStringList parts = address.split(QLatin1Char(':'));
    if (parts.isEmpty() || parts.size() > 2) return false;
    CellRange r;
    if (!cellule(parts[0].trimmed(), &r.firstRow, &r.firstColumn)) return false;
    if (parts.size() == 2) {
        if (!cellule(parts[1].trimmed(), &r.lastRow, &r.lastColumn)) return false;
    } else {
        r.lastRow = r.firstRow;
        r.lastColumn = r.firstColumn;
    }
    if (r.lastRow < r.firstRow) std::swap(r.lastRow, r.firstRow);
    if (r.lastColumn < r.firstColumn) std::swap(r.lastColumn, r.firstColumn);
    *range = r;
    return true;
}

// ---------------------------------------------------------------- Worksheet

Worksheet::Worksheet(Workbook* book, QString name) : m_book(book), m_name(std::move(name)) {}

ExcelApplication* Worksheet::Application() const {
    return m_book ? m_book->Application() : nullptr;
}

void Worksheet::setColumnWidth(const QString& letter, double width) {
    const int c = columnNumber(letter);
    if (c > 0) m_widths[c] = width;
}

double Worksheet::columnWidth(int column) const {
    auto it = m_widths.find(column);
    return it == m_widths.end() ? 0 : it->second;
}

void Worksheet::setValue(int row, int column, const QVariant& value) {
    SheetCell& c = m_cells[key(row, column)];
    c.value = value;
    if (value.typeId() == QMetaType::QString && value.toString().contains(QLatin1Char('\n')))
        c.format.wrapText = true;
}

QVariant Worksheet::value(int row, int column) const {
    const SheetCell* c = cell(row, column);
    return c ? c->value : QVariant();
}

CellFormat& Worksheet::format(int row, int column) {
    return m_cells[key(row, column)].format;
}

const SheetCell* Worksheet::cell(int row, int column) const {
    auto it = m_cells.find(key(row, column));
    return it == m_cells.end() ? nullptr : &it->second;
}

void Worksheet::Merge(const QString& address) {
    CellRange r;
    if (parseRange(address, &r)) m_merges.push_back(r);
}

void Worksheet::setBorderWeight(const QString& address, int edge, int weight) {
    CellRange r;
    if (!parseRange(address, &r)) return;
    for (int row = r.firstRow; row <= r.lastRow; ++row) {
        for (int col = r.firstColumn; col <= r.lastColumn; ++col) {
            const bool gauche = col == r.firstColumn, droite = col == r.lastColumn;
            const bool haut = row == r.firstRow, bas = row == r.lastRow;
            bool touche = (edge == xlEdgeLeft && gauche) || (edge == xlEdgeRight && droite) ||
                          (edge == xlEdgeTop && haut) || (edge == xlEdgeBottom && bas) ||
                          (edge == xlInsideVertical && (!gauche || !droite));
            if (!touche) continue;
            CellFormat& f = format(row, col);
            if (edge == xlEdgeLeft) f.borderLeft = weight;
            if (edge == xlEdgeRight) f.borderRight = weight;
            if (edge == xlEdgeTop) f.borderTop = weight;
            if (edge == xlEdgeBottom) f.borderBottom = weight;
            if (edge == xlInsideVertical) {
                if (!gauche) f.borderLeft = weight;
                if (!droite) f.borderRight = weight;
            }
        }
    }
}

void Worksheet::AddHPageBreak(int row) {
    if (row > 1 && !m_breaks.contains(row)) m_breaks.append(row);
}

bool Worksheet::topLeftIsEmpty() const {
    for (int row = 1; row <= 10; ++row)
        for (int col = 1; col <= 10; ++col) {
            const QVariant v = value(row, col);
            if (v.isValid() && !(v.typeId() == QMetaType::QString && v.toString().isEmpty())) return false;
        }
    return true;
}

int Worksheet::lastRow() const {
    return m_cells.empty() ? 0 : int(m_cells.rbegin()->first >> 16);
}

int Worksheet::maxRows() {
    return g_maxRows;
}

void Worksheet::setMaxRows(int rows) {
    g_maxRows = rows > 0 ? rows : 1048576;
}

// ---------------------------------------------------------------- Workbook

Workbook::Workbook(ExcelApplication* app) : m_app(app) {
    AddWorksheet();
}

Workbook::~Workbook() = default;

Worksheet* Workbook::AddWorksheet() {
    auto s = std::make_unique<Worksheet>(this, QStringLiteral("Feuil%1").arg(m_nextNumber++));
    Worksheet* p = s.get();
    m_sheets.insert(m_sheets.begin(), std::move(s));
    return p;
}

bool Workbook::DeleteSheet(Worksheet* sheet) {
    if (m_sheets.size() < 2) return false;
    for (auto it = m_sheets.begin(); it != m_sheets.end(); ++it) {
        if (it->get() != sheet) continue;
        m_sheets.erase(it);
        return true;
    }
    return false;
}

bool Workbook::SaveAs(const QString& path, QString* error) const {
    lxw_workbook* wb = workbook_new(QFile::encodeName(path).constData());
    if (!wb) {
        if (error) *error = QStringLiteral("Le classeur ne peut pas être créé : ") + path;
        return false;
    }
    // A report uses a handful of formats: a short list searched in order is enough.
    std::vector<std::pair<CellFormat, lxw_format*>> formats;
    auto formatDe = [&](const CellFormat& f) -> lxw_format* {
        for (const auto& [cf, x] : formats)
            if (cf == f) return x;
        formats.emplace_back(f, nouveauFormat(wb, f));
        return formats.back().second;
    };
    for (const auto& s : m_sheets) {
        lxw_worksheet* ws = workbook_add_worksheet(wb, s->Name().toUtf8().constData());
        for (const auto& [col, width] : s->m_widths)
            worksheet_set_column(ws, lxw_col_t(col - 1), lxw_col_t(col - 1), width, nullptr);
        // Merged first: writing a range puts blanks in it, which the cells below replace.
        for (const CellRange& r : s->m_merges)
            worksheet_merge_range(ws, lxw_row_t(r.firstRow - 1), lxw_col_t(r.firstColumn - 1),
                                  lxw_row_t(r.lastRow - 1), lxw_col_t(r.lastColumn - 1), "", nullptr);
        for (const auto& [k, c] : s->m_cells) {
            const auto row = lxw_row_t((k >> 16) - 1);
            const auto col = lxw_col_t((k & 0xFFFF) - 1);
            lxw_format* f = formatDe(c.format);
            const QVariant& v = c.value;
            switch (v.typeId()) {
            case QMetaType::QDate:
                worksheet_write_number(ws, row, col, numeroJour(v.toDate()), f);
                break;
            case QMetaType::QTime:
                worksheet_write_number(ws, row, col, v.toTime().msecsSinceStartOfDay() / 86400000.0, f);
                break;
            case QMetaType::Int:
            case QMetaType::LongLong:
            case QMetaType::Double:
                worksheet_write_number(ws, row, col, v.toDouble(), f);
                break;
            default:
                if (v.isValid() && !v.toString().isEmpty())
                    worksheet_write_string(ws, row, col, v.toString().left(32767).toUtf8().constData(), f);
                else
                    worksheet_write_blank(ws, row, col, f);
            }
        }
        const PageSetup& p = s->m_pageSetup;
        if (p.Orientation == xlLandscape) worksheet_set_landscape(ws);
        if (p.FitToPagesWide > 0 || p.FitToPagesTall > 0)
            worksheet_fit_to_pages(ws, uint16_t(p.FitToPagesWide), uint16_t(p.FitToPagesTall));
        worksheet_set_margins(ws, p.LeftMargin / 72, p.RightMargin / 72, p.TopMargin / 72,
                              p.BottomMargin / 72);
        lxw_header_footer_options h{};
        h.margin = p.HeaderMargin / 72;
        worksheet_set_header_opt(ws, "", &h);
        lxw_header_footer_options fo{};
        fo.margin = p.FooterMargin / 72;
        const QByteArray pied =
            p.CenterFooter.isEmpty() ? QByteArray() : (QStringLiteral("&C") + p.CenterFooter).toUtf8();
        worksheet_set_footer_opt(ws, pied.constData(), &fo);
        const QString t = QString(p.PrintTitleRows).remove(QLatin1Char('$'));
        const QStringList tr = t.split(QLatin1Char(':'));
        if (tr.size() == 2 && tr[0].toInt() > 0)
            worksheet_repeat_rows(ws, lxw_row_t(tr[0].toInt() - 1), lxw_row_t(tr[1].toInt() - 1));
        // The format holds a limited number of manual breaks; the first ones are kept.
        std::vector<lxw_row_t> breaks;
        QList<int> tries = s->m_breaks;
        std::sort(tries.begin(), tries.end());
        for (int b : tries)
            if (breaks.size() < LXW_BREAKS_MAX) breaks.push_back(lxw_row_t(b - 1));
        breaks.push_back(0);
        if (breaks.size() > 1) worksheet_set_h_pagebreaks(ws, breaks.data());
    }
    const lxw_error e = workbook_close(wb);
    if (e != LXW_NO_ERROR) {
        if (error) *error = QString::fromUtf8(lxw_strerror(e)) + QStringLiteral(" : ") + path;
        return false;
    }
    return true;
}

// ---------------------------------------------------------------- ExcelApplication

ExcelApplication::ExcelApplication() = default;
ExcelApplication::~ExcelApplication() = default;

Workbook* ExcelApplication::AddWorkbook() {
    m_books.push_back(std::make_unique<Workbook>(this));
    return m_books.back().get();
}

QStringList ExcelApplication::release(QString* error) {
    QStringList written;
    if (!m_visible) {
        m_books.clear();
        return written;
    }
    for (const auto& b : m_books) {
        QTemporaryFile f(QDir::tempPath() + QStringLiteral("/Classeur-XXXXXX.xlsx"));
        f.setAutoRemove(false);
        if (!f.open()) {
            if (error) *error = QStringLiteral("Le classeur ne peut pas être écrit dans ") + QDir::tempPath();
            continue;
        }
        const QString path = f.fileName();
        f.close();
        QString e;
        if (!b->SaveAs(path, &e)) {
            // The empty file reserved for it would stay behind in the temporary folder.
            QFile::remove(path);
            if (error) *error = e;
            continue;
        }
        written << path;
        if (!opener()(path) && error)
            *error = QStringLiteral("Aucun tableur n'a pu ouvrir le classeur ") + path;
    }
    m_books.clear();
    return written;
}

ExcelApplication::Opener ExcelApplication::setOpener(Opener o) {
    Opener previous = opener();
    opener() = std::move(o);
    return previous;
}

} // namespace platform
