// The start-up update check against a real HTTPS server on 127.0.0.1: which
// documents bring up the dialog, what its buttons do to start-up, and that a
// missing, slow, plain-HTTP or untrusted server never holds start-up long.
#include "UpdateLogCapture.h"
#include "UpdateServerFixture.h"

#include "update/NewVersionCheck.h"
#include "update/NewVersionDialog.h"
#include "update/UpdateServer.h"
#include "update/UpdateStartup.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QSettings>
#include <QTcpServer>
#include <QTest>
#include <QTimer>

#include <functional>
#include <optional>

using namespace qm;
using namespace qm::app;
using namespace qm::test;

namespace {

constexpr int kDeadlineMs = 15000;

struct TCheckResult {
    bool Finished = false;
    std::optional<TUpdateNotice> Notice;
};

TCheckResult RunCheck(const QString& address) {
    const auto server = UpdateServerUrl(address);
    TCheckResult result;
    if (!server)
        return result;
    TNewVersionCheck check;
    check.Start(*server);
    result.Finished = WaitUntil([&] { return check.IsFinished(); }, kDeadlineMs);
    result.Notice = check.Notice();
    return result;
}

// Start-up as main() runs it, with the outcome recorded.
struct TStartupDriver {
    TUpdateStartup Startup;
    bool Continued = false;
    bool Ended = false;

    explicit TStartupDriver(const QString& address) {
        QObject::connect(&Startup, &TUpdateStartup::Continue, [this] { Continued = true; });
        QObject::connect(&Startup, &TUpdateStartup::End, [this] { Ended = true; });
        Startup.Start(address);
    }
    TfrmNewVersion* WaitForDialog() {
        WaitUntil([&] { return Startup.Dialog() != nullptr && Startup.Dialog()->isVisible(); },
                  kDeadlineMs);
        return Startup.Dialog();
    }
    bool WaitForOutcome() {
        return WaitUntil([&] { return Continued || Ended; }, kDeadlineMs);
    }
};

QPushButton* Button(QWidget* dialog, const char* name) {
    return dialog->findChild<QPushButton*>(QString::fromLatin1(name));
}

} // namespace

class UpdateCheck : public TUpdateServerTest {};

TEST_F(UpdateCheck, DocumentsDecideTheDialog) {
    struct TCase {
        const char* Site;
        const char* Version; // nullptr: not on the server
        const char* Changes;
        bool Dialog;
        bool Forced;
    };
    const TCase cases[] = {
        {"v21-10", "21/10\n", "Faster publishing\n", true, false},
        {"v21-21", "21/21\n", "Faster publishing\n", true, true},
        {"v20-20", "20/20\n", "Faster publishing\n", false, false},
        {"v15-3", "15/3\n", "Faster publishing\n", false, false},
        {"v2.1-20", "2.1/20\n", "Faster publishing\n", false, false},
        {"v21minus20", "21-20\n", "Faster publishing\n", false, false},
        {"empty", "", "Faster publishing\n", false, false},
        {"no-version", nullptr, "Faster publishing\n", false, false},
        // Without its list of changes an offer is not shown either.
        {"no-changes", "21/10\n", nullptr, false, false},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Site);
        if (c.Version != nullptr)
            Put(c.Site, kVersionDocumentPath, c.Version);
        if (c.Changes != nullptr)
            Put(c.Site, kChangesDocumentPath, c.Changes);
        const TCheckResult r = RunCheck(Site(c.Site));
        ASSERT_TRUE(r.Finished);
        ASSERT_EQ(r.Notice.has_value(), c.Dialog);
        if (r.Notice) {
            EXPECT_EQ(r.Notice->Forced, c.Forced);
            EXPECT_EQ(r.Notice->Version, "2.1");
        }
    }
}

TEST_F(UpdateCheck, OversizedDocumentsAreNotRead) {
    // Declared too long, or too long without a declared length.
    const std::string padding(300 * 1024, '\n');
    Put("big", kVersionDocumentPath, "21/10\n" + padding);
    Put("big", kChangesDocumentPath, "One\n");
    Put("big-stream", std::string(kVersionDocumentPath) + ".chunked", "21/10\n" + padding);
    Put("big-stream", kChangesDocumentPath, "One\n");
    TUpdateLogCapture log;
    for (const char* site : {"big", "big-stream"}) {
        SCOPED_TRACE(site);
        const TCheckResult r = RunCheck(Site(site));
        ASSERT_TRUE(r.Finished);
        EXPECT_FALSE(r.Notice);
    }
    EXPECT_EQ(log.Text().count(QStringLiteral("is larger than")), 2) << log.Text().toStdString();
}

TEST_F(UpdateCheck, BlankLinesDroppedFromTheChanges) {
    Put("blank-lines", kVersionDocumentPath, "21/10\r\n");
    Put("blank-lines", kChangesDocumentPath, "\r\nPDF bookmarks\r\n\r\n\r\nFaster search\r\n\r\n");
    const TCheckResult r = RunCheck(Site("blank-lines"));
    ASSERT_TRUE(r.Finished);
    ASSERT_TRUE(r.Notice);
    EXPECT_EQ(r.Notice->Text, "The new version 2.1 is available\n\n"
                              "What's new:\nPDF bookmarks\nFaster search\n");
}

TEST_F(UpdateCheck, RedirectsOnlyToHttps) {
    Put("target", kVersionDocumentPath, "21/10\n");
    Put("target", kChangesDocumentPath, "One\n");
    const std::string target = "/target" + std::string(kVersionDocumentPath);
    Put("to-https", std::string(kVersionDocumentPath) + ".redirect",
        Server().Url(QString::fromStdString(target)).toStdString());
    Put("to-https", kChangesDocumentPath, "One\n");
    Put("to-http", std::string(kVersionDocumentPath) + ".redirect",
        "http://127.0.0.1:" + std::to_string(Server().Port()) + target);
    Put("to-http", kChangesDocumentPath, "One\n");

    TUpdateLogCapture log;
    const TCheckResult https = RunCheck(Site("to-https"));
    ASSERT_TRUE(https.Finished);
    EXPECT_TRUE(https.Notice);
    const TCheckResult http = RunCheck(Site("to-http"));
    ASSERT_TRUE(http.Finished);
    EXPECT_FALSE(http.Notice);
    EXPECT_TRUE(log.Text().contains(QStringLiteral("redirect to http://127.0.0.1")))
        << log.Text().toStdString();
}

TEST_F(UpdateCheck, UntrustedCertificateMeansNoUpdate) {
    // The same files behind a certificate nobody trusts.
    MakeSelfSignedCertificate(Scratch(), "stranger");
    Put("v21-10", kVersionDocumentPath, "21/10\n");
    Put("v21-10", kChangesDocumentPath, "One\n");
    TLocalHttpsServer stranger(Scratch() + "/sites", Scratch() + "/stranger.pem",
                               Scratch() + "/stranger.key");
    ASSERT_NE(stranger.Port(), 0) << stranger.Error().toStdString();
    const TCheckResult r = RunCheck(stranger.Url(QStringLiteral("/v21-10")));
    ASSERT_TRUE(r.Finished);
    EXPECT_FALSE(r.Notice);
}

TEST(UpdateServerAddress, OnlyHttpsAddressesWithAHost) {
    struct TCase {
        const char* Address;
        const char* VersionUrl; // nullptr: refused
    };
    const TCase cases[] = {
        {"", nullptr},
        {"http://updates.example.org", nullptr},
        {"HTTP://updates.example.org", nullptr},
        {"ftp://updates.example.org", nullptr},
        {"updates.example.org", nullptr},
        {"https://", nullptr},
        {"https://updates.example.org/?channel=beta", nullptr},
        {"https://updates.example.org/#top", nullptr},
        {"https://updates.example.org",
         "https://updates.example.org/download/version/quillmate-version.html"},
        {"HTTPS://Updates.Example.org/",
         "https://updates.example.org/download/version/quillmate-version.html"},
        {"https://example.org:8443/quillmate/",
         "https://example.org:8443/quillmate/download/version/quillmate-version.html"},
    };
    TUpdateLogCapture log;
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Address);
        const auto url = UpdateServerUrl(QString::fromLatin1(c.Address));
        ASSERT_EQ(url.has_value(), c.VersionUrl != nullptr);
        if (url) {
            EXPECT_EQ(UpdateDocumentUrl(*url, kVersionDocumentPath).toString().toStdString(),
                      c.VersionUrl);
        }
    }
    EXPECT_TRUE(log.Text().contains(QStringLiteral("not an https:// address")))
        << log.Text().toStdString();
}

TEST(UpdateServerAddress, SettingOverridesTheBuild) {
    QSettings settings;
    const QString key = QString::fromLatin1(kUpdateServerKey);
    settings.setValue(key, QStringLiteral(" https://updates.example.org "));
    EXPECT_EQ(ConfiguredUpdateServer(), QStringLiteral("https://updates.example.org"));
    // Present but empty: the check is off, whatever the build says.
    settings.setValue(key, QString());
    EXPECT_EQ(ConfiguredUpdateServer(), QString());
    settings.remove(key);
    EXPECT_EQ(ConfiguredUpdateServer(), QStringLiteral(QUILLMATE_UPDATE_SERVER_DEFAULT));
}

class UpdateStartup : public TUpdateServerTest {};

TEST_F(UpdateStartup, NewerVersionOffersSkipAndSkippingStartsTheProgram) {
    Put("offer", kVersionDocumentPath, "21/10\n");
    Put("offer", kChangesDocumentPath, "PDF bookmarks\n\nFaster search\n");
    TStartupDriver run(Site("offer"));
    TfrmNewVersion* dialog = run.WaitForDialog();
    ASSERT_NE(dialog, nullptr);
    EXPECT_TRUE(dialog->isModal());
    EXPECT_EQ(dialog->windowTitle(), QStringLiteral(" Quillmate"));
    EXPECT_EQ(dialog->findChild<QLabel*>(QStringLiteral("Label1"))->text(),
              QStringLiteral("The new version 2.1 is available\n\n"
                             "What's new:\nPDF bookmarks\nFaster search\n"));
    EXPECT_EQ(Button(dialog, "btUpdateNow")->text(), QStringLiteral("Update Now"));
    EXPECT_EQ(Button(dialog, "btCancel")->text(), QStringLiteral("Skip"));
    EXPECT_FALSE(dialog->findChild<QProgressBar*>(QStringLiteral("ProgressBar1"))->isVisible());
    Button(dialog, "btCancel")->click();
    ASSERT_TRUE(run.WaitForOutcome());
    EXPECT_TRUE(run.Continued);
    EXPECT_FALSE(run.Ended);
}

TEST_F(UpdateStartup, ForcedUpdateOffersOnlyUpdateOrExit) {
    Put("forced", kVersionDocumentPath, "21/21\n");
    Put("forced", kChangesDocumentPath, "Required security fix\n");
    const std::pair<const char*, std::function<void(TfrmNewVersion*)>> closers[] = {
        {"Exit", [](TfrmNewVersion* d) { Button(d, "btCancel")->click(); }},
        {"close box", [](TfrmNewVersion* d) { d->close(); }},
        {"Escape", [](TfrmNewVersion* d) { QTest::keyClick(d, Qt::Key_Escape); }},
    };
    for (const auto& [how, close] : closers) {
        SCOPED_TRACE(how);
        TStartupDriver run(Site("forced"));
        TfrmNewVersion* dialog = run.WaitForDialog();
        ASSERT_NE(dialog, nullptr);
        EXPECT_TRUE(dialog->findChild<QLabel*>(QStringLiteral("Label1"))
                        ->text()
                        .startsWith(QStringLiteral(
                            "This version of the software is out of date. You must download "
                            "the current version 2.1 to continue using the software.\n\n")));
        EXPECT_EQ(Button(dialog, "btCancel")->text(), QStringLiteral("Exit"));
        close(dialog);
        ASSERT_TRUE(run.WaitForOutcome());
        EXPECT_TRUE(run.Ended);
        EXPECT_FALSE(run.Continued);
    }
}

TEST_F(UpdateStartup, UpdateNowOpensTheDownloadPageAndDownloadsNothing) {
    // Where the package manager updates the program (here), "Update Now" only
    // shows the download page; a required update still ends the program.
    Put("page-offer", kVersionDocumentPath, "21/10\n");
    Put("page-offer", kChangesDocumentPath, "One\n");
    Put("page-forced", kVersionDocumentPath, "21/21\n");
    Put("page-forced", kChangesDocumentPath, "One\n");
    for (const auto& [site, continues] : {std::pair{"page-offer", true}, {"page-forced", false}}) {
        SCOPED_TRACE(site);
        TOpenedUrls opened;
        TStartupDriver run(Site(site));
        TfrmNewVersion* dialog = run.WaitForDialog();
        ASSERT_NE(dialog, nullptr);
        Button(dialog, "btUpdateNow")->click();
        ASSERT_TRUE(run.WaitForOutcome());
        EXPECT_EQ(run.Continued, continues);
        ASSERT_EQ(opened.Urls.size(), 1u);
        EXPECT_EQ(opened.Urls[0], QUrl(Site(site) + QStringLiteral("/download/")));
    }
}

TEST_F(UpdateStartup, ServerThatNeverAnswersLetsStartupGoOnInTime) {
    // One server takes the connection and never speaks TLS; the other
    // completes the handshake and never sends the document.
    QTcpServer silent;
    ASSERT_TRUE(silent.listen(QHostAddress::LocalHost));
    Put("hang", std::string(kVersionDocumentPath) + ".hang", "");
    const QString addresses[] = {QStringLiteral("https://127.0.0.1:%1").arg(silent.serverPort()),
                                 Site("hang")};
    for (const QString& address : addresses) {
        SCOPED_TRACE(address.toStdString());
        // The event loop keeps running while start-up waits.
        int ticks = 0;
        QTimer ticker;
        QObject::connect(&ticker, &QTimer::timeout, [&] { ++ticks; });
        ticker.start(50);
        QElapsedTimer clock;
        clock.start();
        TStartupDriver run(address);
        ASSERT_TRUE(run.WaitForOutcome());
        const qint64 waited = clock.elapsed();
        EXPECT_TRUE(run.Continued);
        // Qt's coarse timers may fire up to 5 % early.
        EXPECT_GE(waited, kUpdateCheckBudgetMs * 95 / 100 - 100)
            << "the server did answer after all";
        // The budget plus the slack of a busy test machine.
        EXPECT_LT(waited, kUpdateCheckBudgetMs + 1500);
        EXPECT_GT(ticks, 10);
        EXPECT_EQ(run.Startup.Dialog(), nullptr);
    }
}

TEST_F(UpdateStartup, NoAddressOrPlainHttpAsksNobody) {
    QTcpServer listener;
    ASSERT_TRUE(listener.listen(QHostAddress::LocalHost));
    struct TCase {
        QString Address;
        const char* Logged; // nullptr: nothing logged
    };
    const TCase cases[] = {
        {QString(), nullptr},
        {QStringLiteral("http://127.0.0.1:%1").arg(listener.serverPort()),
         "not an https:// address"},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Address.toStdString());
        TUpdateLogCapture log;
        TStartupDriver run(c.Address);
        // Decided before Start returns: no request was ever made.
        EXPECT_TRUE(run.Continued);
        EXPECT_FALSE(listener.hasPendingConnections());
        if (c.Logged == nullptr) {
            EXPECT_TRUE(log.Text().isEmpty()) << log.Text().toStdString();
        } else {
            EXPECT_TRUE(log.Text().contains(QString::fromLatin1(c.Logged)))
                << log.Text().toStdString();
        }
    }
}
