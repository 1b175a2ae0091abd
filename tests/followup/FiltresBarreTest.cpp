// The filter bar of the message grid, driven as a user would: combos, check boxes,
// pickers, the number search, and the control's layout.
#include "SGridMsgFixture.h"

#include <QClipboard>
#include <QWheelEvent>

namespace {

class FiltresBarreTest : public SGridMsgDb {
protected:
    void SetUp() override {
        SGridMsgDb::SetUp();
        if (IsSkipped()) return;
        // Callers: one number each, or none (Roy), a duplicate (Gagnon), an empty first
        // column (Côté), a mobile only (Bédard).
        exec(QStringLiteral("INSERT INTO tblclientmsg (IdClientMsg, Nom, Prenom, NomCie, Telephone, "
                            "TelBureau, Cellulaire) VALUES"
                            " (1, 'Tremblay', 'Luc', NULL, '(514)555-1234', NULL, NULL),"
                            " (2, 'Bédard', 'Anne', '', NULL, NULL, '(450)555-0000'),"
                            " (3, 'Roy', NULL, 'Acme', NULL, NULL, NULL),"
                            " (4, 'Gagnon', '', NULL, '(514)555-1234', NULL, NULL),"
                            " (5, 'Côté', 'Guy', NULL, '', '(819)555-2222', NULL)"));
        // Received by Julie; 5 to 7 finished around the interval 03-08 .. 03-15.
        const int clients[] = {1, 2, 3, 4, 5, 1, 2};
        for (int id = 1; id <= 7; ++id)
            message(id, QStringLiteral("Message %1").arg(id), clients[id - 1], 2,
                    QStringLiteral("2024-03-14"),
                    QStringLiteral("09:%1:00").arg(id, 2, 10, QLatin1Char('0')));
        for (int id = 1; id <= 4; ++id)
            recipient(id, 3, 2);
        recipient(5, 3, 2, 4, 0, QStringLiteral("2024-03-15 23:59:59"));
        recipient(6, 3, 2, 4, 0, QStringLiteral("2024-03-16 00:00:00"));
        recipient(7, 3, 2, 4, 0, QStringLiteral("2024-03-08 00:00:00"));
        // Sent by Julie to Marc.
        message(8, QStringLiteral("Envoi"), 2, 2, QStringLiteral("2024-03-14"), QStringLiteral("10:00:00"));
        recipient(8, 2, 3);
    }
};

TEST_F(FiltresBarreTest, CallerAndTelephoneListsOfTheListedMessages) {
    SGridMsg g;
    // By name, first name, company; parts that are empty or NULL are left out.
    EXPECT_EQ(entries(g.cboClient()),
              (QStringList{QStringLiteral("Tous"), QStringLiteral("Bédard, Anne"), QStringLiteral("Gagnon"),
                           QStringLiteral("Roy, Acme"), QStringLiteral("Tremblay, Luc")}));
    // One number per caller, the first one he has; one empty entry for Roy; Gagnon's
    // number merged with Tremblay's; "Tous" last and chosen.
    EXPECT_EQ(entries(g.cboTel()), (QStringList{QString(), QStringLiteral("(450)555-0000"),
                                                QStringLiteral("(514)555-1234"), QStringLiteral("Tous")}));
    EXPECT_EQ(g.cboTel()->currentText(), QStringLiteral("Tous"));

    // Côté's messages are finished: he comes with the finished ones, by his office number.
    ETAPE("Côté's finished messages");
    g.chkAffTermine()->click();
    EXPECT_TRUE(entries(g.cboClient()).contains(QStringLiteral("Côté, Guy")));
    EXPECT_TRUE(entries(g.cboTel()).contains(QStringLiteral("(819)555-2222")));

    // The sent list has the callers of the messages Julie sent.
    ETAPE("the sent list's callers");
    g.setBooRecu(false);
    EXPECT_EQ(entries(g.cboClient()), (QStringList{QStringLiteral("Tous"), QStringLiteral("Bédard, Anne")}));
}

TEST_F(FiltresBarreTest, FinishedBoxFillsWithTheOldFiltersThenResetsThem) {
    SGridMsg g;
    g.Remplir();
    ASSERT_TRUE(choisir(g.cboClient(), QStringLiteral("Tremblay, Luc")));
    EXPECT_EQ(listed(g), QList<int>{1});
    // Fill first, with Tremblay still chosen; then the lists go back to "Tous".
    g.chkAffTermine()->click();
    EXPECT_EQ(listed(g), QList<int>{1});
    EXPECT_EQ(g.cboClient()->currentText(), QStringLiteral("Tous"));

    // Interval 03-08 .. 03-15: midnight of the first day and 23:59:59 of the last are in,
    // midnight after the last day is out; without the interval every finished message.
    ETAPE("the finishing interval's bounds");
    g.cmdRecherche()->click();
    EXPECT_EQ(listed(g), (QList<int>{1, 2, 3, 4, 5, 7}));
    g.chkIntervalle()->click();
    EXPECT_EQ(listed(g), (QList<int>{1, 2, 3, 4, 5, 6, 7}));
    g.chkIntervalle()->click();

    // Enter in a picker refills, dates in the wrong order being exchanged first.
    ETAPE("Enter in a date picker");
    g.DTPicker2()->setDate(QDate(2024, 3, 14));
    g.DTPicker1()->setDate(QDate(2024, 3, 16));
    QTest::keyClick(g.DTPicker1(), Qt::Key_Return);
    EXPECT_EQ(g.DTPicker1()->date(), QDate(2024, 3, 14));
    EXPECT_EQ(listed(g), (QList<int>{1, 2, 3, 4, 5, 6}));
    g.chkAffTermine()->click();
    EXPECT_EQ(listed(g), (QList<int>{1, 2, 3, 4}));
}

// With right 5 the employee list rebuilds the caller lists, then fills.
TEST_F(FiltresBarreTest, EmployeeChoiceRebuildsTheListsBeforeFilling) {
    SGridMsg g;
    g.Remplir();
    g.setChoixEmpl(true);
    ASSERT_TRUE(choisir(g.cboClient(), QStringLiteral("Tremblay, Luc")));
    ASSERT_TRUE(choisir(g.cboEmpl(), QStringLiteral("Marc")));
    EXPECT_EQ(listed(g), QList<int>{8}); // Marc's received message, no caller filter left
    EXPECT_EQ(entries(g.cboClient()), (QStringList{QStringLiteral("Tous"), QStringLiteral("Bédard, Anne")}));
    // "Tous": every recipient row of every message, received and sent alike.
    ASSERT_TRUE(choisir(g.cboEmpl(), QStringLiteral("Tous")));
    EXPECT_EQ(listed(g), (QList<int>{1, 2, 3, 4, 8}));
}

TEST_F(FiltresBarreTest, TelephoneChoiceMatchesEveryColumn) {
    // Roy's number, in each column in turn; it sorts after "Tous" by character code, and
    // the rebuild must still choose "Tous".
    for (const char* col : {"Telephone", "TelBureau", "Cellulaire", "AutreTel", "Fax"}) {
        SCOPED_TRACE(col);
        exec(QStringLiteral("UPDATE tblclientmsg SET %1 = 'poste d''Ana' WHERE IdClientMsg = 3")
                 .arg(QLatin1String(col)));
        SGridMsg g;
        EXPECT_EQ(g.cboTel()->currentText(), QStringLiteral("Tous"));
        ASSERT_TRUE(choisir(g.cboTel(), QStringLiteral("poste d'Ana")));
        EXPECT_EQ(listed(g), QList<int>{3});
        exec(QStringLiteral("UPDATE tblclientmsg SET %1 = NULL WHERE IdClientMsg = 3")
                 .arg(QLatin1String(col)));
    }
}

// Typed: "tr" completes to the caller's entry and Enter filters; a text that is no entry
// selects nothing.
TEST_F(FiltresBarreTest, TypeAheadCompletesWhateverTheCaseAndEnterFilters) {
    SGridMsg g;
    g.show();
    QApplication::setActiveWindow(&g);
    g.Remplir();
    g.cboClient()->setFocus();
    g.cboClient()->lineEdit()->clear();
    QTest::keyClicks(g.cboClient(), QStringLiteral("tr"));
    EXPECT_EQ(g.cboClient()->currentText(), QStringLiteral("Tremblay, Luc"));
    QTest::keyClick(g.cboClient(), Qt::Key_Return);
    EXPECT_EQ(listed(g), QList<int>{1});
    g.cboClient()->lineEdit()->setText(QStringLiteral("bédard, anne"));
    QTest::keyClick(g.cboClient(), Qt::Key_Return);
    EXPECT_EQ(g.idClientMsg(), 1);
    // A wheel over a list without the focus changes nothing; Tab leaves the number box,
    // which keeps what was typed.
    QWheelEvent roue(QPointF(5, 5), g.cboTel()->mapToGlobal(QPointF(5, 5)), QPoint(), QPoint(0, 120),
                     Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
    const int avant = g.cboTel()->currentIndex();
    QApplication::sendEvent(g.cboTel(), &roue);
    EXPECT_EQ(g.cboTel()->currentIndex(), avant);
    g.txtNoMsg()->setFocus();
    QTest::keyClicks(g.txtNoMsg(), QStringLiteral("12"));
    QTest::keyClick(g.txtNoMsg(), Qt::Key_Tab);
    EXPECT_NE(QApplication::focusWidget(), g.txtNoMsg());
    EXPECT_EQ(g.txtNoMsg()->text(), QStringLiteral("12"));
}

// Digits only; a searched number lists its message whatever its state, an invalid one
// nothing.
TEST_F(FiltresBarreTest, NumberSearchStaysInForceUntilTheBoxIsEmptied) {
    SGridMsg g;
    g.show();
    g.Remplir();
    QTest::keyClicks(g.txtNoMsg(), QStringLiteral("a6b"));
    EXPECT_EQ(g.txtNoMsg()->text(), QStringLiteral("6"));
    // Select all and cut empty the box; a paste of anything but digits is refused.
    QTest::keyClick(g.txtNoMsg(), Qt::Key_A, Qt::ControlModifier);
    QTest::keyClick(g.txtNoMsg(), Qt::Key_X, Qt::ControlModifier);
    for (const char* colle : {"6 x", "6"}) {
        QApplication::clipboard()->setText(QLatin1String(colle));
        QTest::keyClick(g.txtNoMsg(), Qt::Key_V, Qt::ControlModifier);
    }
    EXPECT_EQ(g.txtNoMsg()->text(), QStringLiteral("6"));
    QTest::keyClick(g.txtNoMsg(), Qt::Key_Return);
    EXPECT_EQ(listed(g), QList<int>{6}); // finished, listed all the same
    for (const QString& text : {QStringLiteral("99999999999"), QStringLiteral("-4")}) {
        ScriptedChooser chooser;
        g.txtNoMsg()->setText(text);
        g.Remplir();
        EXPECT_EQ(chooser.messagesShown, QStringList{QStringLiteral("Numéro de message invalide.")});
        EXPECT_EQ(g.SGrid()->Rows(), 0);
    }
    g.txtNoMsg()->setText(QStringLiteral("6"));
    // Any later fill still takes the number.
    ASSERT_TRUE(choisir(g.cboTel(), QStringLiteral("Tous")));
    EXPECT_EQ(listed(g), QList<int>{6});

    // Emptied by hand: the next fill lists everything, but the probe stays silent
    // until "!" is pressed with the empty box.
    ETAPE("the number box emptied by hand");
    g.txtNoMsg()->clear();
    ASSERT_TRUE(choisir(g.cboTel(), QStringLiteral("Tous")));
    EXPECT_EQ(listed(g), (QList<int>{1, 2, 3, 4}));
    message(9, QStringLiteral("Nouveau"), 0, 2, QStringLiteral("2024-03-15"), QStringLiteral("09:59:00"));
    recipient(9, 3, 2);
    g.VerifNouveauMsg();
    EXPECT_EQ(g.rechercheBackColor(), platform::kSysButtonFace);
    g.cmdRecherche()->click();
    EXPECT_EQ(listed(g), (QList<int>{1, 2, 3, 4, 9}));
    message(10, QStringLiteral("Encore"), 0, 2, QStringLiteral("2024-03-15"), QStringLiteral("10:00:00"));
    recipient(10, 3, 2);
    g.VerifNouveauMsg();
    EXPECT_EQ(g.rechercheBackColor(), 0x0000FF);
}

} // namespace
