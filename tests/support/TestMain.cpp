#include "services/Langue.h"
#include "support/Etapes.h"

#include <QApplication>
#include <gtest/gtest.h>

// Every test binary runs its widgets offscreen unless told otherwise, in French as the program.
int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    services::installerFrancais();
    services::installerPolices();
    ::testing::InitGoogleTest(&argc, argv);
    ::testing::UnitTest::GetInstance()->listeners().Append(new etapes::FinDeCas);
    return RUN_ALL_TESTS();
}
