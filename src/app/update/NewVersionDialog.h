#pragma once
// The update dialog: what is new, "Update Now", and "Skip" (or "Exit" when the
// running version may no longer be used). Tag tells start-up whether to go on.
#include "update/UpdateDocuments.h"

#include <QDialog>
#include <QUrl>

class QLabel;
class QProgressBar;
class QPushButton;

namespace qm::app {

class TInstallerDownload;

class TfrmNewVersion final : public QDialog {
    Q_OBJECT
public:
    TfrmNewVersion(const TUpdateNotice& notice, const QUrl& server, QWidget* parent = nullptr);

    // 1: start-up goes on; 0: the program ends.
    [[nodiscard]] int Tag() const { return FTag; }
    [[nodiscard]] bool Downloading() const { return FDownload != nullptr; }

    // What "Update Now" does is the platform's choice (UpdateRunsInstaller);
    // these let the installer path run where it is not the default.
    void SetRunsInstaller(bool runsInstaller) { FRunsInstaller = runsInstaller; }
    void SetDownloadFolder(const QString& folder) { FDownloadFolder = folder; }

    void btUpdateNowClick();
    void btCancelClick();

protected:
    void showEvent(QShowEvent* event) override;
    // Every way of closing comes here: Skip, Exit, Esc, the close box.
    void done(int result) override;

private:
    void FormShow();
    void StartDownload();
    void DownloadFinished();
    void DownloadFailed(const QString& message);
    void OpenDownloadPage();

    QLabel* Label1;
    QLabel* VirtualImage1;
    QPushButton* btUpdateNow;
    QPushButton* btCancel;
    QProgressBar* ProgressBar1;
    TInstallerDownload* FDownload = nullptr;
    QUrl FServer;
    QString FDownloadFolder;
    bool FForced;
    bool FRunsInstaller;
    bool FFailing = false;
    int FTag = 1;
};

} // namespace qm::app
