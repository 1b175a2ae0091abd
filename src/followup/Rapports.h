#pragma once

#include <QByteArray>
#include <QDate>
#include <QElapsedTimer>
#include <QList>
#include <QString>
#include <QStringList>

// What the HTML and spreadsheet reports print of a message, their queries and the small
// text rules they share.
namespace followup {

struct RapportMessage {
    QDate dateSaisie;
    QString heureSaisie; // "09:05:33"
    QString emplDe;
    QString emplA;
    QString etat;
    QString priorite;
    QString nom; // the caller's
    QString prenom;
    QString nomCie;
    QStringList telephones; // "Tél.: ...", "Bureau: ...", "Cell.: ...", "Autre: ...", "Fax: ..."
    QString messageRtf;
    QStringList types;
    QStringList destinataires; // every recipient, by name
    QString dossiers;
};

// What the reports print of the messages of a list of ids, one statement each whatever
// their number, each record carrying its IdMessage.
// One record per message under the employee filter: employee 0 is every employee;
// otherwise his received (booRecu) or sent messages.
QString sqlRapportMessages(const QList<qint32>& ids, int noEmploye, bool booRecu);
// Types (Description) by type number, every recipient's name (Nom) by name, folders (NoDos)
// in the order they were written.
QString sqlRapportTypes(const QList<qint32>& ids);
QString sqlRapportDestinataires(const QList<qint32>& ids);
QString sqlRapportDossiers(const QList<qint32>& ids);

// First letter of the priority, upper case.
QString lettrePriorite(const QString& priorite);
// First letter of the state, upper case; for a state beginning with "A", its third letter.
QString lettreEtat(const QString& etat);
// Name, then ", " and the first name when there is one, then ", " and the company.
QString texteClient(const QString& nom, const QString& prenom, const QString& nomCie);
// The caller's numbers in report order, each labelled; empty ones left out.
QStringList lignesTelephone(const QString& telephone, const QString& bureau, const QString& cellulaire,
                            const QString& autre, const QString& fax);

// "&", "<" and ">" written as entities.
QString echapperHTML(const QString& text);
// A line of an HTML report as bytes: Latin-1 as is, every other character as a numeric
// character reference, so that the file reads the same as iso-8859-1 and Windows-1252.
// A character no page may hold (a C0 control other than tab, line feed and carriage return,
// U+FFFE, U+FFFF, half of a surrogate pair) is written as U+FFFD, "&#65533;".
QByteArray octetsHTML(const QString& line);

// Cuts a message text into lines of about 80 characters for the spreadsheet: the first line
// at the first space at or after its 80th character, every other line at or after its 81st;
// the space and the spaces after it become a line break (CR LF). Returns the number of rows
// the text takes: its lines, or 2 for a single line that needed no cut.
int couperTexte(QString& texte);

// The text cut into pieces of whole lines for the cells of the spreadsheet, each at most
// `taille` characters, with its line breaks as line feeds and the number of rows it takes;
// a line longer than a cell is cut where the cell is full.
struct MorceauTexte {
    QString texte;
    int lignes;
};
QList<MorceauTexte> morceauxTexte(const QString& texteCoupe, int lignes, qsizetype taille = 32767);

// The printed page of the spreadsheet report, in points. A landscape Letter page has 532 pt
// between its top and bottom margins of 40: rows of 12.5 pt, in a 10-point font, hold 40 rows
// and the two title rows.
constexpr double kHauteurImprimable = 612 - 40 - 40;
constexpr double kHauteurLigne = 12.5;
constexpr double kHauteurTitre = 18; // row 1, in the title's 14-point font
constexpr double kTaillePolice = 10;

// Manual page breaks of the spreadsheet report: pages of 40 rows under the two title rows.
// Before each block, a block that would end in the last rows of its page, or a block of 4 or
// 5 telephone lines that would not fit, moves the previous block to a new page.
class SautsDePage {
public:
    // The row to break above (the previous block's first row), or 0 for none. Asked once
    // more after the last block (with no telephone and no recipient), so that the last
    // block too moves when it would end in the last rows of its page.
    qint32 avantBloc(qint32 ligne, int nbTelephones, int nbDestinataires);

private:
    qint32 m_debutPage = 3;
    qint32 m_blocPrecedent = 0;
};

class ctrlProgresTemps;

// The progress of a report's rows and the windows' events, every 20 ms rather than after
// every row: a row takes microseconds, a round of events, a repaint of the bar and a reading
// of the clock far more. Nobody sees the bar between two rounds of events.
class Attente {
public:
    explicit Attente(ctrlProgresTemps* progres);
    // One more row done. True when the bar was moved on and the events ran.
    bool ligneFaite();
    // The bar shows every row done.
    void fin();

private:
    ctrlProgresTemps* m_progres;
    float m_faites;
    QElapsedTimer m_depuis;
};

} // namespace followup
