// The installer download of "Update Now" (the Windows path, which runs the
// same here): only a file whose SHA-256 matches the published one is kept,
// and every failure reaches the user as the failed-download message.
#include "UpdateServerFixture.h"

#include "update/InstallerDownload.h"
#include "update/NewVersionDialog.h"
#include "update/UpdatePlatform.h"
#include "update/UpdateServer.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QNetworkReply>
#include <QProgressBar>
#include <QPushButton>

#include <string>

#include <sys/stat.h>

using namespace qm;
using namespace qm::app;
using namespace qm::test;

namespace {

constexpr int kDeadlineMs = 15000;
const std::string kChecksumPath(kInstallerChecksumPath);
const std::string kExePath(kInstallerPath);

std::string Installer(char fill) {
    // Big enough to arrive in several pieces.
    return std::string(300 * 1024, fill) + "MZ-end";
}

std::string Sha256Hex(const std::string& bytes) {
    return QCryptographicHash::hash(QByteArray::fromStdString(bytes), QCryptographicHash::Sha256)
        .toHex()
        .toStdString();
}

QStringList FilesIn(const QString& folder) {
    return QDir(folder).entryList(QDir::Files | QDir::Hidden);
}

// Whether the download is fetching path (and has not given up on it).
bool Requesting(const QObject& download, const std::string& path) {
    for (const QNetworkReply* reply : download.findChildren<QNetworkReply*>()) {
        if (reply->isRunning() && reply->url().path().endsWith(QString::fromStdString(path)))
            return true;
    }
    return false;
}

QPushButton* Button(QWidget* dialog, const char* name) {
    return dialog->findChild<QPushButton*>(QString::fromLatin1(name));
}

} // namespace

class InstallerDownload : public TUpdateServerTest {};

TEST_F(InstallerDownload, KeepsOnlyAVerifiedInstaller) {
    const std::string good = Installer('a');
    const std::string sum = Sha256Hex(good) + "  quillmate.exe\n";
    Put("good", kExePath, good);
    Put("good", kChecksumPath, sum);
    Put("chunked", kExePath + ".chunked", good);
    Put("chunked", kChecksumPath, sum);
    Put("mismatch", kExePath, Installer('b'));
    Put("mismatch", kChecksumPath, sum);
    Put("no-checksum", kExePath, good);
    Put("not-a-checksum", kExePath, good);
    Put("not-a-checksum", kChecksumPath, "<html><body>Not here</body></html>\n");
    Put("no-installer", kChecksumPath, sum);
    Put("redirect-to-http", kChecksumPath, sum);
    Put("redirect-to-http", kExePath + ".redirect",
        "http://127.0.0.1:" + std::to_string(Server().Port()) + "/good" + kExePath);

    struct TCase {
        const char* Site;
        bool Succeeds;
        const char* Error; // part of the message when it fails
        bool Percentages;  // the size is known, so progress is reported
    };
    const TCase cases[] = {
        {"good", true, "", true},
        {"chunked", true, "", false},
        {"mismatch", false,
         "The downloaded file does not match the checksum the update server publishes.", true},
        {"no-checksum", false, "The update server publishes no checksum for the installer.", false},
        {"not-a-checksum", false, "The update server publishes no checksum for the installer.",
         false},
        {"no-installer", false, "File not found", false},
        {"redirect-to-http", false, "redirect to http://127.0.0.1", false},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Site);
        TTempDir folder;
        const QString dir = QString::fromStdString(folder.Path());
        TInstallerDownload download(*UpdateServerUrl(Site(c.Site)), dir);
        std::vector<int> progress;
        QObject::connect(&download, &TInstallerDownload::Progress,
                         [&](int percent) { progress.push_back(percent); });
        download.Start();
        ASSERT_TRUE(WaitUntil([&] { return download.IsFinished(); }, kDeadlineMs));
        EXPECT_EQ(download.Succeeded(), c.Succeeds) << download.ErrorMessage().toStdString();
        // Without a length the bar stays where it is until the transfer is
        // complete; an error page is no progress.
        EXPECT_EQ(!progress.empty(), c.Succeeds || c.Percentages);
        if (c.Succeeds) {
            EXPECT_EQ(progress.back(), 100);
        }
        if (!c.Percentages) {
            for (int percent : progress)
                EXPECT_EQ(percent, 100);
        }
        if (c.Succeeds) {
            const QFileInfo file(download.FilePath());
            EXPECT_EQ(file.absolutePath(), QFileInfo(dir).absoluteFilePath());
            EXPECT_TRUE(file.fileName().startsWith(QStringLiteral("quillmate-update-")));
            EXPECT_TRUE(file.fileName().endsWith(QStringLiteral(".exe")));
            EXPECT_EQ(ReadFile(download.FilePath().toStdString()), good);
            EXPECT_EQ(FilesIn(dir).size(), 1);
        } else {
            EXPECT_TRUE(download.ErrorMessage().contains(QString::fromLatin1(c.Error)))
                << download.ErrorMessage().toStdString();
            // Nothing unverified is left behind to be started.
            EXPECT_TRUE(FilesIn(dir).isEmpty()) << FilesIn(dir).join(' ').toStdString();
        }
    }
}

TEST_F(InstallerDownload, NewFileEachTimeEarlierInstallersRemoved) {
    const std::string good = Installer('c');
    Put("twice", kExePath, good);
    Put("twice", kChecksumPath, Sha256Hex(good) + "\n");
    TTempDir folder;
    const QString dir = QString::fromStdString(folder.Path());
    WriteFile(folder / "other.txt", "not ours");
    QStringList paths;
    for (int i = 0; i < 2; ++i) {
        TInstallerDownload download(*UpdateServerUrl(Site("twice")), dir);
        download.Start();
        ASSERT_TRUE(WaitUntil([&] { return download.IsFinished(); }, kDeadlineMs));
        ASSERT_TRUE(download.Succeeded()) << download.ErrorMessage().toStdString();
        paths << download.FilePath();
    }
    EXPECT_NE(paths[0], paths[1]);
    EXPECT_EQ(FilesIn(dir), (QStringList{"other.txt", QFileInfo(paths[1]).fileName()}))
        << FilesIn(dir).join(' ').toStdString();
}

TEST_F(InstallerDownload, AbortStopsTheTransferAndRemovesTheFile) {
    // A server that starts sending and then never finishes, at either step.
    Put("stalls", kChecksumPath, Sha256Hex("x") + "\n");
    Put("stalls", kExePath + ".hang", "");
    Put("stalls-first", kChecksumPath + ".hang", "");
    for (const auto& [site, awaited] :
         {std::pair{"stalls", kExePath}, std::pair{"stalls-first", kChecksumPath}}) {
        SCOPED_TRACE(site);
        TTempDir folder;
        const QString dir = QString::fromStdString(folder.Path());
        TInstallerDownload download(*UpdateServerUrl(Site(site)), dir);
        download.Start();
        ASSERT_TRUE(WaitUntil([&] { return Requesting(download, awaited); }, kDeadlineMs));
        ASSERT_FALSE(download.IsFinished()) << download.ErrorMessage().toStdString();
        download.Abort();
        ASSERT_TRUE(download.IsFinished());
        EXPECT_FALSE(download.Succeeded());
        EXPECT_EQ(download.ErrorMessage(),
                  QStringLiteral("Download is cancelled. Please download manually."));
        EXPECT_TRUE(FilesIn(dir).isEmpty());
    }
}

class NewVersionDialog : public TUpdateServerTest {
protected:
    // The dialog of an optional update, set to download the installer into folder.
    static std::unique_ptr<TfrmNewVersion> Dialog(const char* site, const QString& folder) {
        TUpdateNotice notice;
        notice.Version = "2.1";
        notice.Text = "The new version 2.1 is available\n\nWhat's new:\nOne\n";
        auto dialog = std::make_unique<TfrmNewVersion>(notice, *UpdateServerUrl(Site(site)));
        dialog->SetRunsInstaller(true);
        dialog->SetDownloadFolder(folder);
        dialog->show();
        return dialog;
    }
};

TEST_F(NewVersionDialog, FailedDownloadShowsTheMessageOpensTheSiteAndEnds) {
    Put("bad-sum", kExePath, Installer('d'));
    Put("bad-sum", kChecksumPath, Sha256Hex(Installer('e')) + "\n");
    Put("no-sum", kExePath, Installer('d'));
    struct TCase {
        const char* Site;
        const char* Reason;
    };
    const TCase cases[] = {
        {"bad-sum", "The downloaded file does not match the checksum the update server publishes."},
        {"no-sum", "The update server publishes no checksum for the installer."},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Site);
        TTempDir folder;
        const QString dir = QString::fromStdString(folder.Path());
        TOpenedUrls opened;
        auto dialog = Dialog(c.Site, dir);
        QString message;
        AnswerNextMessageBox(&message);
        Button(dialog.get(), "btUpdateNow")->click();
        EXPECT_FALSE(Button(dialog.get(), "btUpdateNow")->isEnabled());
        EXPECT_EQ(Button(dialog.get(), "btCancel")->text(), QStringLiteral("Abort"));
        EXPECT_TRUE(dialog->findChild<QProgressBar*>(QStringLiteral("ProgressBar1"))->isVisible());
        ASSERT_TRUE(WaitUntil([&] { return !dialog->isVisible(); }, kDeadlineMs));
        EXPECT_TRUE(message.startsWith(
            QStringLiteral("Failed to download update. Please download manually on website.\n\n")))
            << message.toStdString();
        EXPECT_TRUE(message.contains(QString::fromLatin1(c.Reason))) << message.toStdString();
        ASSERT_EQ(opened.Urls.size(), 1u);
        EXPECT_EQ(opened.Urls[0], QUrl(Site(c.Site) + QStringLiteral("/download/")));
        // Once "Update Now" was pressed the program ends, whatever happened.
        EXPECT_EQ(dialog->Tag(), 0);
        EXPECT_TRUE(FilesIn(dir).isEmpty());
    }
}

TEST_F(NewVersionDialog, AbortDuringTheDownload) {
    Put("slow", kChecksumPath, Sha256Hex("x") + "\n");
    Put("slow", kExePath + ".hang", "");
    TTempDir folder;
    const QString dir = QString::fromStdString(folder.Path());
    TOpenedUrls opened;
    auto dialog = Dialog("slow", dir);
    Button(dialog.get(), "btUpdateNow")->click();
    ASSERT_TRUE(WaitUntil([&] { return Requesting(*dialog, kExePath); }, kDeadlineMs));
    QString message;
    AnswerNextMessageBox(&message);
    Button(dialog.get(), "btCancel")->click();
    ASSERT_TRUE(WaitUntil([&] { return !dialog->isVisible(); }, kDeadlineMs));
    EXPECT_EQ(message, QStringLiteral("Failed to download update. Please download manually on "
                                      "website.\n\nDownload is cancelled. Please download "
                                      "manually."));
    EXPECT_EQ(dialog->Tag(), 0);
    EXPECT_EQ(opened.Urls.size(), 1u);
    EXPECT_TRUE(FilesIn(dir).isEmpty());
}

TEST_F(NewVersionDialog, VerifiedInstallerIsStartedAndTheProgramEnds) {
    const std::string good = Installer('f');
    Put("ok", kExePath, good);
    Put("ok", kChecksumPath, Sha256Hex(good) + "  quillmate.exe\n");
    TTempDir folder;
    const QString dir = QString::fromStdString(folder.Path());
    TOpenedUrls opened;
    auto dialog = Dialog("ok", dir);
    Button(dialog.get(), "btUpdateNow")->click();
    ASSERT_TRUE(WaitUntil([&] { return !dialog->isVisible(); }, kDeadlineMs));
    EXPECT_EQ(dialog->Tag(), 0);
    EXPECT_EQ(dialog->findChild<QProgressBar*>(QStringLiteral("ProgressBar1"))->value(), 100);
    ASSERT_EQ(opened.Urls.size(), 1u);
    ASSERT_TRUE(opened.Urls[0].isLocalFile());
    EXPECT_EQ(ReadFile(opened.Urls[0].toLocalFile().toStdString()), good);
}

TEST(InstallerDownloadFolder, OnlyTheUserMayWriteIt) {
    TTempDir home;
    const bool wasSet = qEnvironmentVariableIsSet("XDG_DATA_HOME");
    const QByteArray old = qgetenv("XDG_DATA_HOME");
    qputenv("XDG_DATA_HOME", QByteArray::fromStdString(home.Path()));
    QString error;
    const QString made = InstallerDownloadFolder(&error);
    // Found again after someone opened it up: closed again.
    if (!made.isEmpty())
        chmod(QFile::encodeName(made).constData(), 0777);
    const QString found = InstallerDownloadFolder(&error);
    if (wasSet)
        qputenv("XDG_DATA_HOME", old);
    else
        qunsetenv("XDG_DATA_HOME");
    ASSERT_FALSE(made.isEmpty()) << error.toStdString();
    EXPECT_TRUE(made.startsWith(QString::fromStdString(home.Path())));
    EXPECT_EQ(found, made);
    struct stat st {};
    ASSERT_EQ(stat(QFile::encodeName(made).constData(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0700u);
}
