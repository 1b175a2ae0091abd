// The status line under the message grid and the once-a-minute new-message probe, and
// the road of a message saved in the form to the list and the shell.
#include "SGridMsgFixture.h"

#include "entry/frmSuiviAppel.h"
#include "services/Config.h"
#include "shell/frmUpdate.h"

#include <QTreeWidget>

namespace {

constexpr qint64 kRouge = 0x0000FF;

class StatusSondeTest : public SGridMsgDb {
protected:
    void SetUp() override {
        SGridMsgDb::SetUp();
        if (IsSkipped()) return;
        exec(QStringLiteral(
            "INSERT INTO tblclientmsg (IdClientMsg, Nom, Telephone, Cellulaire) VALUES"
            " (1, 'Tremblay', '(514)555-1234', NULL), (2, 'O''Neil', NULL, '(514)555-12''34')"));
        // 1: to Julie and Marc, Marc has finished it; 2: to Julie, in progress; 3: to
        // Julie, finished, caller 2; 4: sent by Julie to Sophie.
        message(1, QStringLiteral("Un"), 1);
        recipient(1, 4, 2, 1);
        recipient(1, 4, 3, 4, 0, QStringLiteral("2024-03-14 12:00:00"));
        message(2, QStringLiteral("Deux"), 1, 2, QStringLiteral("2024-03-14"), QStringLiteral("10:00:00"));
        recipient(2, 3, 2, 2);
        message(3, QStringLiteral("Trois"), 2, 2, QStringLiteral("2024-03-14"), QStringLiteral("11:00:00"));
        recipient(3, 3, 2, 4, 0, QStringLiteral("2024-03-14 12:00:00"));
        message(4, QStringLiteral("Quatre"), 0, 2, QStringLiteral("2024-03-14"), QStringLiteral("12:00:00"));
        recipient(4, 2, 4, 1);
    }
    void TearDown() override {
        delete followup::frmListeMsg::existing();
        SGridMsgDb::TearDown();
    }
};

// The counts under every filter are held against a statement per state elsewhere; here,
// what the filters' texts make of them.
TEST_F(StatusSondeTest, StatusCountsEachStateUnderTheCallersNumber) {
    SGridMsg g;
    g.Remplir();
    // Finished messages are counted although the grid hides them; no zero items.
    EXPECT_EQ(listed(g), (QList<int>{1, 2}));
    EXPECT_EQ(g.lblStatus()->text(), QStringLiteral("Ouvert(1)   En traitement(1)   Terminé(1)   "));
    // A telephone with an apostrophe is quoted, not an error, in the counts and the probe.
    g.cboTel()->addItem(QStringLiteral("(514)555-12'34"));
    g.cboTel()->setCurrentIndex(g.cboTel()->count() - 1);
    g.Remplir();
    EXPECT_EQ(g.lblStatus()->text(), QStringLiteral("Terminé(1)   "));
    g.VerifNouveauMsg();
    EXPECT_EQ(errorReports(), 0);
}

TEST_F(StatusSondeTest, ProbeMarksOnlyNewerUnfinishedMessagesUnderTheFilters) {
    SGridMsg g;
    g.show();
    g.Remplir();
    EXPECT_EQ(g.dernierIdMessage(), 3);
    // Whether the probe leaves the search button marked.
    auto marque = [&g] {
        g.VerifNouveauMsg();
        return g.rechercheBackColor() == kRouge;
    };
    EXPECT_FALSE(marque());
    // Entered finished, or for another caller than the chosen one: no mark.
    message(5, QStringLiteral("Fini"), 1, 2, QStringLiteral("2024-03-15"), QStringLiteral("09:00:00"));
    recipient(5, 3, 2, 4, 0, QStringLiteral("2024-03-15 09:00:00"));
    EXPECT_FALSE(marque());
    g.setIdClientMsg(2);
    message(6, QStringLiteral("Client 1"), 1, 2, QStringLiteral("2024-03-15"), QStringLiteral("09:30:00"));
    recipient(6, 3, 2);
    EXPECT_FALSE(marque());
    g.setIdClientMsg(0);
    EXPECT_TRUE(marque());

    // Hidden, the button keeps its colour; a later probe that finds nothing clears it.
    g.hide();
    exec(QStringLiteral("UPDATE tblmessageemploye SET IdEtat = 4 WHERE IdMessage = 6"));
    EXPECT_TRUE(marque());
    g.show();
    EXPECT_FALSE(marque());
    EXPECT_EQ(g.rechercheBackColor(), platform::kSysButtonFace);

    // "!" refills and returns the button to the button face.
    exec(QStringLiteral("UPDATE tblmessageemploye SET IdEtat = 1 WHERE IdMessage = 6"));
    EXPECT_TRUE(marque());
    g.cmdRecherche()->click();
    EXPECT_EQ(g.rechercheBackColor(), platform::kSysButtonFace);
    EXPECT_EQ(listed(g).last(), 6);
    // The last message listed, unfinished, is no newer message.
    EXPECT_FALSE(marque());
}

// A message saved in the form opened from the list: the list is called back by name,
// the shell counts it as unread, its tick marks the list, and a refill shows it.
TEST_F(StatusSondeTest, MessageSavedInTheFormReachesTheListAndTheShell) {
    const services::Config c = s_db->config();
    auto db = std::make_unique<platform::Database>();
    db->open(c.connectionSettings());
    shell::frmUpdate shell(std::move(db), c);
    shell.hooks.openMessageList = followup::ouvrirListeMsg;
    shell.hooks.probeMessageList = followup::sonderListeMsg;
    ScriptedChooser chooser;
    shell.mnuConsult_Click();
    followup::frmListeMsg* liste = followup::frmListeMsg::existing();
    ASSERT_NE(liste, nullptr);

    liste->SGridMsgRecu()->cmdNouveau()->click();
    entry::frmSuiviAppel* form = entry::frmSuiviAppel::instance();
    EXPECT_EQ(form->frmMere.data(), liste);
    const auto julie = form->findChild<QTreeWidget*>(QStringLiteral("lstEmploye"))
                           ->findItems(QStringLiteral("Julie"), Qt::MatchExactly, 0);
    ASSERT_EQ(julie.size(), 1);
    julie.first()->setCheckState(0, Qt::Checked);
    form->findChild<platform::RtfEdit*>(QStringLiteral("txtMessage"))
        ->setPlainText(QStringLiteral("Rappeler"));
    form->cmdEnregistrer_Click();
    const qint32 id = form->idMessage();
    ASSERT_GT(id, 4);
    EXPECT_TRUE(chooser.messagesShown.contains(QStringLiteral("Message enregistré avec succès.")));

    // Not listed yet: the callback left the grids as they were.
    EXPECT_FALSE(listed(*liste->SGridMsgRecu()).contains(id));
    shell.Timer1_Timer();
    EXPECT_EQ(shell.unreadCount(), 1);
    EXPECT_EQ(liste->SGridMsgRecu()->rechercheBackColor(), kRouge);
    EXPECT_EQ(liste->SGridMsgEnvoye()->rechercheBackColor(), kRouge);

    shell.mnuConsult_Click();
    EXPECT_TRUE(listed(*liste->SGridMsgRecu()).contains(id) && listed(*liste->SGridMsgEnvoye()).contains(id));
    delete form;
}

} // namespace
