#include "EtatGridFixture.h"

#include "entry/frmSuiviAppel.h"

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
    }
    // A click on a column's header (row 0), or a right-click near the top of a cell: the
    // press selects it, the release asks for the row menu.
    void clic(int row, int col, Qt::MouseButton bouton = Qt::RightButton) {
        const QRect cell = g()->CellRect(row ? row : 1, col);
        const int y =
            row ? cell.top() + std::min(cell.height() / 2, 8) : g()->RowsTop() - g()->HeaderHeight() / 2;
        QTest::mouseClick(g()->viewport(), bouton, {},
                          QPoint(cell.center().x(), y) - g()->viewport()->geometry().topLeft());
    }
    void clicEntete(int col, Qt::MouseButton bouton = Qt::LeftButton) { clic(0, col, bouton); }
    // Whether the last menu shown offers the item (no menu shown: it does not).
    bool offre(int item) const {
        return !chooser.menusShown.isEmpty() && findMenuItem(chooser.menusShown.last(), item) != nullptr;
    }

    ScriptedChooser chooser;
};

} // namespace

// The first click on a header sorts ascending, the next one descending; a refill shows no
// sort; a grouped column's click turns the groups' order round and a refill keeps it, with
// the selected message.
TEST_F(MenusGrille, HeaderClicksSortEachColumnInTurnAndAGroupedColumnKeepsItsKey) {
    clicEntete(SGridMsg::colHeure);
    EXPECT_EQ(listed(*grille), (QList<int>{2, 3, 1}));
    clicEntete(SGridMsg::colPriorite); // the time's key goes; priority image 0 is urgent
    EXPECT_EQ(listed(*grille), (QList<int>{2, 1, 3}));
    clicEntete(SGridMsg::colHeure);
    EXPECT_EQ(listed(*grille), (QList<int>{1, 3, 2}));
    remplir();
    EXPECT_EQ(g()->sortKeys().count(), 0);

    g()->setColumnIsGrouped(SGridMsg::colPriorite, true);
    clicEntete(SGridMsg::colPriorite);
    EXPECT_EQ(g()->sortKeys().order(1), platform::kSortDescending);
    EXPECT_EQ(listed(*grille), (QList<int>{3, 1, 2}));
    g()->setSelectedRow(ligne(1));
    remplir(); // the grouping, the groups' order and the selected message stay
    EXPECT_EQ(listed(*grille), (QList<int>{3, 1, 2}));
    EXPECT_EQ(g()->CellItemData(g()->SelectedRow(), SGridMsg::colNo), 1);
    EXPECT_EQ(grille->nbEnreg(), 6);
    EXPECT_TRUE(chooser.menusShown.isEmpty());
}

TEST_F(MenusGrille, HeaderMenuGroupsUngroupsHidesAndShowsColumns) {
    // "No" and "Heure" are never offered for grouping.
    for (int c : {SGridMsg::colNo, SGridMsg::colHeure}) {
        SCOPED_TRACE(c);
        clicEntete(c, Qt::RightButton);
        EXPECT_FALSE(offre(1)); // "Regrouper par"
        EXPECT_FALSE(offre(2)); // "Dégrouper"
    }
    ETAPE("grouped by two columns through the menu; the band shows them, then ungrouped");
    chooser.menuAnswers = {1, 1, 2, 2};
    clicEntete(SGridMsg::colExpediteur, Qt::RightButton);
    ASSERT_TRUE(offre(1));
    EXPECT_EQ(findMenuItem(chooser.menusShown.last(), 1)->text, QStringLiteral("Regrouper par De"));
    clicEntete(SGridMsg::colPriorite, Qt::RightButton);
    EXPECT_EQ(g()->GroupingBandHeight(), 48);
    clicEntete(SGridMsg::colPriorite, Qt::RightButton);
    EXPECT_TRUE(offre(2));
    EXPECT_FALSE(offre(1));
    clicEntete(SGridMsg::colExpediteur, Qt::RightButton);
    EXPECT_TRUE(g()->GroupingBandHidden()); // the last grouping gone

    ETAPE("the last column that lists the rows cannot be hidden");
    for (int c = SGridMsg::colNo; c <= SGridMsg::colDestinataire; ++c)
        if (c != SGridMsg::colClient) g()->setColumnVisible(c, false);
    g()->setColumnIsGrouped(SGridMsg::colPriorite, true);
    g()->setColumnIsGrouped(SGridMsg::colEtat, true);
    chooser.menuAnswers = {14};
    clicEntete(SGridMsg::colClient, Qt::RightButton);
    EXPECT_EQ(chooser.messagesShown,
              QStringList{QStringLiteral("Il doit y avoir au moins une colone affichée en tout temps.")});
    EXPECT_TRUE(g()->ColumnVisible(SGridMsg::colClient));
}

// The row menu comes on a right-button release over the selected row only; the text band
// offers no message items.
TEST_F(MenusGrille, RowMenuOnlyOnTheSelectedRowWithTheRightButton) {
    auto relacher = [this](int button, int yTwips) { emit g()->MouseUp(button, 0, 0.0f, float(yTwips)); };
    const int r = g()->Rows();
    clic(r, SGridMsg::colClient);
    ASSERT_EQ(chooser.menusShown.size(), 1);
    int gauche, haut, largeur, hauteur;
    g()->CellBoundary(r, SGridMsg::colNo, gauche, haut, largeur, hauteur);
    relacher(2, haut - 1);
    relacher(2, haut + hauteur + 1);
    relacher(1, haut);
    clic(r, SGridMsg::colMessage);
    EXPECT_EQ(chooser.menusShown.size(), 1);
}

// A very long text: well past what a 16-bit height holds.
TEST_F(MenusGrille, ACutTextUnfoldsToItsFullHeightAndIsCutBack) {
    QStringList lignes;
    for (int i = 0; i < 3000; ++i)
        lignes << QStringLiteral("Ligne %1").arg(i);
    messageA(40, lignes.join(QLatin1Char('\n')));
    remplir();
    const int r = ligne(40);
    EXPECT_GT(grille->HauteurPleine(r), 32767);
    EXPECT_EQ(g()->CellForeColor(r, SGridMsg::colMessage), 0x008000); // cut when filled
    chooser.menuAnswers = {2, 3};
    for (const auto& [item, hauteur, couleur] :
         {std::tuple{2, grille->HauteurPleine(r), 0xC00000}, {3, 368, 0x008000}}) {
        SCOPED_TRACE(item == 2 ? "unfolded" : "cut back");
        clic(r, SGridMsg::colClient);
        EXPECT_TRUE(offre(item));
        EXPECT_FALSE(offre(5 - item));
        EXPECT_EQ(g()->RowHeight(r), hauteur);
        EXPECT_EQ(g()->CellForeColor(r, SGridMsg::colMessage), couleur);
    }
}

TEST_F(MenusGrille, DoubleClickOpensTheMessageInTheFormExceptOnTheText) {
    delete entry::frmSuiviAppel::instance();
    emit g()->DblClick(ligne(2), SGridMsg::colMessage);
    entry::frmSuiviAppel* f = entry::frmSuiviAppel::instance();
    EXPECT_FALSE(f->isVisible());
    emit g()->DblClick(ligne(2), SGridMsg::colDate);
    EXPECT_TRUE(f->isVisible());
    EXPECT_EQ(f->idMessage(), 2);
    delete f;
}
