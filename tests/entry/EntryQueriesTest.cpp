#include "entry/EntryQueries.h"

#include <gtest/gtest.h>

using namespace entry;

TEST(EntryQueriesTest, FoldersAreTrimmedWithoutEmptiesOrRepeats) {
    EXPECT_EQ(sql::parseDossiers(QStringLiteral(" 123, 456 ,,123, ")),
              (QStringList{QStringLiteral("123"), QStringLiteral("456")}));
    EXPECT_TRUE(sql::parseDossiers(QStringLiteral(" , ")).isEmpty());
}

TEST(EntryQueriesTest, CallerTextLeavesOutEmptyParts) {
    EXPECT_EQ(sql::clientText(QStringLiteral("Tremblay"), QStringLiteral("Luc"), QStringLiteral("Acme")),
              QStringLiteral("Tremblay, Luc, Acme"));
    EXPECT_EQ(sql::clientText(QStringLiteral("Bédard"), QString(), QStringLiteral(" ")),
              QStringLiteral("Bédard"));
}
