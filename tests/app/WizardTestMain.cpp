// The main of the wizard's tests: one QApplication for the whole run, on the
// offscreen platform also when CTest only lists them.

#include <gtest/gtest.h>

// Qt
#include <QApplication>

int main(int argc, char* argv[])
{
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
