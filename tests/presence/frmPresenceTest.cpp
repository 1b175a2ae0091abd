#include "PresenceFixture.h"
#include "presence/PresenceLayout.h"
#include "presence/PresenceQueries.h"
#include "support/ReferenceFills.h"

#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QRandomGenerator>

using presence::frmPresence;
using namespace Qt::StringLiterals;

namespace {

// The board that reads the whole week at once against the one that reads each employee's
// day by day, on a random office over three weeks.
TEST_F(PresenceBoard, EveryCellAgreesWithTheDayByDayFill) {
    platform::Clock::setFixed(QDateTime(QDate(2024, 2, 28), QTime(9, 0)));

    // Twelve employees: active or not, with or without the right to be listed, with or
    // without a place in the order, born on February 28 or 29, at Christmas, or any day.
    QRandomGenerator rnd(5102);
    QStringList emp, acces, ordre;
    const char* const fetes[] = {"NULL", "'1980-02-28'", "'1984-02-29'", "'1975-12-25'", "'1990-03-01'"};
    for (int no = 2; no <= 13; ++no) {
        const char* fete = fetes[rnd.bounded(5)];
        emp << QString::asprintf("(%d, 'Employé %c', %d, %s)", no, 'A' + (no * 7) % 12, no % 5 ? 1 : 0, fete);
        if (no % 4) acces << u"(14, %1)"_s.arg(no);
        if (no % 3 == 0) ordre << u"(%1, %2)"_s.arg(no).arg(20 - no);
    }
    sql(u"DELETE FROM tblemploye; DELETE FROM tblacces_empl; DELETE FROM tblordreemployemsg;"
        "INSERT INTO tblemploye (NoEmploye, Nom, Actif, DateFete) VALUES %1; INSERT INTO tblacces_empl "
        "VALUES %2;"
        "INSERT INTO tblordreemployemsg VALUES %3; INSERT INTO tblevenement (DateEvenement, Description, "
        "BackColor, ForeColor) VALUES ('2024-02-27', 'Formation', 65535, 255), ('2024-12-25', 'Fermé', 255, "
        "0),"
        "('2024-12-29', 'Inventaire', 0, 65535)"_s.arg(emp.join(u','), acces.join(u','), ordre.join(u',')));

    // Half-days of three weeks: a common year's February 28, a leap year's with today in
    // it, and Christmas; some notes missing, empty or long, and states that no longer exist.
    const QDate lundis[] = {QDate(2023, 2, 27), QDate(2024, 2, 26), QDate(2024, 12, 23)};
    QStringList presences;
    const char* const notes[] = {"NULL", "''", "'Chez le client'",
                                 "'Réunion à Québec toute la journée, retour par le dernier train du soir'"};
    for (const QDate& lundi : lundis)
        for (int no = 2; no <= 13; ++no)
            for (int i = 0; i < 7; ++i)
                if (rnd.bounded(3)) {
                    const int am = 1 + rnd.bounded(4), pm = 1 + rnd.bounded(3);
                    const char *noteAm = notes[rnd.bounded(4)], *notePm = notes[rnd.bounded(4)];
                    presences << QString::asprintf("(%d, '%s', %d, %d, %s, %s)", no,
                                                   qPrintable(lundi.addDays(i).toString(Qt::ISODate)), am, pm,
                                                   noteAm, notePm);
                }
    sql(u"INSERT INTO tblpresences (NoEmploye, DatePresence, EtatAM, EtatPM, DescripAM, DescripPM) VALUES "_s +
        presences.join(QLatin1Char(',')));

    services::Session::lngNoEmploye = 3;
    presence::frmPresence board, ref; // both hidden, laid out alike
    for (const QDate& lundi : lundis) {
        SCOPED_TRACE(lundi.toString(Qt::ISODate).toStdString());
        board.SetDate(lundi);
        ref.SetDate(lundi);
        reference::remplirPresences(*ref.SGrid, 3, lundi, m_db->db());
        ASSERT_GT(board.SGrid->Rows(), 10);
        EXPECT_EQ(reference::premiereDifference(*board.SGrid, *ref.SGrid).toStdString(), "");
    }
    EXPECT_EQ(value(u"SELECT COUNT(*) FROM tblerreur"_s).toInt(), 0);
}

TEST(PresenceWeek, TheDayIcons) {
    // The first match wins: Easter on April 1 is the fish; a Monday holiday has no icon.
    const std::pair<QDate, int> icones[] = {{{2024, 3, 31}, 4},  {{2018, 4, 1}, 1}, {{2024, 3, 17}, 5},
                                            {{2024, 6, 24}, 7},  {{2024, 7, 1}, 6}, {{2024, 9, 2}, -1},
                                            {{2024, 12, 25}, -1}};
    for (const auto& [d, icone] : icones)
        EXPECT_EQ(frmPresence::IconeDuJour(d), icone) << d.toString(Qt::ISODate).toStdString();
    // Birthdays of February 29 are shown on the 28th of a common year, 2100 included.
    for (const auto& [annee, bissextile] : {std::pair(2000, true), {2024, true}, {2100, false}})
        EXPECT_EQ(presence::estBissextile(annee), bissextile) << annee;
}

// The rules a window of the usual sizes never reaches (the rest is tested on the window).
TEST(PresenceLayoutRules, DayWidthsRoundHalvesToEvenAndLegendColumnsTruncate) {
    // A normal window of 15 twips a pixel, eight columns, the last one 85 wide, a picker of 137.
    const auto disposition = [](double W, double H, int legend = 7) {
        presence::PresenceLayoutInput in;
        in.W = W;
        in.H = H;
        in.tx = in.ty = 15;
        in.normalState = true;
        in.columns = 8;
        in.lastColumnWidth = 85;
        in.legendColumns = legend;
        in.pickerWidth = 137;
        return presence::calculerDisposition(in);
    };
    // (783.33 - 170 - 23) / 6 = 98.39; then 98.5 and 99.5.
    EXPECT_EQ(disposition(11900, 9000).dayWidth, 98);
    EXPECT_EQ(disposition(11910, 9000).dayWidth, 98);
    EXPECT_EQ(disposition(12000, 9000).dayWidth, 100);
    // (835 - 4) / 7 = 118.7; no state leaves the legend alone.
    EXPECT_EQ(disposition(12915, 9000).legendColumnWidth, 118);
    EXPECT_EQ(disposition(12915, 9000, 0).legendColumnWidth, -1);
    EXPECT_TRUE(disposition(12915, 9000, 0).widthRules);
    // Heights only above 2400 twips.
    EXPECT_FALSE(disposition(12915, 2400).heightRules);
    EXPECT_TRUE(disposition(12915, 2401).heightRules);
}


// A window manager's frame around the board, known only once the window is shown: the
// whole frame fits the screen's working area, and the legend stays inside the window.
TEST(PresenceLayoutRules, TheFrameFitsTheScreenAndTheLegendTheWindow) {
    const QRect ecran(0, 0, 1280, 1024);
    const QMargins cadre(1, 40, 1, 5); // a 40-pixel title bar
    const QSize minimum(793, 625);
    // Opened 1,000 pixels high under the title bar: 979, the frame from 0 to 1023.
    EXPECT_EQ(presence::geometrieDansEcran(QRect(80, 40, 1120, 1000), cadre, ecran, minimum),
              QRect(80, 40, 1120, 979));
    // Placed too low or too far right: moved back in, not shrunk more.
    EXPECT_EQ(presence::geometrieDansEcran(QRect(300, 300, 1120, 979), cadre, ecran, minimum),
              QRect(159, 40, 1120, 979));
    // A screen under the board's least size: that size, its corner on the screen.
    EXPECT_EQ(presence::geometrieDansEcran(QRect(-50, 0, 1120, 1000), cadre, QRect(0, 0, 640, 480), minimum),
              QRect(1, 40, 793, 625));

    // The window's outer 1,024 pixels, 977 of them inside: the legend's bottom 4 pixels above
    // the window's, the board shorter by as much; a thin frame changes nothing.
    presence::PresenceLayoutInput in{1120 * 15.0, 1024 * 15.0, 15, 15, true, 8, 85, 7, 137, 977, 36};
    const presence::PresenceLayout haute = presence::calculerDisposition(in);
    EXPECT_DOUBLE_EQ(haute.legendTop, 977 - 36 - 4);
    EXPECT_DOUBLE_EQ(haute.gridHeight, (1024 * 15.0 - 2400) / 15 - (1024 - 69 + 36 + 4 - 977));
    in.clientHeight = 1024 - 24;
    EXPECT_DOUBLE_EQ(presence::calculerDisposition(in).legendTop, 1024 - 69);
}

// The cells themselves are compared with the day-by-day fill; here, what the week changes.
TEST_F(PresenceBoard, TodayAndTheWeekButtons) {
    sql(s("INSERT INTO tblpresences (NoEmploye, DatePresence, EtatAM, EtatPM) VALUES (2, '2024-03-11', 2, 2),"
          "(4, '2024-03-18', 3, 3)"));
    frmPresence& w = board(2, QDate(2024, 3, 17)); // a Sunday: the week ending on it
    platform::Grid& g = *w.SGrid;
    ETAPE("today (Wednesday, column 4) stands out");
    EXPECT_TRUE(g.CellFont(4, 4).bold());
    EXPECT_FALSE(g.CellFont(4, 3).bold());
    EXPECT_NE(w.lblDate[2]->palette().color(QPalette::Window),
              w.lblDate[1]->palette().color(QPalette::Window));

    ETAPE("the next week has no today; the cells there come from that week only");
    w.cmdSuivant_Click();
    EXPECT_EQ(w.lblDate[0]->text(), s("2024-03-18"));
    for (int col = 2; col <= 8; ++col)
        EXPECT_FALSE(g.CellFont(4, col).bold()) << col;
    EXPECT_EQ(g.CellItemData(4, 2), 1);  // the default state, none left from the week before
    EXPECT_EQ(g.CellItemData(19, 2), 3); // Yann

    // Any change of the picker goes to its Monday at once (typing, wheel, arrows), so the
    // buttons move by seven days from a Monday.
    ETAPE("the picker");
    w.DTPicker->setDate(QDate(2024, 3, 28));
    w.cmdPrecedent->click();
    EXPECT_EQ(w.lblDate[0]->text(), s("2024-03-18"));
    w.DTPicker->setFocus();
    QTest::keyClick(w.DTPicker, Qt::Key_Up); // a year on: Tuesday 2025-03-18
    EXPECT_EQ(w.DTPicker->date(), QDate(2025, 3, 17));
}

TEST_F(PresenceBoard, WhoIsListedTheRightAndTheOption) {
    ETAPE("me first though inactive and without right 14; then by Ordre; then the others by name");
    sql(s("UPDATE tblemploye SET Actif = 0, AffPresenceAuto = 1 WHERE NoEmploye = 5; DELETE FROM "
          "tblacces_empl WHERE NoEmploye = 5"));
    board(5);
    EXPECT_EQ(names(), (QStringList{s("Bob"), s("Moi"), s("Zed"), s("Chef"), s("Alice"), s("Yann")}));
    // The option is read and the box writes it; no right to manage the board.
    EXPECT_FALSE(m_w->booAccesGestion);
    EXPECT_TRUE(m_w->chkPresenceAuto->isChecked());
    m_w->chkPresenceAuto->click();
    EXPECT_EQ(value(s("SELECT AffPresenceAuto FROM tblemploye WHERE NoEmploye = 5")).toInt(), 0);

    ETAPE("listed with the right and an order, I still come once, first; on a refill Alice, "
          "gone, leaves no row");
    board(8);
    EXPECT_TRUE(m_w->booAccesGestion);
    sql(s("UPDATE tblemploye SET Actif = 0 WHERE NoEmploye = 6"));
    m_w->Remplir();
    EXPECT_EQ(names(), (QStringList{s("Chef"), s("Moi"), s("Zed"), s("Yann")}));
    EXPECT_EQ(m_w->SGrid->Rows(), 15);

    ETAPE("an employee number without a row leaves the box clear but the board usable");
    board(99);
    EXPECT_FALSE(m_w->chkPresenceAuto->isChecked());
    EXPECT_EQ(m_w->SGrid->CellText(4, 1), s("Moi"));
}

TEST_F(PresenceBoard, NoStateLeavesTheLegendAloneAndAFailedFillRepaints) {
    sql(s("DELETE FROM tbletatpresence"));
    frmPresence& w = board();
    w.resize(int(13000 / platform::twipsPerPixelX()), 700);
    w.Form_Resize(); // must not divide by zero
    EXPECT_EQ(w.SGridEtat->Columns(), 0);
    EXPECT_GT(w.SGrid->ColumnWidth(1), 0);

    ETAPE("without a connection the fill is reported as a lost connection: the program goes inactive");
    int inactif = 0;
    services::Session::onConnectionLost = [&inactif] { ++inactif; };
    platform::Database* db = services::Session::cnBD();
    services::Session::setConnection(nullptr);
    w.Remplir();
    services::Session::setConnection(db);
    EXPECT_TRUE(w.SGrid->Redraw());
    EXPECT_TRUE(log().contains(s("--- 2006 "))) << log().toStdString();
    EXPECT_GE(inactif, 1);
}

} // namespace
