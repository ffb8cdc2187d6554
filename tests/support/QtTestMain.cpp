// Test main for the tests that need a QApplication: fixed style and locale so
// that pixel positions and texts do not depend on the machine's desktop.
#include <QApplication>
#include <QLocale>
#include <QTemporaryDir>
#include <gtest/gtest.h>

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", qgetenv("QT_QPA_PLATFORM").isEmpty() ? QByteArray("offscreen")
                                                                  : qgetenv("QT_QPA_PLATFORM"));
    // Recovery copies and other user data go to a folder of this run, never
    // to the home of whoever runs the tests.
    QTemporaryDir userData;
    if (qEnvironmentVariableIsEmpty("TESSARIC_KEEP_XDG_DATA_HOME"))
        qputenv("XDG_DATA_HOME", userData.path().toLocal8Bit());
    QApplication::setStyle("Fusion");
    QLocale::setDefault(QLocale::c());
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
