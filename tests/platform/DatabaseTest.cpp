#include "platform/Database.h"
#include "platform/SqlText.h"
#include "support/TestDb.h"

#include <gtest/gtest.h>
#include <tuple>

using platform::DbError;
using platform::sqlQuote;
using platform::sqlRichText;

namespace {

class DatabaseTest : public ::testing::Test {
protected:
    void SetUp() override {
        REQUIRE_TEST_DB();
        if (!s_db) s_db = new TestDb(QStringLiteral("platform"));
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
    EXPECT_EQ(sqlQuote(QStringLiteral("l'été C:\\x\\")), QStringLiteral("'l''été C:\\\\x\\\\'"));
    EXPECT_EQ(sqlRichText(QStringLiteral("{\\b \"gras\"} l'a")),
              QStringLiteral("\"{\\\\b \"\"gras\"\"} l'a\""));
}

// Plain text between apostrophes and rich text between double quotes come back as written.
TEST_F(DatabaseTest, TextsSurviveTheServerByteForByte) {
    for (const QString& s : {QStringLiteral("l'été à Noël"), QStringLiteral("C:\\temp\\nouveau"),
                             QStringLiteral("se termine par \\"), QStringLiteral("'\\'\\\\''"),
                             QStringLiteral("œuvre 10 € — 日本 😀")}) {
        db().execute(QStringLiteral("REPLACE INTO tbletatpresence (IdEtat, Description) VALUES (1, %1)")
                         .arg(sqlQuote(s)));
        auto rs = db().open(QStringLiteral("SELECT HEX(Description), Description FROM tbletatpresence"));
        EXPECT_EQ(rs.field(0).text().toLatin1(), s.toUtf8().toHex().toUpper());
        EXPECT_EQ(rs.field(1).text(), s);
    }
    const QString rtf = QStringLiteral("{\\rtf1\\ansi \"cité\" l'an \\'e9\\par }");
    EXPECT_EQ(text(QStringLiteral("SELECT ") + sqlRichText(rtf)), rtf);
}

// An error names its number and statement; a record finds the first column spelt like a name
// in any case; a cursor reads as it goes while the connection serves other statements.
TEST_F(DatabaseTest, RecordsetsErrorsAndTheSessionMode) {
    const QString bad = QStringLiteral("SELECT Nope FROM tbletatpresence");
    const DbError e = error(bad);
    EXPECT_EQ(std::tuple(e.number(), e.sql(), e.isTimeout()), std::tuple(1054, bad, false));
    auto empty = db().open(QStringLiteral("SELECT * FROM tbletatpresence WHERE IdEtat < 0"));
    EXPECT_TRUE(empty.eof() && empty.bof());
    EXPECT_THROW(empty.field(QStringLiteral("IdEtat")), DbError);
    // Whatever mode the server starts sessions in: a value too long for its column is an
    // error rather than cut, and columns outside a GROUP BY are allowed.
    db().execute(QStringLiteral("CREATE TEMPORARY TABLE court (c VARCHAR(3))"));
    EXPECT_EQ(error(QStringLiteral("INSERT INTO court VALUES ('abcd')")).number(), 1406);
    EXPECT_EQ(text(QStringLiteral("SELECT COUNT(*) FROM (SELECT a, b FROM (SELECT 1 a, 2 b UNION ALL "
                                  "SELECT 1, 3) x GROUP BY a) y")),
              QStringLiteral("1"));
    QStringList lu;
    for (auto rs = db().open(QStringLiteral("SELECT 1 Un, 'x' Deux, 3 un UNION ALL SELECT 4, 'y', 6"));
         !rs.eof(); rs.moveNext())
        lu << rs.field(QStringLiteral("UN")).text() + rs.field(QStringLiteral("deux")).text() +
                  rs.field(2).text() + QString::number(rs.fieldIndex(QStringLiteral("Trois")));
    for (platform::Cursor c = db().openCursor(QStringLiteral("SELECT 1 AS Un UNION ALL SELECT 2")); !c.eof();
         c.moveNext())
        lu << c.record().field(QStringLiteral("un")).text() + text(QStringLiteral("SELECT 'x'"));
    EXPECT_EQ(lu.join(u' '), QStringLiteral("1x3-1 4y6-1 1x 2x"));
}

// The largest statement the server takes goes through (with its command byte, one byte below
// the limit); one byte more is refused before it is sent, saying the limit, and the
// connection stays.
TEST_F(DatabaseTest, AStatementLongerThanTheServerTakesIsRefusedBeforeItIsSent) {
    const qint64 max = db().maxAllowedPacket();
    const QString debut = QStringLiteral("SELECT LENGTH('"), fin = QStringLiteral("')");
    const qsizetype lettres = max - 2 - debut.size() - fin.size();
    EXPECT_EQ(text(debut + QString(lettres, u'a') + fin).toLongLong(), lettres);
    const DbError e = error(debut + QString(lettres - 1, u'a') + QStringLiteral("é") + fin);
    EXPECT_EQ(e.number(), DbError::kTropLong);
    EXPECT_TRUE(e.text().contains(QString::number(max)));
    EXPECT_EQ(text(QStringLiteral("SELECT 1")), QStringLiteral("1"));
}

// A deadlock and a lock wait run the work again, at most three times in all; any other
// error is not retried. What a failed try wrote is rolled back.
TEST_F(DatabaseTest, ATransactionRetriesConflictsOnly) {
    db().execute(QStringLiteral("CREATE TEMPORARY TABLE essais (n INT) ENGINE=InnoDB"));
    for (const auto& [erreur, echecs, essais, ecrits] :
         {std::tuple{1213, 2, 3, 1}, {1205, 1, 2, 1}, {1213, 3, 3, 0}, {1062, 1, 1, 0}}) {
        db().execute(QStringLiteral("DELETE FROM essais"));
        int n = 0;
        try {
            platform::enTransaction(db(), [&, erreur = erreur, echecs = echecs] {
                db().execute(QStringLiteral("INSERT INTO essais VALUES (%1)").arg(++n));
                if (n <= echecs) throw DbError(erreur, QStringLiteral("conflit"), QString());
            });
        } catch (const DbError& e) {
            EXPECT_EQ(e.number(), erreur);
        }
        EXPECT_EQ(std::pair(n, text(QStringLiteral("SELECT COUNT(*) FROM essais")).toInt()),
                  std::pair(essais, ecrits))
            << erreur;
    }
}

} // namespace
