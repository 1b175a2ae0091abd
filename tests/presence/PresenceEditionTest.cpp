#include "PresenceFixture.h"

#include <QFocusEvent>
#include <QImage>
#include <QKeyEvent>
#include <QScrollBar>

namespace {

TEST_F(PresenceBoard, WhoMayChangeWhichCellAndTheSelection) {
    sql(s(
        "INSERT INTO tblpresences (NoEmploye, DatePresence, EtatAM, EtatPM) VALUES (2, '2024-03-11', 2, 2)"));
    presence::frmPresence& w = board(2);
    platform::Grid& g = *w.SGrid;
    // The selection goes from the events row down over the separators, and back up; the
    // selected half-day still shows its state's colour inside its frame.
    g.setFocus();
    g.setSelectedRow(1);
    g.setSelectedCol(2);
    const int rows[] = {4, 5, 7, 5, 4, 1};
    for (int i = 0; i < 6; ++i) {
        QTest::keyClick(&g, i < 3 ? Qt::Key_Down : Qt::Key_Up);
        EXPECT_EQ(g.SelectedRow(), rows[i]) << i;
    }
    g.setSelectedRow(4);
    EXPECT_EQ(g.grab().toImage().pixelColor(g.CellRect(4, 2).center()), platform::colorFromBgr(kAbsent));

    // His own morning and afternoon: the presence menu and the editor.
    ETAPE("his own half-days");
    clicDroit(5, 3);
    ASSERT_EQ(m_chooser.menusShown.size(), 1);
    EXPECT_EQ(m_chooser.menusShown[0].value(5).text, s("Effacer texte"));
    EXPECT_TRUE(editer(&g, 4, 3));
    w.txtEdit_KeyDown(27, 0);
    // A colleague's row, the events row, column 1, the separators, the legend: nothing.
    for (const auto& [row, col] : {std::pair{7, 3}, {1, 3}, {4, 1}, {6, 3}, {2, 3}}) {
        clicDroit(row, col);
        EXPECT_FALSE(editer(&g, row, col)) << row << ',' << col;
    }
    clicDroit(w.SGridEtat, 1, 3);
    EXPECT_FALSE(editer(w.SGridEtat, 1, 3));
    EXPECT_EQ(m_chooser.menusShown.size(), 1);

    // With the right: anyone's half-days and the events row, still not column 1 nor the
    // thin row under the events.
    ETAPE("with the right");
    board(8);
    for (const auto& [row, col] : {std::pair{7, 2}, {1, 2}, {2, 2}, {1, 1}})
        clicDroit(row, col);
    EXPECT_EQ(m_chooser.menusShown.size(), 3);
    EXPECT_FALSE(editer(m_w->SGrid, 2, 4));
}

TEST_F(PresenceBoard, StateMenuTargetsAndTheTextRule) {
    sql(s("INSERT INTO tblpresences (NoEmploye, DatePresence, EtatAM, EtatPM, DescripAM, DescripPM) VALUES "
          "(2, '2024-03-11', 2, 1, 'Absent', 'Ma note'), (2, '2024-03-12', 1, 1, 'Dentiste', NULL),"
          "(2, '2024-03-14', 2, 3, 'Absent', NULL)"));
    platform::Grid& g = *board(2).SGrid;
    // Notes changed elsewhere after the fill show which columns a choice writes.
    sql(s("UPDATE tblpresences SET DescripAM = 'ailleurs' WHERE DatePresence = '2024-03-12';"
          "UPDATE tblpresences SET DescripPM = 'ailleurs' WHERE DatePresence = '2024-03-11'"));

    {
        SCOPED_TRACE("a note of his own survives a new state: only EtatAM is written");
        clicDroit(4, 3, etatPour(kMatin, 3));
        EXPECT_EQ(g.CellBackColor(4, 3), kVacances);
        EXPECT_EQ(jour("2024-03-12"), (Jour{3, s("ailleurs"), 1, kNul}));
    }
    {
        SCOPED_TRACE("a note that repeated the old state follows the new one; \"AM/PM\" gives the "
                     "afternoon its state and colour only; the cells show what is stored, the "
                     "afternoon's note written elsewhere included");
        clicDroit(4, 2, etatPour(kJournee, 3));
        EXPECT_EQ(g.CellText(4, 2), s("Vacances"));
        EXPECT_EQ(g.CellText(5, 2), s("ailleurs"));
        EXPECT_EQ(jour("2024-03-11"), (Jour{3, s("Vacances"), 3, s("ailleurs")}));
    }
    {
        SCOPED_TRACE("state 1 clears the note that repeated the old state");
        clicDroit(4, 2, etatPour(kMatin, 1));
        EXPECT_EQ(jour("2024-03-11"), (Jour{1, QString(), 3, s("ailleurs")}));
    }
    {
        // The rule reads the stored morning, not the clicked cell: its "Absent" was its state's
        // text, so it goes.
        SCOPED_TRACE("a right-click on the afternoon row, then \"AM\": the morning of that day");
        clicDroit(5, 5, etatPour(kMatin, 1));
        EXPECT_EQ(g.CellItemData(4, 5), 1);
        EXPECT_EQ(jour("2024-03-14"), (Jour{1, QString(), 3, kNul}));
    }
    {
        SCOPED_TRACE("an empty afternoon without a row: \"PM\" writes the state and its description; the "
                     "morning takes the default state");
        clicDroit(4, 6, etatPour(kApresMidi, 2));
        EXPECT_EQ(g.CellText(5, 6), s("Absent"));
        EXPECT_EQ(jour("2024-03-15"), (Jour{1, kNul, 2, s("Absent")}));
    }
    {
        SCOPED_TRACE("state 1 never writes its description, not even into an empty half-day");
        clicDroit(4, 8, etatPour(kMatin, 1));
        const Jour dimanche = jour("2024-03-17");
        EXPECT_EQ(dimanche.etatAM, 1);
        EXPECT_EQ(dimanche.descripAM, kNul);
    }
    {
        SCOPED_TRACE("the whole week, Saturday and Sunday included");
        clicDroit(5, 8, etatPour(kSemaine, 2));
        EXPECT_EQ(value(s("SELECT COUNT(*) FROM tblpresences WHERE EtatAM = 2 AND EtatPM = 2")).toInt(), 7);
        EXPECT_EQ(g.CellBackColor(5, 8), kAbsent);
        EXPECT_TRUE(g.Redraw());
    }
    ETAPE("a state numbered 1000 or more can be set too; its description's apostrophe is stored");
    sql(s("INSERT INTO tbletatpresence (IdEtat, Description, Couleur) VALUES (1234, 'Congé d''été', 255)"));
    clicDroit(4, 7, etatPour(kMatin, 1234));
    const Jour samedi = jour("2024-03-16");
    EXPECT_EQ(samedi.etatAM, 1234);
    EXPECT_EQ(samedi.descripAM, s("Congé d'été"));
    EXPECT_EQ(g.CellBackColor(4, 7), 255);
}

TEST_F(PresenceBoard, ClearingNotesAndDaysWithoutARow) {
    sql(s("INSERT INTO tblpresences (NoEmploye, DatePresence, EtatAM, EtatPM, DescripAM, DescripPM) VALUES "
          "(2, '2024-03-11', 2, 3, 'a', 'b'), (2, '2024-03-17', 1, 1, 'c', 'd'), (2, '2024-03-12', 1, 2, "
          "'e', 'Absent')"));
    platform::Grid& g = *board(2).SGrid;
    // Behind the board, another workstation changes Tuesday's morning state and afternoon
    // note (only its case): clearing the morning's note writes the note only, and a new
    // afternoon state leaves alone the note that no longer is, byte for byte, the one shown.
    m_autre->execute(s("UPDATE tblpresences SET EtatAM = 3, DescripPM = 'ABSENT' WHERE DatePresence = "
                       "'2024-03-12'"));
    {
        SCOPED_TRACE("Tuesday changed behind the board");
        clicDroit(4, 3, effacerNotes(kMatin));
        clicDroit(5, 3, etatPour(kApresMidi, 3));
        EXPECT_EQ(jour("2024-03-12"), (Jour{3, QString(), 3, s("ABSENT")}));
    }
    {
        SCOPED_TRACE("a day without a row: the row is made with the default state the cell carries");
        clicDroit(4, 4, effacerNotes(kMatin));
        const Jour mercredi = jour("2024-03-13");
        EXPECT_EQ(std::tuple(mercredi.etatAM, mercredi.descripAM, mercredi.etatPM),
                  std::tuple(1, QString(), 1));
    }
    {
        SCOPED_TRACE("both notes go; the states stay");
        clicDroit(5, 2, effacerNotes(kJournee));
        EXPECT_EQ(g.CellText(4, 2), QString());
        EXPECT_EQ(g.CellText(5, 2), QString());
        EXPECT_EQ(jour("2024-03-11"), (Jour{2, QString(), 3, QString()}));
    }
    {
        SCOPED_TRACE("the whole week, Sunday included");
        clicDroit(4, 5, effacerNotes(kSemaine));
        const Jour dimanche = jour("2024-03-17");
        EXPECT_EQ(std::pair(dimanche.descripAM, dimanche.descripPM), std::pair(QString(), QString()));
    }

    ETAPE("a refused clear is said, and the board shows again what is stored");
    sql(s(
        "UPDATE tblpresences SET DescripAM = 'garde' WHERE DatePresence = '2024-03-11'; CREATE TRIGGER refus "
        "BEFORE INSERT ON tblpresences FOR EACH ROW SIGNAL SQLSTATE '45000' SET MESSAGE_TEXT = 'refus'"));
    clicDroit(4, 2, effacerNotes(kMatin));
    EXPECT_EQ(m_chooser.messagesShown, QStringList{s("La modification n'a pas été enregistrée.")});
    EXPECT_EQ(g.CellText(4, 2), s("garde"));
}

TEST_F(PresenceBoard, TheEditorCommitsOnceAndCancels) {
    presence::frmPresence& w = board(2);
    platform::Grid& g = *w.SGrid;
    QFocusEvent out(QEvent::FocusOut, Qt::MouseFocusReason);
    {
        SCOPED_TRACE("Enter: stored once with its apostrophe and backslash; the loss of focus that "
                     "follows writes nothing more");
        ASSERT_TRUE(editer(&g, 5, 2));
        w.txtEdit->setText(s("Chez l'client \\ Québec"));
        QTest::keyClick(w.txtEdit, Qt::Key_Return);
        EXPECT_EQ(g.CellText(5, 2), s("Chez l'client \\ Québec"));
        const Jour lundi = jour("2024-03-11");
        EXPECT_EQ(std::tuple(lundi.etatAM, lundi.etatPM, lundi.descripPM),
                  std::tuple(1, 1, s("Chez l'client \\ Québec")));
        sql(s("UPDATE tblpresences SET DescripPM = 'ailleurs'"));
        QApplication::sendEvent(w.txtEdit, &out);
        EXPECT_EQ(jour("2024-03-11", "DescripPM"), s("ailleurs"));
    }
    {
        SCOPED_TRACE("Esc: nothing written, the cell keeps its text");
        ASSERT_TRUE(editer(&g, 4, 2));
        QTest::keyClicks(w.txtEdit, s("oublie"));
        QTest::keyClick(w.txtEdit, Qt::Key_Escape);
        EXPECT_EQ(g.CellText(4, 2), QString());
        EXPECT_EQ(jour("2024-03-11", "DescripAM"), QString());
    }
    ETAPE("leaving the cell commits; the 256th character cannot be typed");
    ASSERT_TRUE(editer(&g, 4, 3));
    QTest::keyClicks(w.txtEdit, QString(256, QLatin1Char('x')));
    QApplication::sendEvent(w.txtEdit, &out);
    EXPECT_EQ(jour("2024-03-12", "LENGTH(DescripAM)"), s("255"));

    // Typed on the board, the key that opens the editor is the note's first character, after
    // the cell's text; F2 opens it without adding anything.
    ETAPE("typed on the board");
    g.setSelectedRow(5);
    g.setSelectedCol(3);
    QTest::keyClicks(&g, s("R"));
    QTest::keyClicks(w.txtEdit, s("endez-vous"));
    QTest::keyClick(w.txtEdit, Qt::Key_Return);
    EXPECT_EQ(jour("2024-03-12", "DescripPM"), s("Rendez-vous"));
    QTest::keyClick(&g, Qt::Key_F2);
    EXPECT_EQ(w.txtEdit->text(), s("Rendez-vous"));
    QTest::keyClick(w.txtEdit, Qt::Key_Escape);
    QKeyEvent e(QEvent::KeyPress, Qt::Key_Eacute, Qt::NoModifier, s("é"));
    QApplication::sendEvent(&g, &e);
    EXPECT_EQ(w.txtEdit->text(), s("Rendez-vousé"));
    EXPECT_EQ(w.txtEdit->cursorPosition(), 12);
    QTest::keyClick(w.txtEdit, Qt::Key_Escape);
    ETAPE("254 letters and two emoji");
    // A character is never cut in half: 254 letters and an emoji fit, the second emoji not.
    const QString emoji = s("\xF0\x9F\x98\x80"), a254(254, QLatin1Char('a'));
    ASSERT_TRUE(editer(&g, 5, 3));
    w.txtEdit->setText(a254 + emoji + emoji);
    QApplication::sendEvent(w.txtEdit, &out);
    EXPECT_EQ(jour("2024-03-12", "DescripPM"), a254 + emoji);

    ETAPE("the week moves under an open edit: it is written to the day it was opened on");
    ASSERT_TRUE(editer(&g, 4, 8));
    w.txtEdit->setText(s("dimanche"));
    w.cmdSuivant->click();
    EXPECT_EQ(jour("2024-03-17", "DescripAM"), s("dimanche"));
    EXPECT_EQ(g.CellText(4, 8), QString());
}

TEST_F(PresenceBoard, AnotherWorkstationsRowAndAFailedWrite) {
    presence::frmPresence& w = board(2);
    // Written elsewhere after the fill: the state goes in, the other note stays.
    sql(s("INSERT INTO tblpresences (NoEmploye, DatePresence, EtatAM, EtatPM, DescripPM) VALUES "
          "(2, '2024-03-13', 1, 1, 'autre poste')"));
    {
        SCOPED_TRACE("written elsewhere after the fill");
        clicDroit(4, 4, etatPour(kMatin, 2));
        EXPECT_EQ(jour("2024-03-13"), (Jour{2, s("Absent"), 1, s("autre poste")}));
    }

    // A state removed elsewhere after the menu was made: said and logged as what it is (no
    // lost connection: the program stays active), nothing changes, and the board paints again.
    {
        SCOPED_TRACE("a state removed elsewhere after the menu was made");
        bool perdue = false;
        services::Session::onConnectionLost = [&perdue] { perdue = true; };
        clicDroit(4, 3, etatPour(kMatin, 9));
        EXPECT_EQ(m_chooser.messagesShown, QStringList{s("Cet état de présence n'existe plus.")});
        const auto rs = m_db->db().open(s("SELECT ErrNumber, Fonction FROM tblerreur"));
        ASSERT_EQ(rs.recordCount(), 1);
        EXPECT_EQ(rs.field(0).toInt(), 3021);
        EXPECT_EQ(rs.field(1).text(), s("SGrid_MouseUp"));
        EXPECT_FALSE(perdue);
        EXPECT_TRUE(w.SGrid->Redraw());
    }

    // The server refuses every write: one French message for the fourteen writes, the error
    // logged, and the board shows again what is stored.
    ETAPE("the server refuses every write");
    sql(s("CREATE TRIGGER refus BEFORE INSERT ON tblpresences FOR EACH ROW "
          "SIGNAL SQLSTATE '45000' SET MESSAGE_TEXT = 'refus'"));
    m_chooser.messagesShown.clear();
    clicDroit(4, 3, etatPour(kSemaine, 3));
    EXPECT_EQ(m_chooser.messagesShown, QStringList{s("La modification n'a pas été enregistrée.")});
    EXPECT_TRUE(log().contains(s("UpdateEtatPersence")));
    EXPECT_EQ(w.SGrid->CellBackColor(4, 3), 0xFFFFFF);
    EXPECT_EQ(w.SGrid->CellBackColor(4, 4), kAbsent);

    // A refused note: the editor stays open with its text for another try. Nothing moves the
    // board from under it: not the week, a scroll, a right-click or another cell's editor;
    // said once.
    ETAPE("a refused note");
    ASSERT_TRUE(saisir(w.SGrid, 4, 2, s("note")));
    const qsizetype menus = m_chooser.menusShown.size();
    w.cmdSuivant->click();
    w.SGrid->verticalScrollBar()->setValue(w.SGrid->verticalScrollBar()->maximum());
    clicDroit(5, 3);
    EXPECT_FALSE(editer(w.SGrid, 4, 3));
    EXPECT_EQ(w.DTPicker->date(), QDate(2024, 3, 11));
    EXPECT_EQ(m_chooser.menusShown.size(), menus);
    EXPECT_EQ(m_chooser.messagesShown.size(), 2); // the refused week, the refused note
    EXPECT_EQ(w.lngLigneEdit, 4);
    EXPECT_EQ(w.lngColEdit, 2);
    EXPECT_FALSE(w.txtEdit->isHidden());
    EXPECT_EQ(w.txtEdit->text(), s("note"));
}

TEST_F(PresenceBoard, OpeningTheBoardAgainKeepsItsWindowState) {
    services::Session::lngNoEmploye = 2;
    presence::frmPresence::ouvrir();
    m_w.reset(presence::frmPresence::instance());
    QApplication::processEvents();
    EXPECT_EQ(defautsMiseEnPage(m_w.get()), ""); // every text reads whole at the opening size
    // As tall as the screen's working area allows, within a title bar.
    const QRect dispo = m_w->screen()->availableGeometry(), cadre = m_w->frameGeometry();
    EXPECT_EQ(cadre.top(), dispo.top());
    EXPECT_LE(cadre.bottom(), dispo.bottom());
    EXPECT_GE(cadre.height(), dispo.height() - 40);
    EXPECT_LE(m_w->SGridEtat->geometry().bottom(), m_w->height() - 4) << "the legend is cut at the bottom";
    m_w->setWindowState(Qt::WindowMaximized);
    presence::frmPresence::ouvrir();
    EXPECT_TRUE(m_w->windowState() & Qt::WindowMaximized);
}

TEST_F(PresenceBoard, EventsRowColoursTextsAndClearing) {
    sql(s("UPDATE tblemploye SET DateFete = '1980-07-02' WHERE NoEmploye IN (3, 7)"));
    platform::Grid& g = *board(8, QDate(2024, 7, 1)).SGrid;
    // The stored events: day of the month, description, back and text colours.
    using Evenement = std::tuple<int, QString, qint64, qint64>;
    const auto evenements = [this] {
        QList<Evenement> out;
        for (auto rs = m_db->db().open(s("SELECT DAY(DateEvenement), Description, BackColor, ForeColor FROM "
                                         "tblevenement ORDER BY DateEvenement"));
             !rs.eof(); rs.moveNext())
            out << Evenement(rs.field(0).toInt(), rs.field(1).text(), rs.field(2).toLongLong(),
                             rs.field(3).toLongLong());
        return out;
    };
    // Recolouring Canada Day stores the holiday's name with the new back colour.
    const QList<Evenement> canada{{1, s("Fête du Canada"), 0x00FF00, g.CellForeColor(1, 2)}};
    {
        SCOPED_TRACE("Canada Day recoloured");
        m_chooser.colorAnswers = {platform::colorFromBgr(0x00FF00), std::nullopt};
        clicDroit(1, 2, kFond);
        EXPECT_EQ(g.CellBackColor(1, 2), 0x00FF00);
        EXPECT_EQ(evenements(), canada);
    }
    {
        SCOPED_TRACE("a cancelled colour dialog changes nothing and says nothing");
        clicDroit(1, 3, kTexte);
        EXPECT_EQ(evenements(), canada);
        EXPECT_EQ(m_chooser.messagesShown, QStringList());
    }

    // A text typed on a birthday keeps the birthday's colour; cleared, the birthday is back.
    ETAPE("a text typed on a birthday, then cleared");
    ASSERT_TRUE(saisir(&g, 1, 3, s("Dîner d'équipe \\ salle 2")));
    EXPECT_EQ(evenements(), (canada + QList<Evenement>{{2, s("Dîner d'équipe \\ salle 2"), 0x80C0FF, 0}}));
    ASSERT_TRUE(saisir(&g, 1, 3, QString()));
    EXPECT_EQ(evenements(), canada);
    EXPECT_EQ(g.CellText(1, 3), s("Anniversaire de Zed")); // not the inactive employee's

    // Behind the board, another workstation stores two days: a colour change keeps the text
    // stored meanwhile, a text typed keeps the colours.
    ETAPE("two days stored behind the board");
    m_autre->execute(s("INSERT INTO tblevenement (DateEvenement, Description, BackColor, ForeColor) VALUES "
                       "('2024-07-04', 'Party', 255, 0), ('2024-07-05', 'x', 255, 65535)"));
    ETAPE("two days stored behind the board");
    m_chooser.colorAnswers = {platform::colorFromBgr(0x00FF00)};
    clicDroit(1, 5, kFond);
    ASSERT_TRUE(saisir(&g, 1, 6, s("Réunion")));
    EXPECT_EQ(evenements(),
              (canada + QList<Evenement>{{4, s("Party"), 0x00FF00, 0}, {5, s("Réunion"), 255, 65535}}));

    // On February 28 of a common year, the birthdays of the 29th come back after a clear.
    ETAPE("February 28 of a common year");
    sql(s("UPDATE tblemploye SET DateFete = '1980-02-29' WHERE NoEmploye = 4"));
    ASSERT_TRUE(saisir(board(8, QDate(2023, 2, 28)).SGrid, 1, 3, QString()));
    EXPECT_EQ(m_w->SGrid->CellText(1, 3), s("Anniversaire de Yann"));
}

// Answers Yes to the removal, after another workstation gave the state to a half-day.
class UsedMeanwhile : public ScriptedChooser {
public:
    std::function<void()> before;
    platform::MsgResult messageBox(QWidget* o, const QString& t, const QString& ti, platform::MsgIcon i,
                                   platform::MsgButtons b) override {
        if (b == platform::MsgButtons::YesNo && before) before();
        return ScriptedChooser::messageBox(o, t, ti, i, b);
    }
};

TEST_F(PresenceBoard, LegendMenuAddRemoveAndRecolour) {
    sql(s(
        "INSERT INTO tbletatpresence (IdEtat, Description, Couleur) VALUES (4, 'Formation', 255);"
        "INSERT INTO tblpresences (NoEmploye, DatePresence, EtatAM, EtatPM) VALUES (2, '2024-03-11', 1, 2)"));
    presence::frmPresence& w = board(8);
    platform::Grid& e = *w.SGridEtat;
    const auto etats = [this] {
        QList<int> out;
        for (auto rs = m_db->db().open(s("SELECT IdEtat FROM tbletatpresence ORDER BY IdEtat")); !rs.eof();
             rs.moveNext())
            out << rs.field(0).toInt();
        return out;
    };
    // State 1 only adds ("Ajouter un état"); a used state cannot go; an unused one can. The
    // menu is for the state under the mouse, not the one selected before.
    e.setSelectedRow(1);
    e.setSelectedCol(1);
    {
        SCOPED_TRACE("the menu of each state");
        for (int col : {1, 2, 3})
            clicDroit(&e, 1, col);
        ASSERT_EQ(m_chooser.menusShown.size(), 3);
        EXPECT_EQ(m_chooser.menusShown[0].size(), 1); // state 1: add only
        EXPECT_EQ(m_chooser.menusShown[1].size(), 2); // used: add, recolour
        EXPECT_EQ(m_chooser.menusShown[2].size(), 3); // unused: add, recolour, remove
        EXPECT_EQ(m_chooser.menusShown[1].value(1).text, s("Modifier la couleur"));
    }
    {
        SCOPED_TRACE("an unused state removed");
        m_chooser.boxAnswers = {platform::MsgResult::Yes};
        clicDroit(&e, 1, 3, kRetirer);
        EXPECT_EQ(etats(), (QList<int>{1, 2, 4}));
        EXPECT_EQ(m_chooser.messagesShown, QStringList{s("Voulez-vous vraiment supprimer cet état?")});
    }

    // Given to a morning or an afternoon between the menu and the answer: the state stays.
    ETAPE("the state given to a half-day meanwhile");
    for (const char* demiJournee : {"EtatAM", "EtatPM"}) {
        UsedMeanwhile chooser;
        SCOPED_TRACE(demiJournee);
        chooser.menuAnswers = {kRetirer};
        chooser.before = [&] {
            sql(s("DELETE FROM tblpresences WHERE NoEmploye = 3; INSERT INTO tblpresences (NoEmploye, "
                  "DatePresence, %1) VALUES (3, '2024-03-20', 4)")
                    .arg(s(demiJournee)));
        };
        clicDroit(&e, 1, 3);
        EXPECT_EQ(etats(), (QList<int>{1, 2, 4}));
        EXPECT_EQ(chooser.messagesShown, (QStringList{s("Voulez-vous vraiment supprimer cet état?"),
                                                      s("Cet état est utilisé; il n'a pas été retiré.")}));
    }

    // Add: an empty name is refused; a name over 50 characters is given back to shorten; fifty
    // characters fit, an emoji counting as one.
    ETAPE("states added");
    m_chooser.menuAnswers = {kAjouter, kAjouter};
    m_chooser.messagesShown.clear();
    const QString nom = s("Télé'travail \\") + QString(35, QLatin1Char('x')) + s("\xF0\x9F\x98\x80");
    m_chooser.inputAnswers = {QString(), QString(51, QLatin1Char('x')), nom};
    m_chooser.colorAnswers = {platform::colorFromBgr(0x123456)};
    clicDroit(&e, 1, 1);
    ASSERT_GE(m_chooser.messagesShown.size(), 2);
    EXPECT_EQ(m_chooser.messagesShown[1], s("Vous devez saisir une valeur")); // after the name's prompt
    clicDroit(&e, 1, 1);
    const auto ajoute =
        m_db->db().open(s("SELECT Description, Couleur FROM tbletatpresence WHERE IdEtat > 4"));
    ASSERT_EQ(ajoute.recordCount(), 1);
    EXPECT_EQ(ajoute.field(0).text(), nom);
    EXPECT_EQ(ajoute.field(1).toLongLong(), 0x123456);
    EXPECT_EQ(e.CellText(1, 4), nom); // after Formation: the removed state's column went

    // Recolouring a state repaints the board's half-days in it.
    ETAPE("a state recoloured");
    m_chooser.colorAnswers = {platform::colorFromBgr(0x00AA00)};
    clicDroit(&e, 1, 2, kRecolorer);
    EXPECT_EQ(w.SGrid->CellBackColor(8, 2), 0x00AA00); // Moi, Monday afternoon
    EXPECT_EQ(e.CellBackColor(1, 2), 0x00AA00);

    // State 1 too can be renamed in place; at most 50 characters; an empty name keeps the old one.
    ETAPE("state 1 renamed in place");
    ASSERT_TRUE(saisir(&e, 1, 1, nom + s("z")));
    EXPECT_EQ(e.CellText(1, 1), nom);
    m_chooser.messagesShown.clear();
    ASSERT_TRUE(saisir(&e, 1, 1, QString()));
    EXPECT_EQ(m_chooser.messagesShown, QStringList{s("Vous devez saisir une valeur")});
    EXPECT_EQ(e.CellText(1, 1), nom);
    // A typed "%1" is text, not a place for the values written after it.
    ASSERT_TRUE(editer(&e, 1, 1));
    w.txtEdit->setText(s("Présent %1 l'après-midi"));
    QTest::keyClick(w.txtEdit, Qt::Key_Return);
    EXPECT_EQ(value(s("SELECT Description FROM tbletatpresence WHERE IdEtat = 1")).toString(),
              s("Présent %1 l'après-midi"));
}

} // namespace
