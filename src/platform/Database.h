#pragma once

#include "platform/DbError.h"

#include <QHash>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <QVector>
#include <functional>
#include <memory>

class QSqlError;
class QSqlQuery;
class QDate;
class QTime;
class QDateTime;

namespace platform {

// One value read from a recordset. Dates and times read as the program shows
// them everywhere: year-month-day and 24-hour time.
class Field {
public:
    Field() = default;
    explicit Field(const QVariant& v) : m_value(v) {}

    const QVariant& value() const { return m_value; }
    bool isNull() const { return m_value.isNull() || !m_value.isValid(); }
    QString text() const;
    int toInt() const { return m_value.toInt(); }
    qint64 toLongLong() const { return m_value.toLongLong(); }
    double toDouble() const { return m_value.toDouble(); }
    bool toBool() const { return m_value.toInt() != 0; }
    QDate toDate() const;
    QTime toTime() const;
    QDateTime toDateTime() const;

private:
    QVariant m_value;
};

// A result set read whole into memory and walked like a cursor: eof(), moveNext(),
// field("Nom"). An empty result is eof() from the start.
class Recordset {
public:
    Recordset() = default;
    // The values of every record one after the other, names.size() to a record.
    Recordset(QStringList names, QVector<QVariant> values);

    bool eof() const { return m_pos >= m_count; }
    void moveNext() { ++m_pos; }
    void moveFirst() { m_pos = 0; }
    int recordCount() const { return m_count; }
    QString fieldName(int i) const { return m_names.value(i); }
    // Position of a column, any case, -1 when there is none. The positions are taken once
    // for the result set; a loop over many records looks its columns up before it starts
    // and reads them with field(int).
    int fieldIndex(const QString& name) const;

    // Value of the current record; throws DbError when there is no current record
    // or no such column, as a cursor past its end would.
    Field field(const QString& name) const;
    Field field(int index) const;
    Field operator[](const QString& name) const { return field(name); }

private:
    QStringList m_names;
    mutable QHash<QString, int> m_positions; // by the name as the server spells it, made at first use
    QVector<QVariant> m_values;
    int m_count = 0;
    int m_pos = 0;
};

// A result read one record at a time as it is walked, forward only, for a statement that
// returns a record per listed message: its values are not all copied first, which would
// take as much memory again as the result itself.
class Cursor {
public:
    Cursor(Cursor&&) noexcept;
    ~Cursor();
    bool eof() const { return m_record.eof(); }
    void moveNext();
    // The current record alone (eof() at the end), read by position or by name.
    const Recordset& record() const { return m_record; }

private:
    friend class Database;
    Cursor(std::unique_ptr<QSqlQuery> query, QStringList names);
    void lire();
    std::unique_ptr<QSqlQuery> m_query;
    QStringList m_names;
    Recordset m_record;
};

struct ConnectionSettings {
    QString host;
    int port = 3306;
    QString database;
    QString user;
    QString password;
    // A server that stops answering must not hold the program for long: a statement
    // gives up after this many seconds without a byte from the server (a long result
    // that keeps coming is not cut), and the program goes inactive.
    int connectTimeoutSeconds = 4;
    int readTimeoutSeconds = 4;
};

// The program's connection to the shared MySQL-compatible database.
// Every failure throws DbError carrying the SQL text.
class Database {
public:
    Database();
    ~Database();
    Database(const Database&) = delete;
    Database& operator=(const Database&) = delete;

    void open(const ConnectionSettings& settings);
    void close();
    bool isOpen() const;
    // The connection text shown to the user and logged; empty before open().
    QString connectionText() const { return m_connectionText; }
    const ConnectionSettings& settings() const { return m_settings; }

    void execute(const QString& sql);
    Recordset open(const QString& sql);
    // The longest statement the server takes, in bytes (its max_allowed_packet, read
    // once per connection). A longer one is refused before it is sent with
    // DbError::kTropLong: the server would drop the connection instead of answering.
    qint64 maxAllowedPacket() const { return m_maxPaquet; }
    // The same statement, walked as it is read; the connection serves other statements
    // meanwhile.
    Cursor openCursor(const QString& sql);
    // Reads SELECT LAST_INSERT_ID() right after an insert.
    qint64 lastInsertId();

    // Writes that must land together or not at all. Prefer Transaction below, which
    // rolls back when left without commit(). A row read with FOR UPDATE stays locked
    // against every other connection until the end of the transaction.
    void beginTransaction();
    void commit();
    void rollback();

    // Counts the statements run since creation; the benchmarks use it with the time below.
    qint64 statementCount() const { return m_statements; }
    qint64 nanosecondsInDatabase() const { return m_nanos; }
    // When set, every statement run is appended to it, so that a benchmark can time the
    // statements of a step again on their own.
    void setJournal(QStringList* journal) { m_journal = journal; }

private:
    [[noreturn]] void fail(const QString& sql, const QSqlError& error);
    void verifierTaille(const QString& sql) const;
    // Runs a statement to read; its column names in `names`.
    std::unique_ptr<QSqlQuery> run(const QString& sql, QStringList& names);
    QString m_name;
    QString m_connectionText;
    ConnectionSettings m_settings;
    qint64 m_maxPaquet = 0; // 0 until read: no check
    qint64 m_statements = 0;
    qint64 m_nanos = 0;
    QStringList* m_journal = nullptr;
};

// Begins on creation; rolls back on destruction unless commit() was called, so that a
// statement that throws halfway leaves nothing behind.
class Transaction {
public:
    explicit Transaction(Database& db) : m_db(db) { m_db.beginTransaction(); }
    ~Transaction();
    Transaction(const Transaction&) = delete;
    Transaction& operator=(const Transaction&) = delete;
    void commit();

private:
    Database& m_db;
    bool m_done = false;
};

// Runs `work` as one transaction: committed when it returns, rolled back when it
// throws. A deadlock or a lock wait that ran out is tried again, twice at most.
void enTransaction(Database& db, const std::function<void()>& work);

// A lock that workstations doing the same work take in turn, held by this connection
// until destruction. Waits at most `seconds` for it, then throws DbError 1205 holding
// nothing. Taken before the transaction it guards begins and let go after that
// transaction ends, what one turn reads includes everything the turn before wrote.
// The name counts for the connection's database only.
class NamedLock {
public:
    NamedLock(Database& db, const QString& name, int seconds);
    ~NamedLock();
    NamedLock(const NamedLock&) = delete;
    NamedLock& operator=(const NamedLock&) = delete;

private:
    Database& m_db;
    QString m_nameSql;
};

} // namespace platform
