#include "followup/EditQueries.h"

#include <QDateTime>
#include <gtest/gtest.h>

using namespace followup;

namespace {
const QDateTime kNow(QDate(2026, 12, 7), QTime(14, 3, 12));
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
