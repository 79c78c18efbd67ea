#include <gtest/gtest.h>

#include <QApplication>

#include "app/application.h"

// Test discovery runs this binary while building, where no display is set:
// the offscreen platform is chosen here rather than in the test environment.
int main(int argc, char** argv)
{
    ::testing::InitGoogleTest(&argc, argv);
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    app::setUpApplication();  // the game's names and fonts
    return RUN_ALL_TESTS();
}
