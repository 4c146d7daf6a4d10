#pragma once
// Ctrl+C and SIGTERM while a publish runs: the job is cancelled through its
// token, so that the help compiler or the browser is stopped with it and the
// tool ends with the shell's code for the signal. Outside such a job the
// signals end the tool at once, as they always did.
#include "publish/common/Cancellation.h"

namespace qm::cli {

// Once, before any command runs.
void InstallInterruptHandlers();

// While one lives, the first SIGINT or SIGTERM cancels Token() instead of
// ending the process; a second one ends it at once (the outside programs die
// with it all the same).
class TInterruptibleJob final {
public:
    TInterruptibleJob();
    ~TInterruptibleJob();
    TInterruptibleJob(const TInterruptibleJob&) = delete;
    TInterruptibleJob& operator=(const TInterruptibleJob&) = delete;
    [[nodiscard]] const TCancellationToken* Token() const;
};

// The signal that cancelled a job, or 0.
[[nodiscard]] int InterruptSignal();

} // namespace qm::cli
