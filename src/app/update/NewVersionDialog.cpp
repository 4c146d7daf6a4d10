#include "update/NewVersionDialog.h"

#include "Icons.h"
#include "base/StringUtil.h"
#include "i18n/Translation.h"
#include "update/InstallerDownload.h"
#include "update/UpdatePlatform.h"
#include "update/UpdateServer.h"

#include <QApplication>
#include <QDesktopServices>
#include <QDir>
#include <QHBoxLayout>
#include <QLabel>
#include <QMessageBox>
#include <QProgressBar>
#include <QPushButton>
#include <QScrollArea>
#include <QVBoxLayout>

namespace qm::app {

namespace {
QString T(const char* text) {
    return QString::fromStdString(Translate(text));
}
} // namespace

TfrmNewVersion::TfrmNewVersion(const TUpdateNotice& notice, const QUrl& server, QWidget* parent)
    : QDialog(parent), FServer(server), FForced(notice.Forced),
      FRunsInstaller(UpdateRunsInstaller()) {
    setObjectName(QStringLiteral("frmNewVersion"));
    setWindowTitle(QStringLiteral("New Version"));

    VirtualImage1 = new QLabel;
    VirtualImage1->setObjectName(QStringLiteral("VirtualImage1"));
    VirtualImage1->setPixmap(ThemedIcon(QStringLiteral("update"), palette()).pixmap(56, 56));
    VirtualImage1->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    VirtualImage1->setFixedWidth(70);

    Label1 = new QLabel;
    Label1->setObjectName(QStringLiteral("Label1"));
    // The server's text is shown as written: no markup, links or pictures.
    Label1->setTextFormat(Qt::PlainText);
    Label1->setWordWrap(true);
    Label1->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    Label1->setTextInteractionFlags(Qt::TextSelectableByMouse);
    Label1->setText(QString::fromStdString(notice.Text));
    // A long list of changes scrolls instead of growing the dialog off screen.
    auto* scroll = new QScrollArea;
    scroll->setWidget(Label1);
    scroll->setWidgetResizable(true);
    scroll->setFrameShape(QFrame::NoFrame);
    scroll->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);

    ProgressBar1 = new QProgressBar;
    ProgressBar1->setObjectName(QStringLiteral("ProgressBar1"));
    ProgressBar1->setRange(0, 100);
    ProgressBar1->setValue(0);
    ProgressBar1->setTextVisible(false);
    ProgressBar1->setFixedHeight(17);
    ProgressBar1->hide();

    btUpdateNow = new QPushButton(QStringLiteral("Update Now"));
    btUpdateNow->setObjectName(QStringLiteral("btUpdateNow"));
    btUpdateNow->setDefault(true);
    btCancel = new QPushButton(QStringLiteral("Cancel"));
    btCancel->setObjectName(QStringLiteral("btCancel"));
    btCancel->setAutoDefault(false);
    connect(btUpdateNow, &QPushButton::clicked, this, &TfrmNewVersion::btUpdateNowClick);
    connect(btCancel, &QPushButton::clicked, this, &TfrmNewVersion::btCancelClick);

    auto* top = new QHBoxLayout;
    top->addWidget(VirtualImage1);
    top->addWidget(scroll, 1);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(btUpdateNow);
    buttons->addWidget(btCancel);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top, 1);
    layout->addWidget(ProgressBar1);
    layout->addLayout(buttons);
    resize(470, 250);
}

void TfrmNewVersion::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    FormShow();
}

void TfrmNewVersion::FormShow() {
    FTag = 1;
    setWindowTitle(QStringLiteral(" ") + QApplication::applicationName());
    btUpdateNow->setText(T("Update Now"));
    if (!Downloading())
        btCancel->setText(FForced ? T("Exit") : T("Skip"));
}

void TfrmNewVersion::btCancelClick() {
    if (Downloading()) {
        FDownload->Abort();
        return;
    }
    reject();
}

void TfrmNewVersion::done(int result) {
    // Closing while the installer downloads means stopping the download; the
    // failure it reports then closes the dialog.
    if (Downloading()) {
        FDownload->Abort();
        return;
    }
    if (FFailing)
        return;
    if (FForced)
        FTag = 0;
    QDialog::done(result);
}

void TfrmNewVersion::btUpdateNowClick() {
    if (!FRunsInstaller) {
        // The package manager updates the program here; the page says how.
        OpenDownloadPage();
        accept();
        return;
    }
    // From here the program ends when the dialog closes, whatever happens.
    FForced = true;
    StartDownload();
}

void TfrmNewVersion::StartDownload() {
    btCancel->setText(T("Abort"));
    btUpdateNow->setEnabled(false);
    ProgressBar1->setValue(0);
    ProgressBar1->show();
    QString folder = FDownloadFolder;
    QString error;
    if (folder.isEmpty())
        folder = InstallerDownloadFolder(&error);
    if (folder.isEmpty()) {
        DownloadFailed(error);
        return;
    }
    FDownload = new TInstallerDownload(FServer, folder, this);
    connect(FDownload, &TInstallerDownload::Progress, ProgressBar1, &QProgressBar::setValue);
    connect(FDownload, &TInstallerDownload::Finished, this, &TfrmNewVersion::DownloadFinished);
    FDownload->Start();
}

void TfrmNewVersion::DownloadFinished() {
    TInstallerDownload* download = FDownload;
    FDownload = nullptr;
    download->deleteLater();
    if (!download->Succeeded()) {
        DownloadFailed(download->ErrorMessage());
        return;
    }
    if (!StartInstaller(download->FilePath())) {
        DownloadFailed(QString::fromStdString(
            FormatS(Translate("Cannot start %s."),
                    QDir::toNativeSeparators(download->FilePath()).toStdString())));
        return;
    }
    accept();
}

void TfrmNewVersion::DownloadFailed(const QString& message) {
    FFailing = true;
    auto* box =
        new QMessageBox(QMessageBox::Critical, QApplication::applicationName(),
                        T("Failed to download update. Please download manually on website.") +
                            QStringLiteral("\n\n") + message,
                        QMessageBox::Ok, this);
    box->setAttribute(Qt::WA_DeleteOnClose);
    connect(box, &QMessageBox::finished, this, [this] {
        OpenDownloadPage();
        FFailing = false;
        reject();
    });
    box->open();
}

void TfrmNewVersion::OpenDownloadPage() {
    QDesktopServices::openUrl(UpdateDocumentUrl(FServer, kDownloadPagePath));
}

} // namespace qm::app
