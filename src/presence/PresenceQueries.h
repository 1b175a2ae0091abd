#pragma once

#include <QList>
#include <QString>

class QDate;

// The SQL texts of the presence board, built from plain values so that they can be
// checked without a database. Dates and other text values go through the quoting
// helpers of platform/SqlText.h; numbers are written bare.
namespace presence {

// Holds the logged-in employee the right to manage the whole board (access type 16)?
QString sqlAccesGestion(qint32 noEmploye);
QString sqlAffPresenceAuto(qint32 noEmploye);
QString sqlUpdateAffPresenceAuto(bool affiche, qint32 noEmploye);
// The unique keys of tblpresences and tblevenement (Tableau, Colonnes: the key's columns
// in order, separated by commas), on which the board's writes rely.
QString sqlClesUniques();
// Every presence state, in the order the server returns them.
QString sqlEtatsPresence();

// The employees of the board, in board order (NoEmploye, Nom): the logged-in employee
// alone, then the active employees with access type 14 that have a place in the ordering
// table, in that order, then the other active ones with access type 14, by name.
QString sqlEmployesTableau(qint32 noEmployeCourant);

// The week's mornings and afternoons of the employees (NoEmploye, DatePresence, EtatAM,
// EtatPM, DescripAM, DescripPM), with their states' colours (CouleurAM, CouleurPM); a
// half-day whose state no longer exists leaves its day out.
QString sqlPresencesSemaine(const QList<qint32>& employes, const QDate& lundi);
// The same for the days from `du` to `au`.
QString sqlPresencesJours(const QList<qint32>& employes, const QDate& du, const QDate& au);

// The birthdays (Nom, Mois, Jour) and the special events of the week, by employee number
// and by day.
QString sqlAnniversairesSemaine(const QDate& lundi);
QString sqlEvenementsSemaine(const QDate& lundi);

// Active employees whose birthday falls on the date; on February 28 of a common year
// those born on February 29 are taken too.
QString sqlAnniversaires(const QDate& date);
// The special event stored for the day.
QString sqlEvenementJour(const QDate& date);

bool estBissextile(int year);

} // namespace presence
