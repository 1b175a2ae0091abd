#pragma once

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
// Every presence state, in the order the server returns them.
QString sqlEtatsPresence();

// The three groups of the board, in board order: the logged-in employee alone, then
// the active employees with access type 14 that have a place in the ordering table,
// then the other active ones with access type 14, by name.
QString sqlEmployeCourant(qint32 noEmploye);
QString sqlEmployesOrdonnes(qint32 noEmployeCourant);
QString sqlEmployesAutres(qint32 noEmployeCourant);

// One employee's morning and afternoon of one day, with their states' colours.
QString sqlPresenceJour(qint32 noEmploye, const QDate& date);

// Active employees whose birthday falls on the date; on February 28 of a common year
// those born on February 29 are taken too.
QString sqlAnniversaires(const QDate& date);
// The special event stored for the day.
QString sqlEvenementJour(const QDate& date);

bool estBissextile(int year);

} // namespace presence
