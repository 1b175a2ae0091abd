#include "followup/MessageQueries.h"

#include "platform/SqlText.h"

#include <QDateTime>
#include <QTime>

namespace followup {

namespace {

QString num(qint64 n) {
    return QString::number(n);
}

// Employee clause of the combo fillers and the status line: an employee number below 1
// means every employee.
QString clauseEmployeListes(const MessageFilter& f) {
    if (f.intNoEmploye < 1) return QStringLiteral(" WHERE tblmessageemploye.NoEmplA > -1");
    return (f.booRecu ? QStringLiteral(" WHERE tblmessageemploye.NoEmplA = ")
                      : QStringLiteral(" WHERE tblmessageemploye.NoEmplDe = ")) +
           num(f.intNoEmploye);
}

// Employee and caller clauses of the fill and of the probe: employee 0 means every employee.
QString clauseEmployeClient(const MessageFilter& f) {
    QString sql = f.intNoEmploye != 0 ? (f.booRecu ? QStringLiteral(" WHERE tblmessageemploye.NoEmplA = ")
                                                   : QStringLiteral(" WHERE tblmessageemploye.NoEmplDe = ")) +
                                            num(f.intNoEmploye)
                                      : QStringLiteral(" WHERE tblmessageemploye.NoEmplA > -1");
    if (f.lngIdClientMsg > 0) sql += QStringLiteral(" AND tblmessage.IdClientMsg = ") + num(f.lngIdClientMsg);
    return sql;
}

QString intervalle(const MessageFilter& f) {
    return QStringLiteral(" AND (tblmessageemploye.IdEtat <> 4 OR tblmessageemploye.DateTermine BETWEEN ") +
           platform::sqlDate(f.dateMin) + QStringLiteral(" AND ") +
           platform::sqlDateTime(QDateTime(f.dateMax, QTime(23, 59, 59))) + QStringLiteral(")");
}

} // namespace

QString sqlEmployesOrdonnes() {
    return QStringLiteral(
        "SELECT tblemploye.NoEmploye, tblemploye.Nom FROM tblemploye"
        " INNER JOIN tblacces_empl ON (tblemploye.NoEmploye = tblacces_empl.NoEmploye)"
        " INNER JOIN tblordreemployemsg ON (tblemploye.NoEmploye = tblordreemployemsg.NoEmploye)"
        " WHERE tblacces_empl.typeAcces = 14"
        " ORDER BY tblordreemployemsg.Ordre");
}

QString sqlEmployesNonOrdonnes() {
    return QStringLiteral("SELECT tblemploye.NoEmploye, tblemploye.Nom FROM tblemploye"
                          " INNER JOIN tblacces_empl ON (tblemploye.NoEmploye = tblacces_empl.NoEmploye)"
                          " WHERE tblacces_empl.typeAcces = 14 "
                          " AND tblemploye.NoEmploye NOT IN (SELECT tblordreemployemsg.NoEmploye FROM "
                          "tblordreemployemsg)"
                          " ORDER BY tblemploye.Nom");
}

QString sqlMessageSelect() {
    return QStringLiteral(
        "SELECT tblmessage.IdMessage, tblemploye1.Nom AS EmplDe, tblemploye2.Nom AS EmplA,"
        " tblmessage.DateSaisie, tblmessage.HeureSaisie, tblmessageemploye.IdEtat,tbletatmessage.Ordre,"
        " tblmessage.IdPriorite, tblmessageemploye.Nouveau, tblmessageemploye.NoMsgJourRecu, "
        "tblmessageemploye.NoMsgJourEnvoi,"
        " CONCAT_WS(',', tblclientmsg.Nom, tblclientmsg.Prenom, tblclientmsg.NomCie) AS Client,"
        " tblclientmsg.Telephone, tblclientmsg.TelBureau, tblclientmsg.Cellulaire,"
        " tblclientmsg.AutreTel, tblclientmsg.Fax, tblmessage.Message FROM tblmessage"
        " INNER JOIN tblmessageemploye ON (tblmessage.IdMessage = tblmessageemploye.IdMessage)"
        " INNER JOIN tblemploye AS tblemploye1 ON (tblmessageemploye.NoEmplDe = tblemploye1.NoEmploye)"
        " INNER JOIN tblemploye AS tblemploye2 ON (tblmessageemploye.NoEmplA = tblemploye2.NoEmploye)"
        " INNER JOIN tbletatmessage ON (tblmessageemploye.IdEtat = tbletatmessage.IdEtat)"
        " LEFT JOIN tblclientmsg ON (tblmessage.IdClientMsg = tblclientmsg.IdClientMsg)");
}

QString clauseTelephone(const MessageFilter& f) {
    if (!f.hasTelephone || f.telephone == QLatin1String("Tous")) return QString();
    const QString t = platform::sqlQuote(f.telephone);
    return QStringLiteral(" AND (tblclientmsg.Telephone = ") + t +
           QStringLiteral(" OR tblclientmsg.TelBureau = ") + t +
           QStringLiteral(" OR tblclientmsg.Cellulaire = ") + t +
           QStringLiteral(" OR tblclientmsg.AutreTel = ") + t + QStringLiteral(" OR tblclientmsg.Fax = ") +
           t + QStringLiteral(")");
}

QString clauseTermine(const MessageFilter& f) {
    if (!f.affTermine) return QStringLiteral(" AND tblmessageemploye.IdEtat <> 4");
    if (f.intervalle) return intervalle(f);
    return QString();
}

QString sqlMessages(const MessageFilter& f) {
    QString sql = sqlMessageSelect();
    sql += clauseEmployeClient(f);
    sql += clauseTelephone(f);
    if (f.idMessage > 0) sql += QStringLiteral(" AND tblmessage.IdMessage = ") + num(f.idMessage);
    sql += QStringLiteral(
        " GROUP BY tblmessage.IdMessage ORDER BY tblmessage.DateSaisie, tblmessage.HeureSaisie");
    return sql;
}

QString sqlMessageUnique(qint32 idMessage) {
    return sqlMessageSelect() + QStringLiteral(" WHERE tblmessage.IdMessage = ") + num(idMessage);
}

QString sqlVerifDestinataires(const MessageFilter& f, qint32 idMessage) {
    QString sql =
        QStringLiteral("SELECT NoEmplA FROM tblmessageemploye WHERE tblmessageemploye.IdMessage = ") +
        num(idMessage);
    return sql + clauseTermine(f);
}

QString sqlDestinataires(qint32 idMessage) {
    return QStringLiteral(
               "SELECT tblemploye.Nom AS EmplA, tblmessageemploye.IdEtat FROM tblemploye"
               " INNER JOIN tblmessageemploye ON (tblemploye.NoEmploye = tblmessageemploye.NoEmplA)"
               " WHERE tblmessageemploye.IdMessage = ") +
           num(idMessage);
}

QString sqlTypeMessage(qint32 idMessage) {
    return QStringLiteral("SELECT tbltypemessage.Description AS Descr"
                          " FROM tblmessagetype"
                          " INNER JOIN tbltypemessage ON tblmessagetype.IdType = tbltypemessage.IdType"
                          " WHERE IdMessage = ") +
           num(idMessage);
}

QString sqlDossierDetail(qint32 idMessage) {
    return QStringLiteral("SELECT tblmessagedossier.NoDossier AS NoDos"
                          " FROM tblmessagedossier"
                          " WHERE IdMessage = ") +
           num(idMessage);
}

QString sqlCboClientMsg(const MessageFilter& f) {
    return QStringLiteral(
               "SELECT tblclientmsg.IdClientMsg, tblclientmsg.Nom, tblclientmsg.Prenom, tblclientmsg.NomCie"
               " FROM tblclientmsg"
               " INNER JOIN tblmessage ON (tblclientmsg.IdClientMsg = tblmessage.IdClientMsg)"
               " INNER JOIN tblmessageemploye ON (tblmessage.IdMessage = tblmessageemploye.IdMessage)") +
           clauseEmployeListes(f) + clauseTermine(f) +
           QStringLiteral(
               " GROUP BY tblclientmsg.IdClientMsg ORDER BY tblclientmsg.Nom, tblclientmsg.Prenom, "
               "tblclientmsg.NomCie");
}

QString sqlCboTelephone(const MessageFilter& f) {
    return QStringLiteral(
               "SELECT Telephone, TelBureau, Cellulaire, AutreTel, Fax FROM tblclientmsg"
               " INNER JOIN tblmessage ON (tblclientmsg.IdClientMsg = tblmessage.IdClientMsg)"
               " INNER JOIN tblmessageemploye ON (tblmessage.IdMessage = tblmessageemploye.IdMessage)") +
           clauseEmployeListes(f) + clauseTermine(f) + QStringLiteral(" GROUP BY tblclientmsg.IdClientMsg");
}

QString sqlEtatsMessage() {
    return QStringLiteral("SELECT * FROM tbletatmessage");
}

QString sqlCompteEtat(const MessageFilter& f, int idEtat) {
    QString sql =
        QStringLiteral("SELECT COUNT(tblmessage.IdMessage) AS NbMsg FROM tblmessage"
                       " LEFT JOIN tblclientmsg ON (tblmessage.IdClientMsg = tblclientmsg.IdClientMsg)"
                       " WHERE tblmessage.IdMessage IN (SELECT IdMessage FROM tblmessageemploye WHERE");
    if (f.intNoEmploye < 1)
        sql += QStringLiteral(" tblmessageemploye.IdEtat = ") + num(idEtat) + QStringLiteral(")");
    else
        sql += (f.booRecu ? QStringLiteral(" tblmessageemploye.NoEmplA = ")
                          : QStringLiteral(" tblmessageemploye.NoEmplDe = ")) +
               num(f.intNoEmploye) + QStringLiteral(" AND tblmessageemploye.IdEtat = ") + num(idEtat) +
               QStringLiteral(")");
    if (f.lngIdClientMsg > 0) sql += QStringLiteral(" AND tblmessage.IdClientMsg = ") + num(f.lngIdClientMsg);
    return sql + clauseTelephone(f);
}

QString sqlVerifNouveauMsg(const MessageFilter& f, qint32 dernierIdMessage) {
    QString sql =
        QStringLiteral("SELECT tblmessage.IdMessage FROM tblmessage"
                       " INNER JOIN tblmessageemploye ON (tblmessage.IdMessage = tblmessageemploye.IdMessage)"
                       " LEFT JOIN tblclientmsg ON (tblmessage.IdClientMsg = tblclientmsg.IdClientMsg)");
    sql += clauseEmployeClient(f);
    sql += QStringLiteral(" AND tblmessage.IdMessage > ") + num(dernierIdMessage) +
           QStringLiteral(" AND tblmessageemploye.IdEtat <> 4");
    sql += clauseTelephone(f);
    return sql + QStringLiteral(
                     " GROUP BY tblmessage.IdMessage ORDER BY tblmessage.DateSaisie, tblmessage.HeureSaisie"
                     " LIMIT 1");
}

} // namespace followup
