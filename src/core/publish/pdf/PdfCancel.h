#pragma once
// Stopping a PDF export on request (the desktop program's Cancel button, a
// signal in the command-line tool).
#include "base/Error.h"
#include "platform/Process.h"

namespace qm::pdf {

using TCancelCheck = platform::TCancelCheck;

// The export stopped because the cancel check asked for it. Not a failure to
// report: callers usually just say that it was cancelled.
class EPdfCancelled final : public EQuillmateError {
public:
    EPdfCancelled() : EQuillmateError("PDF export cancelled") {}
};

inline void ThrowIfCancelled(const TCancelCheck& cancelled) {
    if (cancelled && cancelled())
        throw EPdfCancelled();
}

} // namespace qm::pdf
