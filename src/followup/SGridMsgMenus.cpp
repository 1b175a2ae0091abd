// The row menu of the message grid (edit, unfold or cut back a text, open or close every
// group, print one message) and the double-click that opens a message in the form.
#include "followup/SGridMsg.h"

#include "entry/frmSuiviAppel.h"
#include "followup/frmBrowserMdi.h"
#include "platform/Database.h"
#include "platform/Grid.h"
#include "services/ExcelSession.h"
#include "services/PopupMenus.h"

#include <QFile>

using platform::Grid;

void SGridMsg::initMenus() {
    connect(m_SGrid, &Grid::ColumnClick, this, &SGridMsg::SGrid_ColumnClick);
    connect(m_SGrid, &Grid::HeaderRightClick, this, &SGridMsg::SGrid_HeaderRightClick);
    connect(m_SGrid, &Grid::MouseUp, this, &SGridMsg::SGrid_MouseUp);
    connect(m_SGrid, &Grid::DblClick, this, &SGridMsg::SGrid_DblClick);
}

void SGridMsg::SGrid_MouseUp(int button, int /*shift*/, float /*x*/, float y) {
    Grid* g = m_SGrid;
    const int r = g->SelectedRow();
    if (button != 2 || r == 0) return;
    // Only a release on the selected row's own height opens the menu.
    int gauche = 0, haut = 0, largeur = 0, hauteur = 0;
    g->CellBoundary(r, colNo, gauche, haut, largeur, hauteur);
    if (y < haut || y > haut + hauteur) return;

    CacherEditeurs();
    FinEditText();

    const bool message = g->SelectedCol() != colMessage;
    const bool complet = HauteurPleine(r) > g->RowHeight(r);
    const bool normale = g->RowHeight(r) > hauteurCoupee();
    bool groupes = false;
    for (int c = 1; c <= colMessage; ++c)
        groupes = groupes || g->ColumnIsGrouped(c);

    switch (services::mnuPopMsg(window(), message, complet, normale, groupes)) {
    case 1:
        ModifierMessage(r);
        break;
    case 2:
        deplierTexte(r, true);
        break;
    case 3:
        deplierTexte(r, false);
        break;
    case 4:
        DevelopperGroupes(true);
        break;
    case 5:
        DevelopperGroupes(false);
        break;
    case 6:
        ExportMsgExcel(services::xlSheet, r);
        break;
    case 7:
        imprimerMessageHTML(r);
        break;
    default:
        break;
    }
}

// The whole text in dark blue, or the row cut back to twenty rows with its text in green.
void SGridMsg::deplierTexte(int row, bool complet) {
    Grid* g = m_SGrid;
    g->setRowHeight(row, complet ? HauteurPleine(row) : hauteurCoupee());
    g->setCellForeColor(row, colMessage, complet ? kBleuFonce : kVert);
    g->setRedraw(true);
}

// One row as an HTML report in a viewer of its own. Unlike the export button, the window
// stays usable meanwhile: one message takes no time.
void SGridMsg::imprimerMessageHTML(int row) {
    if (rapportEnCours()) return;
    QString fichier;
    try {
        fichier = NomFichierHTML(intNoEmploye);
    } catch (const platform::DbError& e) {
        erreur(e, QStringLiteral("SGrid_MouseUp"), e.sql());
        return;
    }
    const bool recu = m_booRecu;
    if (!ExportMsgHTML(fichier, row)) {
        QFile::remove(fichier);
        return;
    }
    auto* v = new followup::frmBrowserMdi;
    v->StartingAddress = fichier;
    v->show();
    v->RapportCaption = recu ? QStringLiteral("Messages reçus") : QStringLiteral("Messages envoyés");
}

void SGridMsg::DevelopperGroupes(bool developper) {
    Grid* g = m_SGrid;
    const int lignes = g->Rows();
    for (int r = 1; r <= lignes; ++r)
        if (g->RowIsGroup(r)) g->setRowExpanded(r, developper ? 1 : 0);
}

// A double-click on the text band opens nothing.
void SGridMsg::SGrid_DblClick(int row, int col) {
    if (col >= colMessage) return;
    setCursor(Qt::WaitCursor);
    entry::frmSuiviAppel* f = entry::frmSuiviAppel::instance();
    f->show();
    // A group row has no message number: the form then shows no message.
    f->ChargeMessage(m_SGrid->CellItemData(row, colNo));
    // Its save then refreshes this list.
    f->frmMere = window();
    if (f->isMinimized()) f->showNormal();
    f->raise();
    f->activateWindow();
    unsetCursor();
}
