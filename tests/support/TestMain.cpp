#include "services/Langue.h"
#include "support/Etapes.h"

#include <QApplication>
#include <QSettings>
#include <QTemporaryDir>
#include <gtest/gtest.h>

// Every test binary runs its widgets offscreen unless told otherwise, in French as the program.
// Its settings (the icon's flashing, say) are its own: CTest runs the cases of one binary as
// processes side by side, and a case that unticks "Clignotement icone" must not reach another
// one, nor the settings of the user who runs the tests.
int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    const QTemporaryDir reglages;
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, reglages.path());
    QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, reglages.path());
    QApplication app(argc, argv);
    services::installerFrancais();
    services::installerPolices();
    ::testing::InitGoogleTest(&argc, argv);
    ::testing::UnitTest::GetInstance()->listeners().Append(new etapes::FinDeCas);
    return RUN_ALL_TESTS();
}
