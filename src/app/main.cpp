// quillmate: the desktop program.
#include "AppPaths.h"
#include "MainWindow.h"
#include "QtTranslations.h"
#include "QuillmateVersion.h"
#include "Spelling.h"
#include "base/PathUtils.h"
#include "i18n/Translation.h"
#include "platform/ProgramFiles.h"
#include "update/UpdateServer.h"
#include "update/UpdateStartup.h"

#include <QApplication>
#include <QIcon>
#include <QSettings>
#include <QStyleFactory>

#include <cstdio>
#include <cstring>
#include <memory>

namespace {

// Answered before Qt starts, so both work without a display (in a terminal
// over ssh, in CI).
bool AnswerInfoOption(int argc, char** argv) {
    for (int i = 1; i < argc; ++i) {
        const char* a = argv[i];
        if (std::strcmp(a, "--") == 0)
            return false;
        if (std::strcmp(a, "--help") == 0 || std::strcmp(a, "-h") == 0) {
            std::fputs(
                "Usage: quillmate [PROJECT.hff]\n"
                "\n"
                "Opens the help project PROJECT.hff in the Quillmate editor; without one, the\n"
                "project opened last, or a new untitled project.\n"
                "\n"
                "Options:\n"
                "  -h, --help     print this help\n"
                "  -V, --version  print the version and that of the program files found\n"
                "\n"
                "Qt's own options (such as -platform offscreen) are accepted too.\n"
                "Publishing and link checks from scripts and CI: quillmate-cli --help.\n",
                stdout);
            return true;
        }
        if (std::strcmp(a, "--version") == 0 || std::strcmp(a, "-V") == 0) {
            std::printf("quillmate %s\nprogram files: %s\n", qm::kVersion,
                        qm::platform::DescribeProgramFiles(qm::platform::ExecutablePath()).c_str());
            return true;
        }
    }
    return false;
}

} // namespace

int main(int argc, char** argv) {
    if (AnswerInfoOption(argc, argv))
        return 0;
    // Chromium refuses its sandbox as root (CI and containers run as root).
    if (geteuid() == 0 && !qEnvironmentVariableIsSet("QTWEBENGINE_DISABLE_SANDBOX"))
        qputenv("QTWEBENGINE_DISABLE_SANDBOX", "1");
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Quillmate"));
    QApplication::setOrganizationName(QStringLiteral("Quillmate"));
    QApplication::setApplicationVersion(QString::fromLatin1(qm::kVersion));
    // Ties the windows to the installed desktop entry (its icon on Wayland).
    QGuiApplication::setDesktopFileName(QStringLiteral("org.quillmate.Quillmate"));
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/icons/app.svg")));
    QApplication::setStyle(QStyleFactory::create(QStringLiteral("Fusion")));

    const std::string dataDir = qm::app::ProgramDataDir();
    const QString stored = QSettings().value(QStringLiteral("CurrentLanguage")).toString();
    qm::LoadTranslation(qm::JoinPath(dataDir, "transl.qz"),
                        stored.isEmpty() ? qm::SystemLanguageCode() : stored.toStdString());
    qm::app::UseQtTranslations(qm::TranslationState().CurrentCode);
    qm::app::TSpelling::UseProgramDictionaries();

    QStringList args = QApplication::arguments();
    args.removeFirst();
    // The update check comes first; a required update ends the program before
    // any window exists.
    std::unique_ptr<qm::app::TfrmMain> window;
    qm::app::TUpdateStartup update;
    QObject::connect(&update, &qm::app::TUpdateStartup::Continue, [&] {
        window = std::make_unique<qm::app::TfrmMain>(args);
        window->showMaximized();
    });
    QObject::connect(&update, &qm::app::TUpdateStartup::End, &app, &QCoreApplication::quit,
                     Qt::QueuedConnection);
    update.Start(qm::app::ConfiguredUpdateServer());
    return QApplication::exec();
}
