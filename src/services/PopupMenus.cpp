#include "services/PopupMenus.h"

#include "platform/Database.h"
#include "platform/Dialogs.h"
#include "services/ErrorLogger.h"
#include "services/Session.h"

namespace services {

using platform::Menu;
using platform::MenuItem;

int mnuPopMsg(QWidget* owner, bool message, bool wholeText, bool normalHeight, bool groups) {
    Menu menu;
    // Everything about one message goes with the message items: the text band of a row
    // offers only the group items.
    if (message) {
        menu << MenuItem::item(1, QStringLiteral("Modifier le message."));
        if (wholeText) menu << MenuItem::item(2, QStringLiteral("Afficher le message au complet."));
        if (normalHeight)
            menu << MenuItem::item(3, QStringLiteral("Rétablir la taille normale de la ligne."));
        menu << MenuItem::sub(
            QStringLiteral("Imprimer le message."),
            {MenuItem::item(6, QStringLiteral("Excel")), MenuItem::item(7, QStringLiteral("Html"))});
    }
    if (groups) {
        menu << MenuItem::item(4, QStringLiteral("Développer tous les groupes"));
        menu << MenuItem::item(5, QStringLiteral("Fermer tous les groupes"));
    }
    if (menu.isEmpty()) return 0; // nothing to offer: no empty popup
    return platform::popupMenu(owner, menu);
}

int mnuPopMsgEntete(QWidget* owner, const QString& header, bool notGrouped, const QStringList& columns,
                    bool groupingAllowed) {
    Menu menu;
    if (notGrouped && groupingAllowed) menu << MenuItem::item(1, QStringLiteral("Regrouper par ") + header);
    if (!notGrouped) menu << MenuItem::item(2, QStringLiteral("Dégrouper"));
    Menu shown;
    for (int i = 0; i < columns.size(); ++i) {
        const QString& entry = columns[i];
        const bool visible = !entry.endsWith(QLatin1Char('0'));
        // Columns 1 and 2 can never be hidden: their items are greyed.
        shown << MenuItem::item(10 + i + 1, entry.left(entry.size() - 1), visible, i < 2);
    }
    menu << MenuItem::sub(QStringLiteral("Colones affichées"), shown);
    return platform::popupMenu(owner, menu);
}

int presenceMenuId(int target, int idEtat) {
    int scale = 10;
    while (scale <= idEtat)
        scale *= 10;
    return target * scale + idEtat;
}

int mnuPopPresences(QWidget* owner) {
    static const QString targets[4] = {QStringLiteral("AM"), QStringLiteral("PM"), QStringLiteral("AM/PM"),
                                       QStringLiteral("Semaine AM/PM")};
    Menu states[4];
    const QString sql = QStringLiteral("SELECT IdEtat, Description FROM tbletatpresence");
    try {
        platform::Database* db = Session::cnBD();
        if (!db)
            throw platform::DbError(platform::DbError::kAucuneConnexion,
                                    QStringLiteral("La connexion à la base de données est fermée."), sql);
        for (platform::Recordset rs = db->open(sql); !rs.eof(); rs.moveNext()) {
            const int idEtat = rs.field(QStringLiteral("IdEtat")).toInt();
            const QString description = rs.field(QStringLiteral("Description")).text();
            for (int t = 0; t < 4; ++t)
                states[t] << MenuItem::item(presenceMenuId(t + 1, idEtat), description);
        }
    } catch (const platform::DbError& e) {
        // Without the states the menu would offer nothing true: it is not shown.
        DoErreur(e, QStringLiteral("PopupMenus"), QStringLiteral("mnuPopPresences"));
        return 0;
    } catch (const std::exception& e) {
        DoErreur(e, QStringLiteral("PopupMenus"), QStringLiteral("mnuPopPresences"), sql);
        return 0;
    }
    Menu menu;
    for (int t = 0; t < 4; ++t)
        menu << MenuItem::sub(targets[t], states[t]);
    menu << MenuItem::sep();
    Menu clear;
    for (int t = 0; t < 4; ++t)
        clear << MenuItem::item(-(t + 1), targets[t]);
    menu << MenuItem::sub(QStringLiteral("Effacer texte"), clear);
    return platform::popupMenu(owner, menu);
}

int mnuPopCouleur(QWidget* owner) {
    const Menu menu{MenuItem::item(1, QStringLiteral("Modifier la couleur de fond")),
                    MenuItem::item(2, QStringLiteral("Modifier la couleur du texte"))};
    return platform::popupMenu(owner, menu);
}

int mnuPopTypePresence(QWidget* owner, bool mayRemove, bool mayRecolour) {
    Menu menu{MenuItem::item(1, QStringLiteral("Ajouter un état"))};
    if (mayRecolour) menu << MenuItem::item(2, QStringLiteral("Modifier la couleur"));
    if (mayRemove) menu << MenuItem::item(3, QStringLiteral("Retirer cet état"));
    return platform::popupMenu(owner, menu);
}

} // namespace services
