#include "Interrupt.h"

#include <atomic>
#include <csignal>

namespace qm::cli {

namespace {

// Lock-free atomics: all the handler touches.
TCancellationToken gToken;
std::atomic<bool> gJobRunning{false};
std::atomic<int> gSignal{0};
static_assert(std::atomic<bool>::is_always_lock_free && std::atomic<int>::is_always_lock_free);

extern "C" void OnInterrupt(int sig) {
    if (!gJobRunning.load()) {
        // Nothing to stop cleanly: end as the default action would.
        std::signal(sig, SIG_DFL);
        std::raise(sig);
        return;
    }
    gSignal.store(sig);
    gToken.Cancel();
}

} // namespace

void InstallInterruptHandlers() {
    struct sigaction action {};
    action.sa_handler = OnInterrupt;
    sigemptyset(&action.sa_mask);
    // The handler goes after one use, so a second Ctrl+C ends a stop that
    // takes too long; restarted calls keep the file writes going until the
    // job looks at its token.
    action.sa_flags = SA_RESETHAND | SA_RESTART;
    for (const int sig : {SIGINT, SIGTERM}) {
        // A signal ignored by whoever started us (nohup, a CI runner) stays ignored.
        struct sigaction previous {};
        if (::sigaction(sig, nullptr, &previous) == 0 && previous.sa_handler == SIG_IGN)
            continue;
        ::sigaction(sig, &action, nullptr);
    }
}

TInterruptibleJob::TInterruptibleJob() {
    gJobRunning.store(true);
}

TInterruptibleJob::~TInterruptibleJob() {
    gJobRunning.store(false);
}

const TCancellationToken* TInterruptibleJob::Token() const {
    return &gToken;
}

int InterruptSignal() {
    return gSignal.load();
}

} // namespace qm::cli
