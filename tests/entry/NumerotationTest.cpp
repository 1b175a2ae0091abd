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
using entry::NouveauMessage;

constexpr int kEnvois = 40;

NouveauMessage message(const QString& texte, QList<int> types = {}) {
    NouveauMessage m;
    m.moment = QDateTime(QDate(2024, 3, 5), QTime(10, 15));
    m.idPriorite = 2;
    m.rtf = texte;
    m.noEmplDe = 2;
    m.destinataires = {3};
    m.types = types;
    return m;
}

// One workstation sending Marc a message at each step, in step with the other one.
void poste(const platform::ConnectionSettings& s, std::vector<std::atomic<int>>& arrivees,
           QStringList& erreurs) {
    platform::Database db;
    try {
        db.open(s);
        for (int i = 0; i < kEnvois; ++i) {
            ++arrivees[i];
            while (arrivees[i] < 2)
                std::this_thread::yield();
            entry::enregistrerMessage(db, message(u"Rappeler"_s));
        }
    } catch (const platform::DbError& e) {
        erreurs << e.text();
    }
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
    // The numbers of one column, in the order they were given.
    QList<int> numeros(const char* colonne) {
        QList<int> out;
        for (auto rs = m_db->db().open(
                 u"SELECT %1 FROM tblmessageemploye ORDER BY IdMessage"_s.arg(QLatin1String(colonne)));
             !rs.eof(); rs.moveNext())
            out << rs.field(0).toInt();
        return out;
    }
    int lignes() {
        return m_db->db()
            .open(u"SELECT (SELECT COUNT(*) FROM tblmessage) + (SELECT COUNT(*) FROM tblmessageemploye)"_s)
            .field(0)
            .toInt();
    }
    std::unique_ptr<TestDb> m_db;
    platform::ConnectionSettings s;
};

TEST_F(Numerotation, TwoWorkstationsSavingToTheSameRecipientNeverShareANumber) {
    std::vector<std::atomic<int>> arrivees(kEnvois);
    QStringList erreursA, erreursB;
    std::thread a(poste, s, std::ref(arrivees), std::ref(erreursA));
    std::thread b(poste, s, std::ref(arrivees), std::ref(erreursB));
    a.join();
    b.join();
    EXPECT_EQ(erreursA + erreursB, QStringList());

    QList<int> attendus;
    for (int n = 1; n <= 2 * kEnvois; ++n)
        attendus << n;
    for (const char* colonne : {"NoMsgJourRecu", "NoMsgJourEnvoi"}) {
        const QList<int> donnes = numeros(colonne);
        std::cout << "[ race     ] " << donnes.size() << " saves, " << colonne << ": "
                  << donnes.size() - QSet<int>(donnes.begin(), donnes.end()).size() << " repeated\n";
        EXPECT_EQ(donnes, attendus) << colonne;
    }
}

TEST_F(Numerotation, AHeldTurnRefusesTheSaveAndAFailedSaveLetsTheTurnGo) {
    platform::Database autre;
    autre.open(s);
    {
        platform::NamedLock tenu(autre, entry::kVerrouNumeros, 0);
        try {
            entry::enregistrerMessage(m_db->db(), message(u"Rappeler"_s));
            ADD_FAILURE() << "saved while another workstation held the turn";
        } catch (const platform::DbError& e) {
            EXPECT_FALSE(e.isTimeout()); // the program stays connected
            EXPECT_TRUE(e.text().contains(u"Un autre poste"_s)) << qPrintable(e.text());
        }
        EXPECT_EQ(lignes(), 0);
    }

    // A save failing halfway writes nothing and lets the turn go for the other workstation.
    m_db->db().execute(u"RENAME TABLE tblmessagetype TO tblmessagetype_hors"_s);
    EXPECT_THROW(entry::enregistrerMessage(m_db->db(), message(u"Rappeler"_s, {1})), platform::DbError);
    m_db->db().execute(u"RENAME TABLE tblmessagetype_hors TO tblmessagetype"_s);
    EXPECT_EQ(lignes(), 0);
    platform::NamedLock libre(autre, entry::kVerrouNumeros, 0);
}

} // namespace
