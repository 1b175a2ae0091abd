// The shell's own windows read whole in French, whatever state they show.
#include "platform/Database.h"
#include "services/Session.h"
#include "shell/EmployeeChooser.h"
#include "shell/frmUpdate.h"
#include "support/MiseEnPage.h"
#include "support/TestDb.h"

#include <QApplication>
#include <gtest/gtest.h>

// Where there is no notification area the main window shows the state: going inactive
// makes its text longer, and the window grows to show all of it.
TEST(FenetresShell, MainWindowAndChooserReadWholeActiveAndInactive) {
    REQUIRE_TEST_DB();
    TestDb testDb(QStringLiteral("shell_fenetres"));
    services::Session::lngNoEmploye = 2;
    services::Session::strNomEmploye = QStringLiteral("Marie-Ève Létourneau-Desrosiers");
    auto db = std::make_unique<platform::Database>();
    db->open(testDb.config().connectionSettings());
    shell::frmUpdate main(std::move(db), testDb.config());
    main.show();
    QApplication::processEvents();
    EXPECT_EQ(defautsMiseEnPage(&main), "");
    main.goInactive();
    QApplication::processEvents();
    EXPECT_EQ(defautsMiseEnPage(&main), "");

    shell::EmployeeChooser chooser({{2, services::Session::strNomEmploye}, {3, QStringLiteral("Éric Côté")}});
    chooser.show();
    QApplication::processEvents();
    EXPECT_EQ(defautsMiseEnPage(&chooser), "");
    services::Session::strNomEmploye.clear();
}
