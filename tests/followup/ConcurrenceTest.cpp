// Two workstations acting on the same messages at the same moment, each with its own
// connection to the server.
#include "EtatGridFixture.h"
#include "followup/EditQueries.h"
#include "followup/LigneAudit.h"

#include <atomic>
#include <iostream>
#include <thread>

// Both roads of a state change: the grid's own (rows and line in one transaction, the
// message locked first) and the audit line alone, as after the state dialog, which locks
// the message only as it reads the text.
TEST_F(SGridMsgDb, TwoWorkstationsChangingTheSameMessagesKeepBothLinesInTheOrderOfTheStates) {
    constexpr int kMessages = 60;
    for (const bool ligneSeule : {false, true}) {
        const int kPremier = ligneSeule ? 200 : 100;
        for (int i = 0; i < kMessages; ++i) {
            message(kPremier + i, QStringLiteral("Rappeler M. Tremblay"));
            recipient(kPremier + i, 3, 2);
        }
        // One workstation: its own connection, changing every message to one state in turn,
        // in step with the other one message by message.
        std::vector<std::atomic<int>> arrivees(kMessages);
        auto poste = [&, s = s_db->config().connectionSettings()](int idEtat, qint32 noEmploye,
                                                                  QStringList& erreurs) {
            try {
                platform::Database db;
                db.open(s);
                const QDateTime moment(QDate(2026, 12, 7), QTime(14, 3, 12));
                for (int i = 0; i < kMessages; ++i) {
                    ++arrivees[i];
                    while (arrivees[i] < 2)
                        std::this_thread::yield();
                    QString sql;
                    if (ligneSeule)
                        followup::enTransaction(db, [&] {
                            followup::ajouterLigneAudit(db, idEtat, kPremier + i, noEmploye, moment, sql);
                        });
                    else
                        followup::changerEtatMessage(db, idEtat, kPremier + i, noEmploye, moment, sql);
                }
            } catch (const platform::DbError& e) {
                erreurs << e.text();
            }
        };
        QStringList erreursA, erreursB;
        std::thread a(poste, 3, 2, std::ref(erreursA));
        std::thread b(poste, 4, 3, std::ref(erreursB));
        a.join();
        b.join();
        EXPECT_EQ(erreursA + erreursB, QStringList());

        const QString julie = audit(QStringLiteral("En attente"));
        const QString marc = audit(QStringLiteral("Terminé"), QStringLiteral("Marc"));
        int perdues = 0, doublees = 0, derniereFausse = 0;
        for (int i = 0; i < kMessages; ++i) {
            const QStringList lignes = texteStocke(kPremier + i).split(QStringLiteral("\r\n"));
            const int nJulie = lignes.count(julie), nMarc = lignes.count(marc);
            perdues +=
                (nJulie == 0) + (nMarc == 0) + (lignes.first() != QStringLiteral("Rappeler M. Tremblay"));
            doublees += (nJulie > 1) + (nMarc > 1);
            const int etat = ligneDest(kPremier + i, 2).section(QLatin1Char('|'), 0, 0).toInt();
            derniereFausse += !ligneSeule && lignes.last() != (etat == 3 ? julie : marc);
        }
        std::cout << "[ race     ] " << kMessages << " messages" << (ligneSeule ? " (line alone)" : "")
                  << ": " << perdues << " lines lost, " << doublees << " doubled, " << derniereFausse
                  << " last lines naming another state\n";
        EXPECT_EQ(perdues, 0);
        EXPECT_EQ(doublees, 0);
        EXPECT_EQ(derniereFausse, 0);
    }
}

namespace {

// The other workstation: its own connection to the same database.
class AutrePoste : public EtatGrille {
protected:
    void SetUp() override {
        EtatGrille::SetUp();
        if (IsSkipped()) return;
        autre.open(s_db->config().connectionSettings());
    }
    platform::Database autre;
};

} // namespace

TEST_F(AutrePoste, EditorClosedWithoutAChangeWritesNothing) {
    // A text as another rich-text control wrote it, which this program would write otherwise.
    const QString rtf = QStringLiteral(
        R"({\rtf1\ansi\deff0{\fonttbl{\f0\fswiss Arial;}}\f0\fs20 Rappeler \b demain\b0\par })");
    exec(
        QStringLiteral("INSERT INTO tblmessage (IdMessage, DateSaisie, HeureSaisie, IdPriorite, IdClientMsg, "
                       "Message) VALUES (70, '2026-12-07', '09:00:00', 2, 0, %1)")
            .arg(platform::sqlRichText(rtf)));
    recipient(70, 3, 2);
    const QString sql = QStringLiteral("SELECT Message FROM tblmessage WHERE IdMessage = 70");
    const QString avant = scalar(sql);
    remplir();
    ASSERT_TRUE(grille->ModifierMessage(ligne(70)));
    fermerEditeur();
    EXPECT_EQ(scalar(sql), avant);
}

TEST_F(AutrePoste, EditorSaveKeepsTheLinesAnotherWorkstationAppendedMeanwhile) {
    messageA(71, QStringLiteral("Rappeler"));
    remplir();
    ouvrirEtTaper(71, QStringLiteral(" demain"));
    QString sql;
    followup::changerEtatMessage(autre, 4, 71, 3, platform::Clock::now(), sql);
    fermerEditeur();
    const QString attendu =
        QStringLiteral("Rappeler demain\r\n") + audit(QStringLiteral("Terminé"), QStringLiteral("Marc"));
    EXPECT_EQ(texteStocke(71), attendu);
    EXPECT_EQ(g()->CellText(ligne(71), SGridMsg::colMessage), attendu);
    EXPECT_EQ(ligneDest(71, 2).left(1), QStringLiteral("4"));
}

TEST_F(AutrePoste, AMessageDeletedWhileEditedIsSaidAndItsTextStaysToBeCopied) {
    messageA(73, QStringLiteral("Rappeler"));
    remplir();
    ScriptedChooser chooser;
    ouvrirEtTaper(73, QStringLiteral(" demain"));
    autre.execute(QStringLiteral("DELETE FROM tblmessage WHERE IdMessage = 73"));
    fermerEditeur();
    ASSERT_EQ(chooser.messagesShown.size(), 1);
    EXPECT_TRUE(chooser.messagesShown[0].startsWith(QStringLiteral("Ce message n'existe plus")));
    EXPECT_FALSE(grille->txtRtfEdit()->isHidden());
    EXPECT_EQ(grille->txtRtfEdit()->text(), QStringLiteral("Rappeler demain"));
    // Closed again, it goes without another word.
    fermerEditeur();
    EXPECT_TRUE(grille->txtRtfEdit()->isHidden());
    EXPECT_EQ(chooser.messagesShown.size(), 1);
    EXPECT_EQ(errorReports(), 0);
}

TEST_F(AutrePoste, AnyOtherChangeIsShownAndOverwrittenOnlyWhenTheUserSaysSo) {
    messageA(72, QStringLiteral("Rappeler"));
    remplir();
    auto reecrire = [this](const QString& texte) {
        platform::RichTextBox b;
        b.setText(texte);
        autre.execute(followup::sqlUpdateMessage(b.textRTF(), 72));
    };
    ScriptedChooser chooser;

    ouvrirEtTaper(72, QStringLiteral(" demain"));
    reecrire(QStringLiteral("Rappeler vendredi"));
    chooser.boxAnswers.push_back(platform::MsgResult::No);
    fermerEditeur();
    ASSERT_EQ(chooser.messagesShown.size(), 1);
    EXPECT_TRUE(chooser.messagesShown[0].startsWith(
        QStringLiteral("Le texte de ce message a été modifié sur un autre poste")));
    EXPECT_EQ(texteStocke(72), QStringLiteral("Rappeler vendredi"));
    EXPECT_EQ(g()->CellText(ligne(72), SGridMsg::colMessage), QStringLiteral("Rappeler vendredi"));

    ouvrirEtTaper(72, QStringLiteral(" matin"));
    reecrire(QStringLiteral("Ne pas rappeler"));
    chooser.boxAnswers.push_back(platform::MsgResult::Yes);
    fermerEditeur();
    EXPECT_EQ(chooser.messagesShown.size(), 2);
    EXPECT_EQ(texteStocke(72), QStringLiteral("Rappeler vendredi matin"));
    EXPECT_EQ(errorReports(), 0);
}
