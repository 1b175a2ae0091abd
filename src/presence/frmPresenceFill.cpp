// The board's content: the date labels, the events row and each listed employee's
// morning and afternoon for the week in DTPicker.

#include "presence/PresenceQueries.h"
#include "presence/frmPresence.h"

#include "platform/Clock.h"
#include "platform/Database.h"
#include "platform/Grid.h"
#include "services/Calendar.h"
#include "services/ErrorLogger.h"
#include "services/ReportTexts.h"
#include "services/Session.h"

#include <QDateEdit>
#include <QHash>
#include <QLabel>
#include <QSignalBlocker>

using services::Session;

namespace presence {

namespace {

const QString kForm = QStringLiteral("frmPresence");
const QString kDateFormat = QStringLiteral("yyyy-MM-dd");

constexpr qint64 kSarcelle = 0x808000;   // teal: separators, header labels
constexpr qint64 kJaune = 0xFFFF;        // header text of the other days
constexpr qint64 kJauneClair = 0x80FFFF; // today's header
constexpr qint64 kOrangePale = 0xC0E0FF; // "Événements spéciaux"
constexpr qint64 kJaunePale = 0xE0FFFF;  // employee names
constexpr qint64 kOrange = 0x80C0FF;     // a day of birthdays only
constexpr qint64 kBlanc = 0xFFFFFF;
constexpr int kImageAnniversaire = 3;
constexpr int kSeparateur = 2;    // pixels
constexpr qint32 kEtatDefaut = 1; // the fixed state a day without a row stands in

// A font of the grid's face at the application's default size, as every cell font of
// the board is made.
QFont police(const QFont& grille, int pointSize = 0, bool bold = false) {
    QFont f;
    f.setFamily(grille.family());
    if (pointSize > 0) f.setPointSize(pointSize);
    f.setBold(bold);
    return f;
}

// The special event stored for a day, when there is one.
struct Evenement {
    bool existe = false;
    QString description;
    qint64 back = 0;
    qint64 fore = 0;
};

// Writes one events-row cell: a stored event speaks alone (the cake says whose birthday
// it is too); otherwise the holiday, then the birthdays.
void ecrireEvenement(platform::Grid* g, int row, int col, const QDate& d, const QStringList& fetes,
                     const Evenement& ev) {
    QString texte;
    qint64 back = kBlanc;
    qint64 fore = 0;
    if (ev.existe) {
        texte = ev.description;
        back = ev.back;
        fore = ev.fore;
    } else {
        services::VerifEvenement(d, texte, back, fore);
        if (!fetes.isEmpty() && texte.isEmpty()) {
            back = kOrange;
            fore = 0;
        }
        for (const QString& nom : fetes) {
            if (!texte.isEmpty()) texte += QStringLiteral(", \n");
            texte += services::MsgAnniversaire(nom);
        }
    }
    g->CellDetails(row, col, texte, platform::kAlignWordBreak, frmPresence::IconeDuJour(d), back, fore,
                   police(g->GridFont(), 10, true), 0, fetes.isEmpty() ? -1 : kImageAnniversaire, -1);
}

Evenement lireEvenement(const platform::Recordset& rs) {
    return {true, rs.field(QStringLiteral("Description")).text(),
            rs.field(QStringLiteral("BackColor")).toLongLong(),
            rs.field(QStringLiteral("ForeColor")).toLongLong()};
}

} // namespace

QDate frmPresence::DateColonne(int col) const {
    if (col < 2 || col > 8) return QDate();
    return QDate::fromString(lblDate[col - 2]->text(), kDateFormat);
}

int frmPresence::IconeDuJour(const QDate& d) {
    if (d.month() == 4 && d.day() == 1) return 1;
    if (d == services::DatePaques(d.year())) return 4;
    if (d.month() == 3 && d.day() == 17) return 5;
    if (d.month() == 6 && d.day() == 24) return 7;
    if (d.month() == 7 && d.day() == 1) return 6;
    return -1;
}

void frmPresence::Remplir() {
    QString sql;
    try {
        if (!ValiderEdition()) {
            // A note that could not be written keeps the week it was typed on.
            const QSignalBlocker bloque(DTPicker);
            if (DateColonne(2).isValid()) DTPicker->setDate(DateColonne(2));
            return;
        }
        SGrid->setRedraw(false);
        DisposerEntetes();

        const QDate lundi = DTPicker->date();
        const QDate today = platform::Clock::today();
        for (int i = 0; i < 7; ++i) {
            const QDate d = lundi.addDays(i);
            lblDate[i]->setText(d.toString(kDateFormat));
            const bool aujourdhui = d == today;
            colorerEntete(lblDate[i], aujourdhui ? kJauneClair : kSarcelle, aujourdhui ? kSarcelle : kJaune);
            colorerEntete(lblEntete[i + 1], aujourdhui ? kJauneClair : kSarcelle,
                          aujourdhui ? kSarcelle : kJaune);
        }

        // Row 1: the events of each day, the week's events and birthdays read at once.
        if (SGrid->Rows() < 1) SGrid->AddRow();
        SGrid->CellDetails(1, 1, QStringLiteral("Événements spéciaux"), platform::kAlignWordBreak, -1,
                           kOrangePale, kSarcelle, police(SGrid->GridFont(), 10, true), 0, -1, -1);
        remplirEvenements();
        SGrid->setRowHeight(1, HauteurLigne(1));

        // Row 2 a thin separator, row 3 hidden.
        if (SGrid->Rows() < 2) SGrid->AddRow();
        SGrid->setRowHeight(2, kSeparateur);
        for (int c = 1; c <= SGrid->Columns(); ++c) {
            SGrid->CellDetails(2, c, QString(), platform::kAlignSingleLineEllipsis, -1, kSarcelle, -1,
                               SGrid->GridFont(), 0, -1, -1);
        }
        if (SGrid->Rows() < 3) SGrid->AddRow();
        SGrid->setRowHeight(3, 0);

        // The logged-in employee first, then the ordered employees, then the others, with
        // the week of every one of them.
        sql = sqlEmployesTableau(Session::lngNoEmploye);
        QList<std::pair<qint32, QString>> employes;
        for (platform::Recordset rs = cn().open(sql); !rs.eof(); rs.moveNext())
            employes.append(
                {rs.field(QStringLiteral("NoEmploye")).toInt(), rs.field(QStringLiteral("Nom")).text()});
        QList<qint32> numeros;
        for (const auto& e : employes)
            numeros << e.first;
        const QHash<qint32, Semaine> semaines = lireSemaines(numeros, lundi);
        int row = 4;
        for (const auto& [no, nom] : employes) {
            RemplirLigne(no, nom, row, semaines.value(no));
            row += 3;
        }
        sql.clear();
        // Rows of a longer earlier fill would show someone no longer listed, with the
        // presences of another week under this week's dates.
        while (SGrid->Rows() >= row)
            SGrid->RemoveRow(SGrid->Rows());

        SGrid->setRedraw(true);
    } catch (const platform::DbError& e) {
        SGrid->setRedraw(true);
        services::DoErreur(e, kForm, QStringLiteral("Remplir"));
    } catch (const std::exception& e) {
        SGrid->setRedraw(true);
        services::DoErreur(e, kForm, QStringLiteral("Remplir"), sql);
    }
}

// Everyone's week in one statement. A failure is reported as the filling of the rows'
// and leaves the days empty rather than showing another week's.
QHash<qint32, frmPresence::Semaine> frmPresence::lireSemaines(const QList<qint32>& employes,
                                                              const QDate& lundi) {
    if (employes.isEmpty()) return {};
    try {
        platform::Recordset rs = cn().open(sqlPresencesSemaine(employes, lundi));
        return lirePresences(rs, lundi);
    } catch (const platform::DbError& e) {
        services::DoErreur(e, kForm, QStringLiteral("RemplirLigne"));
    }
    return {};
}

QHash<qint32, frmPresence::Semaine> frmPresence::lirePresences(platform::Recordset& rs, const QDate& lundi) {
    QHash<qint32, Semaine> semaines;
    for (; !rs.eof(); rs.moveNext()) {
        const qint64 jour = lundi.daysTo(rs.field(QStringLiteral("DatePresence")).toDate());
        if (jour < 0 || jour > 6) continue;
        Presence& p = semaines[rs.field(QStringLiteral("NoEmploye")).toInt()][size_t(jour)];
        p.existe = true;
        p.descrip[0] = rs.field(QStringLiteral("DescripAM")).text();
        p.descrip[1] = rs.field(QStringLiteral("DescripPM")).text();
        p.couleur[0] = rs.field(QStringLiteral("CouleurAM")).toLongLong();
        p.couleur[1] = rs.field(QStringLiteral("CouleurPM")).toLongLong();
        p.etat[0] = rs.field(QStringLiteral("EtatAM")).toInt();
        p.etat[1] = rs.field(QStringLiteral("EtatPM")).toInt();
    }
    return semaines;
}

void frmPresence::afficherJour(int matin, int col, const Presence& p) {
    const QFont f = police(SGrid->GridFont(), 0, DateColonne(col) == platform::Clock::today());
    for (int demi = 0; demi < 2; ++demi) {
        if (p.existe) {
            SGrid->CellDetails(matin + demi, col, p.descrip[demi], platform::kAlignWordBreak, -1,
                               p.couleur[demi], 0, f, 0, -1, p.etat[demi]);
        } else {
            // No state that day: the cell carries the default state, never one an earlier
            // week left in it, so that clearing a note or changing the state of that day
            // starts from state 1.
            SGrid->CellDetails(matin + demi, col, QString(), platform::kAlignWordBreak, -1, kBlanc, 0, f, {},
                               {}, kEtatDefaut);
        }
    }
}

void frmPresence::afficherRelu(int matin, int du, int au, platform::Recordset& relu) {
    const QDate lundi = DateColonne(2);
    const Semaine semaine = lirePresences(relu, lundi).value(SGrid->CellItemData(matin, 1));
    SGrid->setRedraw(false);
    for (int c = du; c <= au; ++c)
        afficherJour(matin, c, semaine[size_t(lundi.daysTo(DateColonne(c)))]);
    // A text that wraps more than the one it replaced must not be cut.
    SGrid->setRowHeight(matin, HauteurLigne(matin));
    SGrid->setRowHeight(matin + 1, HauteurLigne(matin + 1));
    SGrid->setRedraw(true);
}

void frmPresence::RemplirLigne(qint32 NoEmploye, const QString& Nom, int row, const Semaine& semaine) {
    try {
        if (SGrid->Rows() < row) SGrid->AddRow();
        if (SGrid->Rows() < row + 1) SGrid->AddRow();

        const QFont grille = SGrid->GridFont();
        SGrid->CellDetails(row, 1, Nom, platform::kAlignWordBreak, -1, kJaunePale, kSarcelle,
                           police(grille, 0, true), 0, -1, NoEmploye);
        SGrid->CellDetails(row + 1, 1, QString(), platform::kAlignWordBreak, -1, kJaunePale, kSarcelle,
                           grille, 0, -1, NoEmploye);
        for (int i = 0; i < 7; ++i)
            afficherJour(row, i + 2, semaine[size_t(i)]);
        SGrid->setRowHeight(row, HauteurLigne(row));
        SGrid->setRowHeight(row + 1, HauteurLigne(row + 1));

        if (SGrid->Rows() < row + 2) SGrid->AddRow();
        SGrid->setRowHeight(row + 2, kSeparateur);
        for (int c = 1; c <= SGrid->Columns(); ++c)
            SGrid->setCellBackColor(row + 2, c, kSarcelle);
    } catch (const std::exception& e) {
        services::DoErreur(e, kForm, QStringLiteral("RemplirLigne"));
    }
}

// The events row of the whole week: its events and birthdays in one statement each. A
// failure is reported as the filling of a day's event, and the days show their holidays.
void frmPresence::remplirEvenements() {
    const QDate lundi = DateColonne(2);
    QHash<qint64, Evenement> evenements;
    QList<std::pair<QDate, QString>> fetes; // (month and day in year 2000, name), by employee
    QString sql;
    try {
        sql = sqlAnniversairesSemaine(lundi);
        for (platform::Recordset rs = cn().open(sql); !rs.eof(); rs.moveNext())
            fetes.append({QDate(2000, rs.field(QStringLiteral("Mois")).toInt(),
                                rs.field(QStringLiteral("Jour")).toInt()),
                          rs.field(QStringLiteral("Nom")).text()});
        sql = sqlEvenementsSemaine(lundi);
        for (platform::Recordset rs = cn().open(sql); !rs.eof(); rs.moveNext()) {
            const qint64 jour = rs.field(QStringLiteral("DateEvenement")).toDate().toJulianDay();
            if (!evenements.contains(jour)) evenements.insert(jour, lireEvenement(rs));
        }
    } catch (const platform::DbError& e) {
        fetes.clear();
        evenements.clear();
        services::DoErreur(e, kForm, QStringLiteral("GetEvenement"));
    }
    for (int c = 2; c <= SGrid->Columns(); ++c) {
        const QDate d = DateColonne(c);
        // On February 28 of a common year, those born on the 29th celebrate too.
        const bool avec29 = d.month() == 2 && d.day() == 28 && !estBissextile(d.year());
        QStringList noms;
        for (const auto& [jour, nom] : fetes)
            if ((jour.month() == d.month() && jour.day() == d.day()) ||
                (avec29 && jour == QDate(2000, 2, 29)))
                noms << nom;
        ecrireEvenement(SGrid, 1, c, d, noms, evenements.value(d.toJulianDay()));
    }
}

void frmPresence::GetEvenement(int row, int col) {
    QString sql;
    try {
        const QDate d = DateColonne(col);
        sql = sqlAnniversaires(d);
        QStringList fetes;
        for (platform::Recordset rs = cn().open(sql); !rs.eof(); rs.moveNext())
            fetes << rs.field(QStringLiteral("Nom")).text();
        sql = sqlEvenementJour(d);
        const platform::Recordset ev = cn().open(sql);
        sql.clear();
        ecrireEvenement(SGrid, row, col, d, fetes, ev.eof() ? Evenement{} : lireEvenement(ev));
    } catch (const platform::DbError& e) {
        services::DoErreur(e, kForm, QStringLiteral("GetEvenement"));
    } catch (const std::exception& e) {
        services::DoErreur(e, kForm, QStringLiteral("GetEvenement"), sql);
    }
}

} // namespace presence
