#pragma once
// Runs a long core job (a publish) on a worker thread while a progress
// dialog keeps the window painted and offers Cancel.
#include "publish/common/Cancellation.h"

#include <atomic>
#include <functional>
#include <string>

class QWidget;

namespace qm::app {

struct TJobContext {
    // Set by the dialog's Cancel button; the job hands it to the core.
    TCancellationToken Cancel;
    std::atomic<size_t> Done{0};
    std::atomic<size_t> Total{0};
};

// Runs job on a worker thread; returns when it ends. An exception of the job
// is rethrown here, on the user-interface thread.
void RunWithProgress(QWidget* parent, const std::string& title,
                     const std::function<void(TJobContext&)>& job);

} // namespace qm::app
