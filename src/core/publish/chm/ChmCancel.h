#pragma once
// Stopping a CHM export on request (the desktop program's Cancel button, a
// signal in the command-line tool).
#include "base/Error.h"
#include "platform/Process.h"

namespace qm::chm {

using TCancelCheck = platform::TCancelCheck;

// The export stopped because the cancel check asked for it. Not a failure to
// report: callers usually just say that it was cancelled.
class EChmCancelled final : public EQuillmateError {
public:
    EChmCancelled() : EQuillmateError("CHM export cancelled") {}
};

inline void ThrowIfCancelled(const TCancelCheck& cancelled) {
    if (cancelled && cancelled())
        throw EChmCancelled();
}

} // namespace qm::chm
