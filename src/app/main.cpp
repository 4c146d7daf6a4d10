// quillmate: the desktop program.
#include "AppPaths.h"
#include "MainWindow.h"
#include "QtTranslations.h"
#include "base/PathUtils.h"
#include "i18n/Translation.h"
#include "update/UpdateServer.h"
#include "update/UpdateStartup.h"

#include <QApplication>
#include <QSettings>
#include <QStyleFactory>

#include <memory>

int main(int argc, char** argv) {
    // Chromium refuses its sandbox as root (CI and containers run as root).
    if (geteuid() == 0 && !qEnvironmentVariableIsSet("QTWEBENGINE_DISABLE_SANDBOX"))
        qputenv("QTWEBENGINE_DISABLE_SANDBOX", "1");
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Quillmate"));
    QApplication::setOrganizationName(QStringLiteral("Quillmate"));
    QApplication::setStyle(QStyleFactory::create(QStringLiteral("Fusion")));

    const std::string dataDir = qm::app::ProgramDataDir();
    const QString stored = QSettings().value(QStringLiteral("CurrentLanguage")).toString();
    qm::LoadTranslation(qm::JoinPath(dataDir, "transl.qz"),
                        stored.isEmpty() ? qm::SystemLanguageCode() : stored.toStdString());
    qm::app::UseQtTranslations(qm::TranslationState().CurrentCode);

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
