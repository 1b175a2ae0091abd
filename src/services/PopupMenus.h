#pragma once

#include <QString>
#include <QStringList>

class QWidget;

// Context menus built anew at each right-click, with fixed item numbers. Each shows
// the menu at the mouse cursor and returns the chosen number, 0 when dismissed.
namespace services {

// Message grid row: "Modifier le message." (1), "Afficher le message au complet." (2),
// "Rétablir la taille normale de la ligne." (3), "Imprimer le message." > Excel (6) / Html (7),
// "Développer tous les groupes" (4), "Fermer tous les groupes" (5).
int mnuPopMsg(QWidget* owner, bool message, bool wholeText, bool normalHeight, bool groups);

// Message grid header: "Regrouper par <header>" (1), "Dégrouper" (2) and the shown-columns
// submenu; each column entry ends with its visibility flag "0" or "1", its item is 10 + its
// position from 1.
int mnuPopMsgEntete(QWidget* owner, const QString& header, bool notGrouped, const QStringList& columns,
                    bool groupingAllowed);

// Presence cell: the presence states under "AM", "PM", "AM/PM" and "Semaine AM/PM", numbered
// with the target digit 1..4 written in front of the state number; "Effacer texte" gives -1..-4.
int mnuPopPresences(QWidget* owner);

// Events row: background (1) or text (2) colour.
int mnuPopCouleur(QWidget* owner);

// Presence-state legend: add (1), recolour (2), remove (3).
int mnuPopTypePresence(QWidget* owner, bool mayRemove, bool mayRecolour);

// Number of a presence-menu item: target 1..4 followed by the digits of the state.
int presenceMenuId(int target, int idEtat);

} // namespace services
