#include "platform/Dialogs.h"

#include <QApplication>
#include <QMenu>
#include <QTimer>
#include <gtest/gtest.h>

using platform::Menu;
using platform::MenuItem;

namespace {

// The real menu, as a person would see it: an empty submenu is a greyed title that
// cannot be chosen, never an item that returns 0 as if it were a choice.
TEST(DialogsSeam, AnEmptySubmenuIsAGreyedTitleNotAnItem) {
    const Menu menu{MenuItem::sub(QStringLiteral("AM"), {}),
                    MenuItem::sub(QStringLiteral("PM"), {MenuItem::item(21, QStringLiteral("Présent"))}),
                    MenuItem::item(-1, QStringLiteral("Effacer"))};
    // What the menu held, read while it is open: "s" a submenu, "+" enabled, then the id.
    QStringList seen;
    QTimer::singleShot(0, [&] {
        if (auto* shown = qobject_cast<QMenu*>(QApplication::activePopupWidget())) {
            for (QAction* a : shown->actions())
                seen << (a->menu() ? QStringLiteral("s") : QString()) +
                            (a->isEnabled() ? QStringLiteral("+") : QString()) + a->data().toString();
            shown->close();
        }
    });
    EXPECT_EQ(platform::popupMenu(nullptr, menu), 0);
    EXPECT_EQ(seen, (QStringList{QStringLiteral("s"), QStringLiteral("s+"), QStringLiteral("+-1")}));
    // Looking an id up never finds a submenu's title.
    EXPECT_EQ(platform::findMenuItem(menu, 0), nullptr);
}

} // namespace
