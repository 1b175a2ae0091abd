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
    static TestDb* s_db;
};
TestDb* DatabaseTest::s_db = nullptr;

// Without a server: a backslash or apostrophe left single would end the value early.
TEST(SqlTextTest, QuotesApostrophesAndBackslashes) {
    EXPECT_EQ(sqlQuote(QStringLiteral("l'été C:\\x\\")), QStringLiteral("'l''été C:\\\\x\\\\'"));
    EXPECT_EQ(sqlRichText(QStringLiteral("{\\b \"gras\"} l'a")),
              QStringLiteral("\"{\\\\b \"\"gras\"\"} l'a\""));
}

TEST_F(DatabaseTest, TextsSurviveTheServerByteForByte) {
    const QStringList samples = {QStringLiteral("l'été à Noël"), QStringLiteral("C:\\temp\\nouveau"),
                                 QStringLiteral("se termine par \\"), QStringLiteral("'\\'\\\\''"),
                                 QStringLiteral("œuvre 10 € — 日本 😀")};
    for (const QString& s : samples) {
        db().execute(QStringLiteral("DELETE FROM tbletatpresence"));
        db().execute(QStringLiteral("INSERT INTO tbletatpresence (IdEtat, Description) VALUES (1, ") +
                     sqlQuote(s) + QStringLiteral(")"));
        auto rs = db().open(QStringLiteral("SELECT HEX(Description), Description FROM tbletatpresence"));
        EXPECT_EQ(rs.field(0).text().toLatin1(), s.toUtf8().toHex().toUpper()) << s.toStdString();
        EXPECT_EQ(rs.field(1).text(), s);
    }
    // Rich text goes between double quotes: its backslashes and quotes come back as written.
    const QString rtf = QStringLiteral("{\\rtf1\\ansi \"cité\" l'an \\'e9\\par }");
    db().execute(QStringLiteral("INSERT INTO tblmessage (DateSaisie, HeureSaisie, Message) VALUES "
                                "('2026-12-01', '09:05:33', ") +
                 sqlRichText(rtf) + QStringLiteral(")"));
    auto rs = db().open(
        QStringLiteral("SELECT Message FROM tblmessage WHERE IdMessage = %1").arg(db().lastInsertId()));
    EXPECT_EQ(rs.field(0).text(), rtf);
}

TEST_F(DatabaseTest, RecordsetsErrorsAndTheSessionMode) {
    auto empty = db().open(QStringLiteral("SELECT * FROM tbletatpresence WHERE IdEtat < 0"));
    EXPECT_TRUE(empty.eof() && empty.bof());
    EXPECT_EQ(empty.recordCount(), 0);
    EXPECT_THROW(empty.field(QStringLiteral("IdEtat")), DbError);

    const QString bad = QStringLiteral("SELECT Nope FROM tbletatpresence");
    try {
        db().open(bad);
        FAIL() << "no error";
    } catch (const DbError& e) {
        EXPECT_EQ(e.number(), 1054);
        EXPECT_EQ(e.sql(), bad);
        EXPECT_FALSE(e.isTimeout());
    }
    // Whatever mode the server starts sessions in: a value too long for its column is an
    // error rather than cut, and columns outside a GROUP BY are allowed.
    db().execute(QStringLiteral("CREATE TEMPORARY TABLE court (c VARCHAR(3))"));
    EXPECT_THROW(db().execute(QStringLiteral("INSERT INTO court VALUES ('abcd')")), DbError);
    auto grouped = db().open(
        QStringLiteral("SELECT a, b FROM (SELECT 1 AS a, 2 AS b UNION ALL SELECT 1, 3) x GROUP BY a"));
    EXPECT_EQ(grouped.recordCount(), 1);

    // Records follow one another; a name finds the first column spelt like it in any case.
    auto rs = db().open(QStringLiteral("SELECT 1 AS Un, 'x' AS Deux, 3 AS un UNION ALL SELECT 4, 'y', 6"));
    QStringList lu;
    for (; !rs.eof(); rs.moveNext())
        lu << rs.field(QStringLiteral("UN")).text() + rs.field(QStringLiteral("deux")).text() +
                  rs.field(QStringLiteral("un")).text() + rs.field(2).text();
    EXPECT_EQ(lu, (QStringList{QStringLiteral("1x13"), QStringLiteral("4y46")}));
    EXPECT_EQ(rs.fieldIndex(QStringLiteral("Trois")), -1);
    // A cursor reads its records as it goes, while the connection serves other statements.
    lu.clear();
    for (platform::Cursor c = db().openCursor(QStringLiteral("SELECT 1 AS Un UNION ALL SELECT 2")); !c.eof();
         c.moveNext())
        lu << c.record().field(QStringLiteral("un")).text() +
                  db().open(QStringLiteral("SELECT 'x'")).field(0).text();
    EXPECT_EQ(lu, (QStringList{QStringLiteral("1x"), QStringLiteral("2x")}));
}

// The largest statement the server takes goes through; one byte more is refused before it
// is sent, saying the limit, and the connection stays.
TEST_F(DatabaseTest, AStatementLongerThanTheServerTakesIsRefusedBeforeItIsSent) {
    const qint64 max = db().maxAllowedPacket();
    ASSERT_GT(max, 1024);
    const QString debut = QStringLiteral("SELECT LENGTH('"), fin = QStringLiteral("')");
    // With its command byte, the packet is one byte below the limit.
    const qsizetype lettres = max - 2 - debut.size() - fin.size();
    EXPECT_EQ(db().open(debut + QString(lettres, QLatin1Char('a')) + fin).field(0).toLongLong(), lettres);
    try {
        db().open(debut + QString(lettres - 1, QLatin1Char('a')) + QStringLiteral("é") + fin);
        FAIL() << "not refused";
    } catch (const DbError& e) {
        EXPECT_EQ(e.number(), DbError::kTropLong);
        EXPECT_FALSE(e.isTimeout());
        EXPECT_TRUE(e.text().contains(QString::number(max)));
    }
    EXPECT_EQ(db().open(QStringLiteral("SELECT 1")).field(0).toInt(), 1);
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
        EXPECT_EQ(n, essais) << erreur;
        EXPECT_EQ(db().open(QStringLiteral("SELECT COUNT(*) FROM essais")).field(0).toInt(), ecrits)
            << erreur;
    }
}

} // namespace
