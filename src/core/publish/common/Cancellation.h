#pragma once
// Stopping a long job on request: the desktop program's Cancel button sets the
// token on the user-interface thread while the job, on its worker thread,
// looks at it between steps and while an outside program runs.
#include "base/Error.h"

#include <atomic>
#include <functional>

namespace qm {

class TCancellationToken final {
public:
    TCancellationToken() = default;
    TCancellationToken(const TCancellationToken&) = delete;
    TCancellationToken& operator=(const TCancellationToken&) = delete;

    void Cancel() noexcept { FCancelled.store(true); }
    [[nodiscard]] bool IsCancelled() const noexcept { return FCancelled.load(); }

private:
    std::atomic<bool> FCancelled{false};
};

// The job stopped because it was asked to. Not a failure to report: callers
// say that it was cancelled, without an error box.
class EPublishCancelled final : public EQuillmateError {
public:
    EPublishCancelled() : EQuillmateError("Publishing cancelled") {}
};

// A job nobody can cancel is handed no token at all.
[[nodiscard]] inline bool IsCancelled(const TCancellationToken* token) noexcept {
    return token != nullptr && token->IsCancelled();
}

inline void ThrowIfCancelled(const TCancellationToken* token) {
    if (IsCancelled(token))
        throw EPublishCancelled();
}

// The token as the poll function the process runner asks while an outside
// program runs; an empty function without a token, so none is polled.
[[nodiscard]] inline std::function<bool()> CancelCheck(const TCancellationToken* token) {
    if (token == nullptr)
        return {};
    return [token] { return token->IsCancelled(); };
}

} // namespace qm
