#include "update/InstallerDownload.h"

#include "base/StringUtil.h"
#include "i18n/Translation.h"
#include "update/InstallerChecksum.h"
#include "update/UpdateDocuments.h"
#include "update/UpdateRequests.h"
#include "update/UpdateServer.h"

#include <QDir>
#include <QFile>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QTemporaryFile>

namespace qm::app {

namespace {

constexpr qint64 kMaxChecksumBytes = 4096;
constexpr const char* kInstallerPattern = "quillmate-update-*.exe";
// An installer is tens of megabytes; a server that sends gigabytes is wrong.
constexpr qint64 kMaxInstallerBytes = qint64{1} << 30;
// The download has no overall limit (the user can abort), but a transfer that
// stalls this long fails.
constexpr int kStallTimeoutMs = 30000;

QString T(const char* text) {
    return QString::fromStdString(Translate(text));
}

QString ReplyError(QNetworkReply* reply) {
    const QString refusal = RefusalReason(reply);
    if (!refusal.isEmpty())
        return refusal;
    if (reply->error() == QNetworkReply::OperationCanceledError)
        return T("The update server stopped answering.");
    return reply->errorString();
}

} // namespace

TInstallerDownload::TInstallerDownload(const QUrl& server, const QString& folder, QObject* parent)
    : QObject(parent), FNet(new QNetworkAccessManager(this)), FServer(server), FFolder(folder) {}

TInstallerDownload::~TInstallerDownload() {
    // Going away is no failure to report.
    FFinished = true;
    if (FReply)
        FReply->abort();
}

void TInstallerDownload::Start() {
    // Installers of earlier updates have done their work (one still running
    // is held open by the system and stays).
    const QDir folder(FFolder);
    for (const QString& old :
         folder.entryList({QString::fromLatin1(kInstallerPattern)}, QDir::Files | QDir::Hidden))
        QFile::remove(folder.filePath(old));
    QNetworkReply* reply =
        GetFromUpdateServer(*FNet, UpdateDocumentUrl(FServer, kInstallerChecksumPath),
                            kMaxChecksumBytes, kStallTimeoutMs);
    FReply = reply;
    connect(reply, &QNetworkReply::finished, this, [this, reply] { ChecksumArrived(reply); });
}

void TInstallerDownload::Abort() {
    Fail(T("Download is cancelled. Please download manually."));
}

void TInstallerDownload::ChecksumArrived(QNetworkReply* reply) {
    reply->deleteLater();
    if (FFinished)
        return;
    if (reply->error() != QNetworkReply::NoError) {
        Fail(T("The update server publishes no checksum for the installer.") +
             QStringLiteral(" (") + ReplyError(reply) + QStringLiteral(")"));
        return;
    }
    const QByteArray text = reply->readAll();
    const auto digest =
        ParsePublishedSha256(std::string_view(text.constData(), static_cast<size_t>(text.size())));
    if (!digest) {
        Fail(T("The update server publishes no checksum for the installer."));
        return;
    }
    FPublishedSha256 = *digest;

    // A new file with a name nobody can predict, created exclusively: never
    // one that is already there.
    FFile = std::make_unique<QTemporaryFile>(
        QDir(FFolder).filePath(QString::fromLatin1(kInstallerPattern)
                                   .replace(QLatin1Char('*'), QStringLiteral("XXXXXX"))));
    if (!FFile->open()) {
        Fail(QString::fromStdString(FormatS(Translate("Cannot use the folder %s for the download."),
                                            QDir::toNativeSeparators(FFolder).toStdString())) +
             QStringLiteral(" (") + FFile->errorString() + QStringLiteral(")"));
        return;
    }
    QNetworkReply* installer = GetFromUpdateServer(
        *FNet, UpdateDocumentUrl(FServer, kInstallerPath), kMaxInstallerBytes, kStallTimeoutMs);
    FReply = installer;
    connect(installer, &QNetworkReply::readyRead, this,
            [this, installer] { WriteAvailable(installer); });
    connect(installer, &QNetworkReply::downloadProgress, this,
            [this, installer](qint64 received, qint64 total) {
                // Without a length (chunked transfer) there is no honest
                // percentage before the end; an error page is no progress.
                const int status =
                    installer->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
                if (total > 0 && status == 200 && !FFinished)
                    emit Progress(static_cast<int>(received * 100 / total));
            });
    connect(installer, &QNetworkReply::finished, this,
            [this, installer] { InstallerArrived(installer); });
}

void TInstallerDownload::WriteAvailable(QNetworkReply* reply) {
    if (FFinished || !FFile)
        return;
    const QByteArray chunk = reply->readAll();
    if (FFile->write(chunk) != chunk.size()) {
        Fail(FFile->errorString());
        return;
    }
    FHash.addData(chunk);
}

void TInstallerDownload::InstallerArrived(QNetworkReply* reply) {
    reply->deleteLater();
    if (FFinished)
        return;
    if (reply->error() != QNetworkReply::NoError) {
        Fail(ReplyError(reply));
        return;
    }
    WriteAvailable(reply);
    if (FFinished)
        return;
    if (!FFile->flush()) {
        Fail(FFile->errorString());
        return;
    }
    const QByteArray computed = FHash.result().toHex();
    if (!Sha256Matches(FPublishedSha256, std::string_view(computed.constData(),
                                                          static_cast<size_t>(computed.size())))) {
        Fail(T("The downloaded file does not match the checksum the update server publishes."));
        return;
    }
    FFile->setAutoRemove(false);
    FFilePath = FFile->fileName();
    FFile->close();
    FFile.reset();
    FSucceeded = true;
    Finish();
}

void TInstallerDownload::Fail(const QString& message) {
    if (FFinished)
        return;
    FError = message;
    // An unverified or partial file is never left behind to be started.
    FFile.reset();
    Finish();
}

void TInstallerDownload::Finish() {
    FFinished = true;
    if (FReply)
        FReply->abort();
    emit Finished();
}

} // namespace qm::app
