// Sorting by a header click, and the header menu: grouping by a column and the choice
// of the columns shown.
#include "followup/SGridMsg.h"

#include "platform/Dialogs.h"
#include "platform/Grid.h"
#include "services/PopupMenus.h"

#include <QApplication>

using platform::Grid;

namespace {
// Columns the header menu speaks of: every one but the message text.
constexpr int kDerniereColonne = SGridMsg::colDestinataire;
} // namespace

// Each column keeps in its tag the order of its next sort, so that it alternates on its
// own whatever happens to the other columns.
void SGridMsg::SGrid_ColumnClick(int col) {
    CacherEditeurs();
    FinEditText();
    Grid* g = m_SGrid;
    platform::SortKeys& cles = g->sortKeys();
    cles.clear(); // the grouped columns' keys stay, first
    int cle = cles.indexOf(col);
    if (cle == 0) cle = cles.add(col);
    if (g->ColumnTag(col).isEmpty()) {
        cles.setOrder(cle, platform::kSortAscending);
        g->setColumnTag(col, QStringLiteral("DESC"));
    } else {
        cles.setOrder(cle, platform::kSortDescending);
        g->setColumnTag(col, QString());
    }
    cles.setSortType(cle, g->ColumnSortType(col));
    QApplication::setOverrideCursor(Qt::WaitCursor);
    g->Sort();
    QApplication::restoreOverrideCursor();
}

void SGridMsg::SGrid_HeaderRightClick(int x, int y) {
    CacherEditeurs();
    FinEditText();
    Grid* g = m_SGrid;
    int nbGroupees = 0, nbVisibles = 0;
    QStringList colonnes;
    for (int c = 1; c <= kDerniereColonne; ++c) {
        if (g->ColumnIsGrouped(c)) ++nbGroupees;
        if (g->ColumnVisible(c)) ++nbVisibles;
        colonnes << g->ColumnHeader(c) + (g->ColumnVisible(c) ? QLatin1Char('1') : QLatin1Char('0'));
    }

    // A click in the grouping band arrives as it is; on the headers, x counts from the
    // columns, to the right of the grouping indent.
    const int bande = 40 + 8 * (nbGroupees - 1);
    const int yBande = y - (g->RowsTop() - g->HeaderHeight() - g->GroupingBandHeight());
    const int col = nbGroupees > 0 && yBande < bande
                        ? g->ColumnAtPoint(x, y)
                        : g->ColumnAtPoint(x + g->DefaultRowHeight() * nbGroupees, y);
    if (col == 0 || col > kDerniereColonne) return;

    // Grouping by every visible column but one would leave no column to list the rows in.
    const bool groupable = col != colNo && col != colHeure && nbGroupees != nbVisibles - 1;
    const bool groupee = g->ColumnIsGrouped(col);
    const int choix =
        services::mnuPopMsgEntete(window(), g->ColumnHeader(col), !groupee, colonnes, groupable);
    if (choix == 1) {
        g->setColumnIsGrouped(col, true);
        // Hidden then shown, so that the band lays itself out for the new level.
        g->setGroupingBandHidden(true);
        g->setGroupingBandHidden(false);
    } else if (choix == 2) {
        g->setColumnIsGrouped(col, false);
        if (nbGroupees == 1) g->setGroupingBandHidden(true);
    } else if (choix > 10 && choix <= 10 + kDerniereColonne) {
        basculerColonne(choix - 10, nbGroupees, nbVisibles);
    }
}

void SGridMsg::basculerColonne(int col, int nbGroupees, int nbVisibles) {
    Grid* g = m_SGrid;
    if (g->ColumnVisible(col) && nbGroupees == nbVisibles - 1) {
        platform::messageBox(window(),
                             QStringLiteral("Il doit y avoir au moins une colone affichée en tout temps."),
                             QString(), platform::MsgIcon::None);
        return;
    }
    g->setColumnVisible(col, !g->ColumnVisible(col));
    bool groupe = false;
    for (int c = 1; c <= kDerniereColonne; ++c)
        groupe = groupe || g->ColumnIsGrouped(c);
    if (!groupe) g->setGroupingBandHidden(true);
}
