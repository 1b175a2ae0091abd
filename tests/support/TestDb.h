#pragma once

#include "platform/Database.h"
#include "services/Config.h"

#include <QString>
#include <memory>

// A private database for one test binary, made from db/schema.sql on the test
// server that scripts/test.sh starts (its address comes from CORVEL_TEST_DB_*).
// The database is dropped when the object goes. Session::cnBD() points at it.
class TestDb {
public:
    explicit TestDb(const QString& tag);
    ~TestDb();

    // False when no test server is configured; the test should then GTEST_SKIP().
    static bool available();
    static platform::ConnectionSettings serverSettings();

    platform::Database& db() { return *m_db; }
    // The vevu.cfg settings that reach this database (for the shell's reconnection).
    services::Config config() const;
    QString name() const { return m_name; }
    // Runs each statement of a script (statements end with ';' at a line end).
    void runScript(const QString& sqlText);
    // Empties every table, leaving the schema.
    void truncateAll();

private:
    QString m_name;
    std::unique_ptr<platform::Database> m_admin;
    std::unique_ptr<platform::Database> m_db;
};

// Shorthand for a test that needs the database.
#define REQUIRE_TEST_DB()                                                                                    \
    if (!TestDb::available()) GTEST_SKIP() << "CORVEL_TEST_DB_PORT not set: no test server"
