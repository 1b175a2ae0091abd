#include "EtatGridFixture.h"

#include <QScrollBar>

namespace {
// Double quotes, backslashes, braces, an apostrophe and the old "#'#" marker: all must
// come back as typed.
const QString kTexteDelicat =
    QStringLiteral("Il a dit \"rappelle\" C:\\Dossiers\\2026 {urgent} l'#'# \\par fin");
} // namespace

TEST_F(EtatGrille, TextEditSavedByEscapeKeepsADelicateTextAndMarksReadWithoutCounting) {
    messageA(60, kTexteDelicat, 1, 1);
    messageA(61, QStringLiteral("Autre"), 1, 1);
    remplir();
    const int r = ligne(60);
    platform::RtfEdit* ed = grille->txtRtfEdit();
    ouvrirEtTaper(60, QStringLiteral(" !"));
    EXPECT_FALSE(ed->isHidden());
    EXPECT_EQ(ed->tag(), QString::number(r));
    EXPECT_EQ(ed->text(), kTexteDelicat + QStringLiteral(" !"));
    fermerEditeur();
    EXPECT_TRUE(ed->isHidden());
    EXPECT_TRUE(ed->tag().isEmpty());
    EXPECT_EQ(texteStocke(60), kTexteDelicat + QStringLiteral(" !"));
    EXPECT_EQ(g()->CellText(r, SGridMsg::colMessage), kTexteDelicat + QStringLiteral(" !"));
    EXPECT_EQ(ligneDest(60, 2), QStringLiteral("1|-|0"));
    EXPECT_EQ(ligneDest(61, 2), QStringLiteral("1|-|1"));
    EXPECT_EQ(g()->CellForeColor(r, SGridMsg::colNo), -1);
    EXPECT_TRUE(verifs.isEmpty());

    // The audit line keeps the same characters in front of it.
    changerEtat(r, QStringLiteral("Terminé"));
    EXPECT_EQ(texteStocke(60), kTexteDelicat + QStringLiteral(" !\r\n") + audit(QStringLiteral("Terminé")));
    EXPECT_EQ(errorReports(), 0);
}

// One editor at a time, a fill saves the pending text, and a message gone meanwhile is
// reported and shows no editor.
TEST_F(EtatGrille, OneEditorAtATimeAndAFillSavesThePendingText) {
    messageA(62, QStringLiteral("Premier"));
    messageA(63, QStringLiteral("Second"));
    messageA(64, QStringLiteral("Bientôt parti"));
    remplir();
    platform::RtfEdit* ed = grille->txtRtfEdit();
    ouvrirEtTaper(62, QStringLiteral(" modifié"));
    // A picker on another row saves and closes the text first.
    ASSERT_TRUE(demanderEdition(ligne(63), SGridMsg::colEtat));
    EXPECT_TRUE(ed->isHidden());
    EXPECT_FALSE(grille->ImgCbo()->isHidden());
    EXPECT_EQ(texteStocke(62), QStringLiteral("Premier modifié"));

    // The text editor closes the picker.
    ouvrirEtTaper(63, QStringLiteral(" suite"));
    EXPECT_TRUE(grille->ImgCbo()->isHidden());
    EXPECT_TRUE(grille->typeEdition().isEmpty());
    EXPECT_FALSE(ed->isHidden());
    remplir();
    EXPECT_TRUE(ed->isHidden());
    EXPECT_EQ(texteStocke(63), QStringLiteral("Second suite"));
    EXPECT_EQ(g()->CellText(ligne(63), SGridMsg::colMessage), QStringLiteral("Second suite"));

    exec(QStringLiteral("DELETE FROM tblmessage WHERE IdMessage = 64"));
    EXPECT_FALSE(grille->ModifierMessage(ligne(64)));
    EXPECT_TRUE(ed->isHidden());
    EXPECT_TRUE(ed->tag().isEmpty());
    EXPECT_EQ(errorReports(), 1);
}

TEST_F(EtatGrille, RowHeightAfterALineIsCappedAtTwentyRowsWithAGreenText) {
    messageA(70, QStringLiteral("Court"));
    QStringList lignes;
    for (int i = 0; i < 40; ++i)
        lignes << QStringLiteral("Ligne %1").arg(i);
    messageA(71, lignes.join(QLatin1Char('\n')));
    remplir();
    ASSERT_EQ(g()->DefaultRowHeight(), 18);
    int r = ligne(70);
    changerEtat(r, QStringLiteral("En attente"));
    EXPECT_EQ(g()->RowHeight(r), g()->EvaluateTextHeight(r, SGridMsg::colMessage) + 18 + 4);
    EXPECT_GT(g()->EvaluateTextHeight(r, SGridMsg::colMessage), 18); // two lines now
    EXPECT_EQ(g()->CellForeColor(r, SGridMsg::colMessage), 0xC00000);
    r = ligne(71);
    changerEtat(r, QStringLiteral("Terminé"));
    EXPECT_EQ(g()->RowHeight(r), 18 * 20 + 8);
    EXPECT_EQ(g()->CellForeColor(r, SGridMsg::colMessage), 0x008000);
}

TEST_F(EtatGrille, ScrollingHidesTheEditorWhileItsRowIsAboveTheGrid) {
    for (int id = 80; id < 110; ++id)
        messageA(id, QStringLiteral("Message %1").arg(id));
    hote->resize(1300, hote->height()); // the whole text band shows
    remplir();
    const int r = ligne(80);
    g()->setSelectedRow(r);
    ASSERT_TRUE(grille->ModifierMessage(r));
    platform::RtfEdit* ed = grille->txtRtfEdit();
    g()->verticalScrollBar()->setValue(g()->verticalScrollBar()->maximum());
    EXPECT_TRUE(ed->isHidden());
    EXPECT_EQ(ed->tag(), QString::number(r)); // still editing: nothing was saved or closed
    g()->verticalScrollBar()->setValue(0);
    EXPECT_FALSE(ed->isHidden());
    EXPECT_EQ(ed->y(), g()->y() + g()->CellRect(r, SGridMsg::colNo).top() + 1 + g()->DefaultRowHeight());
    // It covers the whole text band (as far as the grid shows it); left unchanged, the row
    // gives its room back.
    const QRect bande = g()->CellRect(r, SGridMsg::colMessage).translated(g()->pos());
    EXPECT_EQ(ed->x(), bande.left());
    EXPECT_EQ(ed->geometry().right(),
              std::min(bande.right(), g()->RowsArea().translated(g()->pos()).right()));
    fermerEditeur();
    EXPECT_EQ(g()->RowHeight(r), g()->EvaluateTextHeight(r, SGridMsg::colMessage) + 18 + 4);
}
