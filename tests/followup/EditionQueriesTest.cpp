#include "followup/EditQueries.h"

#include <QDateTime>
#include <gtest/gtest.h>

using namespace followup;

namespace {
const QDateTime kNow(QDate(2026, 12, 7), QTime(14, 3, 12));
}

TEST(EditionQueries, StateChangeStampsOnlyTheFinishingState) {
    EXPECT_EQ(sqlUpdateEtat(4, 812, kNow),
              QStringLiteral("UPDATE tblmessageemploye SET IdEtat = 4, DateTermine = '2026-12-07 14:03:12',"
                             " Nouveau = 0  WHERE IdMessage = 812"));
    EXPECT_EQ(sqlUpdateEtat(2, 812, kNow),
              QStringLiteral("UPDATE tblmessageemploye SET IdEtat = 2  WHERE IdMessage = 812"));
    EXPECT_EQ(sqlUpdateEtatEmploye(4, 812, 3, kNow),
              QStringLiteral("UPDATE tblmessageemploye SET IdEtat = 4, DateTermine = '2026-12-07 14:03:12',"
                             " Nouveau = 0  WHERE IdMessage = 812 AND NoEmplA = 3"));
    EXPECT_EQ(
        sqlUpdateEtatEmploye(5, 812, 3, kNow),
        QStringLiteral("UPDATE tblmessageemploye SET IdEtat = 5  WHERE IdMessage = 812 AND NoEmplA = 3"));
}

TEST(EditionQueries, AuditLineFollowsALoneLineFeedOnlyAfterText) {
    EXPECT_EQ(ligneAudit(QStringLiteral("Terminé"), kNow, QStringLiteral("Julie"), false),
              QStringLiteral("Terminé le 2026-12-07 à 14:03:12 par Julie"));
    EXPECT_EQ(ligneAudit(QStringLiteral("En attente"), kNow, QStringLiteral("Marc"), true),
              QStringLiteral("\nEn attente le 2026-12-07 à 14:03:12 par Marc"));
    // Morning hours keep their two digits.
    EXPECT_EQ(ligneAudit(QStringLiteral("Annulé"), QDateTime(QDate(2026, 1, 2), QTime(9, 5, 7)),
                         QStringLiteral("Éric"), false),
              QStringLiteral("Annulé le 2026-01-02 à 09:05:07 par Éric"));
}

TEST(EditionQueries, RichTextIsStoredBetweenDoubleQuotesWithEscapesDoubled) {
    // Backslashes doubled first, then double quotes; apostrophes and the "#'#" sequence
    // are left exactly as the text has them.
    const QString rtf = QStringLiteral("{\\rtf1 Il a dit \"oui\" \\{ C:\\\\dossier \\} l'#'#}");
    EXPECT_EQ(sqlUpdateMessage(rtf, 7),
              QStringLiteral("UPDATE tblmessage SET Message = \"{\\\\rtf1 Il a dit \"\"oui\"\" \\\\{ "
                             "C:\\\\\\\\dossier \\\\} l'#'#}\" WHERE IdMessage = 7"));
}

TEST(EditionQueries, ReadsAndSmallWrites) {
    EXPECT_EQ(sqlPrioritesPicker(), QStringLiteral("SELECT * FROM tblpriorite"));
    EXPECT_EQ(sqlEtatsPicker(), QStringLiteral("SELECT * FROM tbletatmessage Order by Ordre"));
    EXPECT_EQ(sqlUpdatePriorite(1, 44),
              QStringLiteral("UPDATE tblmessage SET IdPriorite = 1 WHERE IdMessage = 44"));
    EXPECT_EQ(sqlNoEmplA(44), QStringLiteral("SELECT NoEmplA FROM tblmessageemploye WHERE IdMessage = 44"));
    EXPECT_EQ(
        sqlMarquerLu(44, 2),
        QStringLiteral("UPDATE tblmessageemploye SET Nouveau = 0 WHERE IdMessage = 44 AND NoEmplA = 2"));
    EXPECT_EQ(sqlOrdreEtat(5), QStringLiteral("SELECT Ordre FROM tbletatmessage WHERE IdEtat = 5"));
    EXPECT_EQ(sqlOrdreEtatEmploye(2, 44),
              QStringLiteral("SELECT Ordre FROM tbletatmessage INNER JOIN tblmessageemploye ON"
                             " (tbletatmessage.IdEtat = tblmessageemploye.IdEtat) WHERE"
                             " tblmessageemploye.NoEmplA = 2 AND tblmessageemploye.IdMessage = 44"));
    EXPECT_EQ(
        sqlDestinatairesEtat(44),
        QStringLiteral("SELECT tblemploye.Nom, tblmessageemploye.IdEtat, tblmessageemploye.Nouveau,"
                       " tblEtatMessage.Ordre FROM tblemploye INNER JOIN tblmessageemploye ON"
                       " (tblemploye.NoEmploye = tblmessageemploye.NoEmplA) INNER JOIN tblEtatMessage ON"
                       " (tblmessageemploye.IdEtat = tblEtatMessage.IdEtat) WHERE"
                       " tblmessageemploye.IdMessage = 44"));
    EXPECT_EQ(sqlEmployesMessage(44),
              QStringLiteral("SELECT Nom, NoEmploye FROM tblemploye INNER JOIN tblmessageemploye ON"
                             " (tblemploye.NoEmploye = tblmessageemploye.NoEmplA) WHERE"
                             " tblmessageemploye.IdMessage = 44"));
}
