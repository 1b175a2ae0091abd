#pragma once

#include "platform/Database.h"
#include "services/Session.h"

#include <QString>
#include <cstdio>

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
