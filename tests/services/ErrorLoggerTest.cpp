#include "services/ErrorLogger.h"

#include "platform/Clock.h"
#include "platform/Database.h"
#include "services/Session.h"
#include "support/TestDb.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <memory>

using services::DoErreur;
using services::Session;

namespace {

class ErrorLog : public ::testing::Test {
protected:
    void SetUp() override {
        REQUIRE_TEST_DB();
        db = std::make_unique<TestDb>(QStringLiteral("svclog"));
        db->db().execute(QStringLiteral("INSERT INTO tblpreferences (VersionBD) VALUES ('4.2.1')"));
        services::setErrorLogPath(dir.filePath(QStringLiteral("Erreur.log")));
        platform::Clock::setFixed(QDateTime(QDate(2025, 3, 14), QTime(9, 26, 53)));
        Session::lngNoEmploye = 7;
        Session::strNomEmploye = QStringLiteral("Émile D'Amours");
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
        QStringList lines = QString::fromUtf8(bytes).split(QStringLiteral("\r\n"));
        lines.removeLast();
        return lines;
    }
    int rowCount() {
        return db->db().open(QStringLiteral("SELECT COUNT(*) FROM tblerreur")).field(0).toInt();
    }

    QTemporaryDir dir;
    std::unique_ptr<TestDb> db;
    int lostCalls = 0;
};

TEST_F(ErrorLog, EachReportIsATenLineBlockAndARowWithTheSqlIntact) {
    const QString sql =
        QStringLiteral("SELECT * FROM tblclientmsg WHERE Nom = 'O''Neil' AND Note = 'C:\\dossiers\\'");
    const QString multi = QStringLiteral("SELECT 1\r\nFROM t\nWHERE x = 2");
    DoErreur(QStringLiteral("1054"), QStringLiteral("Unknown column 'Note'"), QStringLiteral("MySQL"),
             QStringLiteral("frmListeMsg"), QStringLiteral("Remplir"), sql);
    DoErreur(QStringLiteral("1146"), QStringLiteral("Table absente\nligne 2"), QStringLiteral("MySQL"),
             QString(150, QLatin1Char('f')), QStringLiteral("Proc"), multi);
    DoErreur(QStringLiteral("123456789012345678901234567890"), QStringLiteral("second"), QString(),
             QStringLiteral("modUtils"), QStringLiteral("Autre"), QString());

    const QStringList lines = logLines();
    ASSERT_EQ(lines.size(), 30) << lines.join(QLatin1Char('|')).toStdString();
    EXPECT_EQ(lines[0], QStringLiteral("--- 1054 Unknown column 'Note' ---"));
    EXPECT_TRUE(lines[1].contains(QStringLiteral("Émile D'Amours")) &&
                lines[1].contains(QStringLiteral("(7)")));
    EXPECT_EQ(lines[4], QStringLiteral("SQL : ") + sql);
    EXPECT_TRUE(lines[6].endsWith(QStringLiteral("4.2.1")));
    EXPECT_EQ(lines[9], QString(51, QLatin1Char('_')));
    // A multi-line SQL text keeps the block's shape in the log but stays exact in the row.
    EXPECT_EQ(lines[14], QStringLiteral("SQL : SELECT 1 FROM t WHERE x = 2"));
    EXPECT_EQ(lines[20], QStringLiteral("--- 123456789012345678901234567890 second ---"));
    EXPECT_EQ(lines[24], QStringLiteral("SQL : "));

    platform::Recordset rs = db->db().open(QStringLiteral(
        "SELECT strSQL, NomUser, CONCAT_WS('|', IdUser, DateErr, ErrNumber, ErrDescription, Fonction, Form, "
        "VersionBD, VersionApp, Commentaire, VersionMYSQL = VERSION()), CHAR_LENGTH(Form), ErrNumber "
        "FROM tblerreur ORDER BY IdErreur"));
    ASSERT_EQ(rs.recordCount(), 3);
    EXPECT_EQ(rs.field(0).text(), sql);
    EXPECT_EQ(rs.field(1).text(), Session::strNomEmploye);
    EXPECT_EQ(rs.field(2).text(), QStringLiteral("7|2025-03-14 09:26:53|1054|Unknown column 'Note'|Remplir|"
                                                 "frmListeMsg|4.2.1|" CORVEL_VERSION "|MySQL|1"));
    rs.moveNext();
    EXPECT_EQ(rs.field(0).text(), multi);
    EXPECT_EQ(rs.field(3).toInt(), 100); // over-long values are cut to their column, not lost
    rs.moveNext();
    EXPECT_EQ(rs.field(4).text(), QStringLiteral("12345678901234567890"));

    // A log file that cannot be written does not stop the row.
    services::setErrorLogPath(dir.filePath(QStringLiteral("absent/dossier/Erreur.log")));
    DoErreur(QStringLiteral("5"), QStringLiteral("x"), QString(), QStringLiteral("f"), QStringLiteral("p"),
             QString());
    EXPECT_EQ(rowCount(), 4);
    EXPECT_EQ(lostCalls, 0);
}

TEST_F(ErrorLog, LostConnectionCallsInactiveHookOnceAndStoresNoRow) {
    platform::Database other;
    other.open(db->db().settings());
    const QString id = other.open(QStringLiteral("SELECT CONNECTION_ID()")).field(0).text();
    db->db().execute(QStringLiteral("KILL ") + id);

    try {
        other.open(QStringLiteral("SELECT * FROM tblemploye"));
        FAIL() << "no error";
    } catch (const platform::DbError& e) {
        EXPECT_TRUE(e.isTimeout()) << e.number();
        // While the shell closes windows, their own errors must not re-enter the hook.
        Session::onConnectionLost = [this, &e] {
            ++lostCalls;
            DoErreur(e, QStringLiteral("frmListeMsg"), QStringLiteral("Form_Unload"));
        };
        DoErreur(e, QStringLiteral("frmUpdate"), QStringLiteral("VerifMessages"));
        const QStringList lines = logLines();
        ASSERT_EQ(lines.size(), 20);
        EXPECT_TRUE(lines[0].startsWith(QStringLiteral("--- ") + QString::number(e.number())));
        EXPECT_EQ(lines[4], QStringLiteral("SQL : SELECT * FROM tblemploye"));
    }
    EXPECT_EQ(lostCalls, 1);
    EXPECT_EQ(rowCount(), 0);

    // The number arrives as text; a lost-connection number is recognised from it too.
    Session::onConnectionLost = [this] { ++lostCalls; };
    for (const char* number : {" 2013 ", "abc"})
        DoErreur(QLatin1String(number), QStringLiteral("x"), QString(), QStringLiteral("f"),
                 QStringLiteral("p"), QString());
    EXPECT_EQ(lostCalls, 2);
    EXPECT_EQ(rowCount(), 1);

    // A closed connection: the block is still written, without the database's version.
    const platform::ConnectionSettings settings = db->db().settings();
    db->db().close();
    DoErreur(std::runtime_error("boom"), QStringLiteral("frmPresence"), QStringLiteral("SetDate"));
    const QStringList all = logLines(), last = all.mid(all.size() - 10);
    ASSERT_EQ(all.size(), 50);
    EXPECT_EQ(last[0], QStringLiteral("--- 0 boom ---"));
    EXPECT_TRUE(last[6].endsWith(QStringLiteral(": ")));
    EXPECT_EQ(lostCalls, 2);
    db->db().open(settings);
    EXPECT_EQ(rowCount(), 1);
}

} // namespace
