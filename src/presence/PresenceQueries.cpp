#include "presence/PresenceQueries.h"

#include "platform/SqlText.h"

#include <QDate>

using platform::sqlDate;
using platform::sqlQuote;

namespace presence {

QString sqlAccesGestion(qint32 noEmploye) {
    return QStringLiteral("SELECT typeAcces FROM tblacces_empl WHERE NoEmploye = %1 AND typeAcces = 16")
        .arg(noEmploye);
}

QString sqlAffPresenceAuto(qint32 noEmploye) {
    return QStringLiteral("SELECT AffPresenceAuto FROM tblemploye WHERE NoEmploye = %1").arg(noEmploye);
}

QString sqlUpdateAffPresenceAuto(bool affiche, qint32 noEmploye) {
    return QStringLiteral("UPDATE tblemploye SET AffPresenceAuto = %1 WHERE NoEmploye = %2")
        .arg(affiche ? 1 : 0)
        .arg(noEmploye);
}

QString sqlEtatsPresence() {
    return QStringLiteral("SELECT IdEtat, Description, Couleur FROM tbletatpresence");
}

QString sqlEmployeCourant(qint32 noEmploye) {
    return QStringLiteral("SELECT NoEmploye, Nom FROM tblemploye WHERE NoEmploye = %1").arg(noEmploye);
}

QString sqlEmployesOrdonnes(qint32 noEmployeCourant) {
    return QStringLiteral(
               "SELECT tblemploye.NoEmploye, tblemploye.Nom FROM tblemploye"
               " INNER JOIN tblacces_empl ON (tblemploye.NoEmploye = tblacces_empl.NoEmploye)"
               " INNER JOIN tblordreemployemsg ON (tblemploye.NoEmploye = tblordreemployemsg.NoEmploye)"
               " WHERE tblacces_empl.typeAcces = 14 AND tblemploye.Actif = 1"
               " AND tblemploye.NoEmploye <> %1"
               " ORDER BY tblordreemployemsg.Ordre")
        .arg(noEmployeCourant);
}

QString sqlEmployesAutres(qint32 noEmployeCourant) {
    return QStringLiteral("SELECT tblemploye.NoEmploye, tblemploye.Nom FROM tblemploye"
                          " INNER JOIN tblacces_empl ON (tblemploye.NoEmploye = tblacces_empl.NoEmploye)"
                          " WHERE tblacces_empl.typeAcces = 14 AND tblemploye.Actif = 1"
                          " AND tblemploye.NoEmploye <> %1"
                          " AND tblemploye.NoEmploye NOT IN (SELECT tblordreemployemsg.NoEmploye FROM "
                          "tblordreemployemsg)"
                          " ORDER BY tblemploye.Nom")
        .arg(noEmployeCourant);
}

QString sqlPresenceJour(qint32 noEmploye, const QDate& date) {
    return QStringLiteral("SELECT tblpresences.EtatAM, tblpresences.EtatPM, tblpresences.DescripAM, "
                          "tblpresences.DescripPM,"
                          " tbletatpresence.Couleur AS CouleurAM, tbletatpresence1.Couleur AS CouleurPM"
                          " FROM tblpresences"
                          " INNER JOIN tbletatpresence ON (tblpresences.EtatAM = tbletatpresence.IdEtat)"
                          " INNER JOIN tbletatpresence AS tbletatpresence1 ON (tblpresences.EtatPM = "
                          "tbletatpresence1.IdEtat)"
                          " WHERE tblpresences.NoEmploye = %1 AND tblpresences.DatePresence = %2")
        .arg(noEmploye)
        .arg(sqlDate(date));
}

namespace {
QString moisJour(int month, int day) {
    return QStringLiteral("EXTRACT(MONTH FROM DateFete) = %1 AND EXTRACT(DAY FROM DateFete) = %2")
        .arg(sqlQuote(QString::number(month)), sqlQuote(QString::number(day)));
}
} // namespace

QString sqlAnniversaires(const QDate& date) {
    QString condition;
    if (date.month() == 2 && date.day() == 28 && !estBissextile(date.year())) {
        // In a common year the people born on February 29 celebrate on the 28th.
        condition = QStringLiteral("((%1) OR (%2))").arg(moisJour(2, 28), moisJour(2, 29));
    } else {
        condition = moisJour(date.month(), date.day());
    }
    return QStringLiteral("SELECT Nom FROM tblemploye WHERE %1 AND Actif = 1").arg(condition);
}

QString sqlEvenementJour(const QDate& date) {
    return QStringLiteral(
               "SELECT Description, BackColor, ForeColor FROM tblevenement WHERE DateEvenement = %1")
        .arg(sqlDate(date));
}

bool estBissextile(int year) {
    return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
}

} // namespace presence
