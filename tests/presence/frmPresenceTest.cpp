#include "presence/frmPresence.h"
#include "platform/Clock.h"
#include "platform/Grid.h"
#include "platform/Units.h"
#include "services/Calendar.h"
#include "services/ErrorLogger.h"
#include "services/Session.h"
#include "support/MiseEnPage.h"
#include "support/TestDb.h"

#include <QApplication>
#include <QCheckBox>
#include <QDateEdit>
#include <QFile>
#include <QLabel>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>
#include <cmath>
#include <gtest/gtest.h>
#include <memory>

using presence::frmPresence;

namespace {

QString s(const char* text) {
    return QString::fromUtf8(text);
}

constexpr qint64 kAbsent = 0xC0C0FF;
constexpr qint64 kBureau = 0xD8F5D8;

class PresenceBoard : public ::testing::Test {
protected:
    void SetUp() override {
        REQUIRE_TEST_DB();
        m_db = std::make_unique<TestDb>(QStringLiteral("presence"));
        services::setErrorLogPath(m_logDir.filePath(QStringLiteral("Erreur.log")));
        sql(QStringLiteral("INSERT INTO tbletatpresence (IdEtat, Description, Couleur) VALUES "
                           "(1, 'Au bureau', %1), (2, 'Absent', %2), (3, 'Vacances', 16113072);")
                .arg(kBureau)
                .arg(kAbsent));
        sql(s("INSERT INTO tblemploye (NoEmploye, Nom, Actif) VALUES (1, 'Système', 1), (2, 'Moi', 0), "
              "(3, 'Zed', 1), (4, 'Yann', 1), (5, 'Bob', 1), (6, 'Alice', 1), (7, 'Inactif', 0), (8, "
              "'SansDroit', 1);"
              "INSERT INTO tblacces_empl (typeAcces, NoEmploye) VALUES (14, 3), (14, 4), (14, 5), (14, 6), "
              "(14, 7), "
              "(16, 8);"
              "INSERT INTO tblordreemployemsg (NoEmploye, Ordre) VALUES (3, 2), (4, 1), (7, 3), (8, 4);"));
        services::Session::lngNoEmploye = 2;
        platform::Clock::setFixed(QDateTime(QDate(2024, 3, 13), QTime(10, 0)));
    }
    void TearDown() override {
        m_w.reset();
        platform::Clock::setFixed(QDateTime());
        m_db.reset();
    }
    void sql(const QString& script) {
        m_db->runScript(script.endsWith(QLatin1Char(';')) ? script : script + QLatin1Char(';'));
    }
    frmPresence& board(const QDate& d = QDate(2024, 3, 13)) {
        m_w = std::make_unique<frmPresence>();
        m_w->SetDate(d);
        return *m_w;
    }
    QStringList names() const {
        QStringList out;
        for (int r = 4; r <= m_w->SGrid->Rows(); r += 3)
            out << m_w->SGrid->CellText(r, 1);
        return out;
    }
    int rowOf(const QString& name) const {
        for (int r = 4; r <= m_w->SGrid->Rows(); r += 3)
            if (m_w->SGrid->CellText(r, 1) == name) return r;
        return 0;
    }
    QString log() const {
        QFile f(m_logDir.filePath(QStringLiteral("Erreur.log")));
        return f.open(QIODevice::ReadOnly) ? QString::fromUtf8(f.readAll()) : QString();
    }

    std::unique_ptr<TestDb> m_db;
    std::unique_ptr<frmPresence> m_w;
    QTemporaryDir m_logDir;
};

TEST_F(PresenceBoard, SetDateAndTheWeekButtons) {
    frmPresence& w = board(QDate(2024, 3, 17)); // a Sunday: the week ending on it
    EXPECT_EQ(w.DTPicker->date(), QDate(2024, 3, 11));
    EXPECT_EQ(w.lblDate[6]->text(), s("2024-03-17"));
    // Any change of the picker goes to its Monday at once (typing, wheel, arrows), so the
    // buttons move by seven days from a Monday.
    w.DTPicker->setDate(QDate(2024, 3, 21));
    EXPECT_EQ(w.DTPicker->date(), QDate(2024, 3, 18));
    EXPECT_EQ(w.lblDate[0]->text(), s("2024-03-18"));
    w.cmdPrecedent->click();
    EXPECT_EQ(w.DTPicker->date(), QDate(2024, 3, 11));
    EXPECT_EQ(w.lblDate[0]->text(), s("2024-03-11"));
    EXPECT_TRUE(w.SGrid->Redraw());
    w.DTPicker->setFocus();
    QTest::keyClick(w.DTPicker, Qt::Key_Up); // a year on: Tuesday 2025-03-11
    EXPECT_EQ(w.DTPicker->date(), QDate(2025, 3, 10));
    EXPECT_EQ(w.lblDate[0]->text(), s("2025-03-10"));
}

TEST_F(PresenceBoard, WhoIsListedAndInWhichOrder) {
    frmPresence& w = board();
    // Me first though inactive and without right 14; then by Ordre; then the others by name.
    EXPECT_EQ(names(), (QStringList{s("Moi"), s("Yann"), s("Zed"), s("Alice"), s("Bob")}));
    EXPECT_EQ(w.SGrid->CellItemData(5, 1), 2);

    // Listed with the right and an order, I still come once, first; Bob, gone, leaves no row.
    sql(s(
        "UPDATE tblemploye SET Actif = 1 WHERE NoEmploye = 2; INSERT INTO tblacces_empl VALUES (14, 2);"
        "INSERT INTO tblordreemployemsg VALUES (2, 5); UPDATE tblemploye SET Actif = 0 WHERE NoEmploye = 5"));
    w.Remplir();
    EXPECT_EQ(names(), (QStringList{s("Moi"), s("Yann"), s("Zed"), s("Alice")}));
    EXPECT_EQ(w.SGrid->Rows(), 15);
}

TEST_F(PresenceBoard, HalfDayCellsTodayAndTheNotes) {
    sql(s("INSERT INTO tblpresences (NoEmploye, DatePresence, EtatAM, EtatPM, DescripAM, DescripPM) VALUES "
          "(2, '2024-03-11', 2, 1, 'Dentiste l''après-midi', NULL),"
          "(2, '2024-03-12', 1, 9, 'perdu', 'perdu')," // afternoon state deleted
          "(2, '2024-03-13', 1, 2, NULL, 'Client \\\\ Québec'),"
          "(4, '2024-03-18', 3, 3, 'Semaine suivante', NULL)"));
    frmPresence& w = board();
    platform::Grid& g = *w.SGrid;
    EXPECT_EQ(g.CellText(4, 2), s("Dentiste l'après-midi"));
    EXPECT_EQ(g.CellBackColor(4, 2), kAbsent);
    EXPECT_EQ(g.CellItemData(4, 2), 2);
    EXPECT_EQ(g.CellBackColor(5, 2), kBureau);
    // A state that no longer exists and a day without a row: both white and empty.
    for (int col : {3, 6}) {
        for (int r : {4, 5}) {
            EXPECT_EQ(g.CellBackColor(r, col), 0xFFFFFF) << r << ',' << col;
            EXPECT_EQ(g.CellText(r, col), QString());
        }
    }
    EXPECT_EQ(g.CellText(5, 4), s("Client \\ Québec"));
    // Today (Wednesday, column 4) stands out.
    EXPECT_TRUE(g.CellFont(4, 4).bold());
    EXPECT_FALSE(g.CellFont(4, 3).bold());
    EXPECT_NE(w.lblDate[2]->palette().color(QPalette::Window),
              w.lblDate[1]->palette().color(QPalette::Window));

    // The next week has no today; Yann's cells there come from that week only.
    w.cmdSuivant_Click();
    for (int i = 0; i < 7; ++i)
        EXPECT_FALSE(g.CellFont(4, i + 2).bold()) << i;
    EXPECT_EQ(g.CellItemData(4, 2), 1); // the default state, none left from the week before
    EXPECT_EQ(g.CellText(rowOf(s("Yann")), 2), s("Semaine suivante"));
}

TEST_F(PresenceBoard, RowsGrowWithALongNote) {
    const QString note = QStringLiteral("Formation à l'extérieur toute la journée avec le fournisseur, "
                                        "retour prévu vers seize heures trente au bureau");
    sql(QStringLiteral("INSERT INTO tblpresences (NoEmploye, DatePresence, EtatAM, EtatPM, DescripAM) "
                       "VALUES (2, '2024-03-12', 1, 1, '%1')")
            .arg(QString(note).replace(QLatin1Char('\''), QStringLiteral("''"))));
    frmPresence& w = board();
    platform::Grid& g = *w.SGrid;
    EXPECT_EQ(g.CellText(4, 3), note);
    EXPECT_EQ(g.RowHeight(4), g.EvaluateTextHeight(4, 3) + 4);
    EXPECT_EQ(g.RowHeight(5), 33); // never below the default
}

TEST_F(PresenceBoard, EventsRowTextsColoursAndIcons) {
    sql(s("UPDATE tblemploye SET DateFete = '1980-03-14' WHERE NoEmploye IN (3, 7);" // Thursday, 7 inactive
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
    // Sunday March 17: the shamrock on a plain day.
    EXPECT_EQ(g.CellImage(1, 8), 5);
}

TEST_F(PresenceBoard, HolidaysWithBirthdaysAndTheirIcons) {
    sql(s("UPDATE tblemploye SET DateFete = '1970-12-25', Nom = 'D''Amour' WHERE NoEmploye = 6"));
    frmPresence& w = board(QDate(2024, 12, 25));
    QString nom;
    qint64 back = 0, fore = 0;
    services::VerifEvenement(QDate(2024, 12, 25), nom, back, fore);
    EXPECT_EQ(w.SGrid->CellText(1, 4), s("Noël, \nAnniversaire de D'Amour"));
    EXPECT_EQ(w.SGrid->CellBackColor(1, 4), back);
    EXPECT_EQ(w.SGrid->CellForeColor(1, 4), fore);

    // The day's icon reaches the grid (which icon is which is tested on IconeDuJour).
    w.SetDate(QDate(2024, 6, 24));
    EXPECT_EQ(w.SGrid->CellImage(1, 2), 7);
}

TEST_F(PresenceBoard, February28And29InLeapAndCommonYears) {
    sql(s("UPDATE tblemploye SET DateFete = '1980-02-28' WHERE NoEmploye = 3;"
          "UPDATE tblemploye SET DateFete = '1984-02-29' WHERE NoEmploye = 4;"
          "UPDATE tblemploye SET DateFete = '1988-02-29' WHERE NoEmploye = 7;")); // inactive
    frmPresence& w = board(QDate(2023, 2, 28));
    EXPECT_EQ(w.SGrid->CellText(1, 3), s("Anniversaire de Zed, \nAnniversaire de Yann"));
    w.SetDate(QDate(2024, 2, 28));
    EXPECT_EQ(w.SGrid->CellText(1, 4), s("Anniversaire de Zed"));
    EXPECT_EQ(w.SGrid->CellText(1, 5), s("Anniversaire de Yann"));
    w.SetDate(QDate(2023, 3, 1));
    EXPECT_EQ(w.SGrid->CellText(1, 4), QString()); // March 1, 2023 takes nobody
}

TEST_F(PresenceBoard, LoadReadsRightAndOptionAndTheBoxWritesIt) {
    sql(s("UPDATE tblemploye SET AffPresenceAuto = 1 WHERE NoEmploye = 2"));
    frmPresence& w = board();
    EXPECT_FALSE(w.booAccesGestion);
    EXPECT_TRUE(w.chkPresenceAuto->isChecked());
    w.chkPresenceAuto->click();
    EXPECT_EQ(
        m_db->db().open(s("SELECT AffPresenceAuto FROM tblemploye WHERE NoEmploye = 2")).field(0).toInt(), 0);
    services::Session::lngNoEmploye = 8;
    frmPresence w8;
    w8.Form_Load();
    EXPECT_TRUE(w8.booAccesGestion);
    EXPECT_EQ(w8.SGridEtat->Columns(), 3);
    EXPECT_EQ(w8.SGridEtat->CellItemData(1, 2), 2);

    // An employee number without a row leaves the box clear but the board usable.
    services::Session::lngNoEmploye = 99;
    frmPresence w99;
    w99.SetDate(QDate(2024, 3, 13));
    EXPECT_FALSE(w99.chkPresenceAuto->isChecked());
    EXPECT_EQ(w99.SGrid->CellText(4, 1), s("Yann"));
}

TEST_F(PresenceBoard, ResizeFollowsTheWindow) {
    frmPresence& w = board();
    const double tx = platform::twipsPerPixelX();
    const double ty = platform::twipsPerPixelY();
    // Too narrow in the normal state: back to the least width (the rules are tested on
    // calculerDisposition; here, that the window applies them).
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
    w.setWindowState(Qt::WindowNoState);

    // 2400 twips high or less: the heights stay.
    const int h = w.SGrid->height();
    w.resize(int(13000 / tx), int(2400 / ty) - 20);
    ASSERT_LE(w.height() * ty, 2400);
    w.Form_Resize();
    EXPECT_EQ(w.SGrid->height(), h);
}

TEST_F(PresenceBoard, EveryTextReadsWholeAtTheOpeningSize) {
    frmPresence& w = board();
    w.show();
    QApplication::processEvents();
    EXPECT_EQ(defautsMiseEnPage(&w), "");
}

TEST_F(PresenceBoard, NoStateLeavesTheLegendAloneAndAFailedFillRepaints) {
    sql(s("DELETE FROM tbletatpresence"));
    frmPresence& w = board();
    EXPECT_EQ(w.SGridEtat->Columns(), 0);
    w.resize(int(13000 / platform::twipsPerPixelX()), 700);
    w.Form_Resize(); // must not divide by zero
    EXPECT_EQ(w.SGridEtat->Columns(), 0);
    EXPECT_GT(w.SGrid->ColumnWidth(1), 0);

    platform::Database* db = services::Session::cnBD();
    services::Session::setConnection(nullptr);
    w.Remplir();
    services::Session::setConnection(db);
    EXPECT_TRUE(w.SGrid->Redraw());
    EXPECT_TRUE(log().contains(s("Remplir"))) << qPrintable(log());
}

} // namespace
