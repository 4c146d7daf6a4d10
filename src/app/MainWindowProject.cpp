// Project-level commands: the menu and buttons hand them to the project
// commands of the core; the output folder is the desktop's to show.
#include "MainWindow.h"

#include "base/PathUtils.h"
#include "model/DocModel.h"
#include "workspace/ProjectCommands.h"

#include <QDesktopServices>
#include <QUrl>

namespace qm::app {

void TfrmMain::NewProjectCommand() {
    FCommands->New();
}

void TfrmMain::OpenProjectCommand() {
    FCommands->OpenCommand();
}

void TfrmMain::OpenProject(const std::string& fileName) {
    FCommands->OpenProject(fileName);
}

bool TfrmMain::SaveCommand() {
    return FCommands->Save();
}

bool TfrmMain::SaveAsCommand() {
    return FCommands->SaveAs();
}

void TfrmMain::CommitWorkingState() {
    FCommands->CommitWorkingState();
}

void TfrmMain::OpenOutputFolderCommand() {
    const std::string build = JoinPath(Project().RootPath, "build");
    if (DirectoryExists(build))
        QDesktopServices::openUrl(QUrl::fromLocalFile(QString::fromStdString(build)));
}

} // namespace qm::app
