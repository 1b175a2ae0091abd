#include "SGridMsgFixture.h"

TEST_F(SGridMsgDb, EmployeeListOrderedThenByNameRight14Only) {
    // Inactive Sophie keeps her right and stays listed; Zorro is ordered but has no right.
    exec(QStringLiteral("UPDATE tblemploye SET Actif = 0 WHERE NoEmploye = 4"));
    exec(QStringLiteral("INSERT INTO tblemploye (NoEmploye, Nom) VALUES (6, 'Zorro')"));
    exec(QStringLiteral("INSERT INTO tblordreemployemsg (NoEmploye, Ordre) VALUES (6, 3)"));
    exec(QStringLiteral("UPDATE tblordreemployemsg SET Ordre = 5 WHERE NoEmploye = 2"));
    services::Session::lngNoEmploye = 3;

    SGridMsg g;
    QStringList names;
    for (int i = 0; i < g.cboEmpl()->count(); ++i)
        names << g.cboEmpl()->itemText(i) + QLatin1Char('=') + g.cboEmpl()->itemData(i).toString();
    EXPECT_EQ(names.join(QLatin1Char(' ')), QStringLiteral("Tous=0 Marc=3 Julie=2 Éric=5 Sophie=4"));
    EXPECT_EQ(g.cboEmpl()->currentText(), QStringLiteral("Marc"));
    EXPECT_EQ(g.noEmploye(), 3);
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
    EXPECT_EQ(g.cboEmpl()->currentText(), QStringLiteral("Tous"));
    EXPECT_EQ(g.noEmploye(), 2);
    g.Remplir();
    EXPECT_EQ(listed(g), QList<int>{1});
}

TEST_F(SGridMsgDb, WithoutConnectionListsStayEmptyAndAFillIsNoCrash) {
    services::Session::setConnection(nullptr);
    followup::frmListeMsg f; // both grids stay in received mode
    EXPECT_TRUE(f.SGridMsgEnvoye()->booRecu());
    SGridMsg& g = *f.SGridMsgRecu();
    EXPECT_EQ(g.cboEmpl()->count() + g.cboClient()->count() + g.cboTel()->count(), 0);

    ScriptedChooser chooser;
    const auto refreshes = refreshCounter(g);
    g.Remplir();
    EXPECT_EQ(*refreshes, 0);
    EXPECT_FALSE(g.chargement());
    EXPECT_EQ(errorReports(), 0);
}
