#pragma once
// Fetches the installer and the SHA-256 the server publishes beside it, into a
// new file with a unique name; only a file whose digest matches is kept. The
// checksum comes first, so a server without one costs no installer download.
#include <QCryptographicHash>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QUrl>

#include <memory>
#include <string>

class QNetworkAccessManager;
class QNetworkReply;
class QTemporaryFile;

namespace qm::app {

class TInstallerDownload final : public QObject {
    Q_OBJECT
public:
    // folder: where the file goes (InstallerDownloadFolder); server: the
    // update server's address.
    TInstallerDownload(const QUrl& server, const QString& folder, QObject* parent = nullptr);
    ~TInstallerDownload() override;

    void Start();
    // Stops the transfer; Finished follows with the "cancelled" message.
    void Abort();

    [[nodiscard]] bool IsFinished() const { return FFinished; }
    [[nodiscard]] bool Succeeded() const { return FSucceeded; }
    // The verified installer (only after success).
    [[nodiscard]] const QString& FilePath() const { return FFilePath; }
    // Why it failed, translated, for the failure message.
    [[nodiscard]] const QString& ErrorMessage() const { return FError; }

signals:
    // Percent of the installer received; only sent when its size is known.
    void Progress(int percent);
    void Finished();

private:
    void ChecksumArrived(QNetworkReply* reply);
    void InstallerArrived(QNetworkReply* reply);
    void WriteAvailable(QNetworkReply* reply);
    void Fail(const QString& message);
    void Finish();

    QNetworkAccessManager* FNet;
    QUrl FServer;
    QString FFolder;
    QPointer<QNetworkReply> FReply;
    std::unique_ptr<QTemporaryFile> FFile;
    QCryptographicHash FHash{QCryptographicHash::Sha256};
    std::string FPublishedSha256;
    QString FFilePath;
    QString FError;
    bool FFinished = false;
    bool FSucceeded = false;
};

} // namespace qm::app
