#include "SGridMsgFixture.h"

// The employees in their set order, then by name, right 14 only; without the right an
// employee sees "Tous" but his own messages.
TEST_F(SGridMsgDb, EmployeeListOrderedThenByNameRight14Only) {
    // Inactive Sophie keeps her right and stays listed; Zorro is ordered but has no right.
    exec(QStringLiteral("UPDATE tblemploye SET Actif = 0 WHERE NoEmploye = 4"));
    exec(QStringLiteral("INSERT INTO tblemploye (NoEmploye, Nom) VALUES (6, 'Zorro')"));
    exec(QStringLiteral("INSERT INTO tblordreemployemsg (NoEmploye, Ordre) VALUES (6, 3)"));
    exec(QStringLiteral("UPDATE tblordreemployemsg SET Ordre = 5 WHERE NoEmploye = 2"));
    services::Session::lngNoEmploye = 3;
    SGridMsg g;
    // Each entry: the name shown, the employee number it stands for.
    QList<std::pair<QString, int>> names;
    for (int i = 0; i < g.cboEmpl()->count(); ++i)
        names << std::pair(g.cboEmpl()->itemText(i), g.cboEmpl()->itemData(i).toInt());
    EXPECT_EQ(names, (QList<std::pair<QString, int>>{{QStringLiteral("Tous"), 0},
                                                     {QStringLiteral("Marc"), 3},
                                                     {QStringLiteral("Julie"), 2},
                                                     {QStringLiteral("Éric"), 5},
                                                     {QStringLiteral("Sophie"), 4}}));
    EXPECT_EQ(g.DTPicker1()->date(), QDate(2024, 3, 8));

    exec(QStringLiteral("DELETE FROM tblacces_empl WHERE NoEmploye = 3"));
    SGridMsg sans;
    EXPECT_EQ(sans.cboEmpl()->currentText(), QStringLiteral("Tous"));
    EXPECT_EQ(sans.noEmploye(), 3);
}

// In a chosen employee's received list the refreshed row is his own recipient row, even
// when a colleague's comes first from the server; elsewhere the row a fill carries.
TEST_F(SGridMsgDb, UpdateLigneRewritesAListedRowFromTheRightRecipient) {
    exec(QStringLiteral(
        "INSERT INTO tblclientmsg (IdClientMsg, Nom, Telephone) VALUES (1, 'Avant', '(514)555-0001')"));
    message(1, QStringLiteral("Texte"), 1);
    recipient(1, 3, 2, 1, 1);
    message(2);
    recipient(2, 3, 4);
    message(40);
    recipient(40, 4, 3, 3, 1, QString(), 9, 1); // Marc: waiting, unread, his 9th
    recipient(40, 4, 2, 1, 0, QString(), 7, 1); // Julie: open, read, her 7th
    message(41); // finished by Julie long ago, still open for Marc: struck through
    recipient(41, 3, 2, 4, 0, QStringLiteral("2024-01-02 08:00:00"));
    recipient(41, 3, 3);
    SGridMsg g;
    g.Remplir();
    ASSERT_EQ(listed(g), (QList<int>{1, 40, 41}));
    platform::Grid* s = g.SGrid();
    EXPECT_EQ(s->CellForeColor(1, 3), 0x0000FF);

    exec(QStringLiteral("UPDATE tblclientmsg SET Nom = 'Après' WHERE IdClientMsg = 1"));
    exec(QStringLiteral("UPDATE tblmessageemploye SET Nouveau = 0, IdEtat = 3 WHERE IdMessage = 1"));
    exec(QStringLiteral(
        "UPDATE tblmessage SET IdPriorite = 3, Message = 'Nouveau texte' WHERE IdMessage = 1"));
    recipient(1, 3, 5, 3, 0);
    for (qint32 id : {1, 2, 40, 41})
        g.UpdateLigne(id);
    EXPECT_EQ(listed(g), (QList<int>{1, 40, 41})); // a message not listed is not added
    EXPECT_TRUE(s->CellFont(rowOf(g, 41), SGridMsg::colMessage).strikeOut());
    // Caller, priority, state, colour, recipients, text; Julie's own row of message 40.
    EXPECT_EQ(s->CellText(1, 4), QStringLiteral("Après"));          // the caller
    EXPECT_EQ(s->CellText(1, 11), QStringLiteral("Julie, Éric"));   // the recipients, Éric added
    EXPECT_EQ(s->CellText(1, 12), QStringLiteral("Nouveau texte")); // the text
    EXPECT_EQ(s->CellText(2, 3), QStringLiteral("40 (7)"));         // Julie's own daily number
    EXPECT_EQ(s->CellText(2, 11), QStringLiteral("Marc, Julie"));
    EXPECT_EQ(
        QList<qint64>({s->CellImage(1, 1), s->CellImage(1, 2), s->CellForeColor(1, 3), s->CellImage(2, 2)}),
        QList<qint64>({2, 5, -1, 3}));
}

// 1: to Julie and Marc, Marc has finished it; 2: to Julie, in progress; 3: to Julie,
// finished, from a caller whose number holds an apostrophe; 4: sent by Julie to Sophie.
// The counts under every filter are held against a statement per state elsewhere; here,
// what the filters' texts make of them, and the once-a-minute probe.
TEST_F(SGridMsgDb, StatusCountsEachStateAndTheProbeMarksOnlyNewerUnfinishedMessages) {
    clients(QStringLiteral("(2, 'O''Neil', NULL, NULL, NULL, NULL, '(514)555-12''34', NULL, NULL)"));
    message(1, QStringLiteral("Un"), 1);
    recipient(1, 4, 2, 1);
    recipient(1, 4, 3, 4, 0, QStringLiteral("2024-03-14 12:00:00"));
    message(2, QStringLiteral("Deux"), 1, 2, QStringLiteral("2024-03-14"), QStringLiteral("10:00:00"));
    recipient(2, 3, 2, 2);
    message(3, QStringLiteral("Trois"), 2, 2, QStringLiteral("2024-03-14"), QStringLiteral("11:00:00"));
    recipient(3, 3, 2, 4, 0, QStringLiteral("2024-03-14 12:00:00"));
    message(4, QStringLiteral("Quatre"), 0, 2, QStringLiteral("2024-03-14"), QStringLiteral("12:00:00"));
    recipient(4, 2, 4, 1);
    SGridMsg g;
    g.Remplir();
    // Finished messages are counted although the grid hides them; no zero items.
    EXPECT_EQ(listed(g), (QList<int>{1, 2}));
    EXPECT_EQ(g.lblStatus()->text(), QStringLiteral("Ouvert(1)   En traitement(1)   Terminé(1)   "));
    // A telephone with an apostrophe is quoted, not an error, in the counts and the probe.
    g.cboTel()->addItem(QStringLiteral("(514)555-12'34")); // a finished message's: not listed
    g.cboTel()->setCurrentIndex(g.cboTel()->count() - 1);
    g.Remplir();
    EXPECT_EQ(g.lblStatus()->text(), QStringLiteral("Terminé(1)   "));
    g.VerifNouveauMsg();
    EXPECT_EQ(errorReports(), 0);

    g.show();
    g.cboTel()->setCurrentIndex(g.cboTel()->findText(QStringLiteral("Tous")));
    g.Remplir();
    // The last message read, the hidden finished one included.
    EXPECT_EQ(g.dernierIdMessage(), 3);
    // Whether the probe leaves the search button marked.
    auto marque = [&g] {
        g.VerifNouveauMsg();
        return g.rechercheBackColor() == 0x0000FF;
    };
    EXPECT_FALSE(marque());
    // Another workstation reopens the finished message: it is no new message.
    {
        platform::Database autre;
        autre.open(s_db->config().connectionSettings());
        autre.execute(QStringLiteral(
            "UPDATE tblmessageemploye SET IdEtat = 1, DateTermine = NULL WHERE IdMessage = 3"));
    }
    EXPECT_FALSE(marque()) << "a reopened finished message turned the mark red";
    // A fill that reads no message keeps the reference.
    g.setIdClientMsg(99);
    g.Remplir();
    EXPECT_EQ(g.dernierIdMessage(), 3);
    g.setIdClientMsg(0);
    // Entered finished: no mark.
    message(5, QStringLiteral("Fini"), 1, 2, QStringLiteral("2024-03-15"), QStringLiteral("09:00:00"));
    recipient(5, 3, 2, 4, 0, QStringLiteral("2024-03-15 09:00:00"));
    EXPECT_FALSE(marque());
    message(6, QStringLiteral("Nouveau"), 1, 2, QStringLiteral("2024-03-15"), QStringLiteral("09:30:00"));
    recipient(6, 3, 2);
    EXPECT_TRUE(marque());

    // Hidden, the button keeps its colour; a later probe that finds nothing clears it.
    ETAPE("hidden, then a probe that finds nothing");
    g.hide();
    exec(QStringLiteral("UPDATE tblmessageemploye SET IdEtat = 4 WHERE IdMessage = 6"));
    EXPECT_TRUE(marque());
    g.show();
    EXPECT_FALSE(marque());
}

// A message of several recipients shows one of their rows in the sent list and under
// "Tous": one not finished rather than a finished one (its state and unread colour tell
// that someone still has it), then the first written, whatever the order of entry.
TEST_F(SGridMsgDb, AGroupedRecordCarriesAnUnfinishedRowThenTheFirstWritten) {
    message(10); // Julie finished it, Sophie has it open and unread
    recipient(10, 3, 2, 4, 0, QStringLiteral("2024-01-02 08:00:00"), 1, 1);
    recipient(10, 3, 4, 2, 1, QString(), 2, 2);
    message(11); // the same, entered in the other order
    recipient(11, 3, 4, 2, 1, QString(), 2, 2);
    recipient(11, 3, 2, 4, 0, QStringLiteral("2024-01-02 08:00:00"), 1, 1);
    message(12); // both finished: the first written
    recipient(12, 3, 4, 4, 0, QStringLiteral("2024-01-02 08:00:00"), 3, 3);
    recipient(12, 3, 2, 4, 1, QStringLiteral("2024-01-02 08:00:00"), 4, 4);
    message(13); // both open: the first written
    recipient(13, 3, 2, 3, 0, QString(), 5, 5);
    recipient(13, 3, 4, 1, 1, QString(), 6, 6);
    // A covering index on the rows changes the server's plans, not the rows shown.
    exec(QStringLiteral("CREATE INDEX ix_essai ON tblmessageemploye (IdMessage, NoEmplA, IdEtat, Nouveau)"));
    struct Retrait {
        platform::Database& db;
        ~Retrait() { db.execute(QStringLiteral("DROP INDEX ix_essai ON tblmessageemploye")); }
    } retrait{db()};
    SGridMsg g;
    g.chkAffTermine()->setChecked(true);
    g.chkIntervalle()->setChecked(false);
    for (const auto& [employe, recu] : {std::pair{3, false}, {0, true}, {0, false}}) {
        SCOPED_TRACE(testing::Message() << "employé " << employe << " reçus " << recu);
        g.setNoEmploye(employe);
        g.setBooRecu(recu);
        g.Remplir();
        ASSERT_EQ(listed(g), (QList<int>{10, 11, 12, 13}));
        const platform::Grid* s = g.SGrid();
        QStringList vu;
        for (int r = 1; r <= 4; ++r)
            vu << QStringLiteral("%1 image %2 %3")
                      .arg(s->CellText(r, 3))
                      .arg(s->CellImage(r, 2))
                      .arg(s->CellForeColor(r, 3) == 0x0000FF ? QStringLiteral("rouge")
                                                              : QStringLiteral("-"));
        const auto no = [employe = employe](int id, int jour) {
            return employe ? QStringLiteral("%1 (%2)").arg(id).arg(jour) : QString::number(id);
        };
        EXPECT_EQ(
            vu.join(QStringLiteral(" | ")).toStdString(),
            QStringList({no(10, 2) + QStringLiteral(" image 4 rouge"),
                         no(11, 2) + QStringLiteral(" image 4 rouge"),
                         no(12, 3) + QStringLiteral(" image 6 -"), no(13, 5) + QStringLiteral(" image 5 -")})
                .join(QStringLiteral(" | "))
                .toStdString());
        // A row refreshed after a save carries the same recipient row.
        for (qint32 id : {10, 11})
            g.UpdateLigne(id);
        EXPECT_EQ(s->CellImage(1, 2), 4);
        EXPECT_EQ(s->CellImage(2, 2), 4);
    }
}
