#include "AppPaths.h"

#include "base/PathUtils.h"
#include "platform/ProgramFiles.h"

#include <QCoreApplication>
#include <QStandardPaths>

namespace qm::app {

std::string UserDataDir() {
    const QByteArray appData = qgetenv("APPDATA");
    std::string base;
    if (!appData.isEmpty()) {
        base = appData.toStdString();
    } else {
        base = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation).toStdString();
        if (base.empty())
            base = QCoreApplication::applicationDirPath().toStdString();
    }
    return JoinPath(base, "quillmate");
}

std::string WorkspaceDir() {
    return IncludeTrailingPathDelimiter(JoinPath(UserDataDir(), "Workspace"));
}

std::string LastProjectFilePath() {
    return JoinPath(UserDataDir(), "last_project.txt");
}

std::string RecoveryDir() {
    return JoinPath(UserDataDir(), "Recovery");
}

std::string ProgramDataDir() {
    std::string dir = platform::FindProgramDataDir(platform::ExecutablePath());
    if (dir.empty())
        dir = platform::FindProgramDataDir(
            (QCoreApplication::applicationDirPath() + QStringLiteral("/quillmate")).toStdString());
    return dir;
}

std::string UserGuideStartPage() {
    const std::string dir = ProgramDataDir();
    if (dir.empty())
        return "";
    const std::string page = JoinPath(dir, "guide/index.html");
    return FileExists(page) ? page : "";
}

} // namespace qm::app
