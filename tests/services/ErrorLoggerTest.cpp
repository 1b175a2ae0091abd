#include "services/ErrorLogger.h"

#include "platform/Clock.h"
#include "platform/Database.h"
#include "services/Session.h"
#include "support/Etapes.h"
#include "support/TestDb.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <memory>

using namespace services;
using namespace Qt::Literals::StringLiterals;

namespace {

class ErrorLog : public ::testing::Test {
protected:
    void SetUp() override {
        REQUIRE_TEST_DB();
        db = std::make_unique<TestDb>(u"svclog"_s);
        db->db().execute(u"INSERT INTO tblpreferences (VersionBD) VALUES ('4.2.1')"_s);
        services::setErrorLogPath(dir.filePath(u"Erreur.log"_s));
        platform::Clock::setFixed(QDateTime(QDate(2025, 3, 14), QTime(9, 26, 53)));
        Session::lngNoEmploye = 7;
        Session::strNomEmploye = u"Émile D'Amours"_s;
        Session::onConnectionLost = [this] { ++lostCalls; };
    }
    void TearDown() override {
        Session::onConnectionLost = nullptr;
        services::setErrorLogPath(QString());
        platform::Clock::setFixed(QDateTime());
        Session::strNomEmploye.clear();
        Session::lngNoEmploye = 0;
    }
    // Lines of the log, each ended by CR LF (a bare LF fails the test).
    QStringList logLines() const {
        QFile f(services::errorLogPath());
        const QByteArray bytes = f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
        EXPECT_TRUE(bytes.endsWith("\r\n"));
        EXPECT_EQ(bytes.count("\n"), bytes.count("\r\n"));
        QStringList lines = QString::fromUtf8(bytes).split(u"\r\n"_s);
        lines.removeLast();
        return lines;
    }
    int rowCount() { return db->db().open(u"SELECT COUNT(*) FROM tblerreur"_s).field(0).toInt(); }

    QTemporaryDir dir;
    std::unique_ptr<TestDb> db;
    int lostCalls = 0;
};

// Each report is a ten-line block of the log and a row of tblerreur; a multi-line SQL text
// keeps the block's shape in the log but stays exact in the row; over-long values are cut
// to their column, not lost; a log file that cannot be written does not stop the row.
TEST_F(ErrorLog, EachReportIsATenLineBlockAndARowWithTheSqlIntact) {
    const QString sql = uR"(SELECT * FROM tblclientmsg WHERE Nom = 'O''Neil' AND Note = 'C:\dossiers\')"_s;
    const QString multi = u"SELECT 1\r\nFROM t\nWHERE x = 2"_s;
    DoErreur(u"1054"_s, u"Unknown column 'Note'"_s, u"MySQL"_s, u"frmListeMsg"_s, u"Remplir"_s, sql);
    DoErreur(u"1146"_s, u"Table absente\nligne 2"_s, u"MySQL"_s, QString(150, u'f'), u"Proc"_s, multi);
    DoErreur(u"123456789012345678901234567890"_s, u"second"_s, QString(), u"modUtils"_s, u"Autre"_s,
             QString());

    ETAPE("the log's blocks");
    const QStringList l = logLines();
    ASSERT_EQ(l.size(), 30) << l.join(u'|').toStdString();
    EXPECT_EQ(QStringList({l[0], l[4], l[9], l[14], l[20], l[24]}),
              (QStringList{u"--- 1054 Unknown column 'Note' ---"_s, u"SQL : "_s + sql, QString(51, u'_'),
                           u"SQL : SELECT 1 FROM t WHERE x = 2"_s,
                           u"--- 123456789012345678901234567890 second ---"_s, u"SQL : "_s}));
    EXPECT_TRUE(l[1].contains(u"Émile D'Amours"_s)) << l[1].toStdString();
    EXPECT_TRUE(l[1].contains(u"(7)"_s)) << l[1].toStdString();
    EXPECT_TRUE(l[6].endsWith(u"4.2.1"_s)) << l[6].toStdString();

    ETAPE("the rows");
    platform::Recordset rs = db->db().open(
        u"SELECT strSQL, NomUser, IdUser, DateErr, ErrNumber, ErrDescription, Fonction, Form, VersionBD, "
        "VersionApp, Commentaire, VersionMYSQL = VERSION() AS VersionServeur, CHAR_LENGTH(Form) AS "
        "LongueurForm "
        "FROM tblerreur ORDER BY IdErreur"_s);
    ASSERT_EQ(rs.recordCount(), 3);
    // Each column of the first row, by name.
    const std::pair<const char*, QString> premier[] = {
        {"strSQL", sql},
        {"NomUser", Session::strNomEmploye},
        {"IdUser", u"7"_s},
        {"DateErr", u"2025-03-14 09:26:53"_s},
        {"ErrNumber", u"1054"_s},
        {"ErrDescription", u"Unknown column 'Note'"_s},
        {"Fonction", u"Remplir"_s},
        {"Form", u"frmListeMsg"_s},
        {"VersionBD", u"4.2.1"_s},
        {"VersionApp", QStringLiteral(CORVEL_VERSION)},
        {"Commentaire", u"MySQL"_s},
        {"VersionServeur", u"1"_s}, // the server's own version
    };
    for (const auto& [colonne, valeur] : premier)
        EXPECT_EQ(rs.field(QLatin1String(colonne)).text(), valeur) << colonne;
    rs.moveNext();
    EXPECT_EQ(rs.field(u"strSQL"_s).text(), multi);
    EXPECT_EQ(rs.field(u"LongueurForm"_s).toInt(), 100); // cut to its column
    rs.moveNext();
    EXPECT_EQ(rs.field(u"ErrNumber"_s).text(), u"12345678901234567890"_s);

    ETAPE("a log file that cannot be written");
    services::setErrorLogPath(dir.filePath(u"absent/dossier/Erreur.log"_s));
    DoErreur(u"5"_s, u"x"_s, QString(), u"f"_s, u"p"_s, QString());
    EXPECT_EQ(rowCount(), 4);
    EXPECT_EQ(lostCalls, 0);
}

// A lost connection calls the inactive hook once (the errors of the windows it closes do not
// re-enter it) and stores no row; its number is recognised from text too. With the connection
// closed, the block is still written, without the database's version.
TEST_F(ErrorLog, LostConnectionCallsInactiveHookOnceAndStoresNoRow) {
    ETAPE("a connection the server dropped");
    platform::Database other;
    other.open(db->db().settings());
    db->db().execute(u"KILL "_s + other.open(u"SELECT CONNECTION_ID()"_s).field(0).text());
    try {
        other.open(u"SELECT * FROM tblemploye"_s);
        FAIL() << "no error";
    } catch (const platform::DbError& e) {
        EXPECT_TRUE(e.isTimeout()) << e.number();
        Session::onConnectionLost = [this, &e] {
            ++lostCalls;
            DoErreur(e, u"frmListeMsg"_s, u"Form_Unload"_s);
        };
        DoErreur(e, u"frmUpdate"_s, u"VerifMessages"_s);
        const QStringList lines = logLines();
        ASSERT_EQ(lines.size(), 20);
        EXPECT_TRUE(lines[0].startsWith(u"--- "_s + QString::number(e.number())));
        EXPECT_EQ(lines[4], u"SQL : SELECT * FROM tblemploye"_s);
    }
    EXPECT_EQ(lostCalls, 1);
    EXPECT_EQ(rowCount(), 0);
    ETAPE("a lost connection's number as text");
    Session::onConnectionLost = [this] { ++lostCalls; };
    for (const QString& number : {u" 2013 "_s, u"abc"_s})
        DoErreur(number, u"x"_s, QString(), u"f"_s, u"p"_s, QString());
    EXPECT_EQ(lostCalls, 2);
    EXPECT_EQ(rowCount(), 1);

    ETAPE("the connection closed");
    db->db().close();
    DoErreur(std::runtime_error("boom"), u"frmPresence"_s, u"SetDate"_s);
    const QStringList all = logLines();
    ASSERT_EQ(all.size(), 50);
    EXPECT_EQ(all[40], u"--- 0 boom ---"_s);
    EXPECT_TRUE(all[46].endsWith(u": "_s));
    EXPECT_EQ(lostCalls, 2);
}

} // namespace
