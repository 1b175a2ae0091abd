#include "SGridMsgFixture.h"

// Julie's received list under the three combinations of the finished boxes.
TEST_F(SGridMsgDb, FinishedMessagesFollowTheCheckBoxes) {
    message(1, QStringLiteral("ouvert"), 0, 2, QStringLiteral("2024-03-10"));
    recipient(1, 3, 2);
    message(2, QStringLiteral("fini dans l'intervalle"), 0, 2, QStringLiteral("2024-03-11"));
    recipient(2, 3, 2, 4, 0, QStringLiteral("2024-03-09 08:00:00"));
    message(3, QStringLiteral("fini il y a longtemps"), 0, 2, QStringLiteral("2024-03-12"));
    recipient(3, 3, 2, 4, 0, QStringLiteral("2024-01-02 08:00:00"));
    // Finished by Julie long ago, still open for Marc.
    message(4, QStringLiteral("ouvert pour un autre"), 0, 2, QStringLiteral("2024-03-13"));
    recipient(4, 3, 2, 4, 0, QStringLiteral("2024-01-02 08:00:00"));
    recipient(4, 3, 3, 1);
    const struct {
        bool affTermine, intervalle;
        QList<int> listed, struck;
    } cases[] = {{false, true, {1, 4}, {4}},
                 {false, false, {1, 4}, {4}},
                 {true, false, {1, 2, 3, 4}, {}},
                 {true, true, {1, 2, 4}, {4}}};
    SGridMsg g;
    for (const auto& c : cases) {
        g.chkAffTermine()->setChecked(c.affTermine);
        g.chkIntervalle()->setChecked(c.intervalle);
        g.Remplir();
        SCOPED_TRACE(testing::Message() << "affTermine " << c.affTermine << " intervalle " << c.intervalle);
        EXPECT_EQ(listed(g), c.listed);
        for (int id : c.listed)
            EXPECT_EQ(struck(g, id), c.struck.contains(id)) << id;
        // The last record read is the newest listed.
        EXPECT_EQ(g.dernierIdMessage(), 4);
    }
    EXPECT_EQ(errorReports(), 0);
}

TEST_F(SGridMsgDb, RowTextsOfAMessage) {
    clients(QStringLiteral("(1, 'Dupont', NULL, '', NULL, NULL, '(514)555-0001', NULL, NULL),"
                           " (2, 'Roy', 'Ana', 'Acme', '(450)555-0002', '', NULL, NULL, '(450)555-0009')"));
    message(10, QStringLiteral("Rappeler\\par au bureau"), 1, 1);
    recipient(10, 3, 2, 2, 1, QString(), 4, 7);
    exec(QStringLiteral("INSERT INTO tblmessagetype (IdMessage, IdType) VALUES (10, 1), (10, 2)"));
    exec(QStringLiteral(
        "INSERT INTO tblmessagedossier (IdMessage, NoDossier) VALUES (10, 'D-1'), (10, 'D-2')"));
    message(11, QStringLiteral("Deux"), 2, 3, QStringLiteral("2024-03-14"), QStringLiteral("10:00:00"));
    recipient(11, 3, 2, 1, 0, QString(), 5, 8);
    recipient(11, 3, 4, 1, 0, QString(), 1, 8);
    recipient(11, 3, 5, 1, 0, QString(), 2, 8);

    SGridMsg g;
    g.Remplir();
    platform::Grid* s = g.SGrid();
    ASSERT_EQ(listed(g), (QList<int>{10, 11}));

    // The rest of the row's look is held against the message-by-message fill elsewhere;
    // here, the texts the statement itself makes.
    EXPECT_EQ(textes(s, 1, 3, 12),
              QStringLiteral("10 (4)|Dupont,|(514)555-0001|2024-03-14|09:05|Marc|"
                             "Rappeler, Information|D-1, D-2|Julie|Rappeler\r\nau bureau"));
    EXPECT_EQ(textes(s, 2, 3, 5), QStringLiteral("11 (5)|Roy,Ana,Acme|(450)555-0002, (450)555-0009"));
    EXPECT_EQ(s->CellText(2, 11), QStringLiteral("Julie, Sophie, Éric"));
    EXPECT_EQ(errorReports(), 0);
}

TEST_F(SGridMsgDb, GroupingAndSelectionSurviveARefill) {
    for (int id = 1; id <= 4; ++id) {
        message(id, QStringLiteral("m%1").arg(id), 0, 2, QStringLiteral("2024-03-1%1").arg(id));
        recipient(id, id % 2 ? 3 : 4, 2);
    }
    SGridMsg g;
    const auto refreshes = refreshCounter(g);
    g.Remplir();
    EXPECT_EQ(*refreshes, 1);
    platform::Grid* s = g.SGrid();
    s->setGroupingBandHidden(false);
    s->setColumnIsGrouped(SGridMsg::colExpediteur, true);
    s->setSelectedRow(rowOf(g, 3));

    g.Remplir();
    EXPECT_EQ(*refreshes, 2);
    EXPECT_TRUE(s->ColumnIsGrouped(SGridMsg::colExpediteur));
    EXPECT_EQ(s->ColumnGroupingLevel(SGridMsg::colExpediteur), 0);
    EXPECT_FALSE(s->GroupingBandHidden());
    EXPECT_EQ(s->Rows(), 6); // two group rows
    EXPECT_EQ(g.nbEnreg(), 6);
    ASSERT_GT(s->SelectedRow(), 0);
    EXPECT_EQ(s->CellItemData(s->SelectedRow(), SGridMsg::colNo), 3);

    // A selected message that is no longer listed leaves nothing selected.
    exec(QStringLiteral("UPDATE tblmessageemploye SET IdEtat = 4 WHERE IdMessage = 3"));
    g.Remplir();
    EXPECT_EQ(s->SelectedRow(), 0);
    EXPECT_EQ(listed(g).size(), 3);

    // An empty result: no rows, no grouping restored, still reported to the host.
    exec(QStringLiteral("UPDATE tblmessageemploye SET IdEtat = 4"));
    g.Remplir();
    EXPECT_EQ(s->Rows(), 0);
    EXPECT_FALSE(s->ColumnIsGrouped(SGridMsg::colExpediteur));
    EXPECT_EQ(*refreshes, 4);
    EXPECT_EQ(g.dernierIdMessage(), 4); // the records were still read
}

TEST_F(SGridMsgDb, SearchedNumberListsThatMessageWhateverTheBoxesAndAnInvalidOneNothing) {
    message(5);
    recipient(5, 3, 2, 4, 0, QStringLiteral("2023-01-01 00:00:00"));
    message(40000, QStringLiteral("grand numéro"));
    recipient(40000, 3, 2, 4, 0, QStringLiteral("2023-01-01 00:00:00"));
    message(40001);
    recipient(40001, 3, 2);

    SGridMsg g;
    g.txtNoMsg()->setText(QStringLiteral("40000"));
    qint32 asked = 0;
    g.Remplir(asked);
    EXPECT_EQ(asked, 40000); // the caller sees the number that was searched
    EXPECT_EQ(listed(g), QList<int>{40000});
    EXPECT_FALSE(struck(g, 40000));

    const auto refreshes = refreshCounter(g);
    for (const QString& text : {QStringLiteral("99999999999"), QStringLiteral("12a"), QStringLiteral("-4")}) {
        ScriptedChooser chooser;
        g.txtNoMsg()->setText(text);
        asked = 0;
        g.Remplir(asked);
        EXPECT_EQ(chooser.messagesShown, QStringList{QStringLiteral("Numéro de message invalide.")})
            << qPrintable(text);
        EXPECT_EQ(g.SGrid()->Rows(), 0);
        EXPECT_EQ(asked, 0);
    }
    EXPECT_EQ(*refreshes, 3);
    g.txtNoMsg()->clear();
    g.Remplir();
    EXPECT_EQ(listed(g), QList<int>{40001});
    EXPECT_EQ(errorReports(), 0);
}

// In a chosen employee's received list the refreshed row is his own recipient row, even
// when a colleague's comes first from the server; elsewhere the server's first row.
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
    const auto refreshes = refreshCounter(g);
    for (qint32 id : {1, 2, 40, 41})
        g.UpdateLigne(id);
    EXPECT_EQ(listed(g), (QList<int>{1, 40, 41})); // a message not listed is not added
    for (int c = SGridMsg::colNo; c <= SGridMsg::colMessage; ++c)
        EXPECT_TRUE(s->CellFont(rowOf(g, 41), c).strikeOut()) << "column " << c;
    EXPECT_EQ(s->CellText(1, 4), QStringLiteral("Après"));
    EXPECT_EQ(s->CellImage(1, 1), 2);
    EXPECT_EQ(s->CellImage(1, 2), 5);
    EXPECT_EQ(s->CellForeColor(1, 3), -1);
    EXPECT_EQ(s->CellText(1, 11), QStringLiteral("Julie, Éric"));
    EXPECT_EQ(s->CellText(1, 12), QStringLiteral("Nouveau texte"));
    EXPECT_EQ(s->CellText(2, 3), QStringLiteral("40 (7)"));
    EXPECT_EQ(s->CellImage(2, 2), 3);
    EXPECT_EQ(s->CellForeColor(2, 3), -1);
    EXPECT_EQ(s->CellText(2, 11), QStringLiteral("Marc, Julie"));
    EXPECT_EQ(*refreshes, 0);
    EXPECT_EQ(errorReports(), 0);
}

// A detail that cannot be read is reported once under the name of the procedure that
// reads it for one message, with its statement, and the list still comes; a failed
// message query is reported and leaves the host unrefreshed.
TEST_F(SGridMsgDb, FailuresAreReportedWithTheirProcedureAndStatement) {
    for (int id = 1; id <= 3; ++id) {
        message(id);
        recipient(id, 3, 2);
        exec(QStringLiteral("INSERT INTO tblmessagedossier (IdMessage, NoDossier) VALUES (%1, 'D')").arg(id));
    }
    SGridMsg g;
    const auto refreshes = refreshCounter(g);
    auto remplirSans = [&](const char* table) {
        exec(QStringLiteral("RENAME TABLE %1 TO %1_x").arg(QLatin1String(table)));
        g.Remplir();
        exec(QStringLiteral("RENAME TABLE %1_x TO %1").arg(QLatin1String(table)));
    };
    remplirSans("tblmessagedossier");
    EXPECT_EQ(listed(g), (QList<int>{1, 2, 3}));
    EXPECT_EQ(g.SGrid()->CellText(1, SGridMsg::colDossier), QString());
    EXPECT_EQ(*refreshes, 1);
    EXPECT_EQ(errorReports(), 1);
    EXPECT_EQ(count(QStringLiteral("SELECT COUNT(*) FROM tblerreur WHERE Fonction = 'GetDossierDetail' AND "
                                   "strSQL LIKE 'SELECT tblmessagedossier.IdMessage%'")),
              1);

    remplirSans("tbletatmessage");
    EXPECT_EQ(*refreshes, 1);
    EXPECT_FALSE(g.chargement());
    EXPECT_TRUE(g.SGrid()->Redraw());
    EXPECT_EQ(count(QStringLiteral("SELECT COUNT(*) FROM tblerreur WHERE Form = 'SGridMsg' AND Fonction = "
                                   "'Remplir' AND strSQL LIKE 'SELECT tblmessage.IdMessage%'")),
              1);
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
    EXPECT_EQ(g.dernierIdMessage(), 2); // the last message listed: a hidden one is not read
    // Whether the probe leaves the search button marked.
    auto marque = [&g] {
        g.VerifNouveauMsg();
        return g.rechercheBackColor() == 0x0000FF;
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
