#include "platform/Database.h"

#include "platform/SqlText.h"

#include <QAtomicInt>
#include <QDateTime>
#include <QElapsedTimer>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>

namespace platform {

QString Field::text() const {
    if (isNull()) return QString();
    switch (m_value.typeId()) {
    case QMetaType::QDate:
        return m_value.toDate().toString(QStringLiteral("yyyy-MM-dd"));
    case QMetaType::QTime:
        return m_value.toTime().toString(QStringLiteral("HH:mm:ss"));
    case QMetaType::QDateTime:
        return m_value.toDateTime().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"));
    default:
        return m_value.toString();
    }
}

QDate Field::toDate() const {
    if (m_value.typeId() == QMetaType::QDateTime) return m_value.toDateTime().date();
    if (m_value.typeId() == QMetaType::QString)
        return QDate::fromString(m_value.toString().left(10), QStringLiteral("yyyy-MM-dd"));
    return m_value.toDate();
}

QTime Field::toTime() const {
    if (m_value.typeId() == QMetaType::QDateTime) return m_value.toDateTime().time();
    if (m_value.typeId() == QMetaType::QString) return QTime::fromString(m_value.toString(), Qt::ISODate);
    return m_value.toTime();
}

QDateTime Field::toDateTime() const {
    if (m_value.typeId() == QMetaType::QString)
        return QDateTime::fromString(m_value.toString(), QStringLiteral("yyyy-MM-dd HH:mm:ss"));
    return m_value.toDateTime();
}

Recordset::Recordset(QStringList names, QVector<QVariant> values)
    : m_names(std::move(names)), m_values(std::move(values)),
      m_count(m_names.isEmpty() ? 0 : int(m_values.size() / m_names.size())) {}

int Recordset::fieldIndex(const QString& name) const {
    // A name stands for the first column spelt like it in any case, as the search below finds.
    if (m_positions.isEmpty())
        for (int i = m_names.size() - 1; i >= 0; --i)
            for (int j = 0; j <= i; ++j)
                if (m_names[j].compare(m_names[i], Qt::CaseInsensitive) == 0) {
                    m_positions.insert(m_names[i], j);
                    break;
                }
    const auto it = m_positions.constFind(name);
    if (it != m_positions.constEnd()) return *it;
    for (int i = 0; i < m_names.size(); ++i)
        if (m_names[i].compare(name, Qt::CaseInsensitive) == 0) return i;
    return -1;
}

Field Recordset::field(const QString& name) const {
    const int i = fieldIndex(name);
    if (i < 0)
        throw DbError(3265, QStringLiteral("Élément introuvable dans la collection: ") + name, QString());
    return field(i);
}

Field Recordset::field(int index) const {
    if (eof() || m_pos < 0)
        throw DbError(3021, QStringLiteral("BOF ou EOF est vrai, ou l'enregistrement actuel a été supprimé."),
                      QString());
    if (index < 0 || index >= m_names.size())
        throw DbError(3265, QStringLiteral("Élément introuvable dans la collection."), QString());
    return Field(m_values[qsizetype(m_pos) * m_names.size() + index]);
}

namespace {
QAtomicInt connectionSerial;
}

Database::Database() : m_name(QStringLiteral("corvel-%1").arg(connectionSerial.fetchAndAddRelaxed(1))) {}

Database::~Database() {
    close();
    QSqlDatabase::removeDatabase(m_name);
}

void Database::open(const ConnectionSettings& s) {
    close();
    m_settings = s;
    m_maxPaquet = 0;
    QSqlDatabase db = QSqlDatabase::contains(m_name)
                          ? QSqlDatabase::database(m_name, false)
                          : QSqlDatabase::addDatabase(QStringLiteral("QMYSQL"), m_name);
    if (!db.isValid())
        throw DbError(DbError::kAucuneConnexion, QStringLiteral("Le pilote MySQL de Qt est introuvable."),
                      QString());
    db.setHostName(s.host);
    db.setPort(s.port);
    db.setDatabaseName(s.database);
    db.setUserName(s.user);
    db.setPassword(s.password);
    db.setConnectOptions(
        QStringLiteral("MYSQL_OPT_CONNECT_TIMEOUT=%1;MYSQL_OPT_READ_TIMEOUT=%2;MYSQL_OPT_WRITE_TIMEOUT=%2")
            .arg(s.connectTimeoutSeconds)
            .arg(s.readTimeoutSeconds));
    if (!db.open()) {
        const QSqlError e = db.lastError();
        bool ok = false;
        int n = e.nativeErrorCode().toInt(&ok);
        throw DbError(ok ? n : 2003, e.text(), QString());
    }
    m_connectionText = QStringLiteral("Server=%1;database=%2;Port=%3;USER=%4")
                           .arg(s.host, s.database, QString::number(s.port), s.user);
    // The grouped message queries select columns outside their GROUP BY, and text
    // values are written with doubled backslashes: make any server read them alike.
    execute(QStringLiteral("SET SESSION sql_mode = 'STRICT_TRANS_TABLES,NO_ENGINE_SUBSTITUTION'"));
    execute(QStringLiteral("SET NAMES utf8mb4"));
    // A row locked by another workstation is waited for less long than a statement
    // may take: the wait ends in an error that can be retried, not in a time-out
    // that would make the program inactive.
    execute(
        QStringLiteral("SET SESSION innodb_lock_wait_timeout = %1").arg(qMax(1, s.readTimeoutSeconds - 2)));
    const Recordset paquet = open(QStringLiteral("SELECT @@max_allowed_packet"));
    m_maxPaquet = paquet.eof() ? 0 : paquet.field(0).toLongLong();
}

void Database::close() {
    if (!QSqlDatabase::contains(m_name)) return;
    QSqlDatabase db = QSqlDatabase::database(m_name, false);
    if (db.isOpen()) db.close();
    m_connectionText.clear();
}

bool Database::isOpen() const {
    return QSqlDatabase::contains(m_name) && QSqlDatabase::database(m_name, false).isOpen();
}

void Database::fail(const QString& sql, const QSqlError& e) {
    bool ok = false;
    int n = e.nativeErrorCode().toInt(&ok);
    if (!ok) n = isOpen() ? 0 : DbError::kAucuneConnexion;
    QString text = e.databaseText().isEmpty() ? e.text() : e.databaseText();
    // After a time-out the connection is no longer in step with the server: closed now,
    // a rollback or an error report on it fails at once instead of waiting once more.
    if (DbError::isConnectionLost(n)) close();
    throw DbError(n, text, sql);
}

void Database::verifierTaille(const QString& sql) const {
    // A character takes at most three bytes per UTF-16 unit: most statements need no count.
    if (m_maxPaquet <= 0 || qint64(sql.size()) * 3 < m_maxPaquet) return;
    // With the command's own byte, the packet must stay below the limit.
    const qint64 octets = sql.toUtf8().size() + 1;
    if (octets >= m_maxPaquet)
        throw DbError(DbError::kTropLong,
                      QStringLiteral("L'énoncé de %1 octets dépasse les %2 octets que le serveur accepte "
                                     "(max_allowed_packet).")
                          .arg(octets)
                          .arg(m_maxPaquet),
                      sql);
}

void Database::execute(const QString& sql) {
    if (!isOpen())
        throw DbError(DbError::kAucuneConnexion,
                      QStringLiteral("La connexion à la base de données est fermée."), sql);
    verifierTaille(sql);
    if (m_journal) *m_journal << sql;
    QElapsedTimer t;
    t.start();
    QSqlQuery q(QSqlDatabase::database(m_name, false));
    const bool ok = q.exec(sql);
    m_nanos += t.nsecsElapsed();
    ++m_statements;
    if (!ok) fail(sql, q.lastError());
}

std::unique_ptr<QSqlQuery> Database::run(const QString& sql, QStringList& names) {
    if (!isOpen())
        throw DbError(DbError::kAucuneConnexion,
                      QStringLiteral("La connexion à la base de données est fermée."), sql);
    verifierTaille(sql);
    if (m_journal) *m_journal << sql;
    QElapsedTimer t;
    t.start();
    auto q = std::make_unique<QSqlQuery>(QSqlDatabase::database(m_name, false));
    q->setForwardOnly(true);
    const bool ok = q->exec(sql);
    m_nanos += t.nsecsElapsed();
    ++m_statements;
    if (!ok) fail(sql, q->lastError());
    const QSqlRecord rec = q->record();
    names.reserve(rec.count());
    for (int i = 0; i < rec.count(); ++i)
        names << rec.fieldName(i);
    return q;
}

Recordset Database::open(const QString& sql) {
    QStringList names;
    const std::unique_ptr<QSqlQuery> q = run(sql, names);
    QElapsedTimer t;
    t.start();
    QVector<QVariant> values;
    const int n = names.size();
    if (q->size() > 0) values.reserve(qsizetype(q->size()) * n);
    while (q->next())
        for (int i = 0; i < n; ++i)
            values.push_back(q->value(i));
    m_nanos += t.nsecsElapsed(); // reading the records is the statement's time too
    if (q->lastError().isValid()) fail(sql, q->lastError());
    return Recordset(std::move(names), std::move(values));
}

Cursor Database::openCursor(const QString& sql) {
    QStringList names;
    std::unique_ptr<QSqlQuery> q = run(sql, names);
    return Cursor(std::move(q), std::move(names));
}

Cursor::Cursor(std::unique_ptr<QSqlQuery> query, QStringList names)
    : m_query(std::move(query)), m_names(std::move(names)) {
    lire();
}
Cursor::Cursor(Cursor&&) noexcept = default;
Cursor::~Cursor() = default;

void Cursor::moveNext() {
    if (!eof()) lire();
}

void Cursor::lire() {
    QVector<QVariant> values;
    if (m_query->next()) {
        values.reserve(m_names.size());
        for (int i = 0; i < m_names.size(); ++i)
            values.push_back(m_query->value(i));
    } else {
        m_query.reset(); // nothing more to read: the result is let go now
    }
    m_record = Recordset(m_names, std::move(values));
}

qint64 Database::lastInsertId() {
    Recordset rs = open(QStringLiteral("SELECT LAST_INSERT_ID()"));
    return rs.eof() ? 0 : rs.field(0).toLongLong();
}

void Database::beginTransaction() {
    execute(QStringLiteral("START TRANSACTION"));
}

void Database::commit() {
    execute(QStringLiteral("COMMIT"));
}

void Database::rollback() {
    execute(QStringLiteral("ROLLBACK"));
}

Transaction::~Transaction() {
    if (m_done) return;
    try {
        // A lost connection has already been rolled back by the server.
        if (m_db.isOpen()) m_db.rollback();
    } catch (const DbError&) {
    }
}

void Transaction::commit() {
    m_db.commit();
    m_done = true;
}

namespace {
constexpr int kLockWaitTimeout = 1205;
constexpr int kDeadlock = 1213;
constexpr int kEssais = 3;

// A lock name is server-wide, and at most 64 characters long: the hash of the database's
// name keeps two offices on one server from waiting on each other.
QString lockNameSql(const QString& name) {
    return QStringLiteral("CONCAT(") + sqlQuote(name + QLatin1Char('.')) +
           QStringLiteral(", MD5(DATABASE()))");
}
} // namespace

NamedLock::NamedLock(Database& db, const QString& name, int seconds)
    : m_db(db), m_nameSql(lockNameSql(name)) {
    const QString sql = QStringLiteral("SELECT GET_LOCK(") + m_nameSql + QStringLiteral(", ") +
                        QString::number(seconds) + QStringLiteral(") AS Obtenu");
    // 0 when the wait ran out, NULL when the server refused.
    const Recordset rs = m_db.open(sql);
    if (rs.eof() || rs.field(0).isNull() || rs.field(0).toInt() != 1)
        throw DbError(kLockWaitTimeout,
                      QStringLiteral("Un autre poste tient le verrou « %1 » depuis plus de %2 secondes.")
                          .arg(name, QString::number(seconds)),
                      sql);
}

NamedLock::~NamedLock() {
    try {
        // A lost connection's locks are already let go by the server.
        if (m_db.isOpen()) m_db.execute(QStringLiteral("DO RELEASE_LOCK(") + m_nameSql + QStringLiteral(")"));
    } catch (const DbError&) {
    }
}

void enTransaction(Database& db, const std::function<void()>& work) {
    for (int essai = 1;; ++essai) {
        db.beginTransaction();
        try {
            work();
            db.commit();
            return;
        } catch (const DbError& e) {
            // A connection that timed out is not asked anything more.
            if (!e.isTimeout()) {
                try {
                    db.rollback();
                } catch (const DbError&) {
                }
            }
            const bool conflit = e.number() == kDeadlock || e.number() == kLockWaitTimeout;
            if (!conflit || essai == kEssais) throw;
        }
    }
}

} // namespace platform
