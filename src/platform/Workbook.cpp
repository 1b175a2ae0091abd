#include "platform/Workbook.h"

#include "platform/CauseFichier.h"

#include <QDate>
#include <QDesktopServices>
#include <QDir>
#include <QEventLoop>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryFile>
#include <QThread>
#include <QTime>
#include <QUrl>
#include <algorithm>
#include <cerrno>
#include <unordered_map>
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

// A text as the sheet's XML may hold it, in UTF-8. XML 1.0 has no place for U+FFFE, U+FFFF
// or half of a surrogate pair: one of them (a paste can bring them) makes the whole sheet
// unreadable, and a spreadsheet program then shows the rows before it and nothing after.
// Each becomes U+FFFD, the character that says one was lost; the spreadsheet's own escape
// (_xFFFE_) would hand the reader the same character back, to break the next file it writes.
// The C0 controls are left to the writer, which escapes them (_x0001_) as the format allows.
QByteArray texteXml(const QString& texte) {
    const auto interdit = [](QChar c) {
        return c.isSurrogate() || c.unicode() == 0xFFFE || c.unicode() == 0xFFFF;
    };
    if (std::none_of(texte.cbegin(), texte.cend(), interdit)) return texte.toUtf8();
    QString propre = texte;
    for (qsizetype i = 0; i < propre.size(); ++i) {
        const QChar c = propre[i];
        if (c.isHighSurrogate() && i + 1 < propre.size() && propre[i + 1].isLowSurrogate())
            ++i; // a whole pair: a character beyond the first 65,536
        else if (interdit(c))
            propre[i] = QChar::ReplacementCharacter;
    }
    return propre.toUtf8();
}

// The first characters of a text that a cell holds, a pair never cut in two.
QString debut(const QString& texte, qsizetype taille) {
    if (texte.size() <= taille) return texte;
    return texte.left(texte[taille - 1].isHighSurrogate() ? taille - 1 : taille);
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

lxw_format* nouveauFormat(lxw_workbook* wb, const CellFormat& f, const QString& police, double taille) {
    lxw_format* x = workbook_add_format(wb);
    if (!police.isEmpty()) format_set_font_name(x, texteXml(police).constData());
    if (f.fontSize > 0)
        format_set_font_size(x, f.fontSize);
    else if (taille > 0)
        format_set_font_size(x, taille);
    if (f.bold) format_set_bold(x);
    if (f.underline) format_set_underline(x, LXW_UNDERLINE_SINGLE);
    if (!f.numberFormat.isEmpty()) format_set_num_format(x, texteXml(f.numberFormat).constData());
    if (f.shrinkToFit) format_set_shrink(x);
    if (f.wrapText) format_set_text_wrap(x);
    if (f.verticalAlignment == xlTop) format_set_align(x, LXW_ALIGN_VERTICAL_TOP);
    if (f.borderLeft) format_set_left(x, bordure(f.borderLeft));
    if (f.borderTop) format_set_top(x, bordure(f.borderTop));
    if (f.borderBottom) format_set_bottom(x, bordure(f.borderBottom));
    if (f.borderRight) format_set_right(x, bordure(f.borderRight));
    return x;
}

// The user's temporary folder. Qt gives an empty path when TMPDIR names a folder that does
// not exist, and the workbook would then go to the root of the disk: it goes to the folder
// named instead, and fails there with its cause.
QString dossierTemporaire() {
    const QString dossier = QDir::tempPath();
    return dossier.isEmpty() ? qEnvironmentVariable("TMPDIR") : dossier;
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
    Cellule& c = m_cells[key(row, column)];
    c.value = value;
    if (value.typeId() == QMetaType::QString && value.toString().contains(QLatin1Char('\n')) &&
        !m_formats[c.format].wrapText) {
        CellFormat f = m_formats[c.format];
        f.wrapText = true;
        setFormat(row, column, f);
    }
}

QVariant Worksheet::value(int row, int column) const {
    auto it = m_cells.find(key(row, column));
    return it == m_cells.end() ? QVariant() : it->second.value;
}

CellFormat Worksheet::format(int row, int column) const {
    auto it = m_cells.find(key(row, column));
    return it == m_cells.end() ? CellFormat() : m_formats[it->second.format];
}

void Worksheet::setFormat(int row, int column, const CellFormat& format) {
    // A sheet uses a handful of formats: a short list searched from its end is enough.
    size_t i = m_formats.size();
    while (i > 0 && !(m_formats[i - 1] == format))
        --i;
    if (i == 0) {
        m_formats.push_back(format);
        i = m_formats.size();
    }
    m_cells[key(row, column)].format = quint16(i - 1);
}

void Worksheet::setStandardFont(const QString& name, double size) {
    m_police = name;
    m_taillePolice = size;
}

double Worksheet::rowHeight(int row) const {
    auto it = m_hauteurs.find(row);
    if (it != m_hauteurs.end()) return it->second;
    return m_hauteurStandard > 0 ? m_hauteurStandard : 15;
}

void Worksheet::Merge(const QString& address) {
    CellRange r;
    if (parseRange(address, &r)) m_merges.push_back(r);
}

void Worksheet::setBorderWeight(const QString& address, int edge, int weight) {
    CellRange r;
    if (!parseRange(address, &r)) return;
    // The edges of one range are set one after the other.
    auto memes = [&](const Cadre& c) {
        return c.range.firstRow == r.firstRow && c.range.lastRow == r.lastRow &&
               c.range.firstColumn == r.firstColumn && c.range.lastColumn == r.lastColumn;
    };
    auto it =
        std::find_if(m_cadres.rbegin(), m_cadres.rbegin() + std::min<size_t>(m_cadres.size(), 4), memes);
    Cadre* c = nullptr;
    if (it != m_cadres.rbegin() + std::min<size_t>(m_cadres.size(), 4)) {
        c = &*it;
    } else {
        m_cadres.push_back(Cadre{r});
        c = &m_cadres.back();
    }
    if (edge == xlEdgeLeft) c->left = weight;
    if (edge == xlEdgeTop) c->top = weight;
    if (edge == xlEdgeBottom) c->bottom = weight;
    if (edge == xlEdgeRight) c->right = weight;
    if (edge == xlInsideVertical) c->insideVertical = weight;
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
    int last = m_cells.empty() ? 0 : int(m_cells.rbegin()->first >> 16);
    for (const Cadre& c : m_cadres)
        last = std::max(last, c.range.lastRow);
    for (const CellRange& m : m_merges)
        last = std::max(last, m.lastRow);
    return last;
}

int Worksheet::maxRows() {
    return g_maxRows;
}

void Worksheet::setMaxRows(int rows) {
    g_maxRows = rows > 0 ? rows : 1048576;
}

bool Worksheet::ecrire(lxw_workbook* wb) const {
    // Row by row, the writer keeps the sheet in a file of the temporary folder until the
    // workbook is closed: none when that folder takes no file.
    lxw_worksheet* ws = workbook_add_worksheet(wb, texteXml(Name()).constData());
    if (!ws) return false;
    for (const auto& [col, width] : m_widths)
        worksheet_set_column(ws, lxw_col_t(col - 1), lxw_col_t(col - 1), width, nullptr);

    // One writer format for each format of the sheet and frame edges it meets.
    std::unordered_map<quint64, lxw_format*> formats;
    auto formatDe = [&](quint16 index, quint32 bords) -> lxw_format* {
        const quint64 k = (quint64(index) << 32) | bords;
        auto it = formats.find(k);
        if (it != formats.end()) return it->second;
        CellFormat f = m_formats[index];
        f.borderLeft = int(bords >> 24);
        f.borderTop = int((bords >> 16) & 0xFF);
        f.borderBottom = int((bords >> 8) & 0xFF);
        f.borderRight = int(bords & 0xFF);
        lxw_format* x = nouveauFormat(wb, f, m_police, m_taillePolice);
        formats.emplace(k, x);
        return x;
    };

    std::vector<const Cadre*> cadres;
    for (const Cadre& c : m_cadres)
        cadres.push_back(&c);
    std::stable_sort(cadres.begin(), cadres.end(),
                     [](const Cadre* a, const Cadre* b) { return a->range.firstRow < b->range.firstRow; });
    std::vector<const CellRange*> fusions;
    for (const CellRange& m : m_merges)
        fusions.push_back(&m);
    std::stable_sort(fusions.begin(), fusions.end(),
                     [](const CellRange* a, const CellRange* b) { return a->lastRow < b->lastRow; });

    struct Entree {
        int col;
        quint16 format;
        quint32 bords; // writer's border styles: left, top, bottom, right, a byte each
        const QVariant* value;
    };
    std::vector<Entree> ligne;
    std::vector<const Cadre*> actifs;
    size_t prochainCadre = 0, prochaineFusion = 0;
    auto cell = m_cells.begin();
    const int derniere = lastRow();
    const bool hauteurs = m_hauteurStandard > 0 || !m_hauteurs.empty();
    for (int row = 1; row <= derniere; ++row) {
        const auto r = lxw_row_t(row - 1);
        if (hauteurs) worksheet_set_row(ws, r, rowHeight(row), nullptr);
        // A range merged once its last row is reached: the writer then knows it, and its
        // cells are the ones written below.
        for (; prochaineFusion < fusions.size() && fusions[prochaineFusion]->lastRow == row;
             ++prochaineFusion) {
            const CellRange& m = *fusions[prochaineFusion];
            worksheet_merge_range(ws, lxw_row_t(m.firstRow - 1), lxw_col_t(m.firstColumn - 1),
                                  lxw_row_t(m.lastRow - 1), lxw_col_t(m.lastColumn - 1), "", nullptr);
        }
        ligne.clear();
        for (; cell != m_cells.end() && int(cell->first >> 16) == row; ++cell)
            ligne.push_back({int(cell->first & 0xFFFF), cell->second.format, 0, &cell->second.value});
        for (; prochainCadre < cadres.size() && cadres[prochainCadre]->range.firstRow == row; ++prochainCadre)
            actifs.push_back(cadres[prochainCadre]);
        actifs.erase(std::remove_if(actifs.begin(), actifs.end(),
                                    [row](const Cadre* c) { return c->range.lastRow < row; }),
                     actifs.end());
        for (const Cadre* c : actifs) {
            const CellRange& g = c->range;
            for (int col = g.firstColumn; col <= g.lastColumn; ++col) {
                const int gauche = col == g.firstColumn ? c->left : c->insideVertical;
                const int droite = col == g.lastColumn ? c->right : c->insideVertical;
                const int haut = row == g.firstRow ? c->top : 0;
                const int bas = row == g.lastRow ? c->bottom : 0;
                if (!gauche && !droite && !haut && !bas) continue;
                auto it =
                    std::find_if(ligne.begin(), ligne.end(), [col](const Entree& e) { return e.col == col; });
                if (it == ligne.end()) {
                    ligne.push_back({col, 0, 0, nullptr});
                    it = ligne.end() - 1;
                }
                auto poser = [&](int poids, int decalage) {
                    if (poids)
                        it->bords = (it->bords & ~(0xFFu << decalage)) | (quint32(poids & 0xFF) << decalage);
                };
                poser(gauche, 24);
                poser(haut, 16);
                poser(bas, 8);
                poser(droite, 0);
            }
        }
        std::sort(ligne.begin(), ligne.end(), [](const Entree& a, const Entree& b) { return a.col < b.col; });
        for (const Entree& e : ligne) {
            const auto col = lxw_col_t(e.col - 1);
            const bool formee = e.format != 0 || e.bords != 0 || !m_police.isEmpty();
            lxw_format* f = formee ? formatDe(e.format, e.bords) : nullptr;
            const QVariant v = e.value ? *e.value : QVariant();
            switch (v.typeId()) {
            case QMetaType::QDate:
                worksheet_write_number(ws, r, col, numeroJour(v.toDate()), f);
                break;
            case QMetaType::QTime:
                worksheet_write_number(ws, r, col, v.toTime().msecsSinceStartOfDay() / 86400000.0, f);
                break;
            case QMetaType::Int:
            case QMetaType::LongLong:
            case QMetaType::Double:
                worksheet_write_number(ws, r, col, v.toDouble(), f);
                break;
            default:
                if (v.isValid() && !v.toString().isEmpty())
                    worksheet_write_string(ws, r, col, texteXml(debut(v.toString(), 32767)).constData(), f);
                else if (e.format != 0 || e.bords != 0)
                    worksheet_write_blank(ws, r, col, f);
            }
        }
    }

    const PageSetup& p = m_pageSetup;
    if (p.Orientation == xlLandscape) worksheet_set_landscape(ws);
    worksheet_set_margins(ws, p.LeftMargin / 72, p.RightMargin / 72, p.TopMargin / 72, p.BottomMargin / 72);
    lxw_header_footer_options h{};
    h.margin = p.HeaderMargin / 72;
    worksheet_set_header_opt(ws, "", &h);
    lxw_header_footer_options fo{};
    fo.margin = p.FooterMargin / 72;
    const QByteArray pied =
        p.CenterFooter.isEmpty() ? QByteArray() : texteXml(QStringLiteral("&C") + p.CenterFooter);
    worksheet_set_footer_opt(ws, pied.constData(), &fo);
    const QString t = QString(p.PrintTitleRows).remove(QLatin1Char('$'));
    const QStringList tr = t.split(QLatin1Char(':'));
    if (tr.size() == 2 && tr[0].toInt() > 0)
        worksheet_repeat_rows(ws, lxw_row_t(tr[0].toInt() - 1), lxw_row_t(tr[1].toInt() - 1));
    // The format holds a limited number of manual breaks; the first ones are kept.
    std::vector<lxw_row_t> breaks;
    QList<int> tries = m_breaks;
    std::sort(tries.begin(), tries.end());
    for (int b : tries)
        if (breaks.size() < LXW_BREAKS_MAX) breaks.push_back(lxw_row_t(b - 1));
    breaks.push_back(0);
    if (breaks.size() > 1) worksheet_set_h_pagebreaks(ws, breaks.data());
    return true;
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
    // What failed and where, in the user's words: the folder and the cause.
    const auto echec = [&](const QString& cause) {
        if (error)
            *error = QStringLiteral("Le classeur n'a pas pu être écrit dans %1 : %2.")
                         .arg(QDir::toNativeSeparators(QFileInfo(path).absolutePath()), cause);
        return false;
    };
    // Row by row: the writer keeps one row at a time, the sheet gives its rows in order.
    const QByteArray dossier = QFile::encodeName(dossierTemporaire());
    lxw_workbook_options options{};
    options.constant_memory = LXW_TRUE;
    options.tmpdir = const_cast<char*>(dossier.constData());
    errno = 0;
    lxw_workbook* wb = workbook_new_opt(QFile::encodeName(path).constData(), &options);
    if (!wb) return echec(causeFichier(errno));
    // The workbook's own font is the one its column widths count in: the sheets' font,
    // rather than the writer's Calibri that spreadsheet programs without it replace by a
    // wider one, which would push the last columns onto pages of their own.
    if (!m_sheets.empty() && !m_sheets.front()->m_police.isEmpty()) {
        lxw_format* normal = STAILQ_FIRST(wb->formats);
        format_set_font_name(normal, texteXml(m_sheets.front()->m_police).constData());
        format_set_font_size(normal, m_sheets.front()->m_taillePolice);
    }
    for (const auto& s : m_sheets) {
        errno = 0;
        if (!s->ecrire(wb)) {
            const int cause = errno;
            workbook_close(wb);
            return echec(causeFichier(cause));
        }
    }
    errno = 0;
    const lxw_error e = workbook_close(wb);
    // The writer says in English what failed; the system's error number says why.
    const int cause = errno;
    switch (e) {
    case LXW_NO_ERROR:
        return true;
    case LXW_ERROR_CREATING_XLSX_FILE:
    case LXW_ERROR_CREATING_TMPFILE:
    case LXW_ERROR_READING_TMPFILE:
    case LXW_ERROR_ZIP_FILE_OPERATION:
        return echec(causeFichier(cause));
    default:
        return echec(
            QStringLiteral("le classeur n'a pas pu être assemblé (erreur %1 du générateur)").arg(int(e)));
    }
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
        QTemporaryFile f(dossierTemporaire() + QStringLiteral("/Classeur-XXXXXX.xlsx"));
        f.setAutoRemove(false);
        errno = 0;
        if (!f.open()) {
            const int cause = errno;
            if (error)
                *error = QStringLiteral("Le classeur n'a pas pu être écrit dans %1 : %2.")
                             .arg(QDir::toNativeSeparators(dossierTemporaire()), causeFichier(cause));
            continue;
        }
        const QString path = f.fileName();
        f.close();
        QString e;
        bool ecrit = false;
        const Workbook* classeur = b.get();
        QEventLoop attente;
        QThread* fil = QThread::create([&] { ecrit = classeur->SaveAs(path, &e); });
        QObject::connect(fil, &QThread::finished, &attente, &QEventLoop::quit);
        fil->start();
        attente.exec();
        fil->wait();
        delete fil;
        if (!ecrit) {
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
