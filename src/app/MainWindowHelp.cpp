// Help > User's Guide: the guide ships as WebHelp among the program files and
// opens in the desktop's browser, like any published help.
#include "AppPaths.h"
#include "MainWindow.h"
#include "i18n/Translation.h"

#include <QDesktopServices>
#include <QUrl>

namespace qm::app {

void TfrmMain::UserGuideCommand() {
    const std::string page = UserGuideStartPage();
    if (page.empty()) {
        FPrompts->ShowWarning(Translate("The user's guide is not installed with the program."));
        return;
    }
    if (FOpenOutputs)
        QDesktopServices::openUrl(QUrl::fromLocalFile(QString::fromStdString(page)));
}

} // namespace qm::app
