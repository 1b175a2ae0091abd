#include "services/PopupMenus.h"

#include "services/ErrorLogger.h"
#include "support/ScriptedChooser.h"
#include "support/TestDb.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

using platform::Menu;
using platform::MenuItem;
using namespace services;

namespace {

// "id:text" per item, "[title: ...]" for a submenu, "-" for a separator; "*" marks a
// check, "~" a greyed item.
QString describe(const Menu& menu) {
    QStringList parts;
    for (const MenuItem& m : menu)
        parts << (m.separator ? QStringLiteral("-")
                  : !m.submenu.isEmpty() || m.id == 0
                      ? QStringLiteral("[%1: %2]").arg(m.text, describe(m.submenu))
                      : QStringLiteral("%1:%2%3%4")
                            .arg(QString::number(m.id), m.text, QLatin1String(m.checked ? "*" : ""),
                                 QLatin1String(m.greyed ? "~" : "")));
    return parts.join(QStringLiteral(", "));
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
    ASSERT_EQ(chooser.menusShown.size(), 3);
    EXPECT_EQ(
        describe(chooser.menusShown[0]),
        QStringLiteral("1:Modifier le message., 2:Afficher le message au complet., "
                       "3:Rétablir la taille normale de la ligne., [Imprimer le message.: 6:Excel, 7:Html], "
                       "4:Développer tous les groupes, 5:Fermer tous les groupes"));
    EXPECT_EQ(describe(chooser.menusShown[1]),
              QStringLiteral("4:Développer tous les groupes, 5:Fermer tous les groupes"));
    EXPECT_EQ(describe(chooser.menusShown[2]),
              QStringLiteral("1:Modifier le message., 3:Rétablir la taille normale de la ligne., "
                             "[Imprimer le message.: 6:Excel, 7:Html]"));
}

TEST(PopupMenus, HeaderMenuGroupingAndColumnList) {
    ScriptedChooser chooser;
    chooser.menuAnswers = {13};
    const QStringList columns{QStringLiteral("Etat1"), QStringLiteral("Priorité0"), QStringLiteral("No1"),
                              QStringLiteral("De0"),   QStringLiteral("Client1"),   QString()};
    EXPECT_EQ(mnuPopMsgEntete(nullptr, QStringLiteral("Client"), true, columns, true), 13);
    // A grouped column offers "Dégrouper" even where it could not be grouped.
    mnuPopMsgEntete(nullptr, QStringLiteral("Client"), false, columns, false);
    ASSERT_EQ(chooser.menusShown.size(), 2);
    const QString list =
        QStringLiteral("[Colones affichées: 11:Etat*~, 12:Priorité~, 13:No*, 14:De, 15:Client*, 16:*]");
    EXPECT_EQ(describe(chooser.menusShown[0]), QStringLiteral("1:Regrouper par Client, ") + list);
    EXPECT_EQ(describe(chooser.menusShown[1]), QStringLiteral("2:Dégrouper, ") + list);
}

TEST(PopupMenus, PresenceIdsPutTheTargetDigitBeforeTheState) {
    REQUIRE_TEST_DB();
    TestDb db(QStringLiteral("svcmenu"));
    db.db().execute(QStringLiteral("INSERT INTO tbletatpresence (IdEtat, Description) VALUES (1, 'Présent'), "
                                   "(5, 'Congé'), (12, 'Télétravail')"));
    ScriptedChooser chooser;
    chooser.menuAnswers = {212};
    EXPECT_EQ(mnuPopPresences(nullptr), 212);
    ASSERT_EQ(chooser.menusShown.size(), 1);
    EXPECT_EQ(describe(chooser.menusShown[0]),
              QStringLiteral("[AM: 11:Présent, 15:Congé, 112:Télétravail], "
                             "[PM: 21:Présent, 25:Congé, 212:Télétravail], "
                             "[AM/PM: 31:Présent, 35:Congé, 312:Télétravail], "
                             "[Semaine AM/PM: 41:Présent, 45:Congé, 412:Télétravail], -, "
                             "[Effacer texte: -1:AM, -2:PM, -3:AM/PM, -4:Semaine AM/PM]"));
}

TEST(PopupMenus, PresenceMenuIsNotShownWhenTheStatesCannotBeRead) {
    REQUIRE_TEST_DB();
    TestDb db(QStringLiteral("svcmenuerr"));
    QTemporaryDir dir;
    setErrorLogPath(dir.filePath(QStringLiteral("Erreur.log")));
    db.db().execute(QStringLiteral("DROP TABLE tbletatpresence"));
    ScriptedChooser chooser;
    chooser.menuAnswers = {-3};
    // "Effacer texte" alone would let the caller write on a board it cannot trust.
    EXPECT_EQ(mnuPopPresences(nullptr), 0);
    EXPECT_TRUE(chooser.menusShown.isEmpty());
    EXPECT_EQ(db.db().open(QStringLiteral("SELECT COUNT(*) FROM tblerreur")).field(0).toInt(), 1);
    setErrorLogPath(QString());
}

} // namespace
