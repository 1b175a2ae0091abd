#include "EtatGridFixture.h"

#include "entry/frmSuiviAppel.h"

#include <QDir>

using platform::findMenuItem;

namespace {

// Julie's received list, shown, driven by the mouse as a user would, with three messages
// from Marc: 1 normal at 10:00, 2 urgent at 08:00, 3 low at 09:00.
class MenusGrille : public EtatGrille {
protected:
    void SetUp() override {
        EtatGrille::SetUp();
        if (IsSkipped()) return;
        const int priorites[] = {2, 1, 3};
        const char* heures[] = {"10:00:00", "08:00:00", "09:00:00"};
        for (int id = 1; id <= 3; ++id) {
            message(id, QStringLiteral("Message %1").arg(id), 0, priorites[id - 1],
                    QStringLiteral("2026-12-07"), QLatin1String(heures[id - 1]));
            recipient(id, 3, 2);
        }
        remplir();
        capturerRapports();
    }
    // A click on a column's header (the first row gives the column's place), or a
    // right-click near the top of a cell: the press selects it, the release asks for the
    // row menu.
    void clic(int row, int col, Qt::MouseButton bouton = Qt::RightButton) {
        const QRect cell = g()->CellRect(row ? row : 1, col);
        const int y =
            row ? cell.top() + std::min(cell.height() / 2, 8) : g()->RowsTop() - g()->HeaderHeight() / 2;
        QTest::mouseClick(g()->viewport(), bouton, {},
                          QPoint(cell.center().x(), y) - g()->viewport()->geometry().topLeft());
    }
    void clicEntete(int col, Qt::MouseButton bouton = Qt::LeftButton) { clic(0, col, bouton); }
    bool offre(int item) const { return findMenuItem(chooser.menusShown.last(), item) != nullptr; }

    ScriptedChooser chooser;
};

} // namespace

TEST_F(MenusGrille, HeaderClicksSortEachColumnInTurnAndAGroupedColumnKeepsItsKey) {
    clicEntete(SGridMsg::colHeure);
    EXPECT_EQ(listed(*grille), (QList<int>{2, 3, 1}));
    clicEntete(SGridMsg::colPriorite); // the time's key goes; priority image 0 is urgent
    EXPECT_EQ(listed(*grille), (QList<int>{2, 1, 3}));
    EXPECT_EQ(g()->sortKeys().count(), 1);
    clicEntete(SGridMsg::colHeure); // its own turn: descending now
    EXPECT_EQ(listed(*grille), (QList<int>{1, 3, 2}));
    clicEntete(SGridMsg::colHeure);
    EXPECT_EQ(listed(*grille), (QList<int>{2, 3, 1}));
    // A refill lists the rows in the query's order: no header shows a sort, and the column
    // keeps its turn.
    remplir();
    EXPECT_EQ(g()->sortKeys().count(), 0);
    clicEntete(SGridMsg::colHeure);
    EXPECT_EQ(listed(*grille), (QList<int>{1, 3, 2}));

    // Grouped by priority: a click there turns the groups' own order round.
    g()->setColumnIsGrouped(SGridMsg::colPriorite, true);
    clicEntete(SGridMsg::colPriorite);
    EXPECT_EQ(g()->sortKeys().count(), 1);
    EXPECT_EQ(g()->sortKeys().order(1), platform::kSortDescending);
    EXPECT_EQ(listed(*grille), (QList<int>{3, 1, 2}));
    remplir(); // the groups keep their order
    EXPECT_EQ(listed(*grille), (QList<int>{3, 1, 2}));
    EXPECT_TRUE(g()->RowIsGroup(1));
    EXPECT_TRUE(chooser.menusShown.isEmpty());
}

TEST_F(MenusGrille, HeaderMenuGroupsUngroupsHidesAndShowsColumns) {
    // "No" and "Heure" are never offered for grouping.
    for (int c : {SGridMsg::colNo, SGridMsg::colHeure}) {
        clicEntete(c, Qt::RightButton);
        EXPECT_FALSE(offre(1) || offre(2)) << c;
    }

    // Grouped by two columns through the menu; the band shows them.
    chooser.menuAnswers = {1, 1};
    clicEntete(SGridMsg::colExpediteur, Qt::RightButton);
    EXPECT_EQ(findMenuItem(chooser.menusShown.last(), 1)->text, QStringLiteral("Regrouper par De"));
    clicEntete(SGridMsg::colPriorite, Qt::RightButton);
    EXPECT_EQ(g()->ColumnGroupingLevel(SGridMsg::colExpediteur), 0);
    EXPECT_EQ(g()->ColumnGroupingLevel(SGridMsg::colPriorite), 1);
    EXPECT_EQ(g()->GroupingBandHeight(), 48);
    // The column list: every column but the message text, checked while shown.
    EXPECT_TRUE(findMenuItem(chooser.menusShown.last(), 21)->checked);
    EXPECT_EQ(findMenuItem(chooser.menusShown.last(), 22), nullptr);

    // A grouped column offers "Dégrouper", found under the grouping indent.
    chooser.menuAnswers = {2, 2};
    clicEntete(SGridMsg::colPriorite, Qt::RightButton);
    EXPECT_TRUE(offre(2) && !offre(1));
    EXPECT_FALSE(g()->ColumnIsGrouped(SGridMsg::colPriorite));
    EXPECT_FALSE(g()->GroupingBandHidden());
    clicEntete(SGridMsg::colExpediteur, Qt::RightButton);
    EXPECT_TRUE(g()->GroupingBandHidden()); // the last grouping gone
    EXPECT_FALSE(g()->RowIsGroup(1));

    // The last column that lists the rows cannot go; a hidden one comes back.
    for (int c = SGridMsg::colNo; c <= SGridMsg::colDestinataire; ++c)
        if (c != SGridMsg::colClient) g()->setColumnVisible(c, false);
    g()->setColumnIsGrouped(SGridMsg::colPriorite, true);
    g()->setColumnIsGrouped(SGridMsg::colEtat, true);

    chooser.menuAnswers = {14, 13};
    clicEntete(SGridMsg::colClient, Qt::RightButton);
    EXPECT_FALSE(offre(1)); // grouping by "Client" would leave nothing to list the rows in
    EXPECT_EQ(chooser.messagesShown,
              QStringList{QStringLiteral("Il doit y avoir au moins une colone affichée en tout temps.")});
    EXPECT_TRUE(g()->ColumnVisible(SGridMsg::colClient));
    // "No" is listed without a check and can always be shown again.
    clicEntete(SGridMsg::colClient, Qt::RightButton);
    EXPECT_FALSE(findMenuItem(chooser.menusShown.last(), 13)->checked);
    EXPECT_TRUE(g()->ColumnVisible(SGridMsg::colNo));
    EXPECT_EQ(chooser.messagesShown.size(), 1);

    // Nothing grouped: a visibility change hides the band too.
    g()->setColumnIsGrouped(SGridMsg::colPriorite, false);
    g()->setColumnIsGrouped(SGridMsg::colEtat, false);
    g()->setGroupingBandHidden(false);
    chooser.menuAnswers = {13};
    clicEntete(SGridMsg::colClient, Qt::RightButton);
    EXPECT_FALSE(g()->ColumnVisible(SGridMsg::colNo));
    EXPECT_TRUE(g()->GroupingBandHidden());
}

TEST_F(MenusGrille, RowMenuOnlyOnTheSelectedRowWithTheRightButton) {
    // The release at a height in twips, with the selection as it stands.
    auto relacher = [this](int button, int yTwips) { emit g()->MouseUp(button, 0, 0.0f, float(yTwips)); };
    const int r = g()->Rows();
    g()->setSelectedRow(0);
    relacher(2, 0);
    clic(r, SGridMsg::colClient);
    ASSERT_EQ(chooser.menusShown.size(), 1);
    EXPECT_EQ(g()->SelectedRow(), r);
    int gauche, haut, largeur, hauteur;
    g()->CellBoundary(r, SGridMsg::colNo, gauche, haut, largeur, hauteur);
    relacher(2, haut - 1);
    relacher(2, haut + hauteur + 1);
    relacher(1, haut);
    EXPECT_EQ(chooser.menusShown.size(), 1);

    // The message text band offers no message items; with nothing grouped, no menu at all.
    clic(r, SGridMsg::colMessage);
    EXPECT_EQ(g()->SelectedCol(), SGridMsg::colMessage);
    EXPECT_EQ(chooser.menusShown.size(), 1);

    chooser.menuAnswers = {1};
    clic(r, SGridMsg::colNo);
    EXPECT_TRUE(offre(1) && offre(6) && offre(7));
    EXPECT_FALSE(offre(2) || offre(3) || offre(4));
    EXPECT_FALSE(grille->txtRtfEdit()->isHidden());
    EXPECT_EQ(grille->txtRtfEdit()->tag(), QString::number(r));
}

// A very long text: well past what a 16-bit height holds.
TEST_F(MenusGrille, ACutTextUnfoldsToItsFullHeightAndIsCutBack) {
    QStringList lignes;
    for (int i = 0; i < 3000; ++i)
        lignes << QStringLiteral("Ligne %1").arg(i);
    messageA(40, lignes.join(QLatin1Char('\n')));
    messageA(41, QStringLiteral("Court"));
    remplir();
    const int r = ligne(40);
    EXPECT_GT(grille->HauteurPleine(r), 32767);
    EXPECT_EQ(g()->RowHeight(r), 368);
    EXPECT_EQ(g()->CellForeColor(r, SGridMsg::colMessage), 0x008000);

    chooser.menuAnswers = {2, 3};
    clic(r, SGridMsg::colClient);
    EXPECT_TRUE(offre(2) && !offre(3));
    EXPECT_EQ(g()->RowHeight(r), grille->HauteurPleine(r));
    EXPECT_EQ(g()->CellForeColor(r, SGridMsg::colMessage), 0xC00000);
    clic(r, SGridMsg::colClient);
    EXPECT_TRUE(offre(3) && !offre(2));
    EXPECT_EQ(g()->RowHeight(r), 368);
    EXPECT_EQ(g()->CellForeColor(r, SGridMsg::colMessage), 0x008000);
}

TEST_F(MenusGrille, GroupItemsOnlyWhileGroupedCloseAndOpenEveryGroup) {
    clic(1, SGridMsg::colClient);
    EXPECT_FALSE(offre(4) || offre(5));

    g()->setColumnIsGrouped(SGridMsg::colPriorite, true);
    g()->setColumnIsGrouped(SGridMsg::colExpediteur, true);
    auto groupes = [this](int expanded) {
        int n = 0;
        for (int r = 1; r <= g()->Rows(); ++r)
            if (g()->RowIsGroup(r) && g()->RowExpanded(r) == expanded) ++n;
        return n;
    };
    ASSERT_EQ(groupes(1), 6);
    chooser.menuAnswers = {5, 4};
    ASSERT_FALSE(g()->RowIsGroup(3));
    clic(3, SGridMsg::colMessage); // the text band offers the group items alone
    EXPECT_TRUE(offre(4) && offre(5) && !offre(1));
    EXPECT_EQ(groupes(0), 6);
    clic(1, SGridMsg::colPriorite);
    EXPECT_EQ(groupes(1), 6);
}

TEST_F(MenusGrille, DoubleClickOpensTheMessageInTheFormExceptOnTheText) {
    delete entry::frmSuiviAppel::instance();
    emit g()->DblClick(ligne(2), SGridMsg::colMessage);
    entry::frmSuiviAppel* f = entry::frmSuiviAppel::instance();
    EXPECT_FALSE(f->isVisible());

    emit g()->DblClick(ligne(2), SGridMsg::colDate);
    EXPECT_TRUE(f->isVisible());
    EXPECT_EQ(f->idMessage(), 2);
    EXPECT_EQ(f->frmMere.data(), hote.get());

    g()->setColumnIsGrouped(SGridMsg::colPriorite, true);
    ASSERT_TRUE(g()->RowIsGroup(1));
    emit g()->DblClick(1, SGridMsg::colPriorite);
    EXPECT_EQ(f->idMessage(), 0);
    EXPECT_EQ(errorReports(), 0);
    delete f;
}

TEST_F(MenusGrille, OneMessagePrintsNamedForTheEmployeeAndAGroupRowPrintsNoMessage) {
    // Julie chosen, then "Tous"; 14:03:12 is second 50592 of the day.
    chooser.menuAnswers = {7, 7};
    clic(ligne(2), SGridMsg::colClient);
    grille->setNoEmploye(0);
    clic(ligne(3), SGridMsg::colClient);
    QList<followup::frmBrowserMdi*> v = visionneuses();
    ASSERT_EQ(v.size(), 2);
    QStringList noms{v[0]->StartingAddress, v[1]->StartingAddress};
    noms.sort();
    EXPECT_EQ(noms.join(QLatin1Char(' ')).remove(m_dir.path() + QLatin1Char('/')),
              QStringLiteral("MessagesRecus50592.HTML MessagesRecus_Julie50592.HTML"));
    EXPECT_EQ(v[0]->RapportCaption, QStringLiteral("Messages reçus"));
    EXPECT_TRUE(lire(noms[0]).contains(QStringLiteral("Message 3")) &&
                lire(noms[1]).contains(QStringLiteral("Message 2")));
    qDeleteAll(v);

    // A group row: the report's heading and no message, still shown.
    g()->setColumnIsGrouped(SGridMsg::colExpediteur, true);
    chooser.menuAnswers = {7, 6};
    clic(1, SGridMsg::colExpediteur);
    v = visionneuses();
    ASSERT_EQ(v.size(), 1);
    const QString html = lire(v[0]->StartingAddress);
    EXPECT_TRUE(html.contains(QStringLiteral("<h1>Messages reçus")) &&
                !html.contains(QStringLiteral("<table")));
    delete v[0];
    clic(1, SGridMsg::colExpediteur);
    ASSERT_EQ(classeurs.size(), 1);
    // The title rows at most, read back by an independent reader.
    EXPECT_LE(relire("print(openpyxl.load_workbook(sys.argv[1]).active.max_row)").toInt(), 2);

    // A chosen employee that is gone: reported, nothing written.
    grille->setNoEmploye(99);
    chooser.menuAnswers = {7};
    clic(2, SGridMsg::colClient);
    EXPECT_TRUE(visionneuses().isEmpty());
    EXPECT_EQ(errorReports(), 1);
    EXPECT_EQ(QDir(m_dir.path()).entryList({QStringLiteral("*.HTML")}).size(), 3);
}
