#pragma once

#include <QList>
#include <QObject>
#include <QString>
#include <functional>
#include <memory>

class QFont;
class QPrinter;
class QTextDocument;

namespace followup {

// What the text browser does not read as other browsers do, said in words it reads: an "&nbsp"
// without its semicolon, and the widths of <col> lines, which it ignores, given to the cells of
// the table's first row.
QString pourLeNavigateur(const QString& html);

// The message blocks of a report as a reader expects them on screen and on paper, from the
// `premier`-th table of the document on: the "Notes:" row 70 pixels high for handwritten notes
// (the browser ignores a row's height), and the first row's short values (letters, number, date,
// time, sender, recipient) and the telephone lines never broken inside.
void ajusterBlocs(QTextDocument* doc, int premier = 0);

// A report file read into a document and laid out at `largeur` on a thread of its own, so that
// the window thread stays free for a report of any size: first its head and first message
// blocks, to be read at once, then the whole report. Each part is a new document, laid out in
// full, that `recevoir` takes over on the thread that started the reading; the first part is
// not laid out. The whole report goes back through rendre(). Deleting the reader stops the
// reading after the step under way; the thread ends by itself.
class LecteurRapport : public QObject {
    Q_OBJECT
public:
    // `recevoir(doc, complet)`: `complet` is true for the last document, the whole file.
    using Recevoir = std::function<void(QTextDocument* doc, bool complet)>;
    LecteurRapport(const QString& path, const QFont& police, double largeur, Recevoir recevoir,
                   QObject* parent = nullptr);
    ~LecteurRapport() override;

    // Stops the reading after the step under way; the documents already handed over stay.
    void arreter();
    // Gives back the whole report once the window is done with it: it is freed on the reading
    // thread, whose fonts its layout holds, and the thread ends.
    void rendre(QTextDocument* doc);

    // Message blocks in the first part, and in each later step of the reading.
    static inline int blocsPremierePartie = 20;
    static inline int blocsParEtape = 250;

private:
    struct Etat;
    std::shared_ptr<Etat> m_etat;
};

// Lays a document out in full at `largeur` on this thread.
void mettreEnPageIci(QTextDocument* doc, double largeur);
// Deletes a document on a thread of its own: a large report takes seconds to free.
void jeterDocument(QTextDocument* doc);
// Threads of report reading and freeing that have not ended yet.
int threadsRapportsActifs();

// A document cut into printed pages: laid out at the page's width (2 cm margins, as the
// text browser prints), each page ending before the first message block that would not fit
// on it whole; only a block taller than a page is cut, between its rows or lines. Units are
// the document's own (the screen's pixels).
class PagesRapport {
public:
    PagesRapport(const QTextDocument& source, QPrinter* printer);
    ~PagesRapport();
    struct Page {
        double haut = 0, bas = 0; // the part of the laid-out document the page shows
    };
    const QList<Page>& pages() const { return m_pages; }
    QTextDocument* document() const { return m_doc.get(); }
    double hauteurUtile() const { return m_hauteur; }
    // Prints every page (or the printer's range of pages), numbered at the bottom right.
    void imprimer(QPrinter* printer) const;

private:
    std::unique_ptr<QTextDocument> m_doc;
    QList<Page> m_pages;
    double m_echelleX = 1, m_echelleY = 1, m_marge = 0, m_hauteur = 0, m_largeur = 0;
};

} // namespace followup
