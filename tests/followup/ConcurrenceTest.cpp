// Two workstations acting on the same messages at the same moment, each with its own
// connection to the server.
#include "EtatGridFixture.h"
#include "followup/EditQueries.h"
#include "followup/LigneAudit.h"

#include <atomic>
#include <thread>

// Both roads of a state change: the grid's own (rows and line in one transaction, the
// message locked first) and the audit line alone, as after the state dialog, which locks
// the message only as it reads the text. Each message keeps its text and both lines once;
// when the rows change too, the last line names the state the rows kept.
TEST_F(SGridMsgDb, TwoWorkstationsChangingTheSameMessagesKeepBothLinesInTheOrderOfTheStates) {
    constexpr int kMessages = 60;
    const QString texte = QStringLiteral("Rappeler M. Tremblay");
    const QString julie = audit(QStringLiteral("En attente")),
                  marc = audit(QStringLiteral("Terminé"), QStringLiteral("Marc"));
    for (const bool ligneSeule : {false, true}) {
        const int kPremier = ligneSeule ? 200 : 100;
        for (int i = 0; i < kMessages; ++i) {
            message(kPremier + i, texte);
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
                    for (++arrivees[i]; arrivees[i] < 2;)
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
        std::thread a(poste, 3, 2, std::ref(erreursA)), b(poste, 4, 3, std::ref(erreursB));
        a.join();
        b.join();
        EXPECT_EQ(erreursA + erreursB, QStringList());
        QList<int> fautifs;
        for (int i = kPremier; i < kPremier + kMessages; ++i) {
            const QStringList l = texteStocke(i).split(QStringLiteral("\r\n"));
            const bool etat3 = ligneDest(i, 2).idEtat == 3;
            if (l.first() != texte || l.count(julie) != 1 || l.count(marc) != 1 ||
                (!ligneSeule && l.last() != (etat3 ? julie : marc)))
                fautifs << i;
        }
        EXPECT_EQ(fautifs, QList<int>()) << "line alone: " << ligneSeule;
    }
}

namespace {

using namespace Qt::Literals::StringLiterals;

// The in-place editor writes only what the user changed, checked against what is stored when
// it saves. The other workstation has its own connection to the same database.
class AutrePoste : public EtatGrille {
protected:
    void SetUp() override {
        EtatGrille::SetUp();
        if (IsSkipped()) return;
        autre.open(s_db->config().connectionSettings());
    }
    // The other workstation writes a message's text as another rich-text control would.
    void reecrire(qint32 id, const QString& texte) {
        autre.execute(followup::sqlUpdateMessage(u"{\\rtf1\\ansi %1}"_s.arg(texte), id));
    }
    platform::Database autre;
};

} // namespace

// Unchanged, nothing is written: not even a text another rich-text control wrote, which this
// program would write otherwise.
TEST_F(AutrePoste, EditorClosedWithoutAChangeWritesNothing) {
    message(70, QStringLiteral("Rappeler \\b demain\\b0\\par "));
    recipient(70, 3, 2);
    remplir();
    const QString sql = QStringLiteral("SELECT Message FROM tblmessage WHERE IdMessage = 70");
    const QString avant = scalar(sql);
    ASSERT_TRUE(grille->ModifierMessage(ligne(70)));
    fermerEditeur();
    EXPECT_EQ(scalar(sql), avant);
}

// Lines appended elsewhere meanwhile (a state change's audit line) are kept after the user's text.
TEST_F(AutrePoste, EditorSaveKeepsTheLinesAnotherWorkstationAppendedMeanwhile) {
    messageA(71, QStringLiteral("Rappeler"));
    remplir();
    ASSERT_TRUE(ouvrirEtTaper(71, QStringLiteral(" demain")));
    QString s;
    followup::changerEtatMessage(autre, 4, 71, 3, platform::Clock::now(), s);
    fermerEditeur();
    const QString attendu =
        QStringLiteral("Rappeler demain\r\n") + audit(QStringLiteral("Terminé"), QStringLiteral("Marc"));
    EXPECT_EQ(texteStocke(71), attendu);
    EXPECT_EQ(g()->CellText(ligne(71), SGridMsg::colMessage), attendu);
    EXPECT_EQ(ligneDest(71, 2).idEtat, 4);
}

// Any other change is shown and overwritten only when the user says so; a change at the end
// of the text's last line is such a change, not an appended line.
TEST_F(AutrePoste, AnyOtherChangeIsShownAndOverwrittenOnlyWhenTheUserSaysSo) {
    messageA(72, QStringLiteral("Rappeler"));
    remplir();
    ScriptedChooser chooser;
    {
        SCOPED_TRACE("the last line made longer elsewhere; the user keeps the other text");
        ASSERT_TRUE(ouvrirEtTaper(72, QStringLiteral(" demain")));
        reecrire(72, QStringLiteral("Rappeler vendredi"));
        chooser.boxAnswers.push_back(platform::MsgResult::No);
        fermerEditeur();
        ASSERT_EQ(chooser.messagesShown.size(), 1);
        const QString question = QStringLiteral("Le texte de ce message a été modifié sur un autre poste");
        EXPECT_EQ(chooser.messagesShown[0].left(question.size()), question);
        EXPECT_EQ(texteStocke(72), QStringLiteral("Rappeler vendredi"));
        EXPECT_EQ(g()->CellText(ligne(72), SGridMsg::colMessage), QStringLiteral("Rappeler vendredi"));
    }
    ETAPE("rewritten elsewhere; the user keeps his own text");
    ASSERT_TRUE(ouvrirEtTaper(72, QStringLiteral(" matin")));
    reecrire(72, QStringLiteral("Ne pas rappeler"));
    chooser.boxAnswers.push_back(platform::MsgResult::Yes);
    fermerEditeur();
    EXPECT_EQ(chooser.messagesShown.size(), 2);
    EXPECT_EQ(texteStocke(72), QStringLiteral("Rappeler vendredi matin"));
    EXPECT_EQ(errorReports(), 0);
}

// A message deleted elsewhere is said, with its text left in the editor to be copied; closed
// again, the editor goes without another word.
TEST_F(AutrePoste, AMessageDeletedWhileEditedIsSaidAndItsTextStaysToBeCopied) {
    messageA(73, QStringLiteral("Rappeler"));
    remplir();
    ScriptedChooser chooser;
    ASSERT_TRUE(ouvrirEtTaper(73, QStringLiteral(" demain")));
    autre.execute(QStringLiteral("DELETE FROM tblmessage WHERE IdMessage = 73"));
    fermerEditeur();
    ASSERT_EQ(chooser.messagesShown.size(), 1);
    const QString dit = QStringLiteral("Ce message n'existe plus");
    EXPECT_EQ(chooser.messagesShown[0].left(dit.size()), dit);
    EXPECT_FALSE(grille->txtRtfEdit()->isHidden());
    EXPECT_EQ(grille->txtRtfEdit()->text(), QStringLiteral("Rappeler demain"));
    fermerEditeur();
    EXPECT_TRUE(grille->txtRtfEdit()->isHidden());
    EXPECT_EQ(chooser.messagesShown.size(), 1);
    EXPECT_EQ(errorReports(), 0);
}
