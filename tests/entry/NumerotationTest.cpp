// Daily message numbers when two workstations save messages at the same moment, each
// with its own connection to the server.
#include "entry/EnregistrementMessage.h"
#include "platform/Database.h"
#include "support/TestDb.h"

#include <QSet>
#include <atomic>
#include <gtest/gtest.h>
#include <iostream>
#include <thread>

namespace {

using namespace Qt::StringLiterals;

// A message from Julie to Marc, with the types given.
entry::NouveauMessage message(QList<int> types = {}) {
    entry::NouveauMessage m;
    m.moment = QDateTime(QDate(2024, 3, 5), QTime(10, 15));
    m.idPriorite = 2;
    m.rtf = u"Rappeler"_s;
    m.noEmplDe = 2;
    m.destinataires = {3};
    m.types = types;
    return m;
}

class Numerotation : public ::testing::Test {
protected:
    void SetUp() override {
        REQUIRE_TEST_DB();
        m_db = std::make_unique<TestDb>(u"numeros"_s);
        m_db->runScript(
            u"INSERT INTO tblemploye (NoEmploye, Nom, Actif) VALUES (2, 'Julie', 1), (3, 'Marc', 1);"_s);
        s = TestDb::serverSettings();
        s.database = m_db->name();
    }
    // The numbers of one column in the order they were given, or the count of rows written.
    QList<int> colonne(const QString& sql) {
        QList<int> out;
        for (auto rs = m_db->db().open(sql); !rs.eof(); rs.moveNext())
            out << rs.field(0).toInt();
        return out;
    }
    QList<int> lignes() {
        return colonne(
            u"SELECT (SELECT COUNT(*) FROM tblmessage) + (SELECT COUNT(*) FROM tblmessageemploye)"_s);
    }
    std::unique_ptr<TestDb> m_db;
    platform::ConnectionSettings s;
};

TEST_F(Numerotation, TwoWorkstationsSavingToTheSameRecipientNeverShareANumber) {
    constexpr int kEnvois = 40;
    std::vector<std::atomic<int>> arrivees(kEnvois);
    QStringList erreurs[2];
    // Each workstation sends Marc a message at each step, in step with the other one.
    const auto poste = [&](QStringList& mesErreurs) {
        platform::Database db;
        try {
            db.open(s);
            for (int i = 0; i < kEnvois; ++i) {
                for (++arrivees[i]; arrivees[i] < 2;)
                    std::this_thread::yield();
                entry::enregistrerMessage(db, message());
            }
        } catch (const platform::DbError& e) {
            mesErreurs << e.text();
        }
    };
    std::thread a(poste, std::ref(erreurs[0])), b(poste, std::ref(erreurs[1]));
    a.join();
    b.join();
    EXPECT_EQ(erreurs[0] + erreurs[1], QStringList());

    QList<int> attendus;
    for (int n = 1; n <= 2 * kEnvois; ++n)
        attendus << n;
    for (const QString& c : {u"NoMsgJourRecu"_s, u"NoMsgJourEnvoi"_s}) {
        const QList<int> donnes = colonne(u"SELECT %1 FROM tblmessageemploye ORDER BY IdMessage"_s.arg(c));
        std::cout << "[ race     ] " << donnes.size() << " saves, " << qPrintable(c) << ": "
                  << donnes.size() - QSet<int>(donnes.begin(), donnes.end()).size() << " repeated\n";
        EXPECT_EQ(donnes, attendus) << qPrintable(c);
    }
}

TEST_F(Numerotation, AHeldTurnRefusesTheSaveAndAFailedSaveLetsTheTurnGo) {
    platform::Database autre;
    autre.open(s);
    {
        platform::NamedLock tenu(autre, entry::kVerrouNumeros, 0);
        try {
            entry::enregistrerMessage(m_db->db(), message());
            ADD_FAILURE() << "saved while another workstation held the turn";
        } catch (const platform::DbError& e) {
            EXPECT_FALSE(e.isTimeout()); // the program stays connected
            EXPECT_TRUE(e.text().contains(u"Un autre poste"_s)) << qPrintable(e.text());
        }
        EXPECT_EQ(lignes(), QList<int>{0});
    }

    // A save failing halfway writes nothing and lets the turn go for the other workstation.
    m_db->db().execute(u"RENAME TABLE tblmessagetype TO tblmessagetype_hors"_s);
    EXPECT_THROW(entry::enregistrerMessage(m_db->db(), message({1})), platform::DbError);
    m_db->db().execute(u"RENAME TABLE tblmessagetype_hors TO tblmessagetype"_s);
    EXPECT_EQ(lignes(), QList<int>{0});
    platform::NamedLock libre(autre, entry::kVerrouNumeros, 0);
}

} // namespace
