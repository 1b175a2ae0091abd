// Time of the HTML and spreadsheet reports of 10,000 and 50,000 messages against the time
// spent in the queries they run, with the statements each runs; the spreadsheet report's peak
// memory per message and the longest time the window thread went without running its events
// while the progress window showed. At 10,000 messages the reports also run through a relay
// that adds 1 ms to every round trip as an office network would: a report reads its messages
// in a few statements, so the relay should add a few milliseconds, not seconds. Then the
// viewer opens the last HTML report: how long its window thread stalls, and when its first
// page can be read.
//
// Needs a MariaDB server: DB_HOST/DB_PORT/DB_USER/DB_PASSWORD (as scripts/db.sh writes them)
// or CORVEL_TEST_DB_*. Makes a database of its own and drops it at the end.
#include "BenchDatabase.h"
#include "TcpRelay.h"
#include "followup/SGridMsg.h"
#include "followup/frmBrowserMdi.h"
#include "platform/Database.h"
#include "platform/Grid.h"
#include "platform/SqlText.h"
#include "platform/Workbook.h"
#include "services/ErrorLogger.h"
#include "services/ExcelSession.h"
#include "services/Session.h"

#include "followup/VueRapport.h"
#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QFileInfo>
#include <QPointer>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTextDocument>
#include <QTextFrame>
#include <QTimer>
#include <algorithm>
#include <cstdio>

namespace {

// Messages of two to six lines, one to three recipients, callers, types and folders, numbered
// from `premier` to `dernier`; the first call also writes the employees, states and callers.
void seed(platform::Database& db, int premier, int dernier) {
    if (premier == 1) {
        db.execute(
            QStringLiteral("INSERT INTO tblemploye (NoEmploye, Nom) VALUES (1, 'Système'), (2, 'Julie'),"
                           " (3, 'Marc'), (4, 'Sophie'), (5, 'Éric')"));
        db.execute(QStringLiteral(
            "INSERT INTO tbletatmessage (IdEtat, Description, Ordre) VALUES (1, 'Ouvert', 1),"
            " (2, 'En traitement', 2), (3, 'En attente', 3), (4, 'Terminé', 4), (5, 'Annulé', 5)"));
        db.execute(
            QStringLiteral("INSERT INTO tblpriorite (IdPriorite, Description) VALUES (1, 'Urgente'), (2, "
                           "'Normale'), (3, 'Basse')"));
        db.execute(QStringLiteral("INSERT INTO tbltypemessage (IdType, Description) VALUES (1, 'Rappeler'),"
                                  " (2, 'A rappelé'), (3, 'Information')"));
        QStringList callers;
        for (int c = 1; c <= 300; ++c)
            callers << QStringLiteral("(%1, 'Nom%1', 'Prénom', 'Cie %1', '(514)555-%2', NULL, '(438)555-%2')")
                           .arg(c)
                           .arg(c, 4, 10, QLatin1Char('0'));
        db.execute(QStringLiteral(
                       "INSERT INTO tblclientmsg (IdClientMsg, Nom, Prenom, NomCie, Telephone, TelBureau, "
                       "Cellulaire) VALUES ") +
                   callers.join(QLatin1Char(',')));
    }
    const QString phrase = QStringLiteral("Le client demande qu'on le rappelle au sujet de la facture du "
                                          "mois dernier et du contrat \\'e0 signer");
    for (int debut = premier; debut <= dernier; debut += 5000) {
        QStringList msgs, dests, types, folders;
        for (int id = debut; id <= std::min(dernier, debut + 4999); ++id) {
            QString rtf =
                QStringLiteral("{\\rtf1\\ansi\\ansicpg1252\\deff0{\\fonttbl{\\f0\\fnil Arial;}}\\f0\\fs20 ");
            for (int p = 0; p < 1 + id % 4; ++p)
                rtf += phrase + QStringLiteral(".\\par ");
            rtf += QLatin1Char('}');
            msgs << QStringLiteral("(%1, '2024-03-%2', '%3', %4, %5, %6)")
                        .arg(id)
                        .arg(1 + id % 28, 2, 10, QLatin1Char('0'))
                        .arg(QTime(8, 0).addSecs(id * 13 % 36000).toString(QStringLiteral("HH:mm:ss")))
                        .arg(1 + id % 3)
                        .arg(id % 5 == 0 ? 0 : 1 + id % 300)
                        .arg(platform::sqlRichText(rtf));
            for (int r = 0; r < 1 + id % 3; ++r)
                dests << QStringLiteral("(%1, %2, %3, 0, %4, NULL, 1, 1)")
                             .arg(id)
                             .arg(2 + id % 4)
                             .arg(2 + (id + r + 1) % 4)
                             .arg(1 + r);
            if (id % 2) types << QStringLiteral("(%1, %2)").arg(id).arg(1 + id % 3);
            if (id % 3 == 0) folders << QStringLiteral("(%1, 'D-%2')").arg(id).arg(id * 7 % 9999);
        }
        db.execute(QStringLiteral(
                       "INSERT INTO tblmessage (IdMessage, DateSaisie, HeureSaisie, IdPriorite, IdClientMsg, "
                       "Message) VALUES ") +
                   msgs.join(QLatin1Char(',')));
        db.execute(QStringLiteral(
                       "INSERT IGNORE INTO tblmessageemploye (IdMessage, NoEmplDe, NoEmplA, Nouveau, IdEtat, "
                       "DateTermine, NoMsgJourRecu, NoMsgJourEnvoi) VALUES ") +
                   dests.join(QLatin1Char(',')));
        db.execute(QStringLiteral("INSERT INTO tblmessagetype (IdMessage, IdType) VALUES ") +
                   types.join(QLatin1Char(',')));
        db.execute(QStringLiteral("INSERT INTO tblmessagedossier (IdMessage, NoDossier) VALUES ") +
                   folders.join(QLatin1Char(',')));
    }
}

// Peak resident memory since the last reset, in bytes.
void remettrePic() {
    QFile f(QStringLiteral("/proc/self/clear_refs"));
    if (f.open(QIODevice::WriteOnly)) f.write("5");
}
qint64 pic(const char* champ = "VmHWM:") {
    QFile f(QStringLiteral("/proc/self/status"));
    if (!f.open(QIODevice::ReadOnly)) return 0;
    for (const QByteArray& l : f.readAll().split('\n'))
        if (l.startsWith(champ))
            return l.mid(int(qstrlen(champ))).trimmed().split(' ').first().toLongLong() * 1024;
    return 0;
}

// The longest wait of a 5 ms timer of the window thread while a progress window shows.
struct Attente {
    QTimer timer;
    QElapsedTimer depuis;
    double maxMs = 0;
    Attente() {
        QObject::connect(&timer, &QTimer::timeout, &timer, [this] {
            bool progres = false;
            for (QWidget* w : QApplication::topLevelWidgets())
                progres = progres || (w->isVisible() && w->inherits("followup::frmProgressPopUp"));
            if (progres && depuis.isValid()) maxMs = std::max(maxMs, depuis.nsecsElapsed() / 1e6);
            depuis.restart();
        });
        depuis.start();
        timer.start(5);
    }
};

struct Mesure {
    double totalMs = 0;
    double dbMs = 0;
    qint64 statements = 0;
};

template <typename F> Mesure mesurer(platform::Database& db, F&& f) {
    const qint64 ns0 = db.nanosecondsInDatabase();
    const qint64 st0 = db.statementCount();
    QElapsedTimer t;
    t.start();
    f();
    return {t.nsecsElapsed() / 1e6, (db.nanosecondsInDatabase() - ns0) / 1e6, db.statementCount() - st0};
}

void print(const char* label, const Mesure& m) {
    const double own = m.totalMs - m.dbMs;
    std::printf("%-32s statements %6lld  total %8.1f ms  queries %8.1f ms  own %8.1f ms  own/total %.3f\n",
                label, static_cast<long long>(m.statements), m.totalMs, m.dbMs, own, own / m.totalMs);
    std::fflush(stdout);
}

// The viewer opening the last HTML report, as a user would: from show() until the report is
// whole and laid out, the longest the window thread went without running its events (a 5 ms
// timer), and when the first page could be read (a message block in the window, the event loop
// free to paint it); then what closing it costs the window thread, and that the file went.
void mesurerVisionneuse(const QString& fichier) {
    const double mo = QFileInfo(fichier).size() / 1e6;
    QPointer<followup::frmBrowserMdi> v(new followup::frmBrowserMdi);
    v->StartingAddress = fichier;
    v->resize(1200, 900);
    QElapsedTimer depuis, gap;
    double pireMs = 0, premiereMs = -1, chargeMs = -1;
    int maxScroll = -1;
    qint64 stableDepuis = 0;
    QTimer sonde;
    QEventLoop boucle;
    QObject::connect(&sonde, &QTimer::timeout, &sonde, [&] {
        pireMs = std::max(pireMs, gap.nsecsElapsed() / 1e6);
        gap.restart();
        if (!v) return;
        followup::VueRapport* b = v->brwWebBrowser();
        const bool bloc = b->document() && !b->document()->rootFrame()->childFrames().isEmpty();
        if (premiereMs < 0 && bloc) premiereMs = depuis.nsecsElapsed() / 1e6;
        if (chargeMs < 0 && !v->Busy()) chargeMs = depuis.nsecsElapsed() / 1e6;
        // The layout goes on after the load: done when the scroll range has not moved for 1 s.
        const int m = b->verticalScrollBar()->maximum();
        if (m != maxScroll) {
            maxScroll = m;
            stableDepuis = depuis.elapsed();
        }
        if ((chargeMs >= 0 && depuis.elapsed() - stableDepuis > 1000) || depuis.elapsed() > 180000)
            boucle.quit();
    });
    depuis.start();
    gap.start();
    sonde.start(5);
    v->show();
    v->RapportCaption = QStringLiteral("Messages reçus");
    boucle.exec();
    std::printf("viewer, %.1f MB report: first page readable after %.0f ms, loaded after %.0f ms,"
                " longest wait of the window %.0f ms\n",
                mo, premiereMs, chargeMs, pireMs);
    std::fflush(stdout);
    pireMs = 0;
    gap.restart();
    v->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QTimer::singleShot(300, &boucle, &QEventLoop::quit);
    boucle.exec();
    std::printf("viewer closed: window gone %s, file deleted %s, longest wait of the window %.0f ms\n",
                v ? "no" : "yes", QFile::exists(fichier) ? "no" : "yes", pireMs);
}

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QTemporaryDir dir;
    services::setErrorLogPath(dir.filePath(QStringLiteral("Erreur.log")));
    SGridMsg::setDossierRapports(dir.path());
    platform::ExcelApplication::setOpener([](const QString& path) { return QFile::remove(path); });
    QList<int> tailles{10000, 50000};
    if (argc > 1) tailles = {QString::fromLocal8Bit(argv[1]).toInt()};

    return runOnScratchDatabase(QStringLiteral("bench_rapports"), [&](platform::Database& db,
                                                                      const platform::ConnectionSettings& s) {
        // The same database through a relay that holds every request 1 ms.
        TcpRelay relay(s.port, std::chrono::milliseconds(1));
        platform::Database reseau;
        ouvrirParRelais(db, s, relay.port(), reseau);

        services::Session::lngNoEmploye = 0; // "Tous": every message is listed
        QString fichier;
        int seme = 0;
        for (int n : tailles) {
            seed(db, seme + 1, n);
            seme = n;
            services::Session::setConnection(&db);
            SGridMsg grid;
            grid.resize(1200, 800);
            grid.Remplir();
            std::printf("\n%d messages, grid rows: %d\n", n, grid.SGrid()->Rows());
            grid.ExportMsgHTML(dir.filePath(QStringLiteral("chauffe.HTML")),
                               SGridMsg::kToutesLesLignes); // warms caches
            Attente attente;
            platform::Database* connexions[] = {&db, &reseau};
            for (int i = 0; i < (n <= 10000 ? 2 : 1); ++i) {
                platform::Database& cn = *connexions[i];
                services::Session::setConnection(&cn);
                attente.depuis.restart();
                attente.maxMs = 0;
                const Mesure html = mesurer(cn, [&] {
                    fichier = grid.NomFichierHTML(0);
                    grid.ExportMsgHTML(fichier, SGridMsg::kToutesLesLignes);
                });
                print(i ? "HTML report, relay +1 ms" : "HTML report, direct", html);
                std::printf("  total/queries %.2f, file %.1f MB, longest wait of the window %.0f ms\n",
                            html.totalMs / html.dbMs, QFileInfo(fichier).size() / 1e6, attente.maxMs);
                const qint64 avant = pic("VmRSS:");
                remettrePic();
                attente.depuis.restart();
                attente.maxMs = 0;
                const Mesure excel =
                    mesurer(cn, [&] { grid.ExportMsgExcel(services::xlSheet, SGridMsg::kToutesLesLignes); });
                print(i ? "spreadsheet report, relay +1 ms" : "spreadsheet report, direct", excel);
                std::printf(
                    "  peak memory +%.0f MB, %.1f KB per message, longest wait of the window %.0f ms\n",
                    (pic() - avant) / 1e6, (pic() - avant) / 1024.0 / n, attente.maxMs);
            }
            services::Session::setConnection(&db);
        }

        mesurerVisionneuse(fichier);
    });
}
