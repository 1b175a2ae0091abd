#include "support/TestDb.h"

#include "services/Session.h"

#include <QCoreApplication>
#include <QFile>
#include <QRegularExpression>
#include <stdexcept>

namespace {
QString env(const char* name, const QString& fallback = QString()) {
    const QString v = qEnvironmentVariable(name);
    return v.isEmpty() ? fallback : v;
}
} // namespace

bool TestDb::available() {
    return !qEnvironmentVariableIsEmpty("CORVEL_TEST_DB_PORT");
}

platform::ConnectionSettings TestDb::serverSettings() {
    platform::ConnectionSettings s;
    s.host = env("CORVEL_TEST_DB_HOST", QStringLiteral("127.0.0.1"));
    s.port = env("CORVEL_TEST_DB_PORT", QStringLiteral("3306")).toInt();
    s.user = env("CORVEL_TEST_DB_USER", QStringLiteral("corvel"));
    s.password = env("CORVEL_TEST_DB_PASSWORD", QStringLiteral("corvel"));
    return s;
}

services::Config TestDb::config() const {
    services::Config c;
    const platform::ConnectionSettings s = serverSettings();
    c.serveur = s.host;
    c.port = s.port;
    c.utilisateur = s.user;
    c.motDePasse = s.password;
    c.bd = m_name;
    return c;
}

TestDb::TestDb(const QString& tag) {
    m_name = QStringLiteral("t_%1_%2").arg(tag).arg(QCoreApplication::applicationPid());
    m_admin = std::make_unique<platform::Database>();
    m_admin->open(serverSettings());
    m_admin->execute(QStringLiteral("DROP DATABASE IF EXISTS ") + m_name);
    m_admin->execute(QStringLiteral("CREATE DATABASE ") + m_name +
                     QStringLiteral(" CHARACTER SET utf8mb4 COLLATE utf8mb4_unicode_ci"));
    platform::ConnectionSettings s = serverSettings();
    s.database = m_name;
    m_db = std::make_unique<platform::Database>();
    m_db->open(s);
    runFile(QStringLiteral(CORVEL_SCHEMA_SQL));
    services::Session::setConnection(m_db.get());
    services::Session::programActive = true;
}

TestDb::~TestDb() {
    if (services::Session::cnBD() == m_db.get()) services::Session::setConnection(nullptr);
    m_db.reset();
    try {
        m_admin->execute(QStringLiteral("DROP DATABASE IF EXISTS ") + m_name);
    } catch (...) {
    }
}

void TestDb::runScript(const QString& sqlText) {
    // Statements end with ';' at the end of a line; comment lines are skipped.
    QString current;
    const QStringList lines = sqlText.split(QLatin1Char('\n'));
    for (const QString& line : lines) {
        const QString trimmed = line.trimmed();
        if (current.isEmpty() && (trimmed.isEmpty() || trimmed.startsWith(QLatin1String("--")))) continue;
        current += line + QLatin1Char('\n');
        if (trimmed.endsWith(QLatin1Char(';'))) {
            m_db->execute(current.trimmed().chopped(1));
            current.clear();
        }
    }
    if (!current.trimmed().isEmpty()) m_db->execute(current);
}

void TestDb::runFile(const QString& path) {
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) throw std::runtime_error("cannot read " + path.toStdString());
    runScript(QString::fromUtf8(f.readAll()));
}

void TestDb::truncateAll() {
    platform::Recordset rs = m_db->open(QStringLiteral("SHOW TABLES"));
    m_db->execute(QStringLiteral("SET FOREIGN_KEY_CHECKS = 0"));
    for (; !rs.eof(); rs.moveNext())
        m_db->execute(QStringLiteral("TRUNCATE TABLE ") + rs.field(0).text());
    m_db->execute(QStringLiteral("SET FOREIGN_KEY_CHECKS = 1"));
}
