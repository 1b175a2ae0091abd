#pragma once

#include "platform/Database.h"
#include "services/Session.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QString>
#include <cstdio>
#include <functional>
#include <stdexcept>

// Opens the database a renderer draws from (server from DB_HOST, DB_PORT, DB_USER,
// DB_PASSWORD, as scripts/db.sh writes them) and makes it the shared connection.
inline bool openBenchDatabase(platform::Database& db, const QString& name) {
    platform::ConnectionSettings s;
    s.host = qEnvironmentVariable("DB_HOST", QStringLiteral("127.0.0.1"));
    s.port = qEnvironmentVariable("DB_PORT", QStringLiteral("3306")).toInt();
    s.user = qEnvironmentVariable("DB_USER", QStringLiteral("corvel"));
    s.password = qEnvironmentVariable("DB_PASSWORD");
    s.database = name;
    try {
        db.open(s);
    } catch (const platform::DbError& e) {
        std::fprintf(stderr, "%s\n", qPrintable(e.text()));
        return false;
    }
    services::Session::setConnection(&db);
    return true;
}

// The time in milliseconds of one trivial statement, so that a relay's delay is seen, not assumed.
inline double allerRetour(platform::Database& db) {
    QElapsedTimer t;
    t.start();
    for (int i = 0; i < 200; ++i)
        db.open(QStringLiteral("SELECT 1"));
    return t.nsecsElapsed() / 1e6 / 200;
}

// Opens `reseau` on the database of `s` through the relay listening on `relayPort`, and prints
// what one round trip costs directly and through it.
inline void ouvrirParRelais(platform::Database& db, const platform::ConnectionSettings& s, int relayPort,
                            platform::Database& reseau) {
    platform::ConnectionSettings r = s;
    r.host = QStringLiteral("127.0.0.1");
    r.port = relayPort;
    reseau.open(r);
    const double direct = allerRetour(db), relaye = allerRetour(reseau);
    std::printf("round trip of one statement: direct %.3f ms, through the relay %.3f ms (+%.3f ms)\n", direct,
                relaye, relaye - direct);
}

// A database of the benchmark's own on the test server (CORVEL_TEST_DB_* or DB_*), made from
// db/schema.sql and dropped when it goes. Throws what the server says when it cannot be made.
class ScratchDatabase {
public:
    explicit ScratchDatabase(const QString& prefix)
        : m_name(QStringLiteral("%1_%2").arg(prefix).arg(QCoreApplication::applicationPid())) {
        settings.host = env("CORVEL_TEST_DB_HOST", "DB_HOST", QStringLiteral("127.0.0.1"));
        settings.port = env("CORVEL_TEST_DB_PORT", "DB_PORT", QStringLiteral("3306")).toInt();
        settings.user = env("CORVEL_TEST_DB_USER", "DB_USER", QStringLiteral("corvel"));
        settings.password = env("CORVEL_TEST_DB_PASSWORD", "DB_PASSWORD", QStringLiteral("corvel"));
        settings.readTimeoutSeconds = 600;
        m_admin.open(settings);
        m_admin.execute(QStringLiteral("CREATE DATABASE ") + m_name +
                        QStringLiteral(" CHARACTER SET utf8mb4 COLLATE utf8mb4_unicode_ci"));
        try {
            settings.database = m_name;
            db.open(settings);
            // Named by the build: a cached compiler may leave __FILE__ without its folder.
            QFile schema(QStringLiteral(CORVEL_SCHEMA_SQL));
            if (!schema.open(QIODevice::ReadOnly)) throw std::runtime_error("db/schema.sql not found");
            runScript(QString::fromUtf8(schema.readAll()));
        } catch (...) {
            drop();
            throw;
        }
    }
    ~ScratchDatabase() { drop(); }
    ScratchDatabase(const ScratchDatabase&) = delete;
    ScratchDatabase& operator=(const ScratchDatabase&) = delete;

    // Runs a script of statements ending with ';', skipping blank and comment lines between them.
    void runScript(const QString& text) {
        QString current;
        for (const QString& line : text.split(QLatin1Char('\n'))) {
            const QString t = line.trimmed();
            if (current.isEmpty() && (t.isEmpty() || t.startsWith(QLatin1String("--")))) continue;
            current += line + QLatin1Char('\n');
            if (t.endsWith(QLatin1Char(';'))) {
                db.execute(current.trimmed().chopped(1));
                current.clear();
            }
        }
    }

    platform::ConnectionSettings settings; // with the database's name
    platform::Database db;

private:
    static QString env(const char* a, const char* b, const QString& fallback) {
        QString v = qEnvironmentVariable(a);
        if (v.isEmpty()) v = qEnvironmentVariable(b);
        return v.isEmpty() ? fallback : v;
    }
    void drop() {
        db.close();
        try {
            if (m_admin.isOpen()) m_admin.execute(QStringLiteral("DROP DATABASE IF EXISTS ") + m_name);
        } catch (...) {
        }
    }

    QString m_name;
    platform::Database m_admin;
};

// Runs a benchmark on a scratch database of its own as the shared connection; 0 when it
// ran through, 1 (with the reason on stderr) when the database stopped it.
inline int runOnScratchDatabase(
    const QString& prefix,
    const std::function<void(platform::Database& db, const platform::ConnectionSettings& settings)>& run) {
    int status = 0;
    try {
        ScratchDatabase scratch(prefix);
        run(scratch.db, scratch.settings);
    } catch (const platform::DbError& e) {
        std::fprintf(stderr, "database error %d: %s\n", e.number(), qPrintable(e.text()));
        status = 1;
    } catch (const std::exception& e) {
        std::fprintf(stderr, "%s\n", e.what());
        status = 1;
    }
    services::Session::setConnection(nullptr);
    return status;
}
