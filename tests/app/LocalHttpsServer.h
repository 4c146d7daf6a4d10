#pragma once
// A real HTTPS server on 127.0.0.1 for the update tests (data/https_server.py
// under python3), with a self-signed certificate made by openssl for the test.
#include <QProcess>
#include <QString>
#include <QUrl>

#include <string>

namespace qm::test {

// Writes NAME.pem and NAME.key (a certificate for 127.0.0.1) into folder.
// Fails the calling test when openssl is missing or fails.
void MakeSelfSignedCertificate(const std::string& folder, const std::string& name);

// Adds the certificate to the CA certificates every TLS connection trusts.
void TrustCertificate(const std::string& pemFile);

class TLocalHttpsServer {
public:
    // Starts the server on the files below root; Port() is 0 when it failed.
    TLocalHttpsServer(const std::string& root, const std::string& certFile,
                      const std::string& keyFile);
    ~TLocalHttpsServer();
    TLocalHttpsServer(const TLocalHttpsServer&) = delete;
    TLocalHttpsServer& operator=(const TLocalHttpsServer&) = delete;

    [[nodiscard]] int Port() const { return FPort; }
    [[nodiscard]] QString Error() const { return FError; }
    // https://127.0.0.1:PORT followed by path.
    [[nodiscard]] QString Url(const QString& path = {}) const;

private:
    QProcess FProcess;
    int FPort = 0;
    QString FError;
};

} // namespace qm::test
