// The notification icon flashes while messages wait: it alternates with an empty picture,
// and whatever stops it ("Clignotement icone" unticked, the messages read) leaves the
// picture showing, never the empty half.
#include "services/ErrorLogger.h"
#include "services/Session.h"
#include "shell/TrayIcon.h"
#include "shell/frmUpdate.h"
#include "support/TestDb.h"

#include <QAction>
#include <QImage>
#include <QMenu>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

namespace {

using namespace Qt::StringLiterals;
using shell::TrayIcon;

QImage image(const QIcon& icon) {
    return icon.pixmap(32, 32).toImage().convertToFormat(QImage::Format_ARGB32);
}

bool vide(const QImage& i) {
    for (int y = 0; y < i.height(); ++y)
        for (int x = 0; x < i.width(); ++x)
            if (qAlpha(i.pixel(x, y)) != 0) return false;
    return true;
}

// Every picture the icon takes, as images.
struct Images {
    explicit Images(TrayIcon& tray) {
        QObject::connect(&tray, &TrayIcon::pictureChanged, &tray,
                         [this](const QIcon& i) { vues << image(i); });
    }
    // Waits for the next tick of the flashing; false when none came.
    bool attendre() {
        const qsizetype avant = vues.size();
        return QTest::qWaitFor([&] { return vues.size() > avant; }, 2000);
    }
    QList<QImage> vues;
};

QAction* clignotement(TrayIcon& tray) {
    return tray.menu()->findChild<QAction*>(u"mnuClignotement"_s);
}

TEST(Clignotement, TheIconAlternatesWithABlankAndShowsItsPictureWhenStopped) {
    TrayIcon tray;
    tray.setImage(TrayIcon::MessagesWaiting);
    const QImage attente = image(TrayIcon::picture(TrayIcon::MessagesWaiting));
    ASSERT_FALSE(vide(attente));
    Images images(tray);

    tray.setFlashing(true);
    ASSERT_TRUE(images.attendre()) << "no tick of the flashing";
    EXPECT_TRUE(vide(images.vues.last())) << "the first tick blanks the icon";
    ASSERT_TRUE(images.attendre()) << "no second tick";
    EXPECT_TRUE(images.vues.last() == attente) << "the second tick shows the picture again";
    ASSERT_TRUE(images.attendre()) << "no third tick";
    ASSERT_TRUE(vide(images.vues.last()));

    SCOPED_TRACE("stopped on its blank half: the picture comes back");
    tray.setFlashing(false);
    EXPECT_FALSE(tray.isFlashing());
    EXPECT_TRUE(images.vues.last() == attente) << "the icon stays blank";

    SCOPED_TRACE("\"Clignotement icone\" unticked while it flashes");
    QAction* action = clignotement(tray);
    ASSERT_NE(action, nullptr) << "mnuClignotement";
    tray.setFlashing(true);
    ASSERT_TRUE(images.attendre());
    ASSERT_TRUE(vide(images.vues.last()));
    action->trigger();
    EXPECT_FALSE(action->isChecked());
    EXPECT_FALSE(tray.isFlashing()) << "unticked, the icon still flashes";
    EXPECT_TRUE(images.vues.last() == attente) << "unticked on the blank half, the icon stays blank";
}

// Ticked again while messages wait, the icon flashes again at once, without waiting for
// the next poll.
TEST(Clignotement, TickedAgainWhileMessagesWaitTheIconFlashesAgain) {
    REQUIRE_TEST_DB();
    QTemporaryDir journal;
    services::setErrorLogPath(journal.filePath(u"Erreur.log"_s));
    TestDb base(u"clignote"_s);
    base.runScript(
        u"INSERT INTO tblemploye (NoEmploye, Nom, Actif) VALUES (2, 'Julie', 1), (3, 'Marc', 1);\n"
        "INSERT INTO tblmessageemploye (IdMessage, NoEmplDe, NoEmplA, Nouveau) VALUES (10, 3, 2, 1);\n"_s);
    services::Session::lngNoEmploye = 2;
    QSettings().setValue(u"Clignotement"_s, true); // as a user who never unticked it
    auto db = std::make_unique<platform::Database>();
    db->open(base.config().connectionSettings());
    shell::frmUpdate main(std::move(db), base.config());
    ASSERT_TRUE(main.VerifMessages(false));
    ASSERT_TRUE(main.tray()->isFlashing()) << "one unread message";

    QAction* action = clignotement(*main.tray());
    ASSERT_NE(action, nullptr) << "mnuClignotement";
    action->trigger();
    EXPECT_FALSE(main.tray()->isFlashing()) << "unticked";
    action->trigger();
    EXPECT_TRUE(action->isChecked());
    EXPECT_TRUE(main.tray()->isFlashing()) << "ticked again with a message waiting";
    services::setErrorLogPath(QString());
}

} // namespace
