#include "update/UpdateRequests.h"

#include "update/UpdateServer.h"

#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QUrl>

namespace qm::app {

namespace {

constexpr const char* kRefusalProperty = "quillmateRefusal";
constexpr int kMaxRedirects = 10;

void Refuse(QNetworkReply* reply, const QString& reason) {
    if (!reply->property(kRefusalProperty).toString().isEmpty())
        return;
    reply->setProperty(kRefusalProperty, reason);
    qCWarning(lcUpdate).noquote() << reason;
    reply->abort();
}

} // namespace

QNetworkReply* GetFromUpdateServer(QNetworkAccessManager& net, const QUrl& url, qint64 maxBytes,
                                   int transferTimeoutMs) {
    QNetworkRequest request(url);
    request.setHeader(QNetworkRequest::UserAgentHeader,
                      QStringLiteral("Mozilla/4.0 (compatible; MyApp)"));
    request.setAttribute(QNetworkRequest::RedirectPolicyAttribute,
                         QNetworkRequest::UserVerifiedRedirectPolicy);
    request.setMaximumRedirectsAllowed(kMaxRedirects);
    if (transferTimeoutMs > 0)
        request.setTransferTimeout(transferTimeoutMs);
    QNetworkReply* reply = net.get(request);
    QObject::connect(reply, &QNetworkReply::redirected, reply, [reply](const QUrl& target) {
        const QUrl resolved = reply->url().resolved(target);
        if (resolved.scheme() == QLatin1String("https"))
            emit reply->redirectAllowed();
        else
            Refuse(reply, QStringLiteral("Update server redirect to %1 refused: only https is used")
                              .arg(resolved.toDisplayString(QUrl::RemoveUserInfo)));
    });
    if (maxBytes > 0) {
        const auto tooLarge = [reply, maxBytes] {
            Refuse(reply, QStringLiteral("%1 is larger than %2 bytes")
                              .arg(reply->url().toDisplayString(QUrl::RemoveUserInfo))
                              .arg(maxBytes));
        };
        // A declared length says so at once; a stream without one is counted.
        QObject::connect(
            reply, &QNetworkReply::metaDataChanged, reply, [reply, maxBytes, tooLarge] {
                if (reply->header(QNetworkRequest::ContentLengthHeader).toLongLong() > maxBytes)
                    tooLarge();
            });
        // What waits unread counts too (progress reports come late and in bursts).
        QObject::connect(reply, &QNetworkReply::readyRead, reply, [reply, maxBytes, tooLarge] {
            if (reply->bytesAvailable() > maxBytes)
                tooLarge();
        });
        QObject::connect(reply, &QNetworkReply::downloadProgress, reply,
                         [maxBytes, tooLarge](qint64 received, qint64 total) {
                             if (received > maxBytes || total > maxBytes)
                                 tooLarge();
                         });
    }
    return reply;
}

QString RefusalReason(const QNetworkReply* reply) {
    return reply->property(kRefusalProperty).toString();
}

} // namespace qm::app
