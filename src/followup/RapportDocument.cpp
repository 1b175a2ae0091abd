#include "followup/RapportDocument.h"

#include <QAbstractTextDocumentLayout>
#include <QCoreApplication>
#include <QFile>
#include <QFontMetricsF>
#include <QGuiApplication>
#include <QPainter>
#include <QPrinter>
#include <QRegularExpression>
#include <QScreen>
#include <QStringDecoder>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextFrame>
#include <QTextLayout>
#include <QTextTable>
#include <QThread>
#include <QUrl>
#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <mutex>

namespace followup {

QString pourLeNavigateur(const QString& html) {
    static const QRegularExpression nbsp(QStringLiteral("&nbsp(?!;)"));
    static const QRegularExpression col(QStringLiteral("^<col width='([0-9]+%)'>$"));
    QStringList lignes = html.split(QStringLiteral("\r\n"));
    QStringList largeurs;
    int suivante = 0;
    for (QString& l : lignes) {
        const QRegularExpressionMatch m = col.match(l);
        if (m.hasMatch()) {
            if (suivante > 0) largeurs.clear();
            suivante = 0;
            largeurs << m.captured(1);
        } else if (l.startsWith(QLatin1String("<td")) && suivante < largeurs.size()) {
            l.insert(3, QStringLiteral(" width='") + largeurs[suivante++] + QLatin1Char('\''));
        } else if (l.startsWith(QLatin1String("<table"))) {
            largeurs.clear();
            suivante = 0;
        }
        l.replace(nbsp, QStringLiteral("&nbsp;"));
    }
    return lignes.join(QStringLiteral("\r\n"));
}

namespace {

// The height the report gives its notes row, in the screen's pixels.
constexpr double kHauteurNotes = 70;
// Columns of a message block and, in its first row, those holding one short value each.
constexpr int kColonnes = 9;
constexpr int kValeursCourtes[] = {0, 1, 2, 4, 5, 8};
// The sender's and the recipient's names: kept on one line when they are of a name's length;
// a longer text there wraps rather than push the block off the paper.
constexpr int kNoms[] = {6, 7};
constexpr int kNomLePlusLong = 40;

QTextCursor contenu(const QTextTableCell& cell) {
    QTextCursor c = cell.firstCursorPosition();
    c.setPosition(cell.lastCursorPosition().position(), QTextCursor::KeepAnchor);
    return c;
}

// Threads of this file: a program that ends waits for them, so none is cut off in the middle
// of a document.
std::mutex g_threads;
std::condition_variable g_fini;
int g_actifs = 0;
// Set when the program ends: a report still being read is read no further.
std::atomic<bool> g_arret{false};

void attendreThreads() {
    g_arret = true;
    std::unique_lock<std::mutex> l(g_threads);
    g_fini.wait(l, [] { return g_actifs == 0; });
}

QThread* nouveauThread(std::function<void()> travail) {
    static const bool inscrit = [] {
        qAddPostRoutine(attendreThreads);
        return true;
    }();
    (void)inscrit;
    {
        std::lock_guard<std::mutex> l(g_threads);
        ++g_actifs;
    }
    QThread* t = QThread::create([travail = std::move(travail)] {
        travail();
        std::lock_guard<std::mutex> l(g_threads);
        --g_actifs;
        g_fini.notify_all();
    });
    QObject::connect(t, &QThread::finished, t, &QObject::deleteLater);
    return t;
}

} // namespace

void ajusterBlocs(QTextDocument* doc, int premier) {
    const QList<QTextFrame*> cadres = doc->rootFrame()->childFrames();
    QTextCursor edition(doc);
    edition.beginEditBlock();
    QTextBlockFormat insecable;
    insecable.setNonBreakableLines(true);
    for (qsizetype i = premier; i < cadres.size(); ++i) {
        auto* t = qobject_cast<QTextTable*>(cadres[i]);
        if (!t || t->columns() != kColonnes || t->rows() < 2) continue;
        for (int col : kValeursCourtes) {
            const QTextTableCell cell = t->cellAt(0, col);
            if (cell.isValid() && cell.row() == 0 && cell.column() == col)
                contenu(cell).mergeBlockFormat(insecable);
        }
        for (int col : kNoms) {
            const QTextTableCell cell = t->cellAt(0, col);
            if (!cell.isValid() || cell.row() != 0 || cell.column() != col) continue;
            QTextCursor nom = contenu(cell);
            if (nom.selectedText().size() <= kNomLePlusLong) nom.mergeBlockFormat(insecable);
        }
        QTextTableCell cellNotes = t->cellAt(t->rows() - 1, 0);
        const QTextCursor notes = contenu(cellNotes);
        if (!notes.selectedText().startsWith(QLatin1String("Notes:"))) continue;
        // The space under the word, for the hand that writes there: padding of the cell, which
        // the table counts in its row wherever the layout starts again.
        const QFontMetricsF m(notes.charFormat().font().resolve(doc->defaultFont()));
        QTextTableCellFormat f = cellNotes.format().toTableCellFormat();
        f.setBottomPadding(std::max(0.0, kHauteurNotes - m.height()));
        cellNotes.setFormat(f);
    }
    edition.endEditBlock();
}

// ---------------------------------------------------------------- reading on a thread

struct LecteurRapport::Etat {
    std::mutex mutex;
    std::condition_variable rendu;
    bool annule = false;
    QList<QPair<QTextDocument*, bool>> prets;
    QTextDocument* retour = nullptr;
    Recevoir recevoir; // window thread only
    QThread* cible = nullptr;
    QThread* lecteur = nullptr;

    // On the window thread: hands the documents read so far to the window.
    void prendre(const std::shared_ptr<Etat>& soi) {
        QList<QPair<QTextDocument*, bool>> docs;
        {
            std::lock_guard<std::mutex> l(mutex);
            docs.swap(prets);
        }
        for (const auto& [doc, complet] : docs) {
            if (recevoir)
                recevoir(doc, complet);
            else if (complet)
                rendre(soi, doc);
            else
                jeterDocument(doc);
        }
    }
    // On the reading thread: false when the reading was called off (the document stays the
    // reader's to delete).
    bool livrer(const std::shared_ptr<Etat>& soi, QTextDocument* doc, bool complet) {
        {
            std::lock_guard<std::mutex> l(mutex);
            if (annule) return false;
            doc->moveToThread(cible);
            prets.append({doc, complet});
        }
        QMetaObject::invokeMethod(
            qApp, [soi] { soi->prendre(soi); }, Qt::QueuedConnection);
        return true;
    }
    bool arrete() {
        std::lock_guard<std::mutex> l(mutex);
        return annule || g_arret;
    }
    // The whole report was laid out with the fonts of the reading thread, which go with the
    // thread: it goes back there to be freed.
    static void rendre(const std::shared_ptr<Etat>& soi, QTextDocument* doc) {
        doc->setParent(nullptr);
        doc->moveToThread(soi->lecteur);
        std::lock_guard<std::mutex> l(soi->mutex);
        soi->retour = doc;
        soi->rendu.notify_all();
    }
    // On the reading thread, once the whole report is delivered: waits for it to come back,
    // or for the program to end.
    QTextDocument* attendreRetour() {
        std::unique_lock<std::mutex> l(mutex);
        while (!retour && !g_arret)
            rendu.wait_for(l, std::chrono::milliseconds(100));
        return retour;
    }
};

// Lays `doc` out in full at `largeur`, down to a given height at a time (the layout's own steps
// grow as it goes) so that a reading called off stops soon. False when it was called off.
static bool mettreEnPage(QTextDocument* doc, double largeur, const std::function<bool()>& arrete) {
    doc->setPageSize(QSizeF(largeur, -1));
    QAbstractTextDocumentLayout* l = doc->documentLayout();
    const int fin = doc->characterCount() - 1;
    for (double y = 20000;; y += 20000) {
        if (arrete()) return false;
        if (l->hitTest(QPointF(0, y), Qt::FuzzyHit) >= fin) break;
    }
    l->documentSize();
    return true;
}

LecteurRapport::LecteurRapport(const QString& path, const QFont& police, double largeur, Recevoir recevoir,
                               QObject* parent)
    : QObject(parent), m_etat(std::make_shared<Etat>()) {
    m_etat->recevoir = std::move(recevoir);
    m_etat->cible = thread();
    QThread* t = nouveauThread([e = m_etat, path, police, largeur] {
        const auto arrete = [&e] { return e->arrete(); };
        QByteArray octets;
        QFile f(path);
        if (f.open(QIODevice::ReadOnly)) octets = f.readAll();
        f.close();
        QStringDecoder decodeur = QStringDecoder::decoderForHtml(octets);
        if (!decodeur.isValid()) decodeur = QStringDecoder(QStringDecoder::Utf8);
        const QString html = decodeur.decode(octets);
        octets = QByteArray();
        // A message block begins on a line of its own: the report is cut before such lines.
        QList<qsizetype> blocs;
        for (qsizetype p = html.indexOf(QLatin1String("<table")); p >= 0;
             p = html.indexOf(QLatin1String("<table"), p + 1))
            if (p == 0 || html[p - 1] == QLatin1Char('\n')) blocs << p;
        auto fin = [&](qsizetype k) { return k < blocs.size() ? blocs[k] : html.size(); };

        auto* doc = new QTextDocument;
        doc->setUndoRedoEnabled(false);
        doc->setDefaultFont(police);
        doc->setBaseUrl(QUrl::fromLocalFile(path));
        // Wrapped as a text browser wraps, long words too.
        QTextOption option = doc->defaultTextOption();
        option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
        doc->setDefaultTextOption(option);
        const qsizetype premiere = std::min<qsizetype>(blocsPremierePartie, blocs.size());
        doc->setHtml(pourLeNavigateur(html.left(fin(premiere))));
        ajusterBlocs(doc);
        // The first part is laid out by the window, with its own fonts: it is small.
        if (premiere < blocs.size()) {
            QTextDocument* debut = doc->clone();
            if (!e->livrer(e, debut, false)) {
                delete debut;
                delete doc;
                return;
            }
        }
        QTextCursor fin_(doc);
        for (qsizetype k = premiere; k < blocs.size(); k += blocsParEtape) {
            if (arrete()) {
                delete doc;
                return;
            }
            const qsizetype avant = doc->rootFrame()->childFrames().size();
            fin_.movePosition(QTextCursor::End);
            fin_.insertHtml(pourLeNavigateur(html.mid(blocs[k], fin(k + blocsParEtape) - blocs[k])));
            ajusterBlocs(doc, int(avant));
        }
        if (!mettreEnPage(doc, largeur, arrete) || !e->livrer(e, doc, true)) {
            delete doc;
            return;
        }
        if (QTextDocument* rendu = e->attendreRetour()) {
            QCoreApplication::sendPostedEvents(); // the timers of its layout, moved here with it
            delete rendu;
        }
    });
    m_etat->lecteur = t;
    t->start();
}

LecteurRapport::~LecteurRapport() {
    QList<QPair<QTextDocument*, bool>> docs;
    {
        std::lock_guard<std::mutex> l(m_etat->mutex);
        m_etat->annule = true;
        docs.swap(m_etat->prets);
    }
    m_etat->recevoir = nullptr;
    for (const auto& [doc, complet] : docs) {
        if (complet)
            Etat::rendre(m_etat, doc);
        else
            jeterDocument(doc);
    }
}

void LecteurRapport::rendre(QTextDocument* doc) {
    Etat::rendre(m_etat, doc);
}

void LecteurRapport::arreter() {
    std::lock_guard<std::mutex> l(m_etat->mutex);
    m_etat->annule = true;
}

void mettreEnPageIci(QTextDocument* doc, double largeur) {
    mettreEnPage(doc, largeur, [] { return false; });
}

void jeterDocument(QTextDocument* doc) {
    if (!doc) return;
    doc->setParent(nullptr);
    // The timers of its layout follow it to the thread, where they are stopped with it.
    QThread* t = nouveauThread([doc] {
        QCoreApplication::sendPostedEvents();
        delete doc;
    });
    doc->moveToThread(t);
    t->start();
}

int threadsRapportsActifs() {
    std::lock_guard<std::mutex> l(g_threads);
    return g_actifs;
}

// ---------------------------------------------------------------- printed pages

namespace {

struct Element {
    double haut = 0, bas = 0;
    QTextFrame* cadre = nullptr;
    QTextBlock bloc;
};

// Where a page may end inside an element taller than a page: between the rows of a table and
// between the lines of a block or of a row that is one cell across.
QList<double> coupuresInternes(QTextDocument* doc, const Element& e) {
    QAbstractTextDocumentLayout* l = doc->documentLayout();
    QList<double> points;
    auto lignes = [&](const QTextBlock& b) {
        const QRectF r = l->blockBoundingRect(b);
        const QTextLayout* tl = b.layout();
        for (int k = 1; k < tl->lineCount(); ++k)
            points << r.top() - tl->boundingRect().top() + tl->lineAt(k).y();
    };
    if (auto* t = qobject_cast<QTextTable*>(e.cadre)) {
        const double marge = t->format().border() + t->format().cellPadding();
        for (int r = 0; r < t->rows(); ++r) {
            double haut = e.bas;
            for (int c = 0; c < t->columns();) {
                const QTextTableCell cell = t->cellAt(r, c);
                c += std::max(1, cell.columnSpan());
                if (cell.row() != r) continue;
                const QTextBlock premier = doc->findBlock(cell.firstPosition());
                haut =
                    std::min(haut, l->blockBoundingRect(premier).top() - premier.blockFormat().topMargin());
                if (cell.columnSpan() == t->columns())
                    for (QTextBlock b = premier; b.isValid() && b.position() <= cell.lastPosition();
                         b = b.next()) {
                        if (b != premier) points << l->blockBoundingRect(b).top();
                        lignes(b);
                    }
            }
            if (r > 0) points << haut - marge;
        }
    } else if (e.bloc.isValid()) {
        lignes(e.bloc);
    }
    std::sort(points.begin(), points.end());
    return points;
}

} // namespace

PagesRapport::PagesRapport(const QTextDocument& source, QPrinter* printer) {
    const QScreen* ecran = QGuiApplication::primaryScreen();
    const double dpiX = ecran ? ecran->logicalDotsPerInchX() : 96,
                 dpiY = ecran ? ecran->logicalDotsPerInchY() : 96;
    m_echelleX = printer->logicalDpiX() / dpiX;
    m_echelleY = printer->logicalDpiY() / dpiY;
    m_marge = 2 / 2.54 * dpiX;
    m_largeur = printer->width() / m_echelleX - 2 * m_marge;
    m_hauteur = printer->height() / m_echelleY - 2 * m_marge;
    m_doc.reset(source.clone());
    m_doc->setDocumentMargin(0);
    m_doc->setPageSize(QSizeF(m_largeur, -1));
    QAbstractTextDocumentLayout* l = m_doc->documentLayout();
    const double total = l->documentSize().height();

    // The message blocks and the paragraphs around them, top to bottom; empty lines are left
    // to fall between pages.
    QList<Element> elements;
    for (auto it = m_doc->rootFrame()->begin(); !it.atEnd(); ++it) {
        Element e;
        if ((e.cadre = it.currentFrame())) {
            const QRectF r = l->frameBoundingRect(e.cadre);
            e.haut = r.top();
            e.bas = r.bottom();
        } else {
            e.bloc = it.currentBlock();
            if (e.bloc.text().trimmed().isEmpty()) continue;
            const QRectF r = l->blockBoundingRect(e.bloc);
            e.haut = r.top();
            e.bas = r.bottom();
        }
        elements << e;
    }
    double debut = 0;
    qsizetype i = 0;
    while (i < elements.size()) {
        const double limite = debut + m_hauteur;
        qsizetype j = i;
        while (j < elements.size() && elements[j].bas <= limite)
            ++j;
        if (j == elements.size()) {
            m_pages.append({debut, std::max(elements.last().bas, total)});
            break;
        }
        if (j > i) { // whole elements fit: the page ends after the last of them
            m_pages.append({debut, elements[j - 1].bas});
            debut = elements[j].haut;
            i = j;
            continue;
        }
        // One element taller than what is left of a page from its top: cut inside it.
        double fin = limite;
        const QList<double> points = coupuresInternes(m_doc.get(), elements[i]);
        for (auto p = points.crbegin(); p != points.crend(); ++p)
            if (*p <= limite) {
                if (*p > debut + 1) fin = *p;
                break;
            }
        m_pages.append({debut, fin});
        debut = fin;
    }
    if (m_pages.isEmpty()) m_pages.append({0, total});
}

PagesRapport::~PagesRapport() = default;

void PagesRapport::imprimer(QPrinter* printer) const {
    QPainter p(printer);
    if (!p.isActive()) return;
    int de = 1, a = int(m_pages.size());
    if (printer->fromPage() > 0) {
        de = std::max(1, printer->fromPage());
        if (printer->toPage() > 0) a = std::min(a, printer->toPage());
    }
    QAbstractTextDocumentLayout* l = m_doc->documentLayout();
    for (int n = de; n <= a; ++n) {
        if (n > de) printer->newPage();
        const Page& page = m_pages[n - 1];
        p.save();
        p.scale(m_echelleX, m_echelleY);
        p.translate(m_marge, m_marge - page.haut);
        const QRectF vue(0, page.haut, m_largeur, page.bas - page.haut);
        p.setClipRect(vue);
        QAbstractTextDocumentLayout::PaintContext ctx;
        ctx.clip = vue;
        ctx.palette.setColor(QPalette::Text, Qt::black); // not the desktop's text colour
        l->draw(&p, ctx);
        p.restore();
        // The page's number at the bottom right, under the text.
        p.setFont(QFont(m_doc->defaultFont(), printer));
        const QString numero = QString::number(n);
        const QFontMetricsF m = p.fontMetrics();
        p.drawText(
            QPointF((m_marge + m_largeur) * m_echelleX - m.horizontalAdvance(numero),
                    (m_marge + m_hauteur) * m_echelleY + m.ascent() + 5 * printer->logicalDpiY() / 72.0),
            numero);
    }
}

} // namespace followup
