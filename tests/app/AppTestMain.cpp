// GoogleTest main for the desktop program's tests: a real QApplication on the
// offscreen platform with Qt WebEngine, set up before any test runs.
#include "Spelling.h"

#include <QApplication>
#include <QtWebEngineCore>

#include <gtest/gtest.h>

#include <unistd.h>

#ifdef QUILLMATE_TEST_RECOVERY_CHILD
// RecoveryTest.cpp: this program run as an editing program to be killed.
bool IsEditAndWaitChild();
int RunEditAndWaitChild();
#endif

int main(int argc, char** argv) {
    // gtest_discover_tests runs this binary without the tests' environment,
    // so the defaults are set here.
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    if (geteuid() == 0 && !qEnvironmentVariableIsSet("QTWEBENGINE_DISABLE_SANDBOX"))
        qputenv("QTWEBENGINE_DISABLE_SANDBOX", "1");
    qputenv("QTWEBENGINE_CHROMIUM_FLAGS", "--disable-gpu --disable-background-networking");
    ::testing::InitGoogleTest(&argc, argv);
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Quillmate"));
    QApplication::setOrganizationName(QStringLiteral("QuillmateTests"));
    qm::app::TSpelling::UseProgramDictionaries();
#ifdef QUILLMATE_TEST_RECOVERY_CHILD
    if (IsEditAndWaitChild())
        return RunEditAndWaitChild();
#endif
    return RUN_ALL_TESTS();
}
