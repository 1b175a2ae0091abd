#include "services/PopupMenus.h"

#include "services/ErrorLogger.h"
#include "support/ScriptedChooser.h"
#include "support/TestDb.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace platform;
using namespace services;
using namespace Qt::Literals::StringLiterals;

namespace {

// "id:text" per item, "[title: ...]" for a submenu, "-" for a separator; "*" marks a
// check, "~" a greyed item.
QString describe(const Menu& menu) {
    QStringList parts;
    for (const MenuItem& m : menu)
        parts << (m.separator ? u"-"_s
                  : !m.submenu.isEmpty() || m.id == 0
                      ? u"[%1: %2]"_s.arg(m.text, describe(m.submenu))
                      : u"%1:%2%3%4"_s.arg(QString::number(m.id), m.text, QLatin1String(m.checked ? "*" : ""),
                                           QLatin1String(m.greyed ? "~" : "")));
    return parts.join(u", "_s);
}

// Each menu as shown, one per line.
QString shown(const ScriptedChooser& chooser) {
    QStringList menus;
    for (const Menu& m : chooser.menusShown)
        menus << describe(m);
    return menus.join(u'\n');
}

TEST(PopupMenus, MessageMenuItemsFollowTheFlags) {
    ScriptedChooser chooser;
    chooser.menuAnswers = {6, 4};
    EXPECT_EQ(mnuPopMsg(nullptr, true, true, true, true), 6);
    // Without the message items, the text and print items go too.
    EXPECT_EQ(mnuPopMsg(nullptr, false, true, true, true), 4);
    mnuPopMsg(nullptr, true, false, true, false);
    // Nothing to offer: no menu at all.
    EXPECT_EQ(mnuPopMsg(nullptr, false, true, true, false), 0);
    EXPECT_EQ(
        shown(chooser),
        QStringLiteral("1:Modifier le message., 2:Afficher le message au complet., "
                       "3:Rétablir la taille normale de la ligne., [Imprimer le message.: 6:Excel, 7:Html], "
                       "4:Développer tous les groupes, 5:Fermer tous les groupes\n"
                       "4:Développer tous les groupes, 5:Fermer tous les groupes\n"
                       "1:Modifier le message., 3:Rétablir la taille normale de la ligne., "
                       "[Imprimer le message.: 6:Excel, 7:Html]"));
}

// A grouped column offers "Dégrouper" even where it could not be grouped.
TEST(PopupMenus, HeaderMenuGroupingAndColumnList) {
    ScriptedChooser chooser;
    chooser.menuAnswers = {13};
    const QStringList columns = u"Etat1|Priorité0|No1|De0|Client1|"_s.split(u'|'); // name, then shown or not
    EXPECT_EQ(mnuPopMsgEntete(nullptr, u"Client"_s, true, columns, true), 13);
    mnuPopMsgEntete(nullptr, u"Client"_s, false, columns, false);
    const QString list = u"[Colones affichées: 11:Etat*~, 12:Priorité~, 13:No*, 14:De, 15:Client*, 16:*]"_s;
    EXPECT_EQ(shown(chooser), u"1:Regrouper par Client, %1\n2:Dégrouper, %1"_s.arg(list));
}

// A state's id follows its target digit, however many digits the state has; when the states
// cannot be read, no menu is shown ("Effacer texte" alone would let the caller write on a
// board it cannot trust) and the error is stored.
TEST(PopupMenus, PresenceIdsPutTheTargetDigitBeforeTheState) {
    REQUIRE_TEST_DB();
    TestDb db(u"svcmenu"_s);
    db.db().execute(QStringLiteral("INSERT INTO tbletatpresence (IdEtat, Description) VALUES (1, 'Présent'), "
                                   "(5, 'Congé'), (10, 'Télétravail')"));
    ScriptedChooser chooser;
    chooser.menuAnswers = {210};
    EXPECT_EQ(mnuPopPresences(nullptr), 210);
    EXPECT_EQ(shown(chooser), QStringLiteral("[AM: 11:Présent, 15:Congé, 110:Télétravail], "
                                             "[PM: 21:Présent, 25:Congé, 210:Télétravail], "
                                             "[AM/PM: 31:Présent, 35:Congé, 310:Télétravail], "
                                             "[Semaine AM/PM: 41:Présent, 45:Congé, 410:Télétravail], -, "
                                             "[Effacer texte: -1:AM, -2:PM, -3:AM/PM, -4:Semaine AM/PM]"));
    QTemporaryDir dir;
    setErrorLogPath(dir.filePath(u"Erreur.log"_s));
    db.db().execute(u"DROP TABLE tbletatpresence"_s);
    EXPECT_EQ(mnuPopPresences(nullptr), 0);
    EXPECT_EQ(chooser.menusShown.size(), 1);
    EXPECT_EQ(db.db().open(u"SELECT COUNT(*) FROM tblerreur"_s).field(0).toInt(), 1);
    setErrorLogPath(QString());
}

} // namespace
