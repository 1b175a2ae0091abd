// The message list's fill (with its status line) and the presence board's, each timed
// side by side with the one-message, one-day-at-a-time way of filling them: statements
// run, time, and the new time as a share of the old, first on the server directly, then
// through a relay that adds 1 ms to every round trip as an office network would.
//
// Needs a MariaDB server: DB_HOST/DB_PORT/DB_USER/DB_PASSWORD (as scripts/db.sh writes them)
// or CORVEL_TEST_DB_*. Makes a database of its own and drops it at the end.
#include "BenchDatabase.h"
#include "TcpRelay.h"
#include "followup/SGridMsg.h"
#include "platform/Database.h"
#include "platform/Grid.h"
#include "platform/SqlText.h"
#include "presence/frmPresence.h"
#include "services/ErrorLogger.h"
#include "services/Session.h"

#include <QApplication>
#include <QCheckBox>
#include <QDateEdit>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <cstdio>

#include "support/ReferenceFills.h"

namespace {

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

// A board of 50 listed employees with their week's presences, notes, an event and birthdays.
void seedPresences(platform::Database& db, const QDate& lundi, QRandomGenerator& rnd) {
    QStringList emp, acces, ordre, presences;
    for (int no = 100; no < 150; ++no) {
        emp << QStringLiteral("(%1, 'Présence %1', 1, '1980-%2')")
                   .arg(no)
                   .arg(lundi.addDays(no % 9).toString(QStringLiteral("MM-dd")));
        acces << QStringLiteral("(14, %1)").arg(no);
        if (no % 2) ordre << QStringLiteral("(%1, %2)").arg(no).arg(no);
        for (int i = 0; i < 7; ++i)
            if (rnd.bounded(4))
                presences << QStringLiteral("(%1, '%2', %3, %4, %5, NULL)")
                                 .arg(no)
                                 .arg(lundi.addDays(i).toString(Qt::ISODate))
                                 .arg(1 + rnd.bounded(3))
                                 .arg(1 + rnd.bounded(3))
                                 .arg(rnd.bounded(3) ? QStringLiteral("NULL")
                                                     : QStringLiteral("'Chez le client'"));
    }
    db.execute(QStringLiteral("INSERT INTO tblemploye (NoEmploye, Nom, Actif, DateFete) VALUES ") +
               emp.join(QLatin1Char(',')));
    db.execute(QStringLiteral("INSERT INTO tblacces_empl (typeAcces, NoEmploye) VALUES ") +
               acces.join(QLatin1Char(',')));
    db.execute(QStringLiteral("INSERT INTO tblordreemployemsg (NoEmploye, Ordre) VALUES ") +
               ordre.join(QLatin1Char(',')));
    db.execute(
        QStringLiteral("INSERT INTO tbletatpresence (IdEtat, Description, Couleur) VALUES (1, 'Au bureau', "
                       "14808280), (2, 'Absent', 12632319), (3, 'Vacances', 16113072)"));
    db.execute(
        QStringLiteral("INSERT INTO tblevenement (DateEvenement, Description) VALUES ('%1', 'Formation')")
            .arg(lundi.addDays(2).toString(Qt::ISODate)));
    db.execute(QStringLiteral("INSERT INTO tblpresences (NoEmploye, DatePresence, EtatAM, EtatPM, DescripAM, "
                              "DescripPM) VALUES ") +
               presences.join(QLatin1Char(',')));
}

struct Mesure {
    qint64 statements = 0;
    double ms = 0;
};

// Runs one way of filling on a connection, as the shared one; the best of `runs` runs.
template <typename F> Mesure mesurer(platform::Database& db, int runs, F&& fill) {
    services::Session::setConnection(&db);
    Mesure best;
    for (int i = 0; i < runs; ++i) {
        const qint64 st0 = db.statementCount();
        QElapsedTimer t;
        t.start();
        fill();
        const Mesure m{db.statementCount() - st0, t.nsecsElapsed() / 1e6};
        if (i == 0 || m.ms < best.ms) best = m;
    }
    return best;
}

void imprimer(const char* label, const Mesure& ancien, const Mesure& nouveau) {
    std::printf("%-34s old %6lld statements %9.1f ms | new %3lld statements %7.1f ms | new/old %.3f\n", label,
                static_cast<long long>(ancien.statements), ancien.ms,
                static_cast<long long>(nouveau.statements), nouveau.ms, nouveau.ms / ancien.ms);
    std::fflush(stdout);
}

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QTemporaryDir logDir;
    services::setErrorLogPath(logDir.filePath(QStringLiteral("Erreur.log")));

    return runOnScratchDatabase(QStringLiteral("bench_fill"), [&](platform::Database& db,
                                                                  const platform::ConnectionSettings& s) {
        seed(db);
        QRandomGenerator rnd(20240315);
        addMessages(db, 1, 2000, rnd);
        const QDate lundi(2024, 3, 11);
        seedPresences(db, lundi, rnd);

        // The same database through a relay that holds every request 1 ms.
        TcpRelay relay(s.port, std::chrono::milliseconds(1));
        platform::Database reseau;
        ouvrirParRelais(db, s, relay.port(), reseau);

        services::Session::lngNoEmploye = 0; // "Tous": every message is listed
        SGridMsg grid, ref;
        grid.resize(1200, 800);
        ref.resize(1200, 800);
        const auto ancien = [&] {
            platform::Database& cn = *services::Session::cnBD();
            reference::remplirMessages(grid.filtre(), *ref.SGrid(), cn);
            reference::statusMessages(grid.filtre(), cn);
        };
        const auto nouveau = [&] { grid.Remplir(); };

        mesurer(db, 1, nouveau); // warms the server's caches and the fonts
        imprimer("2000 messages, direct", mesurer(db, 3, ancien), mesurer(db, 3, nouveau));
        imprimer("2000 messages, relay +1 ms", mesurer(reseau, 1, ancien), mesurer(reseau, 3, nouveau));
        std::printf("  rows %d, same as the old way: %s\n", grid.SGrid()->Rows(),
                    reference::premiereDifference(*grid.SGrid(), *ref.SGrid()).isEmpty() ? "yes" : "NO");

        addMessages(db, 2001, 10000, rnd);
        mesurer(db, 1, nouveau);
        imprimer("10000 messages, direct", mesurer(db, 1, ancien), mesurer(db, 3, nouveau));
        imprimer("10000 messages, relay +1 ms", mesurer(reseau, 1, ancien), mesurer(reseau, 3, nouveau));
        std::printf("  rows %d\n", grid.SGrid()->Rows());

        // The presence board of the 50 listed employees and the logged-in one.
        services::Session::lngNoEmploye = 100;
        presence::frmPresence board, boardRef;
        board.SetDate(lundi);
        boardRef.SetDate(lundi);
        const auto ancienTableau = [&] {
            reference::remplirPresences(*boardRef.SGrid, 100, lundi, *services::Session::cnBD());
        };
        const auto nouveauTableau = [&] { board.Remplir(); };
        imprimer("presence board of 50, direct", mesurer(db, 3, ancienTableau),
                 mesurer(db, 3, nouveauTableau));
        imprimer("presence board of 50, relay +1 ms", mesurer(reseau, 1, ancienTableau),
                 mesurer(reseau, 3, nouveauTableau));
        std::printf("  rows %d, same as the old way: %s\n", board.SGrid->Rows(),
                    reference::premiereDifference(*board.SGrid, *boardRef.SGrid).isEmpty() ? "yes" : "NO");
    });
}
