// The recovery journal's timing: a few seconds after the author changes a
// topic the session's unsaved texts are written, so a crash costs at most
// those seconds of typing.
#include "AppPaths.h"
#include "MainWindow.h"
#include "i18n/Translation.h"
#include "workspace/ProjectCommands.h"
#include "workspace/ProjectWorkspace.h"
#include "workspace/UnsavedWorkRecovery.h"

#include <QDateTime>
#include <QTimer>

namespace qm::app {

namespace {
// Not restarted by further typing: during a long stretch of writing the
// journal still follows every two seconds.
constexpr int kJournalDelayMs = 2000;
} // namespace

void TfrmMain::SetUpRecovery() {
    FRecovery =
        std::make_unique<TUnsavedWorkRecovery>(*FWorkspace, *FSession, *FPrompts, RecoveryDir());
    FCommands->UseRecovery(FRecovery.get());
    FJournalTimer = new QTimer(this);
    FJournalTimer->setSingleShot(true);
    FJournalTimer->setInterval(kJournalDelayMs);
    connect(FJournalTimer, &QTimer::timeout, this, [this] { WriteJournal(); });
}

void TfrmMain::ScheduleJournal() {
    if (FJournalTimer != nullptr && FWorkspace->Dirty() && !FJournalTimer->isActive())
        FJournalTimer->start();
}

void TfrmMain::WriteJournal() {
    try {
        FRecovery->WriteJournal(QDateTime::currentDateTime().toString(Qt::ISODate).toStdString());
    } catch (const std::exception& e) {
        // Every two seconds a message box would stop the author writing; the
        // status line says it, and the next change tries again.
        SetStatus(Translate("The recovery copy of unsaved work could not be written: ") + e.what());
    }
}

} // namespace qm::app
