// GoogleTest main for the desktop program's tests: a real QApplication on the
// offscreen platform with Qt WebEngine, set up before any test runs.
#include "Spelling.h"

#include <QApplication>
#include <QtWebEngineCore>

#include <gtest/gtest.h>

#include <unistd.h>

// RecoveryTest.cpp: this program run as an editing program to be killed.
bool IsEditAndWaitChild();
int RunEditAndWaitChild();

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
    if (IsEditAndWaitChild())
        return RunEditAndWaitChild();
    return RUN_ALL_TESTS();
}
