// quillmate: the desktop program.
#include "AppPaths.h"
#include "MainWindow.h"
#include "QtTranslations.h"
#include "Spelling.h"
#include "base/PathUtils.h"
#include "i18n/Translation.h"

#include <QApplication>
#include <QSettings>
#include <QStyleFactory>

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
    qm::app::TSpelling::UseProgramDictionaries();

    QStringList args = QApplication::arguments();
    args.removeFirst();
    qm::app::TfrmMain window(args);
    window.showMaximized();
    return QApplication::exec();
}
