#include "followup/MessageQueries.h"

#include "platform/SqlText.h"

#include <QDateTime>
#include <QTime>

namespace followup {

using platform::num;

namespace {

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

// The recipient rows of `table` that the finished-messages choice lets count: not finished,
// or finished within the interval; empty when every row counts.
QString conditionTermine(const MessageFilter& f, const QString& table) {
    const QString etat = table + QStringLiteral(".IdEtat <> 4");
    if (!f.affTermine) return etat;
    if (!f.intervalle) return QString();
    return QStringLiteral("(") + etat + QStringLiteral(" OR ") + table +
           QStringLiteral(".DateTermine BETWEEN ") + platform::sqlDate(f.dateMin) + QStringLiteral(" AND ") +
           platform::sqlDateTime(QDateTime(f.dateMax, QTime(23, 59, 59))) + QStringLiteral(")");
}

// The messages the grid shows: those with a recipient row, anyone's, that still counts.
// Whichever row a record carries, it is listed exactly when one does (its own when not
// finished, else another's), so the server leaves out what the grid would drop. Nothing
// when a number is searched or every finished message is shown.
QString clauseAffichees(const MessageFilter& f) {
    const QString condition = conditionTermine(f, QStringLiteral("qualifiee"));
    if (f.idMessage > 0 || condition.isEmpty()) return QString();
    return QStringLiteral(
               " AND tblmessage.IdMessage IN (SELECT qualifiee.IdMessage FROM tblmessageemploye AS "
               "qualifiee WHERE ") +
           condition + QStringLiteral(")");
}

// The WHERE clause of the message query: employee, caller, telephone and number, and,
// unless told otherwise, only the messages the grid shows.
QString filtresMessages(const MessageFilter& f, bool affichees = true) {
    QString sql = clauseEmployeClient(f) + clauseTelephone(f);
    if (f.idMessage > 0) sql += QStringLiteral(" AND tblmessage.IdMessage = ") + num(f.idMessage);
    if (affichees) sql += clauseAffichees(f);
    return sql;
}

// Keeps a detail statement to the messages the message query can list, by its filters
// alone; nothing when every message is listed. The few more it may let through (whose
// recipient row names a missing employee or state) are never looked up. A join rather than
// IN: the server then starts from the few listed messages instead of every detail row.
QString restriction(const QString& colonne, const MessageFilter& f, const QString& condition = QString()) {
    if (f.intNoEmploye == 0 && f.lngIdClientMsg <= 0 && clauseTelephone(f).isEmpty() && f.idMessage <= 0 &&
        clauseAffichees(f).isEmpty() && condition.isEmpty())
        return QString();
    return QStringLiteral(" INNER JOIN (SELECT DISTINCT tblmessageemploye.IdMessage FROM tblmessageemploye"
                          " INNER JOIN tblmessage ON (tblmessage.IdMessage = tblmessageemploye.IdMessage)"
                          " LEFT JOIN tblclientmsg ON (tblmessage.IdClientMsg = tblclientmsg.IdClientMsg)") +
           filtresMessages(f) + condition + QStringLiteral(") AS liste ON (liste.IdMessage = ") + colonne +
           QStringLiteral(")");
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
        "tblmessageemploye.NoMsgJourEnvoi, tblmessageemploye.NoEmplA, tblmessageemploye.NoEmplDe,"
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
    const QString condition = conditionTermine(f, QStringLiteral("tblmessageemploye"));
    return condition.isEmpty() ? QString() : QStringLiteral(" AND ") + condition;
}

QString sqlMessages(const MessageFilter& f) {
    // A message is kept by the recipient rows it has, not joined to them: the program picks
    // the row each record carries from sqlDestinatairesLignes, and the server neither
    // groups nor sorts the texts through a temporary table. The text comes as the server's
    // UTF-8 bytes, which a row keeps until it is shown.
    QString sql;
    if (f.intNoEmploye != 0)
        sql += (f.booRecu ? QStringLiteral(" AND tblmessage.IdMessage IN (SELECT tblmessageemploye.IdMessage "
                                           "FROM tblmessageemploye WHERE tblmessageemploye.NoEmplA = ")
                          : QStringLiteral(" AND tblmessage.IdMessage IN (SELECT tblmessageemploye.IdMessage "
                                           "FROM tblmessageemploye WHERE tblmessageemploye.NoEmplDe = ")) +
               num(f.intNoEmploye) + QStringLiteral(")");
    if (f.lngIdClientMsg > 0) sql += QStringLiteral(" AND tblmessage.IdClientMsg = ") + num(f.lngIdClientMsg);
    sql += clauseTelephone(f);
    if (f.idMessage > 0) sql += QStringLiteral(" AND tblmessage.IdMessage = ") + num(f.idMessage);
    sql += clauseAffichees(f);
    if (!sql.isEmpty()) sql = QStringLiteral(" WHERE ") + sql.mid(5); // the first " AND "
    return QStringLiteral(
               "SELECT tblmessage.IdMessage, tblmessage.DateSaisie, tblmessage.HeureSaisie, "
               "tblmessage.IdPriorite,"
               " CONCAT_WS(',', tblclientmsg.Nom, tblclientmsg.Prenom, tblclientmsg.NomCie) AS Client,"
               " tblclientmsg.Telephone, tblclientmsg.TelBureau, tblclientmsg.Cellulaire,"
               " tblclientmsg.AutreTel, tblclientmsg.Fax, CAST(tblmessage.Message AS BINARY) AS Message"
               " FROM tblmessage"
               " LEFT JOIN tblclientmsg ON (tblmessage.IdClientMsg = tblclientmsg.IdClientMsg)") +
           sql +
           QStringLiteral(" ORDER BY tblmessage.DateSaisie, tblmessage.HeureSaisie, tblmessage.IdMessage");
}

QString sqlDernierMessageLu(const MessageFilter& f) {
    // The messages walked from the newest by the index of their date: the first one with a
    // row of the employee ends it. Left to itself the server would join every row of the
    // employee (every row at all under "Tous") and sort them all for that one message.
    QString sql = QStringLiteral(
        "SELECT STRAIGHT_JOIN tblmessage.IdMessage FROM tblmessage"
        " LEFT JOIN tblclientmsg ON (tblmessage.IdClientMsg = tblclientmsg.IdClientMsg)"
        " INNER JOIN tblmessageemploye ON (tblmessage.IdMessage = tblmessageemploye.IdMessage)"
        " INNER JOIN tblemploye AS tblemploye1 ON (tblmessageemploye.NoEmplDe = tblemploye1.NoEmploye)"
        " INNER JOIN tblemploye AS tblemploye2 ON (tblmessageemploye.NoEmplA = tblemploye2.NoEmploye)"
        " INNER JOIN tbletatmessage ON (tblmessageemploye.IdEtat = tbletatmessage.IdEtat)");
    sql += filtresMessages(f, false);
    return sql + QStringLiteral(" ORDER BY tblmessage.DateSaisie DESC, tblmessage.HeureSaisie DESC,"
                                " tblmessage.IdMessage DESC LIMIT 1");
}

QString sqlMessageUnique(qint32 idMessage) {
    return sqlMessageSelect() + QStringLiteral(" WHERE tblmessage.IdMessage = ") + num(idMessage) +
           QStringLiteral(" ORDER BY tblmessageemploye.IdMessageEmploye");
}

QString sqlDestinatairesLignes(const MessageFilter& f) {
    // The rows alone, in the order of the table itself: names and states are few and are
    // looked up in the program (sqlNomsEmployes, sqlOrdresEtats). The daily numbers show
    // only in one employee's lists, and whether a row still counts matters only when
    // finished rows may not: a list of every message leaves them out.
    const QString condition = conditionTermine(f, QStringLiteral("tblmessageemploye"));
    QString colonnes = QStringLiteral(
        "SELECT tblmessageemploye.IdMessage, tblmessageemploye.NoEmplA, tblmessageemploye.NoEmplDe,"
        " tblmessageemploye.IdEtat, tblmessageemploye.Nouveau");
    if (f.intNoEmploye >= 1)
        colonnes += QStringLiteral(", tblmessageemploye.NoMsgJourRecu, tblmessageemploye.NoMsgJourEnvoi");
    if (!condition.isEmpty()) colonnes += QStringLiteral(", ") + condition + QStringLiteral(" AS Compte");
    return colonnes + QStringLiteral(" FROM tblmessageemploye") +
           restriction(QStringLiteral("tblmessageemploye.IdMessage"), f) +
           QStringLiteral(" ORDER BY tblmessageemploye.IdMessageEmploye");
}

QString sqlNomsEmployes() {
    return QStringLiteral("SELECT NoEmploye, Nom FROM tblemploye");
}

QString sqlOrdresEtats() {
    return QStringLiteral("SELECT IdEtat, Ordre, Description FROM tbletatmessage");
}

QString sqlTypesListe(const MessageFilter& f) {
    return QStringLiteral("SELECT tblmessagetype.IdMessage, tbltypemessage.Description AS Descr"
                          " FROM tblmessagetype"
                          " INNER JOIN tbltypemessage ON tblmessagetype.IdType = tbltypemessage.IdType") +
           restriction(QStringLiteral("tblmessagetype.IdMessage"), f) +
           QStringLiteral(" ORDER BY tblmessagetype.IdMessage, tblmessagetype.IdType");
}

QString sqlDossiersListe(const MessageFilter& f) {
    return QStringLiteral("SELECT tblmessagedossier.IdMessage, tblmessagedossier.NoDossier AS NoDos"
                          " FROM tblmessagedossier") +
           restriction(QStringLiteral("tblmessagedossier.IdMessage"), f) +
           QStringLiteral(" ORDER BY tblmessagedossier.IdMessageDossier");
}

QString sqlTypeMessage(qint32 idMessage) {
    return QStringLiteral("SELECT tbltypemessage.Description AS Descr"
                          " FROM tblmessagetype"
                          " INNER JOIN tbltypemessage ON tblmessagetype.IdType = tbltypemessage.IdType"
                          " WHERE IdMessage = ") +
           num(idMessage) + QStringLiteral(" ORDER BY tblmessagetype.IdType");
}

QString sqlDossierDetail(qint32 idMessage) {
    return QStringLiteral("SELECT tblmessagedossier.NoDossier AS NoDos"
                          " FROM tblmessagedossier"
                          " WHERE IdMessage = ") +
           num(idMessage) + QStringLiteral(" ORDER BY tblmessagedossier.IdMessageDossier");
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

QString sqlCompteEtats(const MessageFilter& f) {
    QString sql =
        QStringLiteral("SELECT tbletatmessage.IdEtat, tbletatmessage.Description,"
                       " COUNT(DISTINCT tblmessage.IdMessage) AS NbMsg FROM tbletatmessage"
                       " INNER JOIN tblmessageemploye ON (tblmessageemploye.IdEtat = tbletatmessage.IdEtat)"
                       " INNER JOIN tblmessage ON (tblmessage.IdMessage = tblmessageemploye.IdMessage)"
                       " LEFT JOIN tblclientmsg ON (tblmessage.IdClientMsg = tblclientmsg.IdClientMsg)");
    sql += clauseEmployeListes(f);
    if (f.lngIdClientMsg > 0) sql += QStringLiteral(" AND tblmessage.IdClientMsg = ") + num(f.lngIdClientMsg);
    return sql + clauseTelephone(f) +
           QStringLiteral(" GROUP BY tbletatmessage.IdEtat ORDER BY tbletatmessage.IdEtat");
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
