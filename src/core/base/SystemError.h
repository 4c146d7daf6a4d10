#pragma once
// The reason a failed system call gives, worded for the author: file errors
// name the real cause, never a stream's or a library's own wording.
#include <string>
#include <system_error>

namespace qm {

// "disk full (...)" for ENOSPC, "is a folder" for EISDIR, the system's text
// ("Permission denied") for any other error number.
[[nodiscard]] std::string SystemErrorText(int err);
// The same for an error code of the system or generic category; any other
// category's own message.
[[nodiscard]] std::string SystemErrorText(const std::error_code& ec);

} // namespace qm
