// The legend under the board: one cell per presence state, in the state's colour. With
// the right to manage the board a user adds, recolours, removes and renames states here;
// state 1, the default, can be renamed but neither recoloured nor removed.

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
#include <cmath>

namespace presence {

namespace {
const QString kForm = QStringLiteral("frmPresence");
const QString kValeurRequise = QStringLiteral("Vous devez saisir une valeur");
constexpr qint64 kBleuPale = 0xFFC0C0; // a new state's proposed colour
} // namespace

void frmPresence::SGridEtat_MouseUp(int Button, int /*Shift*/, float X, float Y) {
    SGridEtat->setRedraw(true);
    if (Button != 2 || !booAccesGestion) return;
    // The state under the mouse, whatever was selected before.
    int row = 0, col = 0;
    SGridEtat->CellFromPoint(platform::twipsToPixelsX(int(std::lround(X))),
                             platform::twipsToPixelsY(int(std::lround(Y))), row, col);
    if (row == 0 || col < 1 || col > SGridEtat->Columns() || !ValiderEdition()) return;

    const qint32 idEtat = SGridEtat->CellItemData(row, col);
    QString sql;
    try {
        bool retirer = false;
        const bool recolorer = idEtat >= 2;
        if (recolorer) {
            sql = sqlEtatUtilise(idEtat);
            retirer = cn().open(sql).eof();
        }
        sql.clear();
        switch (services::mnuPopTypePresence(this, retirer, recolorer)) {
        case 1: {
            const QString invite = QStringLiteral("Entrez la description de l'état à ajouter");
            std::optional<QString> description = platform::inputBox(this, invite, QString());
            // The column holds 50 characters: a longer name is given back to shorten.
            while (description && platform::nombreCaracteres(*description) > kLongueurEtat) {
                platform::messageBox(
                    this,
                    QStringLiteral("La description ne peut dépasser %1 caractères.").arg(kLongueurEtat));
                description = platform::inputBox(this, invite, QString(), *description);
            }
            if (!description) return;
            if (description->isEmpty()) {
                platform::messageBox(this, kValeurRequise, QString(), platform::MsgIcon::None);
                return;
            }
            const std::optional<QColor> couleur =
                platform::chooseColor(this, platform::colorFromBgr(kBleuPale));
            if (!couleur) return;
            sql = sqlAjouterEtat(*description, platform::bgrFromColor(*couleur));
            cn().execute(sql);
            InitSgridEtat();
            break;
        }
        case 2: {
            const std::optional<QColor> couleur =
                platform::chooseColor(this, platform::colorFromBgr(SGridEtat->CellBackColor(row, col)));
            if (!couleur) return;
            sql = sqlCouleurEtat(idEtat, platform::bgrFromColor(*couleur));
            cn().execute(sql);
            InitSgridEtat();
            Remplir();
            break;
        }
        case 3: {
            if (platform::messageBox(this, QStringLiteral("Voulez-vous vraiment supprimer cet état?"),
                                     QString(), platform::MsgIcon::Question,
                                     platform::MsgButtons::YesNo) != platform::MsgResult::Yes)
                return;
            sql = sqlRetirerEtatInutilise(idEtat);
            cn().execute(sql);
            InitSgridEtat();
            // Used on another workstation since the menu was made: the state stays.
            for (int c = 1; c <= SGridEtat->Columns(); ++c) {
                if (SGridEtat->CellItemData(1, c) == idEtat) {
                    platform::messageBox(this,
                                         QStringLiteral("Cet état est utilisé; il n'a pas été retiré."));
                    break;
                }
            }
            break;
        }
        default:
            break;
        }
    } catch (const platform::DbError& e) {
        services::DoErreur(e, kForm, QStringLiteral("SGridEtat_MouseUp"));
        InitSgridEtat();
    } catch (const std::exception& e) {
        services::DoErreur(e, kForm, QStringLiteral("SGridEtat_MouseUp"), sql);
    }
}

void frmPresence::SGridEtat_RequestEdit(int row, int col, int key, bool& cancel) {
    cancel = true;
    if (!booAccesGestion) return;
    try {
        ouvrirEditeur(SGridEtat, row, col, QStringLiteral("Etat"), kLongueurEtat);
        ajouterToucheTapee(key);
    } catch (const std::exception& e) {
        services::DoErreur(e, kForm, QStringLiteral("SGridEtat_RequestEdit"));
    }
}

void frmPresence::SGridEtat_SelChange(int row, int col) {
    // A selected state keeps showing its colour.
    SGridEtat->setSelectionBackColor(SGridEtat->CellBackColor(row, col));
}

bool frmPresence::commitEtat() {
    const QString texte = platform::couperTexte(txtEdit->text(), kLongueurEtat);
    if (texte.isEmpty()) {
        // Nothing is saved and the old name stays; the edit ends.
        platform::messageBox(this, kValeurRequise, QString(), platform::MsgIcon::None);
        return true;
    }
    return ecrireEdition([this, &texte](QString& sql) {
        sql = sqlRenommerEtat(SGridEtat->CellItemData(lngLigneEdit, lngColEdit), texte);
        cn().execute(sql);
        SGridEtat->setCellText(lngLigneEdit, lngColEdit, texte);
        SGridEtat->setColumnHeader(lngColEdit, texte);
        SGridEtat->setRedraw(true);
    });
}

} // namespace presence
