// main() for GoogleTest binaries that need a QApplication (widgets, the
// browser engine). Runs offscreen unless the caller chose a platform, and
// with the engine's sandbox off when running as root.
#include <QApplication>
#include <gtest/gtest.h>
#include <unistd.h>

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    if (geteuid() == 0)
        qputenv("QTWEBENGINE_DISABLE_SANDBOX", "1");
    qputenv("QTWEBENGINE_CHROMIUM_FLAGS", "--disable-gpu --disable-background-networking --disable-component-update "
                                          "--disable-sync --no-first-run");
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
