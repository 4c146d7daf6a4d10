#include "LocalHttpsServer.h"

#include <QSslCertificate>
#include <QSslConfiguration>
#include <QStandardPaths>

#include <gtest/gtest.h>

namespace qm::test {

void MakeSelfSignedCertificate(const std::string& folder, const std::string& name) {
    const QString openssl = QStandardPaths::findExecutable(QStringLiteral("openssl"));
    ASSERT_FALSE(openssl.isEmpty()) << "openssl is needed (Debian package openssl)";
    const QString base = QString::fromStdString(folder + "/" + name);
    QProcess p;
    p.start(openssl,
            {QStringLiteral("req"), QStringLiteral("-x509"), QStringLiteral("-newkey"),
             QStringLiteral("ec"), QStringLiteral("-pkeyopt"),
             QStringLiteral("ec_paramgen_curve:prime256v1"), QStringLiteral("-nodes"),
             QStringLiteral("-days"), QStringLiteral("2"), QStringLiteral("-subj"),
             QStringLiteral("/CN=127.0.0.1"), QStringLiteral("-addext"),
             QStringLiteral("subjectAltName=IP:127.0.0.1"), QStringLiteral("-keyout"),
             base + QStringLiteral(".key"), QStringLiteral("-out"), base + QStringLiteral(".pem")});
    ASSERT_TRUE(p.waitForFinished(30000)) << "openssl did not finish";
    ASSERT_EQ(p.exitCode(), 0) << p.readAllStandardError().toStdString();
}

void TrustCertificate(const std::string& pemFile) {
    const auto certs = QSslCertificate::fromPath(QString::fromStdString(pemFile));
    ASSERT_EQ(certs.size(), 1) << pemFile;
    QSslConfiguration conf = QSslConfiguration::defaultConfiguration();
    conf.addCaCertificates(certs);
    QSslConfiguration::setDefaultConfiguration(conf);
}

TLocalHttpsServer::TLocalHttpsServer(const std::string& root, const std::string& certFile,
                                     const std::string& keyFile) {
    const QString python = QStandardPaths::findExecutable(QStringLiteral("python3"));
    if (python.isEmpty()) {
        FError = QStringLiteral("python3 is needed");
        return;
    }
    FProcess.setProcessChannelMode(QProcess::SeparateChannels);
    FProcess.start(python, {QStringLiteral(QUILLMATE_SOURCE_DIR "/tests/app/data/https_server.py"),
                            QString::fromStdString(root), QString::fromStdString(certFile),
                            QString::fromStdString(keyFile)});
    if (!FProcess.waitForStarted(10000)) {
        FError = FProcess.errorString();
        return;
    }
    // The first line is the port, written once the server listens.
    QByteArray line;
    while (!line.contains('\n') && FProcess.waitForReadyRead(20000))
        line += FProcess.readAllStandardOutput();
    bool ok = false;
    FPort = line.trimmed().toInt(&ok);
    if (!ok) {
        FPort = 0;
        FError = QStringLiteral("no port from the server: ") +
                 QString::fromUtf8(FProcess.readAllStandardError());
    }
}

TLocalHttpsServer::~TLocalHttpsServer() {
    // Closing its input ends the server; kill it if that is not enough.
    FProcess.closeWriteChannel();
    if (!FProcess.waitForFinished(3000)) {
        FProcess.kill();
        FProcess.waitForFinished(3000);
    }
}

QString TLocalHttpsServer::Url(const QString& path) const {
    return QStringLiteral("https://127.0.0.1:%1%2").arg(FPort).arg(path);
}

} // namespace qm::test
