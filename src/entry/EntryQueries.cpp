#include "entry/EntryQueries.h"

#include "platform/SqlText.h"

#include <QDate>
#include <QTime>

namespace entry::sql {

using platform::num;

QString clientsSelect() {
    return QStringLiteral(
        "SELECT IdClientMsg, Nom, Prenom, NomCie, Telephone, TelBureau, Cellulaire, AutreTel, Fax"
        " FROM tblclientmsg ORDER BY Nom, Prenom, NomCie, IdClientMsg");
}

QString destinatairesPossiblesSelect() {
    return QStringLiteral(
        "SELECT tblemploye.NoEmploye, tblemploye.Nom FROM tblemploye"
        " INNER JOIN tblacces_empl ON (tblacces_empl.NoEmploye = tblemploye.NoEmploye AND "
        "tblacces_empl.typeAcces = 14)"
        " LEFT JOIN tblordreemployemsg ON (tblemploye.NoEmploye = tblordreemployemsg.NoEmploye)"
        " WHERE tblemploye.Actif = 1"
        " ORDER BY (tblordreemployemsg.Ordre IS NULL), tblordreemployemsg.Ordre, tblemploye.Nom");
}

QString prioritesSelect() {
    return QStringLiteral("SELECT IdPriorite, Description FROM tblpriorite ORDER BY IdPriorite");
}

QString etatsSelect() {
    return QStringLiteral("SELECT IdEtat, Description FROM tbletatmessage ORDER BY Ordre, IdEtat");
}

QString typesSelect() {
    return QStringLiteral("SELECT IdType, Description FROM tbltypemessage ORDER BY Description");
}

QString messageSelect(qint32 idMessage) {
    return QStringLiteral(
               "SELECT tblmessage.IdMessage, tblmessage.DateSaisie, tblmessage.HeureSaisie,"
               " tblmessage.IdPriorite, tblmessage.IdClientMsg, tblmessage.Message,"
               " tblclientmsg.Nom, tblclientmsg.Prenom, tblclientmsg.NomCie, tblclientmsg.Telephone,"
               " tblclientmsg.TelBureau, tblclientmsg.Cellulaire, tblclientmsg.AutreTel, tblclientmsg.Fax"
               " FROM tblmessage LEFT JOIN tblclientmsg ON (tblmessage.IdClientMsg = "
               "tblclientmsg.IdClientMsg)"
               " WHERE tblmessage.IdMessage = ") +
           num(idMessage);
}

QString messageTypesSelect(qint32 idMessage) {
    return QStringLiteral("SELECT IdType FROM tblmessagetype WHERE IdMessage = ") + num(idMessage);
}

QString messageDossiersSelect(qint32 idMessage) {
    return QStringLiteral("SELECT NoDossier FROM tblmessagedossier WHERE IdMessage = ") + num(idMessage) +
           QStringLiteral(" ORDER BY IdMessageDossier");
}

QString messageDestinatairesSelect(qint32 idMessage) {
    return QStringLiteral("SELECT tblmessageemploye.NoEmplA, tblemploye.Nom, tblmessageemploye.IdEtat,"
                          " tbletatmessage.Description, tblmessageemploye.Nouveau FROM tblmessageemploye"
                          " LEFT JOIN tblemploye ON (tblmessageemploye.NoEmplA = tblemploye.NoEmploye)"
                          " LEFT JOIN tbletatmessage ON (tblmessageemploye.IdEtat = tbletatmessage.IdEtat)"
                          " WHERE tblmessageemploye.IdMessage = ") +
           num(idMessage) + QStringLiteral(" ORDER BY tblemploye.Nom");
}

QString marquerLu(qint32 idMessage, qint32 noEmplA) {
    return QStringLiteral("UPDATE tblmessageemploye SET Nouveau = 0 WHERE IdMessage = ") + num(idMessage) +
           QStringLiteral(" AND NoEmplA = ") + num(noEmplA);
}

QString messageInsert(const QDate& date, const QTime& heure, int idPriorite, qint32 idClientMsg,
                      const QString& rtf) {
    return QStringLiteral("INSERT INTO tblmessage (DateSaisie, HeureSaisie, IdPriorite, IdClientMsg, "
                          "Message) VALUES (") +
           platform::sqlDate(date) + QStringLiteral(", ") +
           platform::sqlQuote(heure.toString(QStringLiteral("HH:mm:ss"))) + QStringLiteral(", ") +
           num(idPriorite) + QStringLiteral(", ") + num(idClientMsg) + QStringLiteral(", ") +
           platform::sqlRichText(rtf) + QStringLiteral(")");
}

QString prioriteUpdate(qint32 idMessage, int idPriorite) {
    return QStringLiteral("UPDATE tblmessage SET IdPriorite = ") + num(idPriorite) +
           QStringLiteral(" WHERE IdMessage = ") + num(idMessage);
}

QString dossierInsert(qint32 idMessage, const QString& noDossier) {
    return QStringLiteral("INSERT INTO tblmessagedossier (IdMessage, NoDossier) VALUES (") + num(idMessage) +
           QStringLiteral(", ") + platform::sqlQuote(noDossier) + QStringLiteral(")");
}

QString typeInsert(qint32 idMessage, int idType) {
    return QStringLiteral("INSERT INTO tblmessagetype (IdMessage, IdType) VALUES (") + num(idMessage) +
           QStringLiteral(", ") + num(idType) + QStringLiteral(")");
}

namespace {
QString maxNoJour(const QString& column, const QString& employeColumn, qint32 noEmploye, const QDate& date) {
    return QStringLiteral("SELECT MAX(tblmessageemploye.") + column +
           QStringLiteral(") AS NoMax FROM tblmessageemploye"
                          " INNER JOIN tblmessage ON (tblmessageemploye.IdMessage = tblmessage.IdMessage)"
                          " WHERE tblmessageemploye.") +
           employeColumn + QStringLiteral(" = ") + num(noEmploye) +
           QStringLiteral(" AND tblmessage.DateSaisie = ") + platform::sqlDate(date);
}
} // namespace

QString maxNoMsgJourRecu(qint32 noEmplA, const QDate& date) {
    return maxNoJour(QStringLiteral("NoMsgJourRecu"), QStringLiteral("NoEmplA"), noEmplA, date);
}

QString maxNoMsgJourEnvoi(qint32 noEmplDe, const QDate& date) {
    return maxNoJour(QStringLiteral("NoMsgJourEnvoi"), QStringLiteral("NoEmplDe"), noEmplDe, date);
}

QString destinataireInsert(qint32 idMessage, qint32 noEmplDe, qint32 noEmplA, int idEtat, int noMsgJourRecu,
                           int noMsgJourEnvoi) {
    return QStringLiteral(
               "INSERT INTO tblmessageemploye (IdMessage, NoEmplDe, NoEmplA, Nouveau, IdEtat, DateTermine,"
               " NoMsgJourRecu, NoMsgJourEnvoi) VALUES (") +
           num(idMessage) + QStringLiteral(", ") + num(noEmplDe) + QStringLiteral(", ") + num(noEmplA) +
           QStringLiteral(", 1, ") + num(idEtat) + QStringLiteral(", NULL, ") + num(noMsgJourRecu) +
           QStringLiteral(", ") + num(noMsgJourEnvoi) + QStringLiteral(")");
}

QStringList parseDossiers(const QString& text) {
    QStringList out;
    const QStringList pieces = text.split(QLatin1Char(','));
    for (const QString& piece : pieces) {
        const QString d = piece.trimmed();
        if (!d.isEmpty() && !out.contains(d)) out << d;
    }
    return out;
}

QString clientText(const QString& nom, const QString& prenom, const QString& nomCie) {
    QStringList parts;
    for (const QString& p : {nom, prenom, nomCie})
        if (!p.trimmed().isEmpty()) parts << p.trimmed();
    return parts.join(QStringLiteral(", "));
}

} // namespace entry::sql
