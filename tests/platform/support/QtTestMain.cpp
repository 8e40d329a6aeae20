// The main of the widget tests: one QApplication for the whole run, on the
// offscreen platform unless told otherwise (also when CTest only lists the
// tests), with the folders the choosers remember kept in a folder of the
// run's own, never in the user's settings.

#include <gtest/gtest.h>

// Qt
#include <QApplication>
#include <QSettings>
#include <QTemporaryDir>

int main(int argc, char* argv[])
{
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const QTemporaryDir settings;
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, settings.path());
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
