#include "EtatGridFixture.h"

#include <QClipboard>
#include <QScrollBar>

namespace {
// Double quotes, backslashes, braces, an apostrophe and the old "#'#" marker: all must
// come back as typed.
const QString kTexteDelicat =
    QStringLiteral("Il a dit \"rappelle\" C:\\Dossiers\\2026 {urgent} l'#'# \\par fin");
} // namespace

// Escape saves the text, marks the message read without counting it, and the audit line keeps
// the same characters in front of it. One editor at a time: a picker on another row saves and
// closes the text, the text editor closes the picker, a fill saves the pending text, and a
// message gone meanwhile is reported and shows no editor.
TEST_F(EtatGrille, TextEditSavedByEscapeKeepsADelicateTextAndMarksReadWithoutCounting) {
    messageA(60, kTexteDelicat, 1, 1);
    messageA(61, QStringLiteral("Autre"), 1, 1);
    messageA(64, QStringLiteral("Bientôt parti"));
    messageA(70, QStringLiteral("Court"));
    QStringList lignes;
    for (int i = 0; i < 40; ++i)
        lignes << QStringLiteral("Ligne %1").arg(i);
    messageA(71, lignes.join(QLatin1Char('\n')));
    remplir();
    int r = ligne(60);
    platform::RtfEdit* ed = grille->txtRtfEdit();
    ASSERT_TRUE(ouvrirEtTaper(60, QStringLiteral(" !")));
    EXPECT_EQ(ed->tag(), QString::number(r));
    EXPECT_EQ(ed->text(), kTexteDelicat + QStringLiteral(" !"));
    fermerEditeur();
    EXPECT_TRUE(ed->isHidden());
    EXPECT_TRUE(ed->tag().isEmpty());
    EXPECT_EQ(texteStocke(60), kTexteDelicat + QStringLiteral(" !"));
    EXPECT_EQ(g()->CellText(r, SGridMsg::colMessage), kTexteDelicat + QStringLiteral(" !"));
    EXPECT_EQ(ligneDest(60, 2), (LigneDest{1, QStringLiteral("-"), 0}));
    EXPECT_EQ(ligneDest(61, 2), (LigneDest{1, QStringLiteral("-"), 1}));
    EXPECT_EQ(g()->CellForeColor(r, SGridMsg::colNo), -1);
    EXPECT_TRUE(verifs.isEmpty());
    ASSERT_TRUE(changerEtat(r, QStringLiteral("Terminé")));
    EXPECT_EQ(texteStocke(60), kTexteDelicat + QStringLiteral(" !\r\n") + audit(QStringLiteral("Terminé")));

    ASSERT_TRUE(ouvrirEtTaper(61, QStringLiteral(" modifié")));
    ASSERT_TRUE(demanderEdition(ligne(60), SGridMsg::colEtat));
    EXPECT_TRUE(ed->isHidden());
    EXPECT_EQ(texteStocke(61), QStringLiteral("Autre modifié"));
    ASSERT_TRUE(ouvrirEtTaper(61, QStringLiteral(" suite")));
    EXPECT_TRUE(grille->ImgCbo()->isHidden());
    EXPECT_TRUE(grille->typeEdition().isEmpty());
    remplir();
    EXPECT_TRUE(ed->isHidden());
    EXPECT_EQ(texteStocke(61), QStringLiteral("Autre modifié suite"));
    EXPECT_EQ(g()->CellText(ligne(61), SGridMsg::colMessage), QStringLiteral("Autre modifié suite"));
    EXPECT_EQ(errorReports(), 0);
    exec(QStringLiteral("DELETE FROM tblmessage WHERE IdMessage = 64"));
    EXPECT_FALSE(grille->ModifierMessage(ligne(64)));
    EXPECT_TRUE(ed->isHidden());
    EXPECT_EQ(errorReports(), 1);

    // After a line, the row grows with its text, capped at twenty rows with the text in green.
    ETAPE("the row height after a line");
    ASSERT_EQ(g()->DefaultRowHeight(), 18);
    r = ligne(70);
    ASSERT_TRUE(changerEtat(r, QStringLiteral("En attente")));
    EXPECT_EQ(g()->RowHeight(r), g()->EvaluateTextHeight(r, SGridMsg::colMessage) + 18 + 4);
    EXPECT_GT(g()->EvaluateTextHeight(r, SGridMsg::colMessage), 18); // two lines now
    EXPECT_EQ(g()->CellForeColor(r, SGridMsg::colMessage), 0xC00000);
    r = ligne(71);
    ASSERT_TRUE(changerEtat(r, QStringLiteral("Terminé")));
    EXPECT_EQ(g()->RowHeight(r), 18 * 20 + 8);
    EXPECT_EQ(g()->CellForeColor(r, SGridMsg::colMessage), 0x008000);
}

// Scrolled away, the editor hides without closing; back, it covers the whole text band (as far
// as the grid shows it) under the row's first line; left unchanged, the row gives its room back.
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
    EXPECT_EQ(ed->tag(), QString::number(r));
    g()->verticalScrollBar()->setValue(0);
    const QRect bande = g()->CellRect(r, SGridMsg::colMessage).translated(g()->pos());
    EXPECT_EQ(ed->y(), g()->y() + g()->CellRect(r, SGridMsg::colNo).top() + 1 + g()->DefaultRowHeight());
    EXPECT_EQ(ed->x(), bande.left());
    EXPECT_EQ(ed->geometry().right(),
              std::min(bande.right(), g()->RowsArea().translated(g()->pos()).right()));
    fermerEditeur();
    EXPECT_EQ(g()->RowHeight(r), g()->EvaluateTextHeight(r, SGridMsg::colMessage) + 18 + 4);
}

// A long line without blanks pasted into the editor goes in whole and is saved whole; the row
// then takes the height of its text, cut at twenty rows and green.
TEST_F(EtatGrille, ALongLinePastedIntoTheEditorIsSavedWholeAndItsRowIsCut) {
    messageA(90, QStringLiteral("Clé : "));
    remplir();
    const int r = ligne(90);
    ASSERT_TRUE(grille->ModifierMessage(r));
    platform::RtfEdit* ed = grille->txtRtfEdit();
    ed->moveCursor(QTextCursor::End);
    const QString cle(50'000, QLatin1Char('x'));
    // A long text shown by its ends and its length.
    auto resume = [](const QString& t) {
        return (t.left(12) + QStringLiteral("…") + t.right(12) +
                QStringLiteral(" (%1 caractères, empreinte %2)").arg(t.size()).arg(qHash(t)))
            .toStdString();
    };
    const std::string attendu = resume(QStringLiteral("Clé : ") + cle);
    QApplication::clipboard()->setText(cle);
    ed->paste();
    EXPECT_EQ(ed->wordWrapMode(), QTextOption::WrapAnywhere) << "a word this long is not wrapped at its end";
    EXPECT_EQ(resume(ed->text()), attendu) << "in the editor";
    fermerEditeur();
    ASSERT_TRUE(ed->isHidden());
    EXPECT_EQ(resume(texteStocke(90)), attendu) << "stored";
    EXPECT_EQ(resume(g()->CellText(r, SGridMsg::colMessage)), attendu) << "in the row";
    EXPECT_EQ(g()->RowHeight(r), 18 * 20 + 8);
    EXPECT_EQ(g()->CellForeColor(r, SGridMsg::colMessage), 0x008000);
}
