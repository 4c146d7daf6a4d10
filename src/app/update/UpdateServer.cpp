#include "update/UpdateServer.h"

#include <QSettings>

Q_LOGGING_CATEGORY(lcUpdate, "quillmate.update")

#ifndef QUILLMATE_UPDATE_SERVER
#define QUILLMATE_UPDATE_SERVER ""
#endif

namespace qm::app {

QString ConfiguredUpdateServer() {
    const QSettings settings;
    const QString key = QString::fromLatin1(kUpdateServerKey);
    if (settings.contains(key))
        return settings.value(key).toString().trimmed();
    return QStringLiteral(QUILLMATE_UPDATE_SERVER).trimmed();
}

std::optional<QUrl> UpdateServerUrl(const QString& address) {
    if (address.isEmpty())
        return std::nullopt;
    const QUrl url(address, QUrl::StrictMode);
    const QString shown = url.toDisplayString(QUrl::RemoveUserInfo);
    if (!url.isValid() || url.isRelative()) {
        qCWarning(lcUpdate) << "Update check off: the update server address" << address
                            << "is not a valid URL";
        return std::nullopt;
    }
    if (url.scheme() != QLatin1String("https")) {
        // Over plain HTTP anyone on the way could offer a "new version".
        qCWarning(lcUpdate) << "Update check off: the update server" << shown
                            << "is not an https:// address; only https is used";
        return std::nullopt;
    }
    if (url.host().isEmpty() || url.hasQuery() || url.hasFragment()) {
        qCWarning(lcUpdate) << "Update check off: the update server address" << shown
                            << "needs a host and no query or fragment";
        return std::nullopt;
    }
    return url;
}

QUrl UpdateDocumentUrl(const QUrl& server, std::string_view path) {
    QUrl url = server;
    QString base = server.path();
    while (base.endsWith(QLatin1Char('/')))
        base.chop(1);
    url.setPath(base + QString::fromUtf8(path.data(), static_cast<qsizetype>(path.size())));
    return url;
}

} // namespace qm::app
