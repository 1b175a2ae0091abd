#include "entry/EntryQueries.h"

#include <QDate>
#include <QTime>
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

TEST(EntryQueriesTest, TextValuesAreQuotedSoTheServerReadsThemBack) {
    const QString ins = sql::messageInsert(QDate(2024, 3, 5), QTime(9, 5, 7), 1, 12,
                                           QStringLiteral("{\\rtf1 il a dit \"oui\"}"));
    EXPECT_EQ(ins, QStringLiteral(
                       "INSERT INTO tblmessage (DateSaisie, HeureSaisie, IdPriorite, IdClientMsg, Message) "
                       "VALUES ('2024-03-05', '09:05:07', 1, 12, \"{\\\\rtf1 il a dit \"\"oui\"\"}\")"));
    EXPECT_EQ(
        sql::dossierInsert(7, QStringLiteral("O'Neil\\2")),
        QStringLiteral("INSERT INTO tblmessagedossier (IdMessage, NoDossier) VALUES (7, 'O''Neil\\\\2')"));
}
