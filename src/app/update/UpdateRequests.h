#pragma once
// Requests to the update server, made the same way for the check and the
// download: https all the way (a redirect elsewhere is refused), Qt's normal
// certificate checks, and a cap on what the server may send.
#include <QString>

class QNetworkAccessManager;
class QNetworkReply;
class QUrl;

namespace qm::app {

// GET url. A reply that redirects to anything but https, or that grows past
// maxBytes (when above 0), is aborted with its reason kept for RefusalReason.
// transferTimeoutMs (when above 0) aborts a transfer that stalls that long.
[[nodiscard]] QNetworkReply* GetFromUpdateServer(QNetworkAccessManager& net, const QUrl& url,
                                                 qint64 maxBytes, int transferTimeoutMs = 0);

// Why GetFromUpdateServer aborted the reply itself; empty when it did not.
[[nodiscard]] QString RefusalReason(const QNetworkReply* reply);

} // namespace qm::app
