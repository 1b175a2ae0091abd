// Time of a message grid fill against the time spent in the database calls it makes.
// The fill is meant to be bound by the database: our own share at most a quarter.
//
// Needs a MariaDB server: DB_HOST/DB_PORT/DB_USER/DB_PASSWORD (as scripts/db.sh writes them)
// or CORVEL_TEST_DB_*. Makes a database of its own and drops it at the end.
#include "followup/SGridMsg.h"
#include "platform/Database.h"
#include "platform/Grid.h"
#include "platform/SqlText.h"
#include "services/ErrorLogger.h"
#include "services/Session.h"

#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <cstdio>

namespace {

QString env(const char* a, const char* b, const QString& fallback) {
    QString v = qEnvironmentVariable(a);
    if (v.isEmpty()) v = qEnvironmentVariable(b);
    return v.isEmpty() ? fallback : v;
}

void runScript(platform::Database& db, const QString& text) {
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

const char* const kWords[] = {"client",   "rappeler",    "dossier",  "facture",   "demain",
                              "urgent",   "rendez-vous", "merci",    "téléphone", "courriel",
                              "contrat",  "signature",   "bureau",   "avant",     "midi",
                              "question", "réponse",     "paiement", "livraison", "projet"};

// A message as the entry form stores it: RTF with a font table, a few paragraphs.
QString rtfText(QRandomGenerator& rnd) {
    QString body;
    const int paragraphs = 1 + int(rnd.bounded(4));
    for (int p = 0; p < paragraphs; ++p) {
        const int words = 5 + int(rnd.bounded(30));
        for (int w = 0; w < words; ++w) {
            QString word = QString::fromUtf8(kWords[rnd.bounded(int(std::size(kWords)))]);
            word.replace(QStringLiteral("é"), QStringLiteral("\\'e9"));
            body += word + QLatin1Char(' ');
        }
        body += QStringLiteral("\\par\n");
    }
    return QStringLiteral("{\\rtf1\\ansi\\ansicpg1252\\deff0{\\fonttbl{\\f0\\fnil\\fcharset0 Arial;}}\n"
                          "\\viewkind4\\uc1\\pard\\lang3084\\f0\\fs20 ") +
           body + QStringLiteral("}\n");
}

// Adds messages firstId..lastId with 1 to 3 recipients, types, folders and callers.
void addMessages(platform::Database& db, int firstId, int lastId, QRandomGenerator& rnd) {
    const int batch = 200;
    for (int start = firstId; start <= lastId; start += batch) {
        QStringList msgs, dests, types, folders;
        for (int id = start; id <= std::min(lastId, start + batch - 1); ++id) {
            const QDate day = QDate(2024, 1, 1).addDays(id / 40);
            const QString time =
                QTime(8, 0).addSecs(int(rnd.bounded(36000))).toString(QStringLiteral("HH:mm:ss"));
            msgs << QStringLiteral("(%1, '%2', '%3', %4, %5, %6)")
                        .arg(id)
                        .arg(day.toString(QStringLiteral("yyyy-MM-dd")), time)
                        .arg(1 + rnd.bounded(3))
                        .arg(rnd.bounded(5) == 0 ? 0 : 1 + rnd.bounded(300))
                        .arg(platform::sqlRichText(rtfText(rnd)));
            const int n = 1 + int(rnd.bounded(3));
            const int from = 2 + int(rnd.bounded(8));
            for (int r = 0; r < n; ++r) {
                const int to = 2 + (from + r + 1) % 8;
                const bool done = rnd.bounded(5) == 0;
                dests << QStringLiteral("(%1, %2, %3, %4, %5, %6, %7, %8)")
                             .arg(id)
                             .arg(from)
                             .arg(to)
                             .arg(rnd.bounded(3) == 0 ? 1 : 0)
                             .arg(done ? 4 : 1 + rnd.bounded(3))
                             .arg(done ? QStringLiteral("'2024-02-01 12:00:00'") : QStringLiteral("NULL"))
                             .arg(1 + rnd.bounded(20))
                             .arg(1 + rnd.bounded(20));
            }
            if (rnd.bounded(2)) types << QStringLiteral("(%1, %2)").arg(id).arg(1 + rnd.bounded(4));
            if (rnd.bounded(3) == 0) folders << QStringLiteral("(%1, 'D-%2')").arg(id).arg(rnd.bounded(9999));
        }
        db.execute(QStringLiteral("INSERT INTO tblmessage (IdMessage, DateSaisie, HeureSaisie, IdPriorite, "
                                  "IdClientMsg, Message) VALUES ") +
                   msgs.join(QLatin1Char(',')));
        db.execute(
            QStringLiteral("INSERT INTO tblmessageemploye (IdMessage, NoEmplDe, NoEmplA, Nouveau, IdEtat, "
                           "DateTermine, NoMsgJourRecu, NoMsgJourEnvoi) VALUES ") +
            dests.join(QLatin1Char(',')));
        if (!types.isEmpty())
            db.execute(QStringLiteral("INSERT INTO tblmessagetype (IdMessage, IdType) VALUES ") +
                       types.join(QLatin1Char(',')));
        if (!folders.isEmpty())
            db.execute(QStringLiteral("INSERT INTO tblmessagedossier (IdMessage, NoDossier) VALUES ") +
                       folders.join(QLatin1Char(',')));
    }
}

void seed(platform::Database& db) {
    QStringList emp, callers;
    for (int e = 1; e <= 9; ++e)
        emp << QStringLiteral("(%1, 'Employé %1')").arg(e);
    db.execute(QStringLiteral("INSERT INTO tblemploye (NoEmploye, Nom) VALUES ") +
               emp.join(QLatin1Char(',')));
    db.execute(QStringLiteral(
        "INSERT INTO tbletatmessage (IdEtat, Description, Ordre) VALUES (1, 'Ouvert', 1),"
        " (2, 'En traitement', 2), (3, 'En attente', 3), (4, 'Terminé', 4), (5, 'Annulé', 5)"));
    db.execute(QStringLiteral("INSERT INTO tblpriorite (IdPriorite, Description) VALUES (1, 'Urgente'), (2, "
                              "'Normale'), (3, 'Basse')"));
    db.execute(QStringLiteral("INSERT INTO tbltypemessage (IdType, Description) VALUES (1, 'Rappeler'),"
                              " (2, 'A rappelé'), (3, 'Information'), (4, 'Rendez-vous')"));
    for (int c = 1; c <= 300; ++c)
        callers << QStringLiteral("(%1, 'Nom%1', 'Prénom', 'Cie %1', '(514)555-%2', NULL, '(438)555-%2')")
                       .arg(c)
                       .arg(c, 4, 10, QLatin1Char('0'));
    db.execute(
        QStringLiteral(
            "INSERT INTO tblclientmsg (IdClientMsg, Nom, Prenom, NomCie, Telephone, TelBureau, Cellulaire) "
            "VALUES ") +
        callers.join(QLatin1Char(',')));
}

struct Result {
    double totalMs;
    double dbMs;
    int rows;
    qint64 statements;
};

Result timeFill(SGridMsg& grid, platform::Database& db) {
    const qint64 ns0 = db.nanosecondsInDatabase();
    const qint64 st0 = db.statementCount();
    QElapsedTimer t;
    t.start();
    grid.Remplir();
    const qint64 total = t.nsecsElapsed();
    return {total / 1e6, (db.nanosecondsInDatabase() - ns0) / 1e6, grid.SGrid()->Rows(),
            db.statementCount() - st0};
}

void print(const char* label, const Result& r) {
    const double own = r.totalMs - r.dbMs;
    std::printf("%-16s rows %6d  statements %6lld  fill %9.1f ms  database %9.1f ms  own %8.1f ms  "
                "own/total %.3f  database/total %.3f\n",
                label, r.rows, static_cast<long long>(r.statements), r.totalMs, r.dbMs, own, own / r.totalMs,
                r.dbMs / r.totalMs);
}

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QTemporaryDir logDir;
    services::setErrorLogPath(logDir.filePath(QStringLiteral("Erreur.log")));

    platform::ConnectionSettings s;
    s.host = env("CORVEL_TEST_DB_HOST", "DB_HOST", QStringLiteral("127.0.0.1"));
    s.port = env("CORVEL_TEST_DB_PORT", "DB_PORT", QStringLiteral("3306")).toInt();
    s.user = env("CORVEL_TEST_DB_USER", "DB_USER", QStringLiteral("corvel"));
    s.password = env("CORVEL_TEST_DB_PASSWORD", "DB_PASSWORD", QStringLiteral("corvel"));
    s.readTimeoutSeconds = 600;
    const QString name = QStringLiteral("bench_fill_%1").arg(QCoreApplication::applicationPid());

    platform::Database admin;
    int status = 0;
    try {
        admin.open(s);
        admin.execute(QStringLiteral("CREATE DATABASE ") + name +
                      QStringLiteral(" CHARACTER SET utf8mb4 COLLATE utf8mb4_unicode_ci"));
        s.database = name;
        platform::Database db;
        db.open(s);
        QFile schema(QFileInfo(QStringLiteral(__FILE__)).dir().filePath(QStringLiteral("../db/schema.sql")));
        if (!schema.open(QIODevice::ReadOnly)) throw std::runtime_error("db/schema.sql not found");
        runScript(db, QString::fromUtf8(schema.readAll()));
        seed(db);
        QRandomGenerator rnd(20240315);
        addMessages(db, 1, 2000, rnd);

        services::Session::setConnection(&db);
        services::Session::lngNoEmploye = 0; // "Tous": every message is listed
        SGridMsg grid;
        grid.resize(1200, 800);

        timeFill(grid, db); // warms the server's caches and the fonts
        Result best{};
        for (int i = 0; i < 3; ++i) {
            const Result r = timeFill(grid, db);
            if (i == 0 || r.totalMs < best.totalMs) best = r;
        }
        print("2000 messages", best);

        // Finished messages shown too: no per-message recipient check.
        grid.chkAffTermine()->setChecked(true);
        grid.chkIntervalle()->setChecked(false);
        print("2000, all shown", timeFill(grid, db));
        grid.chkAffTermine()->setChecked(false);

        addMessages(db, 2001, 10000, rnd);
        timeFill(grid, db);
        print("10000 messages", timeFill(grid, db));

        services::Session::setConnection(nullptr);
    } catch (const platform::DbError& e) {
        std::fprintf(stderr, "database error %d: %s\n", e.number(), qPrintable(e.text()));
        status = 1;
    } catch (const std::exception& e) {
        std::fprintf(stderr, "%s\n", e.what());
        status = 1;
    }
    try {
        if (admin.isOpen()) admin.execute(QStringLiteral("DROP DATABASE IF EXISTS ") + name);
    } catch (...) {
    }
    return status;
}
