#include "base/SystemError.h"

#include <cerrno>
#include <cstring>

namespace qm {

std::string SystemErrorText(int err) {
    // The two causes an author most often meets get plain words; the
    // system's own texts ("No space left on device") read like a puzzle.
    switch (err) {
    case ENOSPC:
        return "disk full (no space left on the device)";
    case EISDIR:
        return "is a folder";
    default:
        return std::strerror(err);
    }
}

std::string SystemErrorText(const std::error_code& ec) {
    if (ec.category() == std::generic_category() || ec.category() == std::system_category())
        return SystemErrorText(ec.value());
    return ec.message();
}

} // namespace qm
