#include "presence/PresenceEditQueries.h"

#include "platform/SqlText.h"

#include <QDate>
#include <QStringList>
#include <utility>

using platform::sqlDate;
using platform::sqlQuote;

namespace presence {

// A typed text goes in by the one-pass arg() with every value: a "%1" in it stays text.

QString sqlCouleurDescriptionEtat(qint32 idEtat) {
    return QStringLiteral("SELECT Couleur, Description FROM tbletatpresence WHERE IdEtat = %1").arg(idEtat);
}

namespace {

// The days as a derived table of one column, DatePresence.
QString tableJours(const QList<QDate>& jours) {
    QStringList lignes;
    for (const QDate& d : jours)
        lignes << QStringLiteral("SELECT %1 AS DatePresence").arg(sqlDate(d));
    return lignes.join(QStringLiteral(" UNION ALL "));
}

// The assignment of the note a half-day keeps or takes when its state becomes `idEtat`,
// decided on the row as stored: it comes before the state's own assignment, so the state
// it reads is still the one the note went with. A note that is the stored state's text
// becomes `nouveau`, the new state's text (state 1 never puts its text into a note: it
// leaves none); so does an empty note when `videPrend`; any other note is someone's own
// and stays. The comparison is byte for byte: the column's collation would take "absent",
// a note of someone's own, for the state "Absent".
QString regleTexte(const QString& etat, const QString& descrip, qint32 idEtat, const QString& nouveau,
                   bool videPrend) {
    const QString stockee = QStringLiteral("tblpresences.%1").arg(descrip);
    QString condition =
        QStringLiteral("CAST(%1 AS BINARY) = CAST((SELECT t.Description FROM tbletatpresence t"
                       " WHERE t.IdEtat = tblpresences.%2) AS BINARY)")
            .arg(stockee, etat);
    if (idEtat >= 2 && videPrend)
        condition = QStringLiteral("IFNULL(CHAR_LENGTH(%1), 0) = 0 OR %2").arg(stockee, condition);
    return QStringLiteral("%1 = IF(%2, %3, %4)")
        .arg(descrip, condition, idEtat >= 2 ? nouveau : QStringLiteral("''"), stockee);
}

} // namespace

QString sqlEcrireEtat(DemiJournees cible, qint32 idEtat, qint32 noEmploye, const QList<QDate>& jours) {
    const bool am = cible != DemiJournees::ApresMidi;
    const QString etat = am ? QStringLiteral("EtatAM") : QStringLiteral("EtatPM");
    const QString descrip = am ? QStringLiteral("DescripAM") : QStringLiteral("DescripPM");
    const bool journee = cible == DemiJournees::Journee;
    const QString nouveau = QStringLiteral("VALUES(%1)").arg(descrip);
    // The whole day: the afternoon takes the state; its note follows only when it was the
    // text of the state it had, and an empty one stays empty.
    const QString apresMidi = journee
                                  ? QStringLiteral(", %1, EtatPM = VALUES(EtatPM)")
                                        .arg(regleTexte(QStringLiteral("EtatPM"), QStringLiteral("DescripPM"),
                                                        idEtat, nouveau, false))
                                  : QString();
    // The new row's note and the new state's text come from the state's own row, read in
    // the same statement: a state removed since the menu was made gives no row to write.
    return QStringLiteral("INSERT INTO tblpresences (NoEmploye, DatePresence, %1, %2%3)"
                          " SELECT %4, j.DatePresence, e.IdEtat, %5%6 FROM tbletatpresence e"
                          " CROSS JOIN (%7) j WHERE e.IdEtat = %8"
                          " ON DUPLICATE KEY UPDATE %9, %1 = VALUES(%1)%10")
        .arg(etat, descrip, journee ? QStringLiteral(", EtatPM") : QString(), QString::number(noEmploye),
             idEtat >= 2 ? QStringLiteral("e.Description") : QStringLiteral("NULL"),
             journee ? QStringLiteral(", e.IdEtat") : QString(), tableJours(jours), QString::number(idEtat),
             regleTexte(etat, descrip, idEtat, nouveau, true), apresMidi);
}

QString sqlEcrireNote(bool am, qint32 noEmploye, const QDate& date, const QString& note) {
    const QString descrip = am ? QStringLiteral("DescripAM") : QStringLiteral("DescripPM");
    return QStringLiteral("INSERT INTO tblpresences (NoEmploye, DatePresence, %1)"
                          " VALUES (%2, %3, %4) ON DUPLICATE KEY UPDATE %1 = VALUES(%1)")
        .arg(descrip, QString::number(noEmploye), sqlDate(date), sqlQuote(note));
}

QString sqlEffacerNotes(bool am, bool pm, qint32 noEmploye, const QList<QDate>& jours) {
    QStringList colonnes, vides, maj;
    for (const auto& [oui, col] :
         {std::pair{am, QStringLiteral("DescripAM")}, {pm, QStringLiteral("DescripPM")}}) {
        if (!oui) continue;
        colonnes << col;
        vides << QStringLiteral("''");
        maj << QStringLiteral("%1 = VALUES(%1)").arg(col);
    }
    QStringList lignes;
    for (const QDate& d : jours)
        lignes << QStringLiteral("(%1, %2, %3)")
                      .arg(QString::number(noEmploye), sqlDate(d), vides.join(QStringLiteral(", ")));
    return QStringLiteral("INSERT INTO tblpresences (NoEmploye, DatePresence, %1) VALUES %2"
                          " ON DUPLICATE KEY UPDATE %3")
        .arg(colonnes.join(QStringLiteral(", ")), lignes.join(QStringLiteral(", ")),
             maj.join(QStringLiteral(", ")));
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
