#pragma once
// The start-up question to the update server, asked without blocking: the
// version document, then (only when it offers something) the changes. Any
// network or format problem, or running out of time, means "no update".
#include "update/UpdateDocuments.h"

#include <QObject>
#include <QPointer>
#include <QUrl>

#include <optional>

class QNetworkAccessManager;
class QNetworkReply;
class QTimer;

namespace qm::app {

// Start-up waits no longer than this for the whole check.
inline constexpr int kUpdateCheckBudgetMs = 3000;

class TNewVersionCheck final : public QObject {
    Q_OBJECT
public:
    explicit TNewVersionCheck(QObject* parent = nullptr);

    // CheckForNewVersion: asks server; Finished follows exactly once, within
    // budgetMs of this call.
    void Start(const QUrl& server, int budgetMs = kUpdateCheckBudgetMs);
    [[nodiscard]] bool IsFinished() const { return FFinished; }
    // The dialog's notice; nothing when no dialog should be shown.
    [[nodiscard]] const std::optional<TUpdateNotice>& Notice() const { return FNotice; }

signals:
    void Finished();

private:
    void Get(std::string_view path, void (TNewVersionCheck::*then)(const QByteArray&));
    void VersionArrived(const QByteArray& document);
    void ChangesArrived(const QByteArray& document);
    void Finish(std::optional<TUpdateNotice> notice);

    QNetworkAccessManager* FNet;
    QTimer* FBudget;
    QPointer<QNetworkReply> FReply;
    QUrl FServer;
    QByteArray FVersionDocument;
    std::optional<TUpdateNotice> FNotice;
    bool FFinished = false;
};

} // namespace qm::app
