#include "followup/EditQueries.h"

#include "platform/SqlText.h"

#include <QDateTime>

namespace followup {

using platform::num;

namespace {

// ", DateTermine = '…', Nouveau = 0" for the finishing state, nothing for the others:
// another state leaves the finish time and the unread flag as they are.
QString finition(int idEtat, const QDateTime& now) {
    if (idEtat != kEtatTermine) return QString();
    return QStringLiteral(", DateTermine = ") + platform::sqlDateTime(now) + QStringLiteral(", Nouveau = 0");
}

} // namespace

QString sqlPrioritesPicker() {
    return QStringLiteral("SELECT * FROM tblpriorite");
}

QString sqlEtatsPicker() {
    return QStringLiteral("SELECT * FROM tbletatmessage Order by Ordre");
}

QString sqlDestinatairesEtat(qint32 idMessage) {
    return QStringLiteral(
               "SELECT tblemploye.Nom, tblmessageemploye.IdEtat, tblmessageemploye.Nouveau,"
               " tblEtatMessage.Ordre FROM tblemploye"
               " INNER JOIN tblmessageemploye ON (tblemploye.NoEmploye = tblmessageemploye.NoEmplA)"
               " INNER JOIN tblEtatMessage ON (tblmessageemploye.IdEtat = tblEtatMessage.IdEtat)"
               " WHERE tblmessageemploye.IdMessage = ") +
           num(idMessage);
}

QString sqlUpdatePriorite(int idPriorite, qint32 idMessage) {
    return QStringLiteral("UPDATE tblmessage SET IdPriorite = ") + num(idPriorite) +
           QStringLiteral(" WHERE IdMessage = ") + num(idMessage);
}

QString sqlNoEmplA(qint32 idMessage) {
    return QStringLiteral("SELECT NoEmplA FROM tblmessageemploye WHERE IdMessage = ") + num(idMessage);
}

QString sqlUpdateEtat(int idEtat, qint32 idMessage, const QDateTime& now) {
    return QStringLiteral("UPDATE tblmessageemploye SET IdEtat = ") + num(idEtat) + finition(idEtat, now) +
           QStringLiteral("  WHERE IdMessage = ") + num(idMessage);
}

QString sqlUpdateEtatEmploye(int idEtat, qint32 idMessage, qint32 noEmplA, const QDateTime& now) {
    return sqlUpdateEtat(idEtat, idMessage, now) + QStringLiteral(" AND NoEmplA = ") + num(noEmplA);
}

QString sqlOrdreEtatEmploye(int noEmploye, qint32 idMessage) {
    return QStringLiteral(
               "SELECT Ordre FROM tbletatmessage"
               " INNER JOIN tblmessageemploye ON (tbletatmessage.IdEtat = tblmessageemploye.IdEtat)"
               " WHERE tblmessageemploye.NoEmplA = ") +
           num(noEmploye) + QStringLiteral(" AND tblmessageemploye.IdMessage = ") + num(idMessage);
}

QString sqlOrdreEtat(int idEtat) {
    return QStringLiteral("SELECT Ordre FROM tbletatmessage WHERE IdEtat = ") + num(idEtat);
}

QString sqlDescriptionEtat(int idEtat) {
    return QStringLiteral("SELECT Description FROM tbletatmessage WHERE IdEtat = ") + num(idEtat);
}

QString sqlNomEmploye(qint32 noEmploye) {
    return QStringLiteral("SELECT Nom FROM tblemploye WHERE NoEmploye = ") + num(noEmploye);
}

QString sqlTexteMessage(qint32 idMessage) {
    return QStringLiteral("SELECT Message FROM tblmessage WHERE IdMessage = ") + num(idMessage);
}

QString sqlVerrouMessage(qint32 idMessage) {
    return QStringLiteral("SELECT IdMessage FROM tblmessage WHERE IdMessage = ") + num(idMessage) +
           QStringLiteral(" FOR UPDATE");
}

QString ligneAudit(const QString& description, const QDateTime& now, const QString& nom, bool apresTexte) {
    // A lone line feed: the text box turns it into a paragraph end like any other.
    QString ligne = apresTexte ? QStringLiteral("\n") : QString();
    ligne += description + QStringLiteral(" le ") + now.date().toString(QStringLiteral("yyyy-MM-dd")) +
             QStringLiteral(" à ") + now.time().toString(QStringLiteral("HH:mm:ss")) +
             QStringLiteral(" par ") + nom;
    return ligne;
}

QString sqlUpdateMessage(const QString& rtf, qint32 idMessage) {
    return QStringLiteral("UPDATE tblmessage SET Message = ") + platform::sqlRichText(rtf) +
           QStringLiteral(" WHERE IdMessage = ") + num(idMessage);
}

QString sqlEmployesMessage(qint32 idMessage) {
    return QStringLiteral(
               "SELECT Nom, NoEmploye FROM tblemploye"
               " INNER JOIN tblmessageemploye ON (tblemploye.NoEmploye = tblmessageemploye.NoEmplA)"
               " WHERE tblmessageemploye.IdMessage = ") +
           num(idMessage);
}

} // namespace followup
