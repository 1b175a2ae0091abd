#include "support/TestDb.h"

#include "services/Session.h"

#include <QCoreApplication>
#include <QFile>
#include <stdexcept>
#include <tuple>

bool TestDb::available() {
    return !qEnvironmentVariableIsEmpty("CORVEL_TEST_DB_PORT");
}

platform::ConnectionSettings TestDb::serverSettings() {
    // Each value from its CORVEL_TEST_DB_* variable, or the usual one when that is empty.
    const auto env = [](const char* name, const char* fallback) {
        const QString v = qEnvironmentVariable(name);
        return v.isEmpty() ? QString::fromLatin1(fallback) : v;
    };
    platform::ConnectionSettings s;
    s.host = env("CORVEL_TEST_DB_HOST", "127.0.0.1");
    s.port = env("CORVEL_TEST_DB_PORT", "3306").toInt();
    s.user = env("CORVEL_TEST_DB_USER", "corvel");
    s.password = env("CORVEL_TEST_DB_PASSWORD", "corvel");
    return s;
}

services::Config TestDb::config() const {
    const platform::ConnectionSettings s = serverSettings();
    services::Config c;
    std::tie(c.serveur, c.port, c.utilisateur, c.motDePasse, c.bd) =
        std::tie(s.host, s.port, s.user, s.password, m_name);
    return c;
}

TestDb::TestDb(const QString& tag)
    : m_name(QStringLiteral("t_%1_%2").arg(tag).arg(QCoreApplication::applicationPid())),
      m_admin(std::make_unique<platform::Database>()), m_db(std::make_unique<platform::Database>()) {
    m_admin->open(serverSettings());
    m_admin->execute(QStringLiteral("DROP DATABASE IF EXISTS ") + m_name);
    m_admin->execute(
        QStringLiteral("CREATE DATABASE %1 CHARACTER SET utf8mb4 COLLATE utf8mb4_unicode_ci").arg(m_name));
    m_db->open(config().connectionSettings());
    QFile schema(QStringLiteral(CORVEL_SCHEMA_SQL));
    if (!schema.open(QIODevice::ReadOnly)) throw std::runtime_error("cannot read " CORVEL_SCHEMA_SQL);
    runScript(QString::fromUtf8(schema.readAll()));
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
    for (const QString& line : sqlText.split(QLatin1Char('\n'))) {
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

void TestDb::truncateAll() {
    m_db->execute(QStringLiteral("SET FOREIGN_KEY_CHECKS = 0"));
    for (platform::Recordset rs = m_db->open(QStringLiteral("SHOW TABLES")); !rs.eof(); rs.moveNext())
        m_db->execute(QStringLiteral("TRUNCATE TABLE ") + rs.field(0).text());
    m_db->execute(QStringLiteral("SET FOREIGN_KEY_CHECKS = 1"));
}
