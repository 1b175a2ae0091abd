#include "EtatGridFixture.h"

#include "shell/frmUpdate.h"

#include <QPointer>

// In Julie's received list: the picker takes no typing and Escape changes nothing;
// finishing stamps the row, marks it read and appends the line; a priority pick marks
// the message read as well.
TEST_F(EtatGrille, OneRecipientMessageFinishedThenGivenAPriority) {
    messageA(20, QStringLiteral("Rappeler M. Tremblay"), 1, 1);
    remplir();
    const int r = ligne(20);
    ASSERT_GT(r, 0);
    EXPECT_EQ(g()->CellForeColor(r, SGridMsg::colNo), 0x0000FF);
    {
        SCOPED_TRACE("the picker takes no typing and Escape changes nothing");
        ASSERT_TRUE(demanderEdition(r, SGridMsg::colEtat));
        EXPECT_EQ(grille->typeEdition(), QStringLiteral("Etat"));
        QTest::keyClick(grille->ImgCbo(), Qt::Key_T);
        QTest::keyClick(grille->ImgCbo(), Qt::Key_Return);
        EXPECT_EQ(grille->ImgCbo()->currentText(), QStringLiteral("Ouvert"));
        EXPECT_FALSE(grille->ImgCbo()->isHidden());
        QTest::keyClick(grille->ImgCbo(), Qt::Key_Escape);
        EXPECT_TRUE(grille->ImgCbo()->isHidden());
        EXPECT_EQ(grille->typeEdition(), QString());
        EXPECT_EQ(ligneDest(20, 2), (LigneDest{1, QStringLiteral("-"), 1}));
        EXPECT_EQ(verifs, QList<bool>());
    }
    {
        SCOPED_TRACE("finished: stamped, read, its line appended");
        ASSERT_TRUE(changerEtat(r, QStringLiteral("Terminé")));
        EXPECT_EQ(ligneDest(20, 2), (LigneDest{4, QStringLiteral("2026-12-07 14:03:12"), 0}));
        EXPECT_EQ(texteStocke(20),
                  QStringLiteral("Rappeler M. Tremblay\r\n") + audit(QStringLiteral("Terminé")));
        EXPECT_EQ(g()->CellText(r, SGridMsg::colMessage),
                  QStringLiteral("Rappeler M. Tremblay\n") + audit(QStringLiteral("Terminé")));
        EXPECT_EQ(g()->CellImage(r, SGridMsg::colEtat), 4 + 2);
        for (int c = SGridMsg::colNo; c <= SGridMsg::colDestinataire; ++c)
            EXPECT_EQ(g()->CellForeColor(r, c), -1) << "column " << c; // read: no column stays red
        EXPECT_EQ(verifs, QList<bool>({true}));
        EXPECT_TRUE(grille->ImgCbo()->isHidden());
    }
    ETAPE("given a priority: marked read again, the state left as it was");
    exec(QStringLiteral("UPDATE tblmessageemploye SET Nouveau = 1 WHERE IdMessage = 20"));
    ASSERT_TRUE(demanderEdition(r, SGridMsg::colPriorite));
    ASSERT_TRUE(choisir(QStringLiteral("Urgente")));
    EXPECT_EQ(count(QStringLiteral("SELECT IdPriorite FROM tblmessage WHERE IdMessage = 20")), 1);
    EXPECT_EQ(g()->CellImage(r, SGridMsg::colPriorite), 0);
    EXPECT_EQ(ligneDest(20, 2), (LigneDest{4, QStringLiteral("2026-12-07 14:03:12"), 0}));
    EXPECT_EQ(verifs, QList<bool>({true, true}));
    EXPECT_EQ(errorReports(), 0);
}

// A row is struck through exactly when the resulting order is 5; back to "Ouvert" writes no
// line.
TEST_F(EtatGrille, CancelledStrikesTheRowAndBackToOpenWritesNoLine) {
    messageA(23, QStringLiteral("A"), 2, 0);
    remplir();
    const int r = ligne(23);
    ASSERT_GT(r, 0);
    // The columns of the row struck through.
    auto barree = [&] {
        int n = 0;
        for (int c = SGridMsg::colNo; c <= SGridMsg::colMessage; ++c)
            n += g()->CellFont(r, c).strikeOut();
        return n;
    };
    {
        SCOPED_TRACE("cancelled");
        ASSERT_TRUE(changerEtat(r, QStringLiteral("Annulé")));
        EXPECT_EQ(barree(), SGridMsg::colMessage - SGridMsg::colNo + 1);
        EXPECT_EQ(g()->CellImage(r, SGridMsg::colEtat), 5 + 2);
    }
    {
        SCOPED_TRACE("waiting");
        ASSERT_TRUE(changerEtat(r, QStringLiteral("En attente")));
        EXPECT_EQ(barree(), 0);
    }
    ETAPE("back to open");
    ASSERT_TRUE(demanderEdition(r, SGridMsg::colEtat));
    EXPECT_EQ(grille->ImgCbo()->currentText(), QStringLiteral("En attente"));
    ASSERT_TRUE(choisir(QStringLiteral("Ouvert")));
    EXPECT_EQ(ligneDest(23, 2), (LigneDest{1, QStringLiteral("-"), 0}));
    EXPECT_EQ(texteStocke(23).split(QStringLiteral("\r\n")),
              (QStringList{QStringLiteral("A"), audit(QStringLiteral("Annulé")),
                           audit(QStringLiteral("En attente"))}));
    EXPECT_EQ(g()->CellImage(r, SGridMsg::colEtat), 1 + 2);
}

// In the sent list neither the finishing time nor the unread flags change, by a state or a
// priority, and the sender's picks mark nothing read; an empty text takes its line without a
// leading line feed; a message still unread by its recipient stays red.
TEST_F(EtatGrille, InTheSentListStateAndPriorityLeaveFinishTimeAndUnreadFlags) {
    message(21, QString());
    recipient(21, 2, 3, 1, 1, QStringLiteral("2026-01-05 08:00:00"));
    grille->setBooRecu(false);
    remplir();
    const int r = ligne(21);
    ASSERT_GT(r, 0);
    {
        SCOPED_TRACE("a state");
        ASSERT_TRUE(changerEtat(r, QStringLiteral("En attente")));
        EXPECT_EQ(texteStocke(21), audit(QStringLiteral("En attente")));
        EXPECT_EQ(g()->CellForeColor(r, SGridMsg::colNo), 0x0000FF);
    }
    ETAPE("a priority");
    ASSERT_TRUE(demanderEdition(r, SGridMsg::colPriorite));
    ASSERT_TRUE(choisir(QStringLiteral("Basse")));
    EXPECT_EQ(count(QStringLiteral("SELECT IdPriorite FROM tblmessage WHERE IdMessage = 21")), 3);
    EXPECT_EQ(ligneDest(21, 3), (LigneDest{3, QStringLiteral("2026-01-05 08:00:00"), 1}));
    EXPECT_EQ(verifs, QList<bool>());
}

// A cancelled dialog (its button, its close box, or nobody ticked) writes no state nor line
// but marks the message read; then only the ticked recipients are stamped and the row shows
// the viewer's own state. With "Tous" the row shows the state chosen, struck through, and
// nobody's unread flag changes through a state other than 4; a refill while the dialog is open
// leaves the change with the message chosen.
TEST_F(EtatGrille, DialogStampsOnlyTheTickedRecipientsAndTheRowShowsTheViewersOwnState) {
    messageTexte(30, QStringLiteral("Pour trois"));
    for (int a : {2, 3, 4})
        recipient(30, 5, a, 1, 1);
    remplir();
    const int r = ligne(30);
    const char* const annulations[] = {"its cancel button", "its close box", "nobody ticked"};
    for (int essai = 0; essai < 3; ++essai) {
        SCOPED_TRACE(annulations[essai]);
        hote->booAnnule = false;
        ASSERT_TRUE(changerEtat(r, QStringLiteral("Terminé"), [essai](followup::frmChangeEtatMsg& d) {
            if (essai == 0) d.cmdAnnule()->click();
            if (essai == 1) d.close();
            if (essai == 2) {
                for (const char* nom : {"Julie", "Marc", "Sophie"})
                    decocher(d, QString::fromUtf8(nom));
                d.cmdOk()->click();
            }
        }));
        EXPECT_TRUE(hote->booAnnule);
        EXPECT_TRUE(grille->ImgCbo()->isHidden());
    }
    const LigneDest ouvertLu{1, QStringLiteral("-"), 0}, ouvertNonLu{1, QStringLiteral("-"), 1};
    EXPECT_EQ(ligneDest(30, 2), ouvertLu); // Julie's own: read
    EXPECT_EQ(ligneDest(30, 3), ouvertNonLu);
    EXPECT_EQ(texteStocke(30), QStringLiteral("Pour trois"));
    EXPECT_EQ(verifs, QList<bool>({true, true, true}));

    {
        SCOPED_TRACE("cancelled for Marc and Sophie only");
        ASSERT_TRUE(changerEtat(r, QStringLiteral("Annulé"), [&](followup::frmChangeEtatMsg& d) {
            decocher(d, QStringLiteral("Julie"));
            d.cmdOk()->click();
        }));
    }
    EXPECT_FALSE(hote->booAnnule);
    EXPECT_EQ(ligneDest(30, 2), ouvertLu);                               // Julie: not ticked
    EXPECT_EQ(ligneDest(30, 3), (LigneDest{5, QStringLiteral("-"), 1})); // Marc
    EXPECT_EQ(ligneDest(30, 4), (LigneDest{5, QStringLiteral("-"), 1})); // Sophie
    EXPECT_EQ(texteStocke(30), QStringLiteral("Pour trois\r\n") + audit(QStringLiteral("Annulé")));
    EXPECT_FALSE(g()->CellFont(r, SGridMsg::colNo).strikeOut());
    EXPECT_EQ(g()->CellImage(r, SGridMsg::colEtat), 1 + 2);

    ETAPE("with \"Tous\", a refill while the dialog is open");
    grille->setNoEmploye(0);
    remplir();
    ASSERT_TRUE(changerEtat(ligne(30), QStringLiteral("Annulé"), [&](followup::frmChangeEtatMsg& d) {
        message(34, QStringLiteral("Plus ancien"), 0, 2, QStringLiteral("2026-12-06"));
        recipient(34, 5, 2);
        remplir(); // an older message arrives: it takes the first row
        d.cmdOk()->click();
    }));
    ASSERT_EQ(listed(*grille), (QList<int>{34, 30}));
    EXPECT_TRUE(g()->CellFont(ligne(30), SGridMsg::colNo).strikeOut());
    EXPECT_FALSE(g()->CellFont(ligne(34), SGridMsg::colNo).strikeOut());
    EXPECT_EQ(ligneDest(30, 3), (LigneDest{5, QStringLiteral("-"), 1}));
    EXPECT_EQ(texteStocke(34), QStringLiteral("Plus ancien"));
    EXPECT_EQ(verifs.size(), 4);
}

// The dialog as the grid opens it, on a morning: it lists every recipient that is an employee,
// all ticked; states and line are written together or not at all, and the hour of the audit
// line keeps its two digits. A state without a description cannot make its line; an empty
// number lists nobody.
TEST_F(EtatGrille, DialogListsEveryRecipientAndWritesStatesAndLineTogetherOrNotAtAll) {
    platform::Clock::setFixed(QDateTime(QDate(2026, 1, 2), QTime(9, 5, 7)));
    message(10);
    for (int a : {2, 3, 4, 99}) // 99 has no employee row: not listed
        recipient(10, 2, a, a == 4 ? 2 : 1, 1);
    auto ouvrir = [this](int idEtat, const QString& idMessage) {
        auto d = std::make_unique<followup::frmChangeEtatMsg>();
        d->txtIdMsg()->setText(idMessage);
        d->txtEtat()->setText(QString::number(idEtat));
        d->Mere = hote.get();
        hote->booAnnule = true; // as the grid sets it before opening
        d->show();
        return d;
    };
    auto d = ouvrir(9, QStringLiteral("10"));
    {
        SCOPED_TRACE("a state without a description");
        d->cmdOk()->click();
        EXPECT_TRUE(hote->booAnnule);
        EXPECT_TRUE(d->isVisible());
        EXPECT_EQ(ligneDest(10, 2), (LigneDest{1, QStringLiteral("-"), 1}));
        EXPECT_EQ(ligneDest(10, 4), (LigneDest{2, QStringLiteral("-"), 1}));
        EXPECT_EQ(errorReports(), 1);
    }
    ETAPE("finished for Julie and Sophie");
    d = ouvrir(4, QStringLiteral("10"));
    QApplication::processEvents();
    EXPECT_EQ(defautsMiseEnPage(d.get()), "");
    EXPECT_FALSE(d->txtIdMsg()->isVisible());
    // Each listed recipient: name, employee number, ticked.
    QList<std::tuple<QString, int, bool>> listes;
    for (int i = 0; i < d->lstvEmpl()->count(); ++i) {
        QListWidgetItem* it = d->lstvEmpl()->item(i);
        listes << std::tuple(it->text(), it->data(Qt::UserRole).toInt(), it->checkState() == Qt::Checked);
    }
    std::sort(listes.begin(), listes.end());
    EXPECT_EQ(listes, (QList<std::tuple<QString, int, bool>>{{QStringLiteral("Julie"), 2, true},
                                                             {QStringLiteral("Marc"), 3, true},
                                                             {QStringLiteral("Sophie"), 4, true}}));
    decocher(*d, QStringLiteral("Marc"));
    d->cmdOk()->click();
    EXPECT_FALSE(hote->booAnnule);
    EXPECT_EQ(d->result(), QDialog::Accepted);
    const LigneDest termine{4, QStringLiteral("2026-01-02 09:05:07"), 0};
    EXPECT_EQ(ligneDest(10, 2), termine);
    EXPECT_EQ(ligneDest(10, 3), (LigneDest{1, QStringLiteral("-"), 1})); // Marc: not ticked
    EXPECT_EQ(ligneDest(10, 4), termine);
    EXPECT_EQ(d->ligneAjoutee(), QStringLiteral("\nTerminé le 2026-01-02 à 09:05:07 par Julie"));
    EXPECT_EQ(texteStocke(10), QStringLiteral("Bonjour\r\nTerminé le 2026-01-02 à 09:05:07 par Julie"));

    ETAPE("an empty number");
    d = ouvrir(4, QString());
    EXPECT_EQ(d->lstvEmpl()->count(), 0);
}

// The recipients column opens its sub-grid only for a message of several recipients: each
// with his state's picture, in red while unread. The sub-grid stays until another editor
// opens; no other column of a row has an editor of its own.
TEST_F(EtatGrille, RecipientsSubGridOnlyForSeveralRecipientsAndOtherColumnsRefused) {
    messageA(50, QStringLiteral("Seul"));
    messageTexte(51, QStringLiteral("Trois"));
    recipient(51, 3, 2, 4, 0, QStringLiteral("2026-12-01 10:00:00"));
    recipient(51, 3, 4, 2, 1);
    recipient(51, 3, 5, 1, 0);
    grille->setNoEmploye(0);
    remplir();
    {
        SCOPED_TRACE("one recipient");
        EXPECT_FALSE(demanderEdition(ligne(50), SGridMsg::colDestinataire));
        EXPECT_TRUE(grille->SGridEmplA()->isHidden());
        EXPECT_FALSE(demanderEdition(ligne(50), SGridMsg::colMessage));
    }
    const int r = ligne(51);
    platform::Grid* a = grille->SGridEmplA();
    {
        SCOPED_TRACE("three recipients");
        ASSERT_TRUE(demanderEdition(r, SGridMsg::colDestinataire));
        EXPECT_FALSE(a->isHidden());
        ASSERT_EQ(a->Rows(), 3);
        // Name, the picture of the state's order (+2), the name's colour (-1: the grid's own).
        QList<std::tuple<QString, int, qint64>> vus;
        for (int i = 1; i <= 3; ++i)
            vus << std::tuple(a->CellText(i, 2), int(a->CellImage(i, 1)), qint64(a->CellForeColor(i, 2)));
        std::sort(vus.begin(), vus.end());
        EXPECT_EQ(vus, (QList<std::tuple<QString, int, qint64>>{
                           {QStringLiteral("Julie"), 4 + 2, -1},   // finished, read
                           {QStringLiteral("Sophie"), 2 + 2, 255}, // unread: red
                           {QStringLiteral("Éric"), 1 + 2, -1},    // open, read
                       }));
    }
    ETAPE("another editor opens");
    ASSERT_TRUE(demanderEdition(r, SGridMsg::colEtat));
    EXPECT_TRUE(a->isHidden());
    EXPECT_FALSE(grille->ImgCbo()->isHidden());
}

// The shell's minute tick finds the database gone while the state dialog of the real
// message list is open: every window closes, the program goes inactive, nothing is written.
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
    SGridMsg* l = liste->SGridMsgRecu();
    bool cancel = false;
    emit l->SGrid()->RequestEdit(rowOf(*l, 35), SGridMsg::colEtat, 0, cancel);
    QTimer::singleShot(0, hote.get(), [&] {
        ASSERT_TRUE(qobject_cast<followup::frmChangeEtatMsg*>(QApplication::activeModalWidget()));
        exec(QStringLiteral("KILL %1").arg(
            services::Session::cnBD()->open(QStringLiteral("SELECT CONNECTION_ID()")).field(0).toLongLong()));
        shell.Timer1_Timer();
        // The event loop may delete what was closed before the dialog's loop returns.
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    });
    ASSERT_TRUE(choisir(l->ImgCbo(), QStringLiteral("Terminé")));
    QCoreApplication::processEvents();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(liste.isNull());
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
    EXPECT_FALSE(services::Session::programActive);
    EXPECT_EQ(ligneDest(35, 3), (LigneDest{1, QStringLiteral("-"), 1}));
    services::Session::programActive = actif;
}
