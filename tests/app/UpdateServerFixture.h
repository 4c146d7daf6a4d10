#pragma once
// One local HTTPS update server per test suite, serving a folder of "sites":
// each case writes its documents under its own site (a path prefix), so the
// cases of a table do not see each other's files.
#include "AppTestSupport.h"
#include "LocalHttpsServer.h"
#include "TempDir.h"

#include <QDesktopServices>
#include <QObject>
#include <QUrl>

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace qm::test {

class TUpdateServerTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        FDir = std::make_unique<TTempDir>();
        MakeSelfSignedCertificate(FDir->Path(), "server");
        TrustCertificate(*FDir / "server.pem");
        FServer = std::make_unique<TLocalHttpsServer>(*FDir / "sites", *FDir / "server.pem",
                                                      *FDir / "server.key");
    }
    static void TearDownTestSuite() {
        FServer.reset();
        FDir.reset();
    }
    void SetUp() override { ASSERT_NE(FServer->Port(), 0) << FServer->Error().toStdString(); }
    void TearDown() override { ForgetModalDrivers(); }

    // The server address of one site: https://127.0.0.1:PORT/site
    static QString Site(const std::string& site) {
        return FServer->Url(QStringLiteral("/") + QString::fromStdString(site));
    }
    // Writes a file of the site (path as the server's documents are named).
    static void Put(const std::string& site, std::string_view path, const std::string& bytes) {
        WriteFile(*FDir / ("sites/" + site + std::string(path)), bytes);
    }
    static std::string Scratch() { return FDir->Path(); }
    static TLocalHttpsServer& Server() { return *FServer; }

private:
    static inline std::unique_ptr<TTempDir> FDir;
    static inline std::unique_ptr<TLocalHttpsServer> FServer;
};

// Collects the addresses the program asks the desktop to open (the browser,
// the installer) instead of opening them.
class TOpenedUrls final : public QObject {
    Q_OBJECT
public:
    TOpenedUrls() {
        for (const char* scheme : {"http", "https", "file"})
            QDesktopServices::setUrlHandler(QString::fromLatin1(scheme), this, "Open");
    }
    ~TOpenedUrls() override {
        for (const char* scheme : {"http", "https", "file"})
            QDesktopServices::unsetUrlHandler(QString::fromLatin1(scheme));
    }
    TOpenedUrls(const TOpenedUrls&) = delete;
    TOpenedUrls& operator=(const TOpenedUrls&) = delete;
    std::vector<QUrl> Urls;

public slots:
    void Open(const QUrl& url) { Urls.push_back(url); }
};

} // namespace qm::test
