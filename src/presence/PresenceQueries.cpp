#include "presence/PresenceQueries.h"

#include "platform/SqlText.h"

#include <QDate>
#include <QList>
#include <QStringList>

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

QString sqlClesUniques() {
    return QStringLiteral(
        "SELECT TABLE_NAME AS Tableau, GROUP_CONCAT(COLUMN_NAME ORDER BY SEQ_IN_INDEX) AS Colonnes"
        " FROM information_schema.STATISTICS WHERE TABLE_SCHEMA = DATABASE()"
        " AND TABLE_NAME IN ('tblpresences', 'tblevenement') AND NON_UNIQUE = 0 GROUP BY TABLE_NAME, "
        "INDEX_NAME");
}

QString sqlEtatsPresence() {
    return QStringLiteral("SELECT IdEtat, Description, Couleur FROM tbletatpresence");
}

QString sqlEmployesTableau(qint32 noEmployeCourant) {
    const QString acces = QStringLiteral(
        " FROM tblemploye INNER JOIN tblacces_empl ON (tblemploye.NoEmploye = tblacces_empl.NoEmploye)");
    const QString actifs = QStringLiteral(" WHERE tblacces_empl.typeAcces = 14 AND tblemploye.Actif = 1"
                                          " AND tblemploye.NoEmploye <> %1")
                               .arg(noEmployeCourant);
    // Groupe keeps the three groups apart; NoEmploye settles what the others leave equal.
    return QStringLiteral(
               "SELECT NoEmploye, Nom, 0 AS Groupe, 0 AS Ordre FROM tblemploye WHERE NoEmploye = %1")
               .arg(noEmployeCourant) +
           QStringLiteral(
               " UNION ALL SELECT tblemploye.NoEmploye, tblemploye.Nom, 1, tblordreemployemsg.Ordre") +
           acces +
           QStringLiteral(
               " INNER JOIN tblordreemployemsg ON (tblemploye.NoEmploye = tblordreemployemsg.NoEmploye)") +
           actifs + QStringLiteral(" UNION ALL SELECT tblemploye.NoEmploye, tblemploye.Nom, 2, 0") + acces +
           actifs +
           QStringLiteral(" AND tblemploye.NoEmploye NOT IN (SELECT tblordreemployemsg.NoEmploye FROM "
                          "tblordreemployemsg)"
                          " ORDER BY Groupe, Ordre, Nom, NoEmploye");
}

QString sqlPresencesSemaine(const QList<qint32>& employes, const QDate& lundi) {
    return sqlPresencesJours(employes, lundi, lundi.addDays(6));
}

QString sqlPresencesJours(const QList<qint32>& employes, const QDate& du, const QDate& au) {
    QStringList numeros;
    for (qint32 no : employes)
        numeros << QString::number(no);
    return QStringLiteral(
               "SELECT tblpresences.NoEmploye, tblpresences.DatePresence, tblpresences.EtatAM, "
               "tblpresences.EtatPM, tblpresences.DescripAM, tblpresences.DescripPM,"
               " tbletatpresence.Couleur AS CouleurAM, tbletatpresence1.Couleur AS CouleurPM"
               " FROM tblpresences"
               " INNER JOIN tbletatpresence ON (tblpresences.EtatAM = tbletatpresence.IdEtat)"
               " INNER JOIN tbletatpresence AS tbletatpresence1 ON (tblpresences.EtatPM = "
               "tbletatpresence1.IdEtat)"
               " WHERE tblpresences.DatePresence BETWEEN %1 AND %2 AND tblpresences.NoEmploye IN (%3)")
        .arg(sqlDate(du), sqlDate(au), numeros.join(QLatin1Char(',')));
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

QString sqlAnniversairesSemaine(const QDate& lundi) {
    QStringList jours;
    for (int i = 0; i < 7; ++i) {
        const QDate d = lundi.addDays(i);
        jours << QStringLiteral("(%1)").arg(moisJour(d.month(), d.day()));
        if (d.month() == 2 && d.day() == 28 && !estBissextile(d.year()))
            jours << QStringLiteral("(%1)").arg(moisJour(2, 29));
    }
    return QStringLiteral(
               "SELECT Nom, EXTRACT(MONTH FROM DateFete) AS Mois, EXTRACT(DAY FROM DateFete) AS Jour"
               " FROM tblemploye WHERE (%1) AND Actif = 1 ORDER BY NoEmploye")
        .arg(jours.join(QStringLiteral(" OR ")));
}

QString sqlEvenementsSemaine(const QDate& lundi) {
    return QStringLiteral("SELECT DateEvenement, Description, BackColor, ForeColor FROM tblevenement"
                          " WHERE DateEvenement BETWEEN %1 AND %2")
        .arg(sqlDate(lundi), sqlDate(lundi.addDays(6)));
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
