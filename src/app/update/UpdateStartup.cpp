#include "update/UpdateStartup.h"

#include "update/NewVersionCheck.h"
#include "update/NewVersionDialog.h"
#include "update/UpdateServer.h"

#include <QApplication>

namespace qm::app {

TUpdateStartup::TUpdateStartup(QObject* parent) : QObject(parent) {}

TUpdateStartup::~TUpdateStartup() {
    delete FDialog;
}

void TUpdateStartup::Start(const QString& address) {
    const auto server = UpdateServerUrl(address);
    if (!server) {
        Emit(true);
        return;
    }
    FServer = *server;
    // The dialog may be the only window for a while: closing it must not end
    // the application before the main window exists.
    FQuitOnLastWindowClosed = QApplication::quitOnLastWindowClosed();
    QApplication::setQuitOnLastWindowClosed(false);
    FCheck = new TNewVersionCheck(this);
    connect(FCheck, &TNewVersionCheck::Finished, this, &TUpdateStartup::CheckFinished);
    FCheck->Start(FServer);
}

void TUpdateStartup::CheckFinished() {
    FCheck->deleteLater();
    const auto notice = FCheck->Notice();
    FCheck = nullptr;
    if (!notice) {
        Emit(true);
        return;
    }
    FDialog = new TfrmNewVersion(*notice, FServer);
    FDialog->setWindowModality(Qt::ApplicationModal);
    connect(FDialog, &QDialog::finished, this, &TUpdateStartup::DialogClosed);
    FDialog->show();
}

void TUpdateStartup::DialogClosed() {
    const bool goOn = FDialog->Tag() != 0;
    FDialog->deleteLater();
    FDialog = nullptr;
    Emit(goOn);
}

void TUpdateStartup::Emit(bool goOn) {
    if (FDone)
        return;
    FDone = true;
    if (goOn)
        emit Continue();
    else
        emit End();
    if (FServer.isValid())
        QApplication::setQuitOnLastWindowClosed(FQuitOnLastWindowClosed);
}

} // namespace qm::app
