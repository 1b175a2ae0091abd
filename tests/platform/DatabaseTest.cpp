#include "platform/Database.h"
#include "platform/SqlText.h"
#include "support/TestDb.h"

#include <gtest/gtest.h>
#include <tuple>

using namespace platform;
using namespace Qt::Literals::StringLiterals;

namespace {

class DatabaseTest : public ::testing::Test {
protected:
    void SetUp() override {
        REQUIRE_TEST_DB();
        if (!s_db) s_db = new TestDb(u"platform"_s);
    }
    static platform::Database& db() { return s_db->db(); }
    static QString text(const QString& sql) { return db().open(sql).field(0).text(); }
    // The error a statement raises; number 0 when it raises none.
    static DbError error(const QString& sql) {
        try {
            db().open(sql);
        } catch (const DbError& e) {
            return e;
        }
        return DbError(0, QString(), QString());
    }
    static TestDb* s_db;
};
TestDb* DatabaseTest::s_db = nullptr;

// Without a server: a backslash or apostrophe left single would end the value early.
TEST(SqlTextTest, QuotesApostrophesAndBackslashes) {
    EXPECT_EQ(sqlQuote(uR"(l'été C:\x\)"_s), uR"('l''été C:\\x\\')"_s);
    EXPECT_EQ(sqlRichText(uR"({\b "gras"} l'a)"_s), uR"("{\\b ""gras""} l'a")"_s);
}

// Plain text between apostrophes and rich text between double quotes come back as written.
TEST_F(DatabaseTest, TextsSurviveTheServerByteForByte) {
    for (const QString& s : {u"l'été à Noël"_s, uR"(C:\temp\nouveau)"_s, uR"(se termine par \)"_s,
                             uR"('\'\\'')"_s, u"œuvre 10 € — 日本 😀"_s}) {
        db().execute(u"REPLACE INTO tbletatpresence (IdEtat, Description) VALUES (1, %1)"_s.arg(sqlQuote(s)));
        auto rs = db().open(u"SELECT HEX(Description), Description FROM tbletatpresence"_s);
        EXPECT_EQ(rs.field(0).text().toLatin1(), s.toUtf8().toHex().toUpper());
        EXPECT_EQ(rs.field(1).text(), s);
    }
    const QString rtf = uR"({\rtf1\ansi "cité" l'an \'e9\par })"_s;
    EXPECT_EQ(text(u"SELECT "_s + sqlRichText(rtf)), rtf);
}

// An error names its number and statement. Whatever mode the server starts sessions in, a
// value too long for its column is an error rather than cut, and columns outside a GROUP BY
// are allowed. A cursor reads its records, their columns named in any case, as it goes while the connection
// serves other statements.
TEST_F(DatabaseTest, RecordsetsErrorsAndTheSessionMode) {
    const DbError e = error(u"SELECT Nope FROM tbletatpresence"_s);
    EXPECT_EQ(std::tuple(e.number(), e.sql(), e.isTimeout()),
              std::tuple(1054, u"SELECT Nope FROM tbletatpresence"_s, false));
    db().execute(u"CREATE TEMPORARY TABLE court (c VARCHAR(3))"_s);
    EXPECT_EQ(error(u"INSERT INTO court VALUES ('abcd')"_s).number(), 1406);
    EXPECT_EQ(db().open(u"SELECT b FROM (SELECT 1 a, 2 b UNION SELECT 1, 3) x GROUP BY a"_s).recordCount(),
              1);
    QStringList lu;
    for (platform::Cursor c = db().openCursor(u"SELECT 1 AS Un UNION ALL SELECT 2"_s); !c.eof(); c.moveNext())
        lu << c.record().field(u"UN"_s).text() + text(u"SELECT 'x'"_s);
    EXPECT_EQ(lu, (QStringList{u"1x"_s, u"2x"_s}));
}

// A name reads the first column spelt like it, in any case, however often the names repeat
// (a statement joining two tables may return two columns of one name), record after record.
TEST_F(DatabaseTest, ANameReadsTheFirstColumnSpeltLikeIt) {
    auto rs = db().open(u"SELECT 1 AS Un, 'x' AS Deux, 3 AS un UNION ALL SELECT 4, 'y', 6"_s);
    for (const auto& [premier, deux, dernier] :
         {std::tuple(u"1"_s, u"x"_s, u"3"_s), {u"4"_s, u"y"_s, u"6"_s}}) {
        SCOPED_TRACE("record " + premier.toStdString());
        ASSERT_FALSE(rs.eof());
        EXPECT_EQ(rs.field(u"un"_s).text(), premier);
        EXPECT_EQ(rs.field(u"UN"_s).text(), premier);
        EXPECT_EQ(rs.field(u"Un"_s).text(), premier);
        EXPECT_EQ(rs.field(u"deux"_s).text(), deux);
        EXPECT_EQ(rs.field(2).text(), dernier); // the repeated one, by its place
        rs.moveNext();
    }
    EXPECT_TRUE(rs.eof());
    EXPECT_EQ(rs.fieldIndex(u"Trois"_s), -1);
}

// The largest statement the server takes goes through (with its command byte, one byte below
// the limit); one byte more is refused before it is sent, saying the limit, and the
// connection stays.
TEST_F(DatabaseTest, AStatementLongerThanTheServerTakesIsRefusedBeforeItIsSent) {
    const qint64 max = db().maxAllowedPacket();
    const qsizetype lettres = max - 2 - u"SELECT LENGTH('')"_s.size();
    EXPECT_EQ(text(u"SELECT LENGTH('%1')"_s.arg(QString(lettres, u'a'))).toLongLong(), lettres);
    const DbError e = error(u"SELECT LENGTH('%1é')"_s.arg(QString(lettres - 1, u'a')));
    EXPECT_EQ(e.number(), DbError::kTropLong);
    EXPECT_TRUE(e.text().contains(QString::number(max)));
    EXPECT_EQ(text(u"SELECT 1"_s), u"1"_s);
}

// A deadlock and a lock wait run the work again, at most three times in all; any other
// error is not retried. What a failed try wrote is rolled back.
TEST_F(DatabaseTest, ATransactionRetriesConflictsOnly) {
    db().execute(u"CREATE TEMPORARY TABLE essais (n INT) ENGINE=InnoDB"_s);
    for (const auto& [erreur, echecs, essais, ecrits] :
         {std::tuple{1213, 2, 3, 1}, {1205, 1, 2, 1}, {1213, 3, 3, 0}, {1062, 1, 1, 0}}) {
        db().execute(u"DELETE FROM essais"_s);
        int n = 0;
        try {
            platform::enTransaction(db(), [&, erreur = erreur, echecs = echecs] {
                db().execute(u"INSERT INTO essais VALUES (%1)"_s.arg(++n));
                if (n <= echecs) throw DbError(erreur, u"conflit"_s, QString());
            });
        } catch (const DbError& e) {
            EXPECT_EQ(e.number(), erreur);
        }
        EXPECT_EQ(std::pair(n, text(u"SELECT COUNT(*) FROM essais"_s).toInt()), std::pair(essais, ecrits))
            << erreur;
    }
}

} // namespace
