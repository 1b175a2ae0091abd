// The message list at the size of an office that keeps its messages: 10,000 messages (a
// year) and 100,000 (ten years), most of them finished long ago. For each step a user
// waits on, one line a script can read:
//
//   100000 messages, ouverture: program 812 ms [790-901], statements alone 700 ms, ratio 1.16, peak 180 MB
//
// "program" is the step as the window runs it; "statements alone" the same statements run
// again one by one on the connection, read into memory and nothing more; "peak" the
// process's peak resident memory during the step. Each figure is the median of a few runs
// (the machine is shared); the program's time also gives the fastest and slowest run. The
// slowest single statement goes to stderr with the counts.
//
// Steps: ouverture (the message list opened as the notification icon opens it, both grids
// filled), envoyés employé 2 (his sent list, finished messages hidden), tous avec terminés
// (every employee, finished messages shown, no interval), its first paint (the rows in view,
// whose texts the fill leaves to be read and laid out when shown), état (the status line of
// every employee's messages) and sondage (the minute's probe of both grids of the open window).
//
// Needs a MariaDB server: CORVEL_TEST_DB_* or DB_* (as scripts/db.sh writes them). Makes a
// database of its own and drops it at the end.
#include "BenchDatabase.h"
#include "followup/SGridMsg.h"
#include "followup/frmListeMsg.h"
#include "platform/Database.h"
#include "platform/Grid.h"
#include "services/ErrorLogger.h"
#include "services/Session.h"

#include <QApplication>
#include <QCheckBox>
#include <QElapsedTimer>
#include <QFile>
#include <QLabel>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <functional>
#include <vector>

namespace {

// An office of n messages, about 27 a day back from today, written by the server itself
// from its sequence tables: one to three recipients each, every row finished a few days
// after its message except one in fifty, and a third of those of the last month.
void construireBureau(platform::Database& db, int n) {
    for (const char* t : {"tblmessage", "tblmessageemploye", "tblmessagetype", "tblmessagedossier",
                          "tblclientmsg", "tblemploye", "tblacces_empl", "tblordreemployemsg",
                          "tbletatmessage", "tblpriorite", "tbltypemessage"})
        db.execute(QStringLiteral("TRUNCATE TABLE ") + QLatin1String(t));
    const QString script = QStringLiteral(R"(
INSERT INTO tblemploye (NoEmploye, Nom) VALUES (1, 'Système'), (2, 'Julie Tremblay'),
 (3, 'Marc Gagnon'), (4, 'Sophie Roy'), (5, 'Luc Côté'), (6, 'Anne Bouchard'), (7, 'Paul Morin'),
 (8, 'Marie Pelletier'), (9, 'Jean Lavoie');
INSERT INTO tblacces_empl (typeAcces, NoEmploye) SELECT 14, seq FROM seq_2_to_9;
INSERT INTO tblacces_empl (typeAcces, NoEmploye) VALUES (5, 2);
INSERT INTO tblordreemployemsg (NoEmploye, Ordre) SELECT seq, seq - 1 FROM seq_2_to_6;
INSERT INTO tbletatmessage (IdEtat, Description, Ordre) VALUES (1, 'Ouvert', 1), (2, 'En traitement', 2),
 (3, 'En attente', 3), (4, 'Terminé', 4), (5, 'Annulé', 5);
INSERT INTO tblpriorite (IdPriorite, Description) VALUES (1, 'Urgente'), (2, 'Normale'), (3, 'Basse');
INSERT INTO tbltypemessage (IdType, Description) VALUES (1, 'Rappeler'), (2, 'A rappelé'),
 (3, 'Information'), (4, 'Rendez-vous');
INSERT INTO tblclientmsg (IdClientMsg, Nom, Prenom, NomCie, Telephone, TelBureau, Cellulaire)
 SELECT seq, CONCAT('Nom', seq), IF(seq % 4 = 0, '', 'Prénom'), CONCAT('Cie ', seq),
 CONCAT('(514)555-', LPAD(seq, 4, '0')), NULL, IF(seq % 3 = 0, CONCAT('(438)555-', LPAD(seq, 4, '0')), NULL)
 FROM seq_1_to_3000;
INSERT INTO tblmessage (IdMessage, DateSaisie, HeureSaisie, IdPriorite, IdClientMsg, Message)
 SELECT seq, CURDATE() - INTERVAL FLOOR((%1 - seq) / 27.4) DAY, SEC_TO_TIME(28800 + (seq * 7919) % 36000),
 IF(seq % 7 = 0, 1, IF(seq % 11 = 0, 3, 2)), IF(seq % 5 = 0, 0, 1 + (seq * 31) % 3000),
 CONCAT('{\\rtf1\\ansi\\ansicpg1252\\deff0{\\fonttbl{\\f0\\fnil\\fcharset0 Arial;}}\n\\viewkind4\\uc1\\pard\\lang3084\\f0\\fs20 ',
 'Appel au sujet du dossier ', seq, ', rappeler apr\\\'e8s midi. \\par\n',
 SUBSTRING('client veut savoir si la facture du mois dernier a ete payee avant la livraison du projet et demande un rendez-vous au bureau demain matin pour la signature du contrat merci de rappeler rapidement question urgente sur le paiement et la reponse attendue par courriel au sujet du dossier ouvert depuis longtemps ',
 1 + (seq * 37) % 150, 40 + (seq * 13) % 160), '\\par\n}\n')
 FROM seq_1_to_%1;
INSERT INTO tblmessageemploye (IdMessage, NoEmplDe, NoEmplA, Nouveau, IdEtat, DateTermine, NoMsgJourRecu, NoMsgJourEnvoi)
 SELECT IdMessage, De, 2 + (De - 2 + r) % 8, IF(Fini = 0 AND IdMessage % 4 = 0, 1, 0),
 IF(Fini, 4, 1 + (IdMessage + r) % 3 + IF((IdMessage + r) % 17 = 0, 2, 0)),
 IF(Fini, TIMESTAMP(DateSaisie + INTERVAL ((IdMessage * r) % 5) DAY, '12:00:00'), NULL),
 1 + IdMessage % 20, 1 + (IdMessage + r) % 20
 FROM (SELECT m.IdMessage, m.DateSaisie, 2 + (m.IdMessage * 7) % 8 AS De, s.seq AS r,
  IF(m.DateSaisie < CURDATE() - INTERVAL 30 DAY, (m.IdMessage * s.seq * 17) % 50 <> 0, (m.IdMessage + s.seq) % 3 = 0) AS Fini
  FROM tblmessage m INNER JOIN seq_1_to_3 s ON s.seq <= 1 + (m.IdMessage * 13) % 3) AS d
 ORDER BY IdMessage, r;
INSERT INTO tblmessagetype (IdMessage, IdType) SELECT IdMessage, 1 + IdMessage % 4 FROM tblmessage WHERE IdMessage % 2 = 0;
INSERT INTO tblmessagedossier (IdMessage, NoDossier) SELECT IdMessage, CONCAT('D-', IdMessage % 9999) FROM tblmessage WHERE IdMessage % 3 = 0;
)");
    QString current;
    for (const QString& line : script.arg(n).split(QLatin1Char('\n'))) {
        current += line + QLatin1Char('\n');
        if (line.trimmed().endsWith(QLatin1Char(';'))) {
            db.execute(current.trimmed().chopped(1));
            current.clear();
        }
    }
    db.open(QStringLiteral("ANALYZE TABLE tblmessage, tblmessageemploye, tblclientmsg"));
}

// Peak resident memory since the last reset, in MB; the reset makes it the step's own.
void remettrePic() {
    QFile f(QStringLiteral("/proc/self/clear_refs"));
    if (f.open(QIODevice::WriteOnly)) f.write("5");
}
double picMo() {
    QFile f(QStringLiteral("/proc/self/status"));
    if (!f.open(QIODevice::ReadOnly)) return 0;
    for (const QByteArray& line : f.readAll().split('\n'))
        if (line.startsWith("VmHWM:")) return line.mid(6).trimmed().split(' ').value(0).toDouble() / 1024;
    return 0;
}

double mediane(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v.empty() ? 0 : v[v.size() / 2];
}

struct Passe {
    double programme = 0, seules = 0, pire = 0, pic = 0;
    qint64 statements = 0;
};

// One run of a step: the program's time, then its statements again, alone.
Passe passe(platform::Database& db, const std::function<void()>& etape) {
    Passe p;
    QStringList journal;
    remettrePic();
    db.setJournal(&journal);
    QElapsedTimer t;
    t.start();
    etape();
    p.programme = t.nsecsElapsed() / 1e6;
    db.setJournal(nullptr);
    p.pic = picMo();
    p.statements = journal.size();
    for (const QString& sql : journal) {
        QElapsedTimer s;
        s.start();
        db.open(sql);
        const double ms = s.nsecsElapsed() / 1e6;
        if (qEnvironmentVariableIsSet("BENCH_DETAIL"))
            std::fprintf(stderr, "    %6.0f ms  %s\n", ms, qPrintable(sql.left(400)));
        p.seules += ms;
        p.pire = std::max(p.pire, ms);
    }
    return p;
}

void mesurer(platform::Database& db, int n, const char* nom, int runs, const std::function<void()>& avant,
             const std::function<void()>& etape) {
    std::vector<double> prog, seules, pire, pic;
    qint64 statements = 0;
    for (int i = 0; i < runs; ++i) {
        if (avant) avant();
        const Passe p = passe(db, etape);
        prog.push_back(p.programme);
        seules.push_back(p.seules);
        pire.push_back(p.pire);
        pic.push_back(p.pic);
        statements = p.statements;
    }
    const double mp = mediane(prog), ms = mediane(seules);
    std::printf(
        "%d messages, %s: program %.0f ms [%.0f-%.0f], statements alone %.0f ms, ratio %.2f, peak %.0f "
        "MB\n",
        n, nom, mp, *std::min_element(prog.begin(), prog.end()), *std::max_element(prog.begin(), prog.end()),
        ms, ms > 0 ? mp / ms : 0.0, mediane(pic));
    std::fflush(stdout);
    std::fprintf(stderr, "  %s: %lld statements, slowest alone %.0f ms (median of %d runs)\n", nom,
                 static_cast<long long>(statements), mediane(pire), runs);
}

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QTemporaryDir logDir;
    services::setErrorLogPath(logDir.filePath(QStringLiteral("Erreur.log")));
    const int runs =
        qEnvironmentVariableIntValue("BENCH_RUNS") > 0 ? qEnvironmentVariableIntValue("BENCH_RUNS") : 3;

    return runOnScratchDatabase(
        QStringLiteral("bench_echelle"), [&](platform::Database& db, const platform::ConnectionSettings&) {
            services::Session::setConnection(&db);
            services::Session::lngNoEmploye = 2; // Julie Tremblay, who may look at everyone's lists
            services::Session::strNomEmploye = QStringLiteral("Julie Tremblay");
            for (const int n : {10000, 100000}) {
                // BENCH_TAILLE=100000 measures that office alone.
                if (qEnvironmentVariableIntValue("BENCH_TAILLE") > 0 &&
                    n != qEnvironmentVariableIntValue("BENCH_TAILLE"))
                    continue;
                QElapsedTimer t;
                t.start();
                construireBureau(db, n);
                std::fprintf(stderr, "office of %d messages written in %.1f s\n", n, t.nsecsElapsed() / 1e9);

                // Opening "Consultation": the window made, shown and filled, as the icon does.
                std::unique_ptr<followup::frmListeMsg> fenetre;
                mesurer(
                    db, n, "ouverture", runs, [&] { fenetre.reset(); },
                    [&] {
                        fenetre = std::make_unique<followup::frmListeMsg>();
                        fenetre->show();
                        fenetre->Rafraichir();
                    });

                SGridMsg envoyes;
                envoyes.setBooRecu(false);
                mesurer(db, n, "envoyés employé 2", runs, {}, [&] { envoyes.Remplir(); });

                SGridMsg tous;
                tous.setNoEmploye(0);
                tous.chkAffTermine()->setChecked(true);
                tous.chkIntervalle()->setChecked(false);
                mesurer(db, n, "tous avec terminés", runs, {}, [&] { tous.Remplir(); });
                // What the fill leaves to the first paint: the rows in view read and laid out.
                tous.resize(1180, 720);
                tous.show();
                mesurer(
                    db, n, "tous avec terminés, premier affichage", runs, [&] { tous.Remplir(); },
                    [&] { tous.grab(); });
                tous.hide();
                std::fprintf(stderr, "  rows: sent list of employee 2 %d, every message %d\n",
                             envoyes.SGrid()->Rows(), tous.SGrid()->Rows());

                // The status line of every employee's messages: its one statement and the caption.
                mesurer(db, n, "état", runs, {}, [&] {
                    QString texte;
                    for (platform::Recordset rs = db.open(followup::sqlCompteEtats(tous.filtre())); !rs.eof();
                         rs.moveNext())
                        texte += rs.field(QStringLiteral("Description")).text() + QLatin1Char('(') +
                                 rs.field(QStringLiteral("NbMsg")).text() + QStringLiteral(")   ");
                });

                // The minute's probe of the open window, as the shell's timer runs it.
                mesurer(db, n, "sondage", runs, {}, [&] {
                    fenetre->SGridMsgEnvoye()->VerifNouveauMsg();
                    fenetre->SGridMsgRecu()->VerifNouveauMsg();
                });
                fenetre.reset();
            }
        });
}
