#include "presence/PresenceEditQueries.h"

#include "platform/SqlText.h"

#include <QDate>

using platform::sqlDate;
using platform::sqlQuote;

namespace presence {

// A typed text goes in by the one-pass arg() with every value: a "%1" in it stays text.

QString sqlDescriptionEtat(qint32 idEtat) {
    return QStringLiteral("SELECT Description FROM tbletatpresence WHERE IdEtat = %1").arg(idEtat);
}

QString sqlCouleurDescriptionEtat(qint32 idEtat) {
    return QStringLiteral("SELECT Couleur, Description FROM tbletatpresence WHERE IdEtat = %1").arg(idEtat);
}

QString sqlEcrireDemiJournee(bool am, qint32 idEtat, qint32 noEmploye, const QDate& date, bool withNote,
                             const QString& note, const QString& affichee) {
    const QString etat = am ? QStringLiteral("EtatAM") : QStringLiteral("EtatPM");
    const QString descrip = am ? QStringLiteral("DescripAM") : QStringLiteral("DescripPM");
    if (!withNote) {
        return QStringLiteral("INSERT INTO tblpresences (NoEmploye, DatePresence, %1) VALUES (%2, %3, %4)"
                              " ON DUPLICATE KEY UPDATE %1 = VALUES(%1)")
            .arg(etat)
            .arg(noEmploye)
            .arg(sqlDate(date))
            .arg(idEtat);
    }
    // The board shows a missing note as an empty one; compared byte for byte, since the
    // column's collation would take "absent" for "Absent".
    return QStringLiteral("INSERT INTO tblpresences (NoEmploye, DatePresence, %1, %2) VALUES (%3, %4, %5, %6)"
                          " ON DUPLICATE KEY UPDATE %1 = VALUES(%1), %2 = IF(CAST(IFNULL(%2, '') AS BINARY)"
                          " = CAST(%7 AS BINARY), VALUES(%2), %2)")
        .arg(etat, descrip, QString::number(noEmploye), sqlDate(date), QString::number(idEtat),
             sqlQuote(note), sqlQuote(affichee));
}

QString sqlEcrireNote(bool am, qint32 noEmploye, const QDate& date, const QString& note) {
    const QString descrip = am ? QStringLiteral("DescripAM") : QStringLiteral("DescripPM");
    return QStringLiteral("INSERT INTO tblpresences (NoEmploye, DatePresence, %1)"
                          " VALUES (%2, %3, %4) ON DUPLICATE KEY UPDATE %1 = VALUES(%1)")
        .arg(descrip, QString::number(noEmploye), sqlDate(date), sqlQuote(note));
}

QString sqlEcrireEvenement(const QDate& date, const QString& description, qint64 back, qint64 fore,
                           ChampEvenement champ) {
    const QString colonne = champ == ChampEvenement::Description ? QStringLiteral("Description")
                            : champ == ChampEvenement::BackColor ? QStringLiteral("BackColor")
                                                                 : QStringLiteral("ForeColor");
    return QStringLiteral("INSERT INTO tblevenement (DateEvenement, Description, BackColor, ForeColor)"
                          " VALUES (%1, %2, %3, %4) ON DUPLICATE KEY UPDATE %5 = VALUES(%5)")
        .arg(sqlDate(date), sqlQuote(description), QString::number(back), QString::number(fore), colonne);
}

QString sqlSupprimerEvenement(const QDate& date) {
    return QStringLiteral("DELETE FROM tblevenement WHERE DateEvenement = %1").arg(sqlDate(date));
}

QString sqlEtatUtilise(qint32 idEtat) {
    return QStringLiteral("SELECT IdPresence FROM tblpresences WHERE EtatAM = %1 OR EtatPM = %1 LIMIT 1")
        .arg(idEtat);
}

QString sqlAjouterEtat(const QString& description, qint64 couleur) {
    return QStringLiteral("INSERT INTO tbletatpresence (Description, Couleur) VALUES (%1, %2)")
        .arg(sqlQuote(description), QString::number(couleur));
}

QString sqlCouleurEtat(qint32 idEtat, qint64 couleur) {
    return QStringLiteral("UPDATE tbletatpresence SET Couleur = %1 WHERE IdEtat = %2")
        .arg(couleur)
        .arg(idEtat);
}

QString sqlRenommerEtat(qint32 idEtat, const QString& description) {
    return QStringLiteral("UPDATE tbletatpresence SET Description = %1 WHERE IdEtat = %2")
        .arg(sqlQuote(description), QString::number(idEtat));
}

QString sqlRetirerEtatInutilise(qint32 idEtat) {
    return QStringLiteral("DELETE FROM tbletatpresence WHERE IdEtat = %1 AND NOT EXISTS"
                          " (SELECT IdPresence FROM tblpresences WHERE EtatAM = %1 OR EtatPM = %1)")
        .arg(idEtat);
}

} // namespace presence
