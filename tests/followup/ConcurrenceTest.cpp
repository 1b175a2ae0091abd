// Two workstations acting on the same messages at the same moment, each with its own
// connection to the server.
#include "SGridMsgFixture.h"
#include "followup/LigneAudit.h"

#include <QRegularExpression>
#include <atomic>
#include <iostream>
#include <thread>

namespace {

constexpr int kMessages = 60;
constexpr int kPremier = 100;

// One workstation: its own connection, changing every message to one state in turn,
// in step with the other one message by message.
void poste(const platform::ConnectionSettings& s, int idEtat, qint32 noEmploye,
           std::vector<std::atomic<int>>& arrivees, QStringList& erreurs) {
    platform::Database db;
    try {
        db.open(s);
    } catch (const platform::DbError& e) {
        erreurs << e.text();
        return;
    }
    const QDateTime now(QDate(2026, 12, 7), QTime(14, 3, 12));
    for (int i = 0; i < kMessages; ++i) {
        ++arrivees[i];
        while (arrivees[i] < 2)
            std::this_thread::yield();
        QString sql;
        try {
            followup::changerEtatMessage(db, idEtat, kPremier + i, noEmploye, now, sql);
        } catch (const platform::DbError& e) {
            erreurs << e.text();
        }
    }
}

} // namespace

TEST_F(SGridMsgDb, TwoWorkstationsChangingTheSameMessagesKeepBothLinesInTheOrderOfTheStates) {
    for (int i = 0; i < kMessages; ++i) {
        message(kPremier + i, QStringLiteral("Rappeler M. Tremblay"));
        recipient(kPremier + i, 3, 2);
    }
    platform::ConnectionSettings s = TestDb::serverSettings();
    s.database = s_db->name();
    std::vector<std::atomic<int>> arrivees(kMessages);
    QStringList erreursA, erreursB;
    std::thread a(poste, s, 3, 2, std::ref(arrivees), std::ref(erreursA));
    std::thread b(poste, s, 4, 3, std::ref(arrivees), std::ref(erreursB));
    a.join();
    b.join();
    EXPECT_EQ(erreursA + erreursB, QStringList());

    const QString julie = QStringLiteral("En attente le 2026-12-07 à 14:03:12 par Julie");
    const QString marc = QStringLiteral("Terminé le 2026-12-07 à 14:03:12 par Marc");
    int perdues = 0, doublees = 0, derniereFausse = 0;
    for (int i = 0; i < kMessages; ++i) {
        const QStringList lignes = texteStocke(kPremier + i).split(QStringLiteral("\r\n"));
        const int nJulie = lignes.count(julie), nMarc = lignes.count(marc);
        perdues += (nJulie == 0) + (nMarc == 0);
        doublees += (nJulie > 1) + (nMarc > 1);
        const int etat = ligneDest(kPremier + i, 2).section(QLatin1Char('|'), 0, 0).toInt();
        derniereFausse += lignes.last() != (etat == 3 ? julie : marc);
        EXPECT_EQ(lignes.first(), QStringLiteral("Rappeler M. Tremblay"));
    }
    std::cout << "[ race     ] " << kMessages << " messages: " << perdues << " lines lost, " << doublees
              << " doubled, " << derniereFausse << " last lines naming another state\n";
    EXPECT_EQ(perdues, 0);
    EXPECT_EQ(doublees, 0);
    EXPECT_EQ(derniereFausse, 0);
}
