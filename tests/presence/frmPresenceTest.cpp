#include "PresenceFixture.h"

#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <cmath>

using presence::frmPresence;

namespace {

TEST_F(PresenceBoard, SetDateAndTheWeekButtons) {
    frmPresence& w = board(2, QDate(2024, 3, 17)); // a Sunday: the week ending on it
    EXPECT_EQ(w.DTPicker->date(), QDate(2024, 3, 11));
    EXPECT_EQ(w.lblDate[6]->text(), s("2024-03-17"));
    // Any change of the picker goes to its Monday at once (typing, wheel, arrows), so the
    // buttons move by seven days from a Monday.
    w.DTPicker->setDate(QDate(2024, 3, 21));
    EXPECT_EQ(w.lblDate[0]->text(), s("2024-03-18"));
    w.cmdPrecedent->click();
    EXPECT_EQ(w.lblDate[0]->text(), s("2024-03-11"));
    EXPECT_TRUE(w.SGrid->Redraw());
    w.DTPicker->setFocus();
    QTest::keyClick(w.DTPicker, Qt::Key_Up); // a year on: Tuesday 2025-03-11
    EXPECT_EQ(w.DTPicker->date(), QDate(2025, 3, 10));
    EXPECT_EQ(w.lblDate[0]->text(), s("2025-03-10"));
}

TEST_F(PresenceBoard, WhoIsListedAndInWhichOrder) {
    // Me first though inactive and without right 14; then by Ordre; then the others by name.
    sql(s("UPDATE tblemploye SET Actif = 0 WHERE NoEmploye = 5; DELETE FROM tblacces_empl WHERE NoEmploye = "
          "5"));
    board(5);
    EXPECT_EQ(names(), (QStringList{s("Bob"), s("Moi"), s("Zed"), s("Chef"), s("Alice"), s("Yann")}));
    EXPECT_EQ(m_w->SGrid->CellItemData(5, 1), 5);

    // Listed with the right and an order, I still come once, first; on a refill Alice, gone,
    // leaves no row.
    board(8);
    sql(s("UPDATE tblemploye SET Actif = 0 WHERE NoEmploye = 6"));
    m_w->Remplir();
    EXPECT_EQ(names(), (QStringList{s("Chef"), s("Moi"), s("Zed"), s("Yann")}));
    EXPECT_EQ(m_w->SGrid->Rows(), 15);
}

TEST_F(PresenceBoard, HalfDayCellsTodayTheNotesAndTheRowHeights) {
    const QString longue = s("Formation chez le fournisseur toute la journée, retour prévu vers seize heures "
                             "trente au bureau");
    sql(s("INSERT INTO tblpresences (NoEmploye, DatePresence, EtatAM, EtatPM, DescripAM, DescripPM) VALUES "
          "(2, '2024-03-11', 2, 1, 'Dentiste l''après-midi', NULL),"
          "(2, '2024-03-12', 1, 9, 'perdu', 'perdu')," // afternoon state deleted
          "(2, '2024-03-13', 1, 2, NULL, 'Client \\\\ Québec'),"
          "(2, '2024-03-14', 1, 1, '%1', NULL),"
          "(4, '2024-03-18', 3, 3, 'Semaine suivante', NULL)")
            .arg(longue));
    frmPresence& w = board();
    platform::Grid& g = *w.SGrid;
    EXPECT_EQ(g.CellText(4, 2), s("Dentiste l'après-midi"));
    EXPECT_EQ(g.CellBackColor(4, 2), kAbsent);
    EXPECT_EQ(g.CellItemData(4, 2), 2);
    EXPECT_EQ(g.CellBackColor(5, 2), kBureau);
    // A state that no longer exists and a day without a row: both white and empty.
    for (const auto& [r, col] : {std::pair{4, 3}, {5, 3}, {4, 6}, {5, 6}}) {
        EXPECT_EQ(g.CellBackColor(r, col), 0xFFFFFF) << r << ',' << col;
        EXPECT_EQ(g.CellText(r, col), QString());
    }
    EXPECT_EQ(g.CellText(5, 4), s("Client \\ Québec"));
    // A long note makes its row grow; the other half-day keeps the default height.
    EXPECT_EQ(g.CellText(4, 5), longue);
    EXPECT_EQ(g.RowHeight(4), g.EvaluateTextHeight(4, 5) + 4);
    EXPECT_EQ(g.RowHeight(5), 33);
    // Today (Wednesday, column 4) stands out.
    EXPECT_TRUE(g.CellFont(4, 4).bold());
    EXPECT_FALSE(g.CellFont(4, 3).bold());
    EXPECT_NE(w.lblDate[2]->palette().color(QPalette::Window),
              w.lblDate[1]->palette().color(QPalette::Window));

    // The next week has no today; Yann's cells there come from that week only.
    w.cmdSuivant_Click();
    for (int col = 2; col <= 8; ++col)
        EXPECT_FALSE(g.CellFont(4, col).bold()) << col;
    EXPECT_EQ(g.CellItemData(4, 2), 1); // the default state, none left from the week before
    EXPECT_EQ(g.CellText(19, 2), s("Semaine suivante"));
}

// Holidays with birthdays and February 29 birthdays in common years are compared with the
// day-by-day fill on a random office.
TEST_F(PresenceBoard, EventsRowBirthdaysAndIcons) {
    sql(s("UPDATE tblemploye SET DateFete = '1980-03-14' WHERE NoEmploye = 3;"       // Thursday
          "UPDATE tblemploye SET DateFete = '1975-03-15' WHERE NoEmploye IN (4, 6);" // Friday, two
          "UPDATE tblemploye SET DateFete = '1990-03-16' WHERE NoEmploye = 7;"       // Saturday, inactive
          "INSERT INTO tblevenement (DateEvenement, Description, BackColor, ForeColor) "
          "VALUES ('2024-03-14', 'Réunion d''équipe', 255, 16777215)"));
    frmPresence& w = board();
    platform::Grid& g = *w.SGrid;
    // Thursday: the stored event alone, the cake for Zed's birthday.
    EXPECT_EQ(g.CellText(1, 5), s("Réunion d'équipe"));
    EXPECT_EQ(g.CellBackColor(1, 5), 255);
    EXPECT_EQ(g.CellForeColor(1, 5), 16777215);
    EXPECT_EQ(g.CellExtraImage(1, 5), 3);
    // Friday: two birthdays.
    EXPECT_EQ(g.CellText(1, 6), s("Anniversaire de Yann, \nAnniversaire de Alice"));
    EXPECT_EQ(g.CellExtraImage(1, 6), 3);
    EXPECT_GT(g.RowHeight(1), 33);
    // Saturday: only an inactive employee's birthday, so a plain day.
    EXPECT_EQ(g.CellText(1, 7), QString());
    EXPECT_EQ(g.CellBackColor(1, 7), 0xFFFFFF);
    EXPECT_EQ(g.CellExtraImage(1, 7), -1);
    // Sunday March 17: the shamrock on a plain day (which icon is which is tested on IconeDuJour).
    EXPECT_EQ(g.CellImage(1, 8), 5);
}

TEST_F(PresenceBoard, LoadReadsRightAndOptionAndTheBoxWritesIt) {
    sql(s("UPDATE tblemploye SET AffPresenceAuto = 1 WHERE NoEmploye = 2"));
    board(2);
    EXPECT_FALSE(m_w->booAccesGestion);
    EXPECT_TRUE(m_w->chkPresenceAuto->isChecked());
    m_w->chkPresenceAuto->click();
    EXPECT_EQ(value(s("SELECT AffPresenceAuto FROM tblemploye WHERE NoEmploye = 2")).toInt(), 0);
    board(8);
    EXPECT_TRUE(m_w->booAccesGestion);
    EXPECT_EQ(m_w->SGridEtat->CellItemData(1, 2), 2);

    // An employee number without a row leaves the box clear but the board usable.
    board(99);
    EXPECT_FALSE(m_w->chkPresenceAuto->isChecked());
    EXPECT_EQ(m_w->SGrid->CellText(4, 1), s("Moi"));
}

TEST_F(PresenceBoard, ResizeFollowsTheWindow) {
    // Not shown, so that the maximised state stays a flag (the rules are tested on
    // calculerDisposition; here, that the window applies them).
    services::Session::lngNoEmploye = 2;
    frmPresence w;
    w.SetDate(QDate(2024, 3, 13));
    const double tx = platform::twipsPerPixelX();
    const double ty = platform::twipsPerPixelY();
    // Too narrow in the normal state: back to the least width.
    w.resize(int(10000 / tx), int(9375 / ty));
    w.Form_Resize();
    EXPECT_GE(w.width() * tx, 11900);
    EXPECT_EQ(w.lblEntete[3]->width(), w.SGrid->ColumnWidth(4));

    // Maximised, a narrow width stays and only the height follows.
    w.resize(int(10000 / tx), int(12000 / ty));
    w.setWindowState(Qt::WindowMaximized);
    w.Form_Resize();
    EXPECT_EQ(w.width(), int(10000 / tx));
    EXPECT_EQ(w.SGrid->height(), int(std::lround((w.frameGeometry().height() * ty - 2400) / ty)));
}

TEST_F(PresenceBoard, NoStateLeavesTheLegendAloneAndAFailedFillRepaints) {
    sql(s("DELETE FROM tbletatpresence"));
    frmPresence& w = board();
    EXPECT_EQ(w.SGridEtat->Columns(), 0);
    w.resize(int(13000 / platform::twipsPerPixelX()), 700);
    w.Form_Resize(); // must not divide by zero
    EXPECT_EQ(w.SGridEtat->Columns(), 0);
    EXPECT_GT(w.SGrid->ColumnWidth(1), 0);

    // Without a connection the fill is reported as a lost connection: the program goes inactive.
    int inactif = 0;
    services::Session::onConnectionLost = [&inactif] { ++inactif; };
    platform::Database* db = services::Session::cnBD();
    services::Session::setConnection(nullptr);
    w.Remplir();
    services::Session::setConnection(db);
    services::Session::onConnectionLost = nullptr;
    EXPECT_TRUE(w.SGrid->Redraw());
    EXPECT_TRUE(log().contains(s("--- 2006 "))) << qPrintable(log());
    EXPECT_TRUE(log().contains(s("Remplir"))) << qPrintable(log());
    EXPECT_GE(inactif, 1);
}

} // namespace
