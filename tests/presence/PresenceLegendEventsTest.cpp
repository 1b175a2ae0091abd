#include "PresenceFixture.h"

namespace {

TEST_F(PresenceBoard, EventsRowColoursTextsAndClearing) {
    sql(s("UPDATE tblemploye SET DateFete = '1980-07-02' WHERE NoEmploye IN (3, 7)"));
    platform::Grid& g = *board(8, QDate(2024, 7, 1)).SGrid;
    const auto evenements = [this] {
        return value(s("SELECT GROUP_CONCAT(CONCAT_WS('/', DAY(DateEvenement), Description, BackColor, "
                       "ForeColor) ORDER BY DateEvenement) FROM tblevenement"))
            .toString();
    };
    // Recolouring Canada Day stores the holiday's name with the new back colour.
    const QString canada = s("1/Fête du Canada/65280/%1").arg(g.CellForeColor(1, 2));
    m_chooser.menuAnswers = {1, 2};
    m_chooser.colorAnswers = {platform::colorFromBgr(0x00FF00), std::nullopt};
    clicDroit(1, 2);
    EXPECT_EQ(g.CellBackColor(1, 2), 0x00FF00);
    EXPECT_EQ(evenements(), canada);
    // A cancelled colour dialog changes nothing and says nothing.
    clicDroit(1, 3);
    EXPECT_EQ(evenements(), canada);
    EXPECT_TRUE(m_chooser.messagesShown.isEmpty());

    // A text typed on a birthday keeps the birthday's colour; cleared, the birthday is back.
    saisir(&g, 1, 3, s("Dîner d'équipe \\ salle 2"));
    EXPECT_EQ(g.CellText(1, 3), s("Dîner d'équipe \\ salle 2"));
    EXPECT_EQ(evenements(), canada + s(",2/Dîner d'équipe \\ salle 2/%1/0").arg(0x80C0FF));
    saisir(&g, 1, 3, QString());
    EXPECT_EQ(evenements(), canada);
    EXPECT_EQ(g.CellText(1, 3), s("Anniversaire de Zed")); // not the inactive employee's
    EXPECT_TRUE(m_w->txtEdit->isHidden());

    // Behind the board, another workstation stores two days: a colour change keeps the text
    // stored meanwhile, a text typed keeps the colours.
    m_autre->execute(s("INSERT INTO tblevenement (DateEvenement, Description, BackColor, ForeColor) VALUES "
                       "('2024-07-04', 'Party', 255, 0), ('2024-07-05', 'x', 255, 65535)"));
    m_chooser.colorAnswers = {platform::colorFromBgr(0x00FF00)};
    clicDroit(1, 5, 1);
    saisir(&g, 1, 6, s("Réunion"));
    EXPECT_EQ(evenements(), canada + s(",4/Party/65280/0,5/Réunion/255/65535"));

    // On February 28 of a common year, the birthdays of the 29th come back after a clear.
    sql(s("UPDATE tblemploye SET DateFete = '1980-02-29' WHERE NoEmploye = 4"));
    saisir(board(8, QDate(2023, 2, 28)).SGrid, 1, 3, QString());
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
    // Without the right the legend only shows.
    board(2);
    clicDroit(m_w->SGridEtat, 1, 3);
    EXPECT_TRUE(m_chooser.menusShown.isEmpty());
    EXPECT_FALSE(editer(m_w->SGridEtat, 1, 3));

    presence::frmPresence& w = board(8);
    platform::Grid& e = *w.SGridEtat;
    const auto etats = [this] {
        return value(s("SELECT GROUP_CONCAT(IdEtat ORDER BY IdEtat) FROM tbletatpresence")).toString();
    };
    // State 1 only adds ("Ajouter un état"); a used state cannot go; an unused one can. The
    // menu is for the state under the mouse, not the one selected before.
    e.setSelectedRow(1);
    e.setSelectedCol(1);
    for (int col : {1, 2, 3})
        clicDroit(&e, 1, col);
    ASSERT_EQ(m_chooser.menusShown.size(), 3);
    EXPECT_EQ(m_chooser.menusShown[0].size(), 1);
    EXPECT_EQ(m_chooser.menusShown[1].value(1).text, s("Modifier la couleur"));
    EXPECT_EQ(m_chooser.menusShown[1].size(), 2);
    EXPECT_EQ(m_chooser.menusShown[2].size(), 3);
    m_chooser.boxAnswers = {platform::MsgResult::Yes};
    clicDroit(&e, 1, 3, 3);
    EXPECT_EQ(etats(), s("1,2,4"));
    EXPECT_EQ(e.Columns(), 3);
    EXPECT_EQ(m_chooser.messagesShown, QStringList{s("Voulez-vous vraiment supprimer cet état?")});

    // Given to a morning or an afternoon between the menu and the answer: the state stays.
    for (const char* demiJournee : {"EtatAM", "EtatPM"}) {
        UsedMeanwhile chooser;
        chooser.menuAnswers = {3};
        chooser.before = [&] {
            sql(s("DELETE FROM tblpresences WHERE NoEmploye = 3; INSERT INTO tblpresences (NoEmploye, "
                  "DatePresence, %1) VALUES (3, '2024-03-20', 4)")
                    .arg(s(demiJournee)));
        };
        clicDroit(&e, 1, 3);
        EXPECT_EQ(etats(), s("1,2,4")) << demiJournee;
        EXPECT_EQ(chooser.messagesShown.value(1), s("Cet état est utilisé; il n'a pas été retiré."));
    }

    // Add: an empty name is refused; a name over 50 characters is given back to shorten; fifty
    // characters fit, an emoji counting as one.
    m_chooser.messagesShown.clear();
    m_chooser.menuAnswers = {1, 1};
    const QString nom = s("Télé'travail \\") + QString(35, QLatin1Char('x')) + s("\xF0\x9F\x98\x80");
    m_chooser.inputAnswers = {QString(), QString(51, QLatin1Char('x')), nom};
    m_chooser.colorAnswers = {platform::colorFromBgr(0x123456)};
    clicDroit(&e, 1, 1);
    EXPECT_EQ(m_chooser.messagesShown.value(1), s("Vous devez saisir une valeur"));
    clicDroit(&e, 1, 1);
    EXPECT_EQ(value(s("SELECT CONCAT_WS('/', Description, Couleur) FROM tbletatpresence WHERE IdEtat > 4"))
                  .toString(),
              s("%1/%2").arg(nom).arg(0x123456));
    EXPECT_EQ(e.Columns(), 4);
    EXPECT_EQ(e.CellText(1, 4), nom);

    // Recolouring a state repaints the board's half-days in it.
    m_chooser.colorAnswers = {platform::colorFromBgr(0x00AA00)};
    clicDroit(&e, 1, 2, 2);
    EXPECT_EQ(w.SGrid->CellBackColor(8, 2), 0x00AA00); // Moi, Monday afternoon
    EXPECT_EQ(e.CellBackColor(1, 2), 0x00AA00);

    // State 1 too can be renamed in place; at most 50 characters; an empty name keeps the old one.
    m_chooser.messagesShown.clear();
    saisir(&e, 1, 1, nom + s("z"));
    EXPECT_EQ(e.CellText(1, 1), nom);
    saisir(&e, 1, 1, QString());
    EXPECT_EQ(m_chooser.messagesShown.value(0), s("Vous devez saisir une valeur"));
    EXPECT_EQ(e.CellText(1, 1), nom);
    EXPECT_TRUE(w.txtEdit->isHidden());
    // A typed "%1" is text, not a place for the values written after it.
    ASSERT_TRUE(editer(&e, 1, 1));
    w.txtEdit->setText(s("Présent %1 l'après-midi"));
    QTest::keyClick(w.txtEdit, Qt::Key_Return);
    EXPECT_EQ(value(s("SELECT Description FROM tbletatpresence WHERE IdEtat = 1")).toString(),
              s("Présent %1 l'après-midi"));
    EXPECT_EQ(e.CellText(1, 1), s("Présent %1 l'après-midi"));
}

} // namespace
