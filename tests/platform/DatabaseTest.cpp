#include "platform/Database.h"
#include "platform/SqlText.h"
#include "support/TestDb.h"

#include <gtest/gtest.h>

using platform::DbError;
using platform::sqlQuote;
using platform::sqlRichText;

namespace {

class DatabaseTest : public ::testing::Test {
protected:
    void SetUp() override {
        REQUIRE_TEST_DB();
        if (!s_db) s_db = new TestDb(QStringLiteral("platform"));
        s_db->db().execute(QStringLiteral("DELETE FROM tbletatpresence"));
    }
    static platform::Database& db() { return s_db->db(); }
    // Stores a text through the quoting helper and reads its bytes back.
    static QByteArray roundTripHex(const QString& text) {
        db().execute(QStringLiteral("DELETE FROM tbletatpresence"));
        db().execute(QStringLiteral("INSERT INTO tbletatpresence (IdEtat, Description) VALUES (1, ") +
                     sqlQuote(text) + QStringLiteral(")"));
        auto rs = db().open(QStringLiteral("SELECT HEX(Description) AS h FROM tbletatpresence"));
        return rs.field(QStringLiteral("h")).text().toLatin1();
    }
    static TestDb* s_db;
};
TestDb* DatabaseTest::s_db = nullptr;

TEST(SqlTextTest, QuotesApostrophesAndBackslashes) {
    EXPECT_EQ(sqlQuote(QStringLiteral("l'été")), QStringLiteral("'l''été'"));
    EXPECT_EQ(sqlQuote(QStringLiteral("C:\\temp")), QStringLiteral("'C:\\\\temp'"));
    EXPECT_EQ(sqlQuote(QStringLiteral("fin\\")), QStringLiteral("'fin\\\\'"));
    EXPECT_EQ(sqlRichText(QStringLiteral("{\\b \"gras\"} l'a")),
              QStringLiteral("\"{\\\\b \"\"gras\"\"} l'a\""));
}

TEST_F(DatabaseTest, TextsSurviveTheServerByteForByte) {
    const QStringList samples = {QStringLiteral("l'été à Noël"), QStringLiteral("C:\\temp\\nouveau"),
                                 QStringLiteral("se termine par \\"), QStringLiteral("'\\'\\\\''"),
                                 QStringLiteral("œuvre 10 € — 日本 😀")};
    for (const QString& s : samples) {
        EXPECT_EQ(roundTripHex(s), s.toUtf8().toHex().toUpper()) << s.toStdString();
        auto rs = db().open(QStringLiteral("SELECT Description FROM tbletatpresence"));
        EXPECT_EQ(rs.field(QStringLiteral("Description")).text(), s);
    }
}

TEST_F(DatabaseTest, RichTextQuotingKeepsBackslashesAndDoubleQuotes) {
    const QString rtf = QStringLiteral("{\\rtf1\\ansi \"cité\" l'an \\'e9\\par }");
    db().execute(
        QStringLiteral(
            "INSERT INTO tblmessage (DateSaisie, HeureSaisie, Message) VALUES ('2026-12-01', '09:05:33', ") +
        sqlRichText(rtf) + QStringLiteral(")"));
    const qint64 id = db().lastInsertId();
    ASSERT_GT(id, 0);
    auto rs = db().open(
        QStringLiteral("SELECT Message, DateSaisie, HeureSaisie FROM tblmessage WHERE IdMessage = %1")
            .arg(id));
    EXPECT_EQ(rs.field(QStringLiteral("Message")).text(), rtf);
    EXPECT_EQ(rs.field(QStringLiteral("DateSaisie")).text(), QStringLiteral("2026-12-01"));
    EXPECT_EQ(rs.field(QStringLiteral("HeureSaisie")).text(), QStringLiteral("09:05:33"));
}

TEST_F(DatabaseTest, RecordsetWalksAndReportsErrorsWithTheSql) {
    auto empty = db().open(QStringLiteral("SELECT * FROM tbletatpresence"));
    EXPECT_TRUE(empty.eof());
    EXPECT_TRUE(empty.bof());
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
}

// Whatever mode the server starts sessions in: a value too long for its column is an
// error rather than cut, and columns outside a GROUP BY are allowed.
TEST_F(DatabaseTest, SessionRefusesOverlongValuesAndGroupsLoosely) {
    db().execute(QStringLiteral("CREATE TEMPORARY TABLE court (c VARCHAR(3))"));
    EXPECT_THROW(db().execute(QStringLiteral("INSERT INTO court VALUES ('abcd')")), DbError);
    auto rs = db().open(
        QStringLiteral("SELECT a, b FROM (SELECT 1 AS a, 2 AS b UNION ALL SELECT 1, 3) x GROUP BY a"));
    EXPECT_EQ(rs.recordCount(), 1);
}

TEST_F(DatabaseTest, KilledConnectionIsATimeout) {
    platform::Database victim;
    platform::ConnectionSettings s = TestDb::serverSettings();
    s.database = s_db->name();
    victim.open(s);
    auto id = victim.open(QStringLiteral("SELECT CONNECTION_ID()")).field(0).toLongLong();
    db().execute(QStringLiteral("KILL %1").arg(id));
    try {
        victim.open(QStringLiteral("SELECT 1"));
        FAIL() << "no error";
    } catch (const DbError& e) {
        EXPECT_TRUE(e.isTimeout()) << e.number();
    }
}

} // namespace
