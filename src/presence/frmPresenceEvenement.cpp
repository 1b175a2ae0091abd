// The events row of the board: its colours through the colour menu, its text through the
// in-place editor. Every change is stored as the day's row of tblevenement; clearing the
// text removes the row, and the day shows its holiday and birthdays again.

#include "presence/PresenceEditQueries.h"
#include "presence/frmPresence.h"

#include "platform/Database.h"
#include "platform/Dialogs.h"
#include "platform/Grid.h"
#include "platform/TexteLimite.h"
#include "platform/Units.h"
#include "services/ErrorLogger.h"
#include "services/PopupMenus.h"

#include <QLineEdit>

namespace presence {

namespace {
const QString kForm = QStringLiteral("frmPresence");
}

void frmPresence::couleurEvenement(int row, int col) {
    const int choix = services::mnuPopCouleur(this);
    if (choix != 1 && choix != 2) return;
    const qint64 avant = choix == 1 ? SGrid->CellBackColor(row, col) : SGrid->CellForeColor(row, col);
    const std::optional<QColor> couleur = platform::chooseColor(this, platform::colorFromBgr(avant));
    if (!couleur) return; // cancelled: nothing changes, nothing is said

    QString sql;
    try {
        const qint64 bgr = platform::bgrFromColor(*couleur);
        if (choix == 1)
            SGrid->setCellBackColor(row, col, bgr);
        else
            SGrid->setCellForeColor(row, col, bgr);
        // A day without a row keeps what the cell shows (a holiday's name, birthday lines)
        // with its colours; a stored day changes in that colour only.
        sql = sqlEcrireEvenement(DateColonne(col),
                                 platform::couperTexte(SGrid->CellText(row, col), kLongueurNote),
                                 SGrid->CellBackColor(row, col), SGrid->CellForeColor(row, col),
                                 choix == 1 ? ChampEvenement::BackColor : ChampEvenement::ForeColor);
        cn().execute(sql);
        return;
    } catch (const platform::DbError& e) {
        services::DoErreur(e, kForm, QStringLiteral("SGrid_MouseUp"));
    } catch (const std::exception& e) {
        services::DoErreur(e, kForm, QStringLiteral("SGrid_MouseUp"), sql);
    }
    echecEcriture();
}

bool frmPresence::commitEvenement() {
    return ecrireEdition([this](QString& sql) {
        const QDate date = DateColonne(lngColEdit);
        const QString texte = platform::couperTexte(txtEdit->text(), kLongueurNote);
        if (texte.isEmpty()) {
            sql = sqlSupprimerEvenement(date);
            cn().execute(sql);
            GetEvenement(lngLigneEdit, lngColEdit);
        } else {
            sql = sqlEcrireEvenement(date, texte, SGrid->CellBackColor(lngLigneEdit, lngColEdit),
                                     SGrid->CellForeColor(lngLigneEdit, lngColEdit),
                                     ChampEvenement::Description);
            cn().execute(sql);
            SGrid->setCellText(lngLigneEdit, lngColEdit, texte);
        }
        SGrid->setRedraw(true);
    });
}

} // namespace presence
