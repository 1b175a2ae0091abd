#pragma once

#include <QList>
#include <QString>

class QDate;

// The SQL texts of the board's editing: half-days and their notes, the events row and
// the presence states. A day's presence and a day's event are each one row (unique key),
// so every write of one is a single statement that inserts or updates: two workstations
// writing the same day never make the second one fail. A write to a stored day carries
// only the columns the user changed, so a board not refilled since another workstation
// wrote the day puts nothing of its old values back, and neither change is lost. A day
// not stored yet gets its row: a half-day with the table's defaults for the columns not
// written, an event with what its cell shows.
namespace presence {

// Longest texts the columns hold: notes and events, and a state's description.
constexpr int kLongueurNote = 255;
constexpr int kLongueurEtat = 50;

QString sqlCouleurDescriptionEtat(qint32 idEtat);

// Which half-days of a day a choice of state gives the state: the morning or the
// afternoon with its note, or the whole day, whose afternoon takes the state alone.
enum class DemiJournees { Matin, ApresMidi, Journee };

// One statement giving a state to the half-days of one employee's days. The note follows
// the text rule, decided against the stored row as the state is written: it becomes the
// new state's text (nothing for state 1) when it is empty or is, byte for byte, the text of
// the state stored before; a note someone typed stays. The afternoon of a whole day keeps
// an empty note empty. A day without a row gets one, with the new state's text as the
// note (none for state 1). A state removed meanwhile writes nothing. Whatever another
// workstation wrote before, a stored note is never the text of a state it no longer has.
QString sqlEcrireEtat(DemiJournees cible, qint32 idEtat, qint32 noEmploye, const QList<QDate>& jours);
// One half-day's note alone; a new row takes the default state for both half-days.
QString sqlEcrireNote(bool am, qint32 noEmploye, const QDate& date, const QString& note);
// Empties the morning and/or afternoon notes of one employee's days, in one statement;
// the states stay as stored, a day without a row gets one with the default states.
QString sqlEffacerNotes(bool am, bool pm, qint32 noEmploye, const QList<QDate>& jours);

// What a change of an events cell writes to a stored day: its text, or one colour.
enum class ChampEvenement { Description, BackColor, ForeColor };
// A day without a row gets one with the cell's text and colours; a stored day changes
// only in `champ`.
QString sqlEcrireEvenement(const QDate& date, const QString& description, qint64 back, qint64 fore,
                           ChampEvenement champ);
QString sqlSupprimerEvenement(const QDate& date);

// Some half-day uses the state (a row, or none).
QString sqlEtatUtilise(qint32 idEtat);
QString sqlAjouterEtat(const QString& description, qint64 couleur);
QString sqlCouleurEtat(qint32 idEtat, qint64 couleur);
QString sqlRenommerEtat(qint32 idEtat, const QString& description);
// Removes the state only while no half-day uses it: the test and the removal are one
// statement, so a presence written in between keeps its state.
QString sqlRetirerEtatInutilise(qint32 idEtat);

} // namespace presence
