#pragma once

#include <QString>

class QDateTime;

// SQL texts of the in-place changes made in the message grid (priority, a recipient's
// state, the message text) and of the multi-recipient state dialog, built as pure
// functions so that the exact statements can be checked without a database.
// Numbers are written bare; rich text goes through platform::sqlRichText.
namespace followup {

// The id of the state that finishes a message: it stamps the finish time and clears
// the unread flag.
constexpr int kEtatTermine = 4;
// The id of the initial state: choosing it appends no audit line.
constexpr int kEtatOuvert = 1;
// The order of the state whose rows are struck through after a change.
constexpr int kOrdreBarre = 5;

// Entries of the priority picker and of the state picker.
QString sqlPrioritesPicker();
QString sqlEtatsPicker();
// Recipients of a message with their state's order and unread flag (recipients sub-grid).
QString sqlDestinatairesEtat(qint32 idMessage);

QString sqlUpdatePriorite(int idPriorite, qint32 idMessage);
// Recipient rows of a message, counted to choose between a direct change and the dialog.
QString sqlNoEmplA(qint32 idMessage);
// New state for every recipient row of the message; state 4 also stamps the finish
// time `now` and clears the unread flag.
QString sqlUpdateEtat(int idEtat, qint32 idMessage, const QDateTime& now);
// The same for one recipient's row (the dialog).
QString sqlUpdateEtatEmploye(int idEtat, qint32 idMessage, qint32 noEmplA, const QDateTime& now);
// Order of the chosen employee's own state on the message, or of a state by its id.
QString sqlOrdreEtatEmploye(int noEmploye, qint32 idMessage);
QString sqlOrdreEtat(int idEtat);

// Audit line: the state's description, its author's name and the message's stored text.
QString sqlDescriptionEtat(int idEtat);
QString sqlNomEmploye(qint32 noEmploye);
QString sqlTexteMessage(qint32 idMessage);
// Locks the message row until the end of the transaction.
QString sqlVerrouMessage(qint32 idMessage);
// "Terminé le 2026-12-07 à 14:03:12 par Julie", after a lone line feed when the
// message already has text.
QString ligneAudit(const QString& description, const QDateTime& now, const QString& nom, bool apresTexte);
// Stores a message's rich text exactly as given.
QString sqlUpdateMessage(const QString& rtf, qint32 idMessage);

// Recipients listed by the multi-recipient state dialog, in the order the server returns.
QString sqlEmployesMessage(qint32 idMessage);

} // namespace followup
