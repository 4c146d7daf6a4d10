#pragma once
// The update check's place in start-up: before the main window, without
// blocking the event loop. Continue or End follows exactly once.
#include <QObject>
#include <QString>
#include <QUrl>

namespace qm::app {

class TNewVersionCheck;
class TfrmNewVersion;

class TUpdateStartup final : public QObject {
    Q_OBJECT
public:
    explicit TUpdateStartup(QObject* parent = nullptr);
    ~TUpdateStartup() override;

    // Checks the server at address (ConfiguredUpdateServer in the program).
    // With no usable address, Continue is emitted before this returns.
    void Start(const QString& address);
    // The dialog while it is shown (for tests and pictures).
    [[nodiscard]] TfrmNewVersion* Dialog() const { return FDialog; }

signals:
    // Create the main window.
    void Continue();
    // End the program: the user updates or may not use this version.
    void End();

private:
    void CheckFinished();
    void DialogClosed();
    void Emit(bool goOn);

    TNewVersionCheck* FCheck = nullptr;
    TfrmNewVersion* FDialog = nullptr;
    QUrl FServer;
    bool FQuitOnLastWindowClosed = true;
    bool FDone = false;
};

} // namespace qm::app
