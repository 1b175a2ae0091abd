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
#include <QLabel>

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
        ValiderEdition();
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

        // Row 1: the events of each day.
        if (SGrid->Rows() < 1) SGrid->AddRow();
        SGrid->CellDetails(1, 1, QStringLiteral("Événements spéciaux"), platform::kAlignWordBreak, -1,
                           kOrangePale, kSarcelle, police(SGrid->GridFont(), 10, true), 0, -1, -1);
        for (int c = 2; c <= SGrid->Columns(); ++c)
            GetEvenement(1, c);
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

        // The logged-in employee first, then the ordered employees, then the others.
        const qint32 moi = Session::lngNoEmploye;
        int row = 4;
        for (const QString& requete :
             {sqlEmployeCourant(moi), sqlEmployesOrdonnes(moi), sqlEmployesAutres(moi)}) {
            sql = requete;
            platform::Recordset rs = cn().open(sql);
            for (; !rs.eof(); rs.moveNext()) {
                RemplirLigne(rs.field(QStringLiteral("NoEmploye")).toInt(),
                             rs.field(QStringLiteral("Nom")).text(), row);
                row += 3;
            }
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

void frmPresence::RemplirLigne(qint32 NoEmploye, const QString& Nom, int row) {
    QString sql;
    try {
        if (SGrid->Rows() < row) SGrid->AddRow();
        if (SGrid->Rows() < row + 1) SGrid->AddRow();

        const QFont grille = SGrid->GridFont();
        SGrid->CellDetails(row, 1, Nom, platform::kAlignWordBreak, -1, kJaunePale, kSarcelle,
                           police(grille, 0, true), 0, -1, NoEmploye);
        SGrid->CellDetails(row + 1, 1, QString(), platform::kAlignWordBreak, -1, kJaunePale, kSarcelle,
                           grille, 0, -1, NoEmploye);

        const QDate today = platform::Clock::today();
        for (int i = 0; i < 7; ++i) {
            const int col = i + 2;
            const QDate d = DateColonne(col);
            sql = sqlPresenceJour(NoEmploye, d);
            const platform::Recordset rs = cn().open(sql);
            const QFont f = police(grille, 0, d == today);
            if (!rs.eof()) {
                SGrid->CellDetails(row, col, rs.field(QStringLiteral("DescripAM")).text(),
                                   platform::kAlignWordBreak, -1,
                                   rs.field(QStringLiteral("CouleurAM")).toLongLong(), 0, f, 0, -1,
                                   rs.field(QStringLiteral("EtatAM")).toInt());
                SGrid->CellDetails(row + 1, col, rs.field(QStringLiteral("DescripPM")).text(),
                                   platform::kAlignWordBreak, -1,
                                   rs.field(QStringLiteral("CouleurPM")).toLongLong(), 0, f, 0, -1,
                                   rs.field(QStringLiteral("EtatPM")).toInt());
            } else {
                // No state that day: the cell carries the default state, never one an
                // earlier week left in it, so that clearing a note or changing the state
                // of that day starts from state 1.
                SGrid->CellDetails(row, col, QString(), platform::kAlignWordBreak, -1, kBlanc, 0, f, {}, {},
                                   kEtatDefaut);
                SGrid->CellDetails(row + 1, col, QString(), platform::kAlignWordBreak, -1, kBlanc, 0, f, {},
                                   {}, kEtatDefaut);
            }
        }
        sql.clear();
        SGrid->setRowHeight(row, HauteurLigne(row));
        SGrid->setRowHeight(row + 1, HauteurLigne(row + 1));

        if (SGrid->Rows() < row + 2) SGrid->AddRow();
        SGrid->setRowHeight(row + 2, kSeparateur);
        for (int c = 1; c <= SGrid->Columns(); ++c)
            SGrid->setCellBackColor(row + 2, c, kSarcelle);
    } catch (const platform::DbError& e) {
        services::DoErreur(e, kForm, QStringLiteral("RemplirLigne"));
    } catch (const std::exception& e) {
        services::DoErreur(e, kForm, QStringLiteral("RemplirLigne"), sql);
    }
}

void frmPresence::GetEvenement(int row, int col) {
    QString sql;
    try {
        const QFont f = police(SGrid->GridFont(), 10, true);
        const QDate d = DateColonne(col);
        int extraImage = -1;

        sql = sqlAnniversaires(d);
        QStringList fetes;
        for (platform::Recordset rs = cn().open(sql); !rs.eof(); rs.moveNext())
            fetes << rs.field(QStringLiteral("Nom")).text();
        if (!fetes.isEmpty()) extraImage = kImageAnniversaire;

        sql = sqlEvenementJour(d);
        const platform::Recordset ev = cn().open(sql);
        sql.clear();
        QString texte;
        qint64 back = kBlanc;
        qint64 fore = 0;
        if (!ev.eof()) {
            // A stored event speaks alone; the cake says whose birthday it is too.
            texte = ev.field(QStringLiteral("Description")).text();
            back = ev.field(QStringLiteral("BackColor")).toLongLong();
            fore = ev.field(QStringLiteral("ForeColor")).toLongLong();
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
        SGrid->CellDetails(row, col, texte, platform::kAlignWordBreak, IconeDuJour(d), back, fore, f, 0,
                           extraImage, -1);
    } catch (const platform::DbError& e) {
        services::DoErreur(e, kForm, QStringLiteral("GetEvenement"));
    } catch (const std::exception& e) {
        services::DoErreur(e, kForm, QStringLiteral("GetEvenement"), sql);
    }
}

} // namespace presence
