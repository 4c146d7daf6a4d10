#include "update/NewVersionCheck.h"

#include "update/UpdateRequests.h"
#include "update/UpdateServer.h"

#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QTimer>

namespace qm::app {

namespace {
// Both documents are a few lines; anything bigger is not ours.
constexpr qint64 kMaxDocumentBytes = 256 * 1024;
} // namespace

TNewVersionCheck::TNewVersionCheck(QObject* parent)
    : QObject(parent), FNet(new QNetworkAccessManager(this)), FBudget(new QTimer(this)) {
    FBudget->setSingleShot(true);
    connect(FBudget, &QTimer::timeout, this, [this] {
        qCInfo(lcUpdate) << "Update check dropped: no answer from" << FServer.host() << "in time";
        Finish(std::nullopt);
    });
}

void TNewVersionCheck::Start(const QUrl& server, int budgetMs) {
    FServer = server;
    FBudget->start(budgetMs);
    Get(kVersionDocumentPath, &TNewVersionCheck::VersionArrived);
}

void TNewVersionCheck::Get(std::string_view path,
                           void (TNewVersionCheck::*then)(const QByteArray&)) {
    QNetworkReply* reply =
        GetFromUpdateServer(*FNet, UpdateDocumentUrl(FServer, path), kMaxDocumentBytes);
    FReply = reply;
    connect(reply, &QNetworkReply::finished, this, [this, reply, then] {
        reply->deleteLater();
        if (FFinished)
            return;
        if (reply->error() != QNetworkReply::NoError) {
            if (RefusalReason(reply).isEmpty())
                qCInfo(lcUpdate).noquote()
                    << "Update check: " + reply->url().toDisplayString(QUrl::RemoveUserInfo) +
                           ": " + reply->errorString();
            Finish(std::nullopt);
            return;
        }
        (this->*then)(reply->readAll());
    });
}

void TNewVersionCheck::VersionArrived(const QByteArray& document) {
    const std::string_view text(document.constData(), static_cast<size_t>(document.size()));
    if (!VersionDocumentOffersUpdate(text)) {
        Finish(std::nullopt);
        return;
    }
    FVersionDocument = document;
    Get(kChangesDocumentPath, &TNewVersionCheck::ChangesArrived);
}

void TNewVersionCheck::ChangesArrived(const QByteArray& document) {
    Finish(EvaluateUpdateDocuments(
        std::string_view(FVersionDocument.constData(),
                         static_cast<size_t>(FVersionDocument.size())),
        std::string_view(document.constData(), static_cast<size_t>(document.size()))));
}

void TNewVersionCheck::Finish(std::optional<TUpdateNotice> notice) {
    if (FFinished)
        return;
    FFinished = true;
    FBudget->stop();
    FNotice = std::move(notice);
    if (FReply)
        FReply->abort();
    emit Finished();
}

} // namespace qm::app
