#include "EtatGridFixture.h"

#include "followup/frmListeMsg.h"
#include "shell/frmUpdate.h"

#include <QPointer>
#include <QTest>

namespace {
const QString kLigneTermine = QStringLiteral("Terminé le 2026-12-07 à 14:03:12 par Julie");
}

TEST_F(EtatGrille, FinishingAOneRecipientMessageStampsItAndAppendsTheLine) {
    messageA(20, QStringLiteral("Rappeler M. Tremblay"), 1, 1);
    remplir();
    const int r = ligne(20);
    ASSERT_GT(r, 0);
    EXPECT_EQ(grille->SGrid()->CellForeColor(r, SGridMsg::colNo), 0x0000FF);

    ASSERT_TRUE(demanderEdition(r, SGridMsg::colEtat));
    EXPECT_EQ(grille->typeEdition(), QStringLiteral("Etat"));
    EXPECT_EQ(grille->ImgCbo()->currentText(), QStringLiteral("Ouvert"));
    choisir(QStringLiteral("Terminé"));

    EXPECT_EQ(ligneDest(20, 2), QStringLiteral("4|2026-12-07 14:03:12|0"));
    EXPECT_EQ(texteStocke(20), QStringLiteral("Rappeler M. Tremblay\r\n") + kLigneTermine);
    EXPECT_EQ(grille->SGrid()->CellText(r, SGridMsg::colMessage),
              QStringLiteral("Rappeler M. Tremblay\n") + kLigneTermine);
    EXPECT_EQ(grille->SGrid()->CellImage(r, SGridMsg::colEtat), 4 + 2);
    EXPECT_EQ(grille->SGrid()->CellForeColor(r, SGridMsg::colNo), -1);
    EXPECT_EQ(verifs, QList<bool>({true}));
    EXPECT_TRUE(grille->ImgCbo()->isHidden());
    EXPECT_EQ(errorReports(), 0);
}

TEST_F(EtatGrille, AnotherStateInTheSentListLeavesFinishTimeAndUnreadFlags) {
    message(21, QString()); // an empty text: the line comes without a leading line feed
    recipient(21, 2, 3, 1, 1, QStringLiteral("2026-01-05 08:00:00"));
    grille->setBooRecu(false);
    remplir();
    const int r = ligne(21);
    changerEtat(r, QStringLiteral("En attente"));

    EXPECT_EQ(ligneDest(21, 3), QStringLiteral("3|2026-01-05 08:00:00|1"));
    EXPECT_EQ(texteStocke(21), QStringLiteral("En attente le 2026-12-07 à 14:03:12 par Julie"));
    EXPECT_TRUE(verifs.isEmpty());
    // Still unread by its recipient: the sender's list keeps it red.
    EXPECT_EQ(grille->SGrid()->CellForeColor(r, SGridMsg::colNo), 0x0000FF);
}

TEST_F(EtatGrille, BackToOpenWritesTheStateButNoLine) {
    messageA(22, QStringLiteral("Texte"), 2, 0);
    remplir();
    const int r = ligne(22);
    ASSERT_TRUE(demanderEdition(r, SGridMsg::colEtat));
    EXPECT_EQ(grille->ImgCbo()->currentText(), QStringLiteral("En traitement"));
    choisir(QStringLiteral("Ouvert"));
    EXPECT_EQ(ligneDest(22, 2), QStringLiteral("1|-|0"));
    EXPECT_EQ(texteStocke(22), QStringLiteral("Texte"));
    EXPECT_EQ(grille->SGrid()->CellImage(r, SGridMsg::colEtat), 1 + 2);
}

TEST_F(EtatGrille, StruckThroughExactlyWhenTheResultingOrderIsFive) {
    messageA(23, QStringLiteral("A"));
    remplir();
    const int r = ligne(23);
    changerEtat(r, QStringLiteral("Annulé"));
    for (int c = SGridMsg::colNo; c <= SGridMsg::colMessage; ++c)
        EXPECT_TRUE(grille->SGrid()->CellFont(r, c).strikeOut()) << c;
    EXPECT_EQ(grille->SGrid()->CellImage(r, SGridMsg::colEtat), 5 + 2);

    changerEtat(r, QStringLiteral("En attente"));
    for (int c = SGridMsg::colNo; c <= SGridMsg::colMessage; ++c)
        EXPECT_FALSE(grille->SGrid()->CellFont(r, c).strikeOut()) << c;
}

TEST_F(EtatGrille, DialogStampsOnlyTheTickedRecipientsAndTheRowShowsTheViewersOwnState) {
    messageTexte(30, QStringLiteral("Pour trois"));
    recipient(30, 5, 2, 1, 1);
    recipient(30, 5, 3, 1, 1);
    recipient(30, 5, 4, 1, 1);
    remplir();
    const int r = ligne(30);
    ASSERT_TRUE(demanderEdition(r, SGridMsg::colEtat));
    QStringList listes;
    pendantDialogue([&](followup::frmChangeEtatMsg& d) {
        for (int i = 0; i < d.lstvEmpl()->count(); ++i)
            listes << d.lstvEmpl()->item(i)->text();
        decocher(d, QStringLiteral("Julie"));
        d.cmdOk()->click();
    });
    choisir(QStringLiteral("Annulé"));

    listes.sort();
    EXPECT_EQ(listes,
              QStringList({QStringLiteral("Julie"), QStringLiteral("Marc"), QStringLiteral("Sophie")}));
    EXPECT_FALSE(hote.booAnnule);
    EXPECT_EQ(ligneDest(30, 2), QStringLiteral("1|-|0")); // not ticked, but read now
    EXPECT_EQ(ligneDest(30, 3), QStringLiteral("5|-|1"));
    EXPECT_EQ(ligneDest(30, 4), QStringLiteral("5|-|1"));
    EXPECT_EQ(texteStocke(30), QStringLiteral("Pour trois\r\nAnnulé le 2026-12-07 à 14:03:12 par Julie"));
    // Julie's own row is still open: her list neither strikes it nor shows it cancelled.
    EXPECT_FALSE(grille->SGrid()->CellFont(r, SGridMsg::colNo).strikeOut());
    EXPECT_EQ(grille->SGrid()->CellImage(r, SGridMsg::colEtat), 1 + 2);
    EXPECT_EQ(verifs, QList<bool>({true}));

    // With "Tous" the row shows the state chosen, struck through, and nobody's unread
    // flag changes through a state other than 4.
    grille->setNoEmploye(0);
    remplir();
    const int r2 = ligne(30);
    ASSERT_TRUE(demanderEdition(r2, SGridMsg::colEtat));
    pendantDialogue([](followup::frmChangeEtatMsg& d) { d.cmdOk()->click(); });
    choisir(QStringLiteral("Annulé"));
    EXPECT_TRUE(grille->SGrid()->CellFont(r2, SGridMsg::colNo).strikeOut());
    EXPECT_EQ(ligneDest(30, 3), QStringLiteral("5|-|1"));
    EXPECT_EQ(verifs.size(), 1);
}

TEST_F(EtatGrille, CancelledDialogWritesNoStateNorLineButMarksTheMessageRead) {
    messageTexte(31, QStringLiteral("Deux"));
    recipient(31, 5, 2, 1, 1);
    recipient(31, 5, 3, 1, 1);
    remplir();
    const int r = ligne(31);
    const int imageAvant = grille->SGrid()->CellImage(r, SGridMsg::colEtat);

    for (int essai = 0; essai < 3; ++essai) {
        ASSERT_TRUE(demanderEdition(r, SGridMsg::colEtat));
        hote.booAnnule = false;
        pendantDialogue([essai](followup::frmChangeEtatMsg& d) {
            if (essai == 0) d.cmdAnnule()->click();
            if (essai == 1) d.close(); // the frame's close box
            if (essai == 2) {
                decocher(d, QStringLiteral("Julie"));
                decocher(d, QStringLiteral("Marc"));
                d.cmdOk()->click();
            }
        });
        choisir(QStringLiteral("Terminé"));
        EXPECT_TRUE(hote.booAnnule) << essai;
        EXPECT_TRUE(grille->ImgCbo()->isHidden());
    }
    EXPECT_EQ(ligneDest(31, 2), QStringLiteral("1|-|0"));
    EXPECT_EQ(ligneDest(31, 3), QStringLiteral("1|-|1"));
    EXPECT_EQ(texteStocke(31), QStringLiteral("Deux"));
    EXPECT_EQ(grille->SGrid()->CellImage(r, SGridMsg::colEtat), imageAvant);
    EXPECT_EQ(verifs, QList<bool>({true, true, true}));
}

TEST_F(EtatGrille, PriorityPickMarksReadOnlyInTheEmployeesReceivedList) {
    messageA(40, QStringLiteral("P"), 1, 1);
    remplir();
    int r = ligne(40);
    ASSERT_TRUE(demanderEdition(r, SGridMsg::colPriorite));
    choisir(QStringLiteral("Urgente"));
    EXPECT_EQ(count(QStringLiteral("SELECT IdPriorite FROM tblmessage WHERE IdMessage = 40")), 1);
    EXPECT_EQ(grille->SGrid()->CellImage(r, SGridMsg::colPriorite), 0);
    EXPECT_EQ(ligneDest(40, 2), QStringLiteral("1|-|0"));
    EXPECT_EQ(verifs, QList<bool>({true}));

    exec(QStringLiteral("UPDATE tblmessageemploye SET Nouveau = 1"));
    grille->setBooRecu(false);
    grille->setNoEmploye(3);
    remplir();
    r = ligne(40);
    ASSERT_TRUE(demanderEdition(r, SGridMsg::colPriorite));
    choisir(QStringLiteral("Basse"));
    EXPECT_EQ(count(QStringLiteral("SELECT IdPriorite FROM tblmessage WHERE IdMessage = 40")), 3);
    EXPECT_EQ(ligneDest(40, 2), QStringLiteral("1|-|1"));
    EXPECT_EQ(verifs.size(), 1);
}

TEST_F(EtatGrille, PickerTakesNoTypingAndEscapeClosesItWithoutAChange) {
    messageA(41, QStringLiteral("E"), 1, 1);
    remplir();
    const int r = ligne(41);
    ASSERT_TRUE(demanderEdition(r, SGridMsg::colEtat));
    QTest::keyClick(grille->ImgCbo(), Qt::Key_T);
    QTest::keyClick(grille->ImgCbo(), Qt::Key_Return);
    EXPECT_EQ(grille->ImgCbo()->currentText(), QStringLiteral("Ouvert"));
    EXPECT_FALSE(grille->ImgCbo()->isHidden());
    QTest::keyClick(grille->ImgCbo(), Qt::Key_Escape);
    EXPECT_TRUE(grille->ImgCbo()->isHidden());
    EXPECT_TRUE(grille->typeEdition().isEmpty());
    EXPECT_EQ(ligneDest(41, 2), QStringLiteral("1|-|1"));
    EXPECT_TRUE(verifs.isEmpty());
}

TEST_F(EtatGrille, RecipientsSubGridOnlyForSeveralRecipientsAndOtherColumnsRefused) {
    messageA(50, QStringLiteral("Seul"));
    messageTexte(51, QStringLiteral("Trois"));
    recipient(51, 3, 2, 4, 0, QStringLiteral("2026-12-01 10:00:00"));
    recipient(51, 3, 4, 2, 1);
    recipient(51, 3, 5, 1, 0);
    grille->setNoEmploye(0);
    remplir();

    EXPECT_FALSE(demanderEdition(ligne(50), SGridMsg::colDestinataire));
    EXPECT_FALSE(demanderEdition(ligne(50), SGridMsg::colMessage));

    const int r = ligne(51);
    ASSERT_TRUE(demanderEdition(r, SGridMsg::colDestinataire));
    platform::Grid* a = grille->SGridEmplA();
    EXPECT_FALSE(a->isHidden());
    ASSERT_EQ(a->Rows(), 3);
    QStringList vus;
    for (int i = 1; i <= 3; ++i)
        vus << QStringLiteral("%1:%2:%3")
                   .arg(a->CellText(i, 2))
                   .arg(a->CellImage(i, 1))
                   .arg(a->CellForeColor(i, 2));
    vus.sort();
    EXPECT_EQ(vus, QStringList({QStringLiteral("Julie:6:-1"), QStringLiteral("Sophie:4:255"),
                                QStringLiteral("Éric:3:-1")}));

    // The sub-grid stays until another editor opens.
    ASSERT_TRUE(demanderEdition(r, SGridMsg::colEtat));
    EXPECT_TRUE(a->isHidden());
    EXPECT_FALSE(grille->ImgCbo()->isHidden());
}

// The real message-list window as host: its public flag is the one the dialog writes.
TEST_F(EtatGrille, TheMessageListWindowReceivesTheCancelFlag) {
    messageTexte(32, QStringLiteral("Deux"));
    recipient(32, 5, 2, 1, 0);
    recipient(32, 5, 3, 1, 0);
    followup::frmListeMsg w;
    SGridMsg* g = w.SGridMsgRecu();
    g->Remplir();
    const int r = rowOf(*g, 32);
    ASSERT_GT(r, 0);
    bool cancel = false;
    emit g->SGrid()->RequestEdit(r, SGridMsg::colEtat, 0, cancel);
    ASSERT_FALSE(g->ImgCbo()->isHidden());

    const int i = g->ImgCbo()->findText(QStringLiteral("Terminé"));
    for (bool annule : {true, false}) {
        w.booAnnule = !annule;
        if (!annule) emit g->SGrid()->RequestEdit(r, SGridMsg::colEtat, 0, cancel);
        pendantDialogue(
            [annule](followup::frmChangeEtatMsg& d) { (annule ? d.cmdAnnule() : d.cmdOk())->click(); });
        g->ImgCbo()->setCurrentIndex(i);
        emit g->ImgCbo()->activated(i);
        EXPECT_EQ(w.booAnnule, annule);
    }
    EXPECT_EQ(ligneDest(32, 3), QStringLiteral("4|2026-12-07 14:03:12|0"));
}

TEST_F(EtatGrille, PickerDrawsEachStateByItsOrderAsTheGridDoes) {
    exec(QStringLiteral("UPDATE tbletatmessage SET Ordre = 6 - IdEtat"));
    messageA(23, QStringLiteral("Texte"), 2, 0);
    remplir();
    ASSERT_TRUE(demanderEdition(ligne(23), SGridMsg::colEtat));
    const QComboBox* c = grille->ImgCbo();
    EXPECT_EQ(c->currentText(), QStringLiteral("En traitement"));
    ASSERT_EQ(c->count(), 5);
    for (int i = 0; i < c->count(); ++i) {
        const int ordre = 6 - c->itemData(i).toInt();
        const QPixmap attendue = grille->ImageList1().pixmap(ordre + 3);
        EXPECT_EQ(c->itemIcon(i).pixmap(attendue.size()).toImage(), attendue.toImage()) << i;
    }
}

TEST_F(EtatGrille, RefillDuringTheDialogLeavesTheChangeWithTheMessageChosen) {
    messageTexte(33, QStringLiteral("Deux"));
    recipient(33, 5, 2, 1, 0);
    recipient(33, 5, 3, 1, 0);
    remplir();
    const int r = ligne(33);
    ASSERT_TRUE(demanderEdition(r, SGridMsg::colEtat));
    pendantDialogue([&](followup::frmChangeEtatMsg& d) {
        // An older message arrives: it takes the first row.
        message(34, QStringLiteral("Plus ancien"), 0, 2, QStringLiteral("2026-12-06"));
        recipient(34, 5, 2);
        remplir();
        d.cmdOk()->click();
    });
    choisir(QStringLiteral("Terminé"));
    ASSERT_NE(ligne(33), r);
    EXPECT_EQ(texteStocke(33), QStringLiteral("Deux\r\n") + kLigneTermine);
    EXPECT_EQ(texteStocke(34), QStringLiteral("Plus ancien"));
    EXPECT_TRUE(grille->SGrid()->CellText(ligne(33), SGridMsg::colMessage).endsWith(kLigneTermine));
    EXPECT_EQ(grille->SGrid()->CellText(ligne(34), SGridMsg::colMessage), QStringLiteral("Plus ancien"));
    EXPECT_EQ(grille->SGrid()->CellImage(ligne(34), SGridMsg::colEtat), 1 + 2);
}

// The shell's minute tick finds the database gone while the state dialog of the real
// message list is open.
TEST_F(EtatGrille, LosingTheDatabaseWithTheDialogOpenClosesEverythingSafely) {
    ScriptedChooser chooser;
    const bool actif = services::Session::programActive;
    messageTexte(35, QStringLiteral("Deux"));
    recipient(35, 5, 2, 1, 1);
    recipient(35, 5, 3, 1, 1);
    auto connexion = std::make_unique<platform::Database>();
    connexion->open(s_db->config().connectionSettings());
    shell::frmUpdate shell(std::move(connexion), s_db->config());
    followup::ouvrirListeMsg();
    QPointer<followup::frmListeMsg> liste = followup::frmListeMsg::existing();
    ASSERT_TRUE(liste);
    SGridMsg* g = liste->SGridMsgRecu();
    bool cancel = false;
    emit g->SGrid()->RequestEdit(rowOf(*g, 35), SGridMsg::colEtat, 0, cancel);
    ASSERT_FALSE(g->ImgCbo()->isHidden());

    QTimer::singleShot(0, &hote, [&] {
        ASSERT_TRUE(qobject_cast<followup::frmChangeEtatMsg*>(QApplication::activeModalWidget()));
        const qint64 id =
            services::Session::cnBD()->open(QStringLiteral("SELECT CONNECTION_ID()")).field(0).toLongLong();
        exec(QStringLiteral("KILL %1").arg(id));
        shell.Timer1_Timer();
        // The event loop may delete what was closed before the dialog's loop returns.
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    });
    const int i = g->ImgCbo()->findText(QStringLiteral("Terminé"));
    g->ImgCbo()->setCurrentIndex(i);
    emit g->ImgCbo()->activated(i);
    QCoreApplication::processEvents();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);

    EXPECT_TRUE(liste.isNull());
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
    EXPECT_FALSE(services::Session::programActive);
    EXPECT_EQ(ligneDest(35, 3), QStringLiteral("1|-|1"));
    services::Session::programActive = actif;
}
