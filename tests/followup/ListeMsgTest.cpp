// The message-list window: how it sets up its two grids, its tab captions, the refresh
// and update calls, how it is opened and probed, and the road of a message saved in the
// form to the list and the shell.
#include "SGridMsgFixture.h"

#include "entry/frmSuiviAppel.h"
#include "services/Config.h"
#include "shell/frmUpdate.h"

#include "support/Widgets.h"

#include <QTreeWidget>

using followup::frmListeMsg;

namespace {

class ListeMsgTest : public SGridMsgDb {
protected:
    void SetUp() override {
        SGridMsgDb::SetUp();
        if (IsSkipped()) return;
        exec(QStringLiteral(
            "INSERT INTO tblclientmsg (IdClientMsg, Nom, Prenom, Telephone) VALUES"
            " (1, 'Tremblay', 'Luc', '(514)555-1234'), (2, 'Bédard', 'Anne', '(450)555-0000')"));
        // Marc to Julie (caller 1), Julie to Marc (caller 2), Marc to Sophie.
        message(1, QStringLiteral("Rappeler"), 1);
        recipient(1, 3, 2, 1, 1, QString(), 1, 1);
        message(2, QStringLiteral("Envoi"), 2, 2, QStringLiteral("2024-03-14"), QStringLiteral("10:00:00"));
        recipient(2, 2, 3, 1, 0, QString(), 1, 1);
        message(3, QStringLiteral("Autre"), 0, 2, QStringLiteral("2024-03-14"), QStringLiteral("11:00:00"));
        recipient(3, 3, 4);
    }
    void TearDown() override {
        delete frmListeMsg::existing();
        SGridMsgDb::TearDown();
    }
};

TEST_F(ListeMsgTest, ModesEmployeeChoiceCaptionsAndUpdateOfOneMessage) {
    QStringList journal;
    db().setJournal(&journal);
    frmListeMsg f;
    db().setJournal(nullptr);
    // Each mode has the callers of its own messages, each list read once per grid.
    EXPECT_EQ(journal.filter(QStringLiteral(" FROM tblclientmsg INNER JOIN")).size(), 4);
    EXPECT_EQ(entries(f.SGridMsgRecu()->cboClient()),
              (QStringList{QStringLiteral("Tous"), QStringLiteral("Tremblay, Luc")}));
    EXPECT_EQ(entries(f.SGridMsgEnvoye()->cboClient()),
              (QStringList{QStringLiteral("Tous"), QStringLiteral("Bédard, Anne")}));
    f.Rafraichir();
    EXPECT_EQ(listed(*f.SGridMsgRecu()), QList<int>{1});
    EXPECT_EQ(listed(*f.SGridMsgEnvoye()), QList<int>{2});
    EXPECT_EQ(f.SSTabSuivi()->tabText(0) + f.SSTabSuivi()->tabText(1), QStringLiteral("Reçu (1)Envoyé (1)"));

    // Called by name, as the message form calls its opener, the update rewrites only the
    // grids that list the message: message 2 is in the sent tab and was not asked for.
    ETAPE("the update called by name");
    exec(QStringLiteral("UPDATE tblmessage SET IdPriorite = 1 WHERE IdMessage IN (1, 2)"));
    QMetaObject::invokeMethod(&f, "UpdateMsg", Q_ARG(qint32, 1));
    EXPECT_EQ(f.SGridMsgRecu()->SGrid()->CellImage(1, SGridMsg::colPriorite), 0);
    EXPECT_EQ(f.SGridMsgEnvoye()->SGrid()->CellImage(1, SGridMsg::colPriorite), 1);
}

TEST_F(ListeMsgTest, OpenerShowsRefillsAndClosingDiscardsTheWindowAndEachTabMarksItsOwnNews) {
    followup::sonderListeMsg(); // the probe never creates the window
    EXPECT_EQ(frmListeMsg::existing(), nullptr);
    followup::ouvrirListeMsg();
    frmListeMsg* f = frmListeMsg::existing();
    ASSERT_NE(f, nullptr);

    // Julie sends a message: the shell's tick marks the sent tab only.
    ETAPE("Julie sends a message");
    message(7, QStringLiteral("Envoi"), 0, 2, QStringLiteral("2024-03-15"), QStringLiteral("09:00:00"));
    recipient(7, 2, 5);
    followup::sonderListeMsg();
    EXPECT_EQ(f->SGridMsgEnvoye()->rechercheBackColor(), 0x0000FF);
    EXPECT_EQ(f->SGridMsgRecu()->rechercheBackColor(), platform::kSysButtonFace);

    // Opening again refills the same window with the filters left in it, both marks cleared.
    ETAPE("opened again");
    f->SSTabSuivi()->setCurrentIndex(1);
    f->SGridMsgRecu()->chkAffTermine()->setChecked(true);
    f->SGridMsgRecu()->chkIntervalle()->setChecked(false);
    message(4, QStringLiteral("Fini"), 0, 2, QStringLiteral("2024-03-14"), QStringLiteral("12:00:00"));
    recipient(4, 3, 2, 4, 0, QStringLiteral("2024-01-01 10:00:00"));
    followup::ouvrirListeMsg();
    EXPECT_EQ(frmListeMsg::existing(), f);
    EXPECT_EQ(listed(*f->SGridMsgRecu()), (QList<int>{1, 4}));
    EXPECT_EQ(f->SSTabSuivi()->currentIndex(), 1);
    EXPECT_EQ(f->SGridMsgEnvoye()->rechercheBackColor(), platform::kSysButtonFace);

    // Closed, it goes with its filters; the next opening starts afresh on "Reçu".
    ETAPE("closed, then opened");
    f->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_EQ(frmListeMsg::existing(), nullptr);
    followup::ouvrirListeMsg();
    EXPECT_EQ(listed(*frmListeMsg::existing()->SGridMsgRecu()), (QList<int>{1}));
}

// Every text of both tabs reads whole with the whole bar shown, and the in-place editors
// stay over the grid's rows: off the scroll bar, off the headers, off the next rows.
TEST_F(ListeMsgTest, TextsReadWholeAndEditorsStayOverTheGridsRows) {
    exec(QStringLiteral("INSERT INTO tblacces_empl (typeAcces, NoEmploye) VALUES (5, 2)"));
    exec(QStringLiteral(
        "INSERT INTO tblemploye (NoEmploye, Nom) VALUES (6, 'Marie-Ève Létourneau-Desrosiers')"));
    recipient(1, 3, 6);
    frmListeMsg f;
    f.show();
    for (int tab : {0, 1}) {
        f.SSTabSuivi()->setCurrentIndex(tab);
        SGridMsg* g = tab == 0 ? f.SGridMsgRecu() : f.SGridMsgEnvoye();
        g->chkAffTermine()->click();
        f.Rafraichir();
        QApplication::processEvents();
        EXPECT_EQ(defautsMiseEnPage(&f), "") << "tab " << tab;
    }

    // Narrower than the columns: the types and recipients columns run under the scroll bar.
    ETAPE("narrower than the columns");
    f.SSTabSuivi()->setCurrentIndex(0);
    f.resize(640, f.height());
    SGridMsg* g = f.SGridMsgRecu();
    platform::Grid* grille = g->SGrid();
    const QRect lignes = grille->RowsArea().translated(grille->pos());
    auto dedans = [&](const QWidget* w) { return w->isVisible() && lignes.contains(w->geometry()); };
    const int r = rowOf(*g, 1);
    ASSERT_GE(r, 1);
    ASSERT_TRUE(g->ModifierMessage(r));
    EXPECT_TRUE(dedans(g->txtRtfEdit()));
    const int bas = r < grille->Rows() ? grille->CellRect(r + 1, 1).top() : grille->CellRect(r, 1).bottom();
    EXPECT_LE(g->txtRtfEdit()->geometry().bottom(), grille->y() + bas);

    bool cancel = false;
    emit grille->RequestEdit(r, SGridMsg::colDestinataire, 0, cancel);
    ASSERT_FALSE(cancel);
    EXPECT_TRUE(dedans(g->SGridEmplA()));
    EXPECT_GE(g->SGridEmplA()->ColumnWidth(2),
              QFontMetrics(g->SGridEmplA()->GridFont())
                  .horizontalAdvance(QStringLiteral("Marie-Ève Létourneau-Desrosiers")));
    emit grille->RequestEdit(r, SGridMsg::colEtat, 0, cancel);
    EXPECT_TRUE(dedans(g->ImgCbo()));
}

// A message saved in the form opened from the list: the list is called back by name,
// the shell counts it as unread, its tick marks the list, and a refill shows it.
TEST_F(ListeMsgTest, MessageSavedInTheFormReachesTheListAndTheShell) {
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

    ETAPE("a message to Julie saved in the form the list opened");
    liste->SGridMsgRecu()->cmdNouveau()->click();
    entry::frmSuiviAppel* form = entry::frmSuiviAppel::instance();
    ASSERT_NE(form, nullptr);
    EXPECT_EQ(form->frmMere.data(), liste);
    const auto julie =
        enfant<QTreeWidget>(form, "lstEmploye")->findItems(QStringLiteral("Julie"), Qt::MatchExactly, 0);
    ASSERT_EQ(julie.size(), 1);
    julie.first()->setCheckState(0, Qt::Checked);
    enfant<platform::RtfEdit>(form, "txtMessage")->setPlainText(QStringLiteral("Rappeler"));
    form->cmdEnregistrer_Click();
    const qint32 id = form->idMessage();
    ASSERT_GT(id, 3);
    EXPECT_TRUE(chooser.messagesShown.contains(QStringLiteral("Message enregistré avec succès.")));

    ETAPE("the shell's tick");
    shell.Timer1_Timer();
    EXPECT_EQ(shell.unreadCount(), 2); // with message 1, unread since before
    EXPECT_EQ(liste->SGridMsgRecu()->rechercheBackColor(), 0x0000FF);
    EXPECT_EQ(liste->SGridMsgEnvoye()->rechercheBackColor(), 0x0000FF);

    ETAPE("the list opened again");
    shell.mnuConsult_Click();
    EXPECT_TRUE(listed(*liste->SGridMsgRecu()).contains(id));
    EXPECT_TRUE(listed(*liste->SGridMsgEnvoye()).contains(id));
    delete form;
}

} // namespace
