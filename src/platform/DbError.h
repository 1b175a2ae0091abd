#pragma once

#include <QString>
#include <stdexcept>

namespace platform {

// The one error a database call throws: the server's (or client library's) error
// number, its text, and the SQL text that was being run, so that whoever catches it
// can hand all three to the error logger.
class DbError : public std::runtime_error {
public:
    DbError(int number, const QString& text, const QString& sql);

    // Numbers of the program's own, below every server's and client library's: no
    // connection open at all (the program then goes inactive), and a statement longer
    // than the server takes, refused before it is sent.
    static constexpr int kAucuneConnexion = -1;
    static constexpr int kTropLong = -2;

    int number() const { return m_number; }
    QString text() const { return m_text; }
    QString sql() const { return m_sql; }

    // True when the connection itself is gone or timed out (server gone away, lost
    // during query, cannot connect, read time-out): the program then goes inactive.
    bool isTimeout() const { return isConnectionLost(m_number); }

    static bool isConnectionLost(int number);

private:
    int m_number;
    QString m_text;
    QString m_sql;
};

} // namespace platform
