#include "SGridMsgFixture.h"

#include "platform/RtfEdit.h"
#include <QLabel>
#include <QPushButton>

TEST_F(SGridMsgDb, EmployeeListOrderedThenByNameRight14Only) {
    // Inactive Sophie keeps her right and stays listed; Zorro is ordered but has no right.
    exec(QStringLiteral("UPDATE tblemploye SET Actif = 0 WHERE NoEmploye = 4"));
    exec(QStringLiteral("INSERT INTO tblemploye (NoEmploye, Nom) VALUES (6, 'Zorro')"));
    exec(QStringLiteral("INSERT INTO tblordreemployemsg (NoEmploye, Ordre) VALUES (6, 3)"));
    exec(QStringLiteral("UPDATE tblordreemployemsg SET Ordre = 5 WHERE NoEmploye = 2"));
    services::Session::lngNoEmploye = 3;

    SGridMsg g;
    QStringList names;
    QList<int> numbers;
    for (int i = 0; i < g.cboEmpl()->count(); ++i) {
        names << g.cboEmpl()->itemText(i);
        numbers << g.cboEmpl()->itemData(i).toInt();
    }
    EXPECT_EQ(names, (QStringList{QStringLiteral("Tous"), QStringLiteral("Marc"), QStringLiteral("Julie"),
                                  QStringLiteral("Éric"), QStringLiteral("Sophie")}));
    EXPECT_EQ(numbers, (QList<int>{0, 3, 2, 5, 4}));
    EXPECT_EQ(g.cboEmpl()->currentText(), QStringLiteral("Marc"));
    EXPECT_EQ(g.noEmploye(), 3);
    EXPECT_FALSE(g.chargement());
    EXPECT_TRUE(g.booRecu());
    EXPECT_EQ(g.SGrid()->Rows(), 0); // the host asks for the first fill
    EXPECT_EQ(g.DTPicker1()->date(), QDate(2024, 3, 8));
    EXPECT_EQ(g.DTPicker2()->date(), QDate(2024, 3, 15));
    EXPECT_EQ(errorReports(), 0);
}

TEST_F(SGridMsgDb, WithoutRight14TousIsShownButHisOwnMessagesAreListed) {
    exec(QStringLiteral("DELETE FROM tblacces_empl WHERE NoEmploye = 2"));
    message(1);
    recipient(1, 3, 2);
    message(2);
    recipient(2, 2, 3);

    SGridMsg g;
    EXPECT_EQ(g.cboEmpl()->currentIndex(), 0);
    EXPECT_EQ(g.cboEmpl()->currentText(), QStringLiteral("Tous"));
    EXPECT_EQ(g.noEmploye(), 2);
    g.Remplir();
    EXPECT_EQ(listed(g), QList<int>{1});
}

TEST_F(SGridMsgDb, WithoutConnectionListsStayEmptyAndGridHasItsColumns) {
    services::Session::setConnection(nullptr);
    SGridMsg g;
    EXPECT_EQ(g.cboEmpl()->count(), 0);
    EXPECT_EQ(g.cboClient()->count(), 0);
    EXPECT_EQ(g.cboTel()->count(), 0);
    EXPECT_FALSE(g.chargement());

    platform::Grid* s = g.SGrid();
    ASSERT_EQ(s->Columns(), 12);
    const QStringList keys{
        QStringLiteral("Priorité"), QStringLiteral("État"),         QStringLiteral("No"),
        QStringLiteral("Client"),   QStringLiteral("Téléphone"),    QStringLiteral("Date"),
        QStringLiteral("Heure"),    QStringLiteral("Expéditeur"),   QStringLiteral("TypeMessage"),
        QStringLiteral("Dossier"),  QStringLiteral("Destinataire"), QStringLiteral("Message")};
    const QStringList headers{
        QStringLiteral("P"),         QStringLiteral("E"),         QStringLiteral("No"),
        QStringLiteral("Client"),    QStringLiteral("Téléphone"), QStringLiteral("Date"),
        QStringLiteral("Heure"),     QStringLiteral("De"),        QStringLiteral("Type message"),
        QStringLiteral("NoDossier"), QStringLiteral("À"),         QString()};
    const int widths[] = {20, 20, 80, 200, 140, 75, 50, 110, 110, 110, 110, 985};
    const int sorts[] = {300, 300, 800, 0, 0, 200, 200, 0, 0, 0, 0, 0};
    for (int c = 1; c <= 12; ++c) {
        EXPECT_EQ(s->ColumnKey(c), keys[c - 1]);
        EXPECT_EQ(s->ColumnHeader(c), headers[c - 1]);
        EXPECT_EQ(s->ColumnWidth(c), widths[c - 1]) << c;
        EXPECT_EQ(s->ColumnSortType(c), sorts[c - 1]) << c;
        EXPECT_TRUE(s->ColumnVisible(c));
        EXPECT_FALSE(s->ColumnFixedWidth(c));
    }
    EXPECT_EQ(s->RowTextColumn(), 12);
    EXPECT_EQ(s->DefaultRowHeight(), 18);
    EXPECT_EQ(s->GridLineColor(), 0x80000010);
    EXPECT_EQ(g.SGridEmplA()->Columns(), 2);
    EXPECT_EQ(g.SGridEmplA()->ColumnKey(2), QStringLiteral("Destinataire"));

    // A fill without a database is reported, not a crash.
    ScriptedChooser chooser;
    int refreshes = 0;
    QObject::connect(&g, &SGridMsg::Refresh, &g, [&] { ++refreshes; });
    g.Remplir();
    EXPECT_EQ(refreshes, 0);
    EXPECT_FALSE(g.chargement());
}

TEST_F(SGridMsgDb, FilterBarControlsAsDesigned) {
    SGridMsg g;
    EXPECT_FALSE(g.ChoixEmpl());
    EXPECT_TRUE(g.cboEmpl()->isHidden());
    g.setChoixEmpl(true);
    EXPECT_TRUE(g.ChoixEmpl());
    EXPECT_FALSE(g.lblEmpl()->isHidden());
    EXPECT_FALSE(g.chkAffTermine()->isChecked());
    EXPECT_TRUE(g.chkIntervalle()->isChecked());
    EXPECT_TRUE(g.chkIntervalle()->isHidden());
    EXPECT_TRUE(g.DTPicker1()->calendarPopup());
    EXPECT_EQ(g.cmdRecherche()->text(), QStringLiteral("!"));
    EXPECT_EQ(g.cmdRecherche()->toolTip(), QStringLiteral("Rafraîchir"));
    EXPECT_EQ(g.cmdExport(0)->toolTip(), QStringLiteral("Exporter dans excel"));
    EXPECT_EQ(g.cmdExport(1)->toolTip(), QStringLiteral("Créer rapport HTML"));
    EXPECT_EQ(g.lblStatus()->text(), QStringLiteral("Status"));
    EXPECT_TRUE(g.txtRtfEdit()->isHidden());
    EXPECT_TRUE(g.SGridEmplA()->isHidden());
    EXPECT_EQ(g.rechercheBackColor(), 0x8000000F);
}

TEST_F(SGridMsgDb, CallerAndTelephoneListsFollowTheMode) {
    exec(QStringLiteral(
        "INSERT INTO tblclientmsg (IdClientMsg, Nom, Prenom, NomCie, Telephone, Cellulaire) VALUES"
        " (1, 'Dupont', 'Jean', NULL, NULL, '(514)555-0001'),"
        " (2, 'Allard', '', 'Acme', '(450)555-0002', NULL),"
        " (3, 'Zèbre', NULL, NULL, NULL, NULL),"
        " (4, 'Caron', NULL, NULL, '(450)555-0002', NULL)"));
    message(1, QStringLiteral("a"), 1);
    recipient(1, 3, 2);
    message(2, QStringLiteral("b"), 2);
    recipient(2, 3, 2);
    message(3, QStringLiteral("c"), 3);
    recipient(3, 2, 3); // sent by Julie
    message(4, QStringLiteral("d"), 4);
    recipient(4, 3, 2);

    SGridMsg g;
    QStringList callers;
    for (int i = 0; i < g.cboClient()->count(); ++i)
        callers << g.cboClient()->itemText(i);
    EXPECT_EQ(callers, (QStringList{QStringLiteral("Tous"), QStringLiteral("Allard, Acme"),
                                    QStringLiteral("Caron"), QStringLiteral("Dupont, Jean")}));
    QStringList numbers;
    for (int i = 0; i < g.cboTel()->count(); ++i)
        numbers << g.cboTel()->itemText(i);
    EXPECT_EQ(numbers, (QStringList{QStringLiteral("(450)555-0002"), QStringLiteral("(514)555-0001"),
                                    QStringLiteral("Tous")}));
    EXPECT_EQ(g.cboTel()->currentText(), QStringLiteral("Tous"));

    g.setBooRecu(false);
    EXPECT_EQ(g.cboClient()->count(), 2);
    EXPECT_EQ(g.cboClient()->itemText(1), QStringLiteral("Zèbre"));
    // A caller with no number at all gives one empty entry, first.
    EXPECT_EQ(g.cboTel()->count(), 2);
    EXPECT_EQ(g.cboTel()->itemText(0), QString());
    EXPECT_EQ(g.cboTel()->currentText(), QStringLiteral("Tous"));
    EXPECT_FALSE(g.chargement());
}
