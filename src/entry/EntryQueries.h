#pragma once

#include <QString>
#include <QStringList>

class QDate;
class QTime;

// The SQL texts of the message form, built by concatenation so that the exact
// statement can be logged. Every text value goes through the quoting helpers.
namespace entry::sql {

// Callers for the caller combo, by name.
QString clientsSelect();
// Employees who may receive messages (right 14), active, in the office's order:
// those ordered in tblordreemployemsg first, then the others by name.
QString destinatairesPossiblesSelect();
QString prioritesSelect();
QString etatsSelect();
QString typesSelect();

// One message with its caller's name and telephone numbers (no row when unknown).
QString messageSelect(qint32 idMessage);
QString messageTypesSelect(qint32 idMessage);
QString messageDossiersSelect(qint32 idMessage);
// The recipient rows of a message with the recipient's name and the state's text.
QString messageDestinatairesSelect(qint32 idMessage);
// Marks the message read for one recipient: the message form and the message list's
// editor and state picker all clear the unread flag through this statement.
QString marquerLu(qint32 idMessage, qint32 noEmplA);

QString messageInsert(const QDate& date, const QTime& heure, int idPriorite, qint32 idClientMsg,
                      const QString& rtf);
QString prioriteUpdate(qint32 idMessage, int idPriorite);
QString dossierInsert(qint32 idMessage, const QString& noDossier);
QString typeInsert(qint32 idMessage, int idType);
// Highest daily number of one employee among the messages entered on that date,
// read as the column NoMax (NULL when he has none yet).
QString maxNoMsgJourRecu(qint32 noEmplA, const QDate& date);
QString maxNoMsgJourEnvoi(qint32 noEmplDe, const QDate& date);
QString destinataireInsert(qint32 idMessage, qint32 noEmplDe, qint32 noEmplA, int idEtat, int noMsgJourRecu,
                           int noMsgJourEnvoi);

// Folder numbers typed as "1234, 5678": trimmed, empty pieces and repeats dropped.
QStringList parseDossiers(const QString& text);
// "Nom, Prénom, Compagnie", leaving out the empty parts.
QString clientText(const QString& nom, const QString& prenom, const QString& nomCie);

} // namespace entry::sql
