#include "followup/MessageQueries.h"

#include <gtest/gtest.h>

using namespace followup;

TEST(MessageQueries, TelephoneIsQuotedAndTousMeansNoFilter) {
    // The grid tests match numbers end to end; here, the quoting and the five columns.
    MessageFilter f;
    f.intNoEmploye = 7;
    f.hasTelephone = true;
    f.telephone = QStringLiteral("x' OR '1'='1\\");
    EXPECT_TRUE(clauseTelephone(f).contains(QStringLiteral("Telephone = 'x'' OR ''1''=''1\\\\'")));
    EXPECT_FALSE(clauseTelephone(f).contains(QStringLiteral("'x' OR")));
    for (const char* col : {"TelBureau", "Cellulaire", "AutreTel", "Fax"})
        EXPECT_TRUE(clauseTelephone(f).contains(QLatin1String(col) + QStringLiteral(" = 'x''"))) << col;

    f.telephone = QStringLiteral("Tous");
    EXPECT_EQ(clauseTelephone(f), QString());
    f.hasTelephone = false;
    f.telephone = QStringLiteral("(514)555-1234");
    EXPECT_EQ(clauseTelephone(f), QString());
    // The entry for callers without any number filters on the empty text.
    f.hasTelephone = true;
    f.telephone.clear();
    EXPECT_TRUE(clauseTelephone(f).startsWith(QStringLiteral(" AND (tblclientmsg.Telephone = ''")));
}
