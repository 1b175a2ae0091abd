#include "services/ErrorLogger.h"

#include "platform/Clock.h"
#include "platform/Database.h"
#include "platform/SqlText.h"
#include "services/Session.h"

#include <QCoreApplication>
#include <QFile>
#include <QRegularExpression>
#include <QSysInfo>

namespace services {

namespace {

QString& logPathOverride() {
    static QString path;
    return path;
}

// True while a DoErreur is running: an error raised by the logging itself (or by a
// window closed from the inactive hook) is written to the file only, so that the
// logger can never loop on itself.
bool& insideLogger() {
    static bool inside = false;
    return inside;
}

// One line of the block: line breaks inside a value (multi-line SQL, server texts)
// would break the ten-line layout that readers of the log count on.
QString oneLine(const QString& value) {
    static const QRegularExpression breaks(QStringLiteral("[\\r\\n]+"));
    QString v = value;
    return v.replace(breaks, QStringLiteral(" "));
}

// Strict mode rejects a value longer than its column instead of cutting it.
QString fit(const QString& value, int maxChars) {
    return value.size() > maxChars ? value.left(maxChars) : value;
}

QString firstValue(platform::Database* db, const QString& sql) {
    try {
        platform::Recordset rs = db->open(sql);
        if (!rs.eof()) return rs.field(0).text();
    } catch (...) {
    }
    return QString();
}

void appendToLog(const QStringList& lines) {
    try {
        QFile f(errorLogPath());
        if (!f.open(QIODevice::WriteOnly | QIODevice::Append)) return;
        QByteArray bytes;
        for (const QString& line : lines)
            bytes += line.toUtf8() + "\r\n";
        f.write(bytes);
    } catch (...) {
    }
}

void storeRow(platform::Database* db, const QString& number, const QString& description,
              const QString& source, const QString& form, const QString& procedure, const QString& sql,
              const QDateTime& when, const QString& versionBd, const QString& versionOs,
              const QString& versionMysql) {
    using platform::sqlQuote;
    try {
        const QString insert =
            QStringLiteral(
                "INSERT INTO tblerreur (IdUser, NomUser, DateErr, ErrNumber, ErrDescription, Fonction, "
                "Form, strSQL, VersionBD, VersionApp, NomApp, Commentaire, VersionOS, VersionMYSQL, "
                "Envoye) VALUES (") +
            QString::number(Session::lngNoEmploye) + QStringLiteral(", ") +
            sqlQuote(fit(Session::strNomEmploye, 100)) + QStringLiteral(", ") + platform::sqlDateTime(when) +
            QStringLiteral(", ") + sqlQuote(fit(number, 20)) + QStringLiteral(", ") +
            sqlQuote(fit(description, 16000)) + QStringLiteral(", ") + sqlQuote(fit(procedure, 100)) +
            QStringLiteral(", ") + sqlQuote(fit(form, 100)) + QStringLiteral(", ") +
            sqlQuote(fit(sql, 4000000)) + QStringLiteral(", ") + sqlQuote(fit(versionBd, 20)) +
            QStringLiteral(", ") + sqlQuote(fit(QStringLiteral(CORVEL_VERSION), 20)) + QStringLiteral(", ") +
            sqlQuote(QStringLiteral("Corvel")) + QStringLiteral(", ") + sqlQuote(fit(source, 16000)) +
            QStringLiteral(", ") + sqlQuote(fit(versionOs, 100)) + QStringLiteral(", ") +
            sqlQuote(fit(versionMysql, 50)) + QStringLiteral(", 0)");
        db->execute(insert);
    } catch (...) {
        // A report that cannot be stored is still in Erreur.log.
    }
}

} // namespace

QString errorLogPath() {
    if (!logPathOverride().isEmpty()) return logPathOverride();
    return QCoreApplication::applicationDirPath() + QStringLiteral("/Erreur.log");
}

void setErrorLogPath(const QString& path) {
    logPathOverride() = path;
}

void DoErreur(const QString& number, const QString& description, const QString& source, const QString& form,
              const QString& procedure, const QString& sql) {
    bool lost = false;
    const bool nested = insideLogger();
    insideLogger() = true;
    try {
        bool isNumber = false;
        const int n = number.trimmed().toInt(&isNumber);
        lost = isNumber && platform::DbError::isConnectionLost(n);

        const QDateTime when = platform::Clock::now();
        platform::Database* db = Session::cnBD();
        // Asking a connection that just timed out would only wait for another time-out.
        const bool useDb = !nested && !lost && db && Session::connected();
        const QString versionBd =
            useDb ? firstValue(db, QStringLiteral(
                                       "SELECT VersionBD FROM tblpreferences ORDER BY IdPreference LIMIT 1"))
                  : QString();
        const QString versionMysql = useDb ? firstValue(db, QStringLiteral("SELECT VERSION()")) : QString();
        const QString versionOs = QSysInfo::prettyProductName();

        appendToLog({QStringLiteral("--- ") + oneLine(number) + QLatin1Char(' ') + oneLine(description) +
                         QStringLiteral(" ---"),
                     QStringLiteral("Utilisateur : ") + oneLine(Session::strNomEmploye) +
                         QStringLiteral(" (") + QString::number(Session::lngNoEmploye) +
                         QStringLiteral("), le ") + when.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss")),
                     QStringLiteral("Fenêtre : ") + oneLine(form) + QStringLiteral(", procédure : ") +
                         oneLine(procedure),
                     QStringLiteral("Source : ") + oneLine(source), QStringLiteral("SQL : ") + oneLine(sql),
                     QStringLiteral("Version du programme : ") + QStringLiteral(CORVEL_VERSION),
                     QStringLiteral("Version de la base de données : ") + oneLine(versionBd),
                     QStringLiteral("Système d'exploitation : ") + oneLine(versionOs),
                     QStringLiteral("Version de MySQL : ") + oneLine(versionMysql),
                     QString(51, QLatin1Char('_'))});

        // The office database's tblerreur is where error reports are kept and read.
        if (useDb)
            storeRow(db, number, description, source, form, procedure, sql, when, versionBd, versionOs,
                     versionMysql);
    } catch (...) {
    }
    // The hook closes windows, whose own errors are then logged without calling it again.
    if (lost && !nested) {
        try {
            if (Session::onConnectionLost) Session::onConnectionLost();
        } catch (...) {
        }
    }
    insideLogger() = nested;
}

void DoErreur(const platform::DbError& error, const QString& form, const QString& procedure) {
    try {
        DoErreur(QString::number(error.number()), error.text(), QStringLiteral("MySQL"), form, procedure,
                 error.sql());
    } catch (...) {
    }
}

void DoErreur(const std::exception& error, const QString& form, const QString& procedure,
              const QString& sql) {
    try {
        if (const auto* db = dynamic_cast<const platform::DbError*>(&error)) {
            DoErreur(QString::number(db->number()), db->text(), QStringLiteral("MySQL"), form, procedure,
                     sql.isEmpty() ? db->sql() : sql);
            return;
        }
        DoErreur(QStringLiteral("0"), QString::fromUtf8(error.what()), QStringLiteral("Corvel"), form,
                 procedure, sql);
    } catch (...) {
    }
}

} // namespace services
