#pragma once
// Waiting for the printed file.
#include "publish/common/Cancellation.h"

#include <cstdint>
#include <filesystem>
#include <string>

namespace qm::pdf {

// Polls every 50 ms, for no more than limitMs, until path is a non-empty file
// last written at or after notBefore, and returns its size. A file written
// earlier is an old one that this print did not replace (a viewer holding
// it open, for example) and does not count. Raises "PDF file was not created
// in time" when the time is up, and EPublishCancelled when asked to stop.
std::uintmax_t WaitForNonEmptyFile(
    const std::string& path, int limitMs,
    std::filesystem::file_time_type notBefore = std::filesystem::file_time_type::min(),
    const TCancellationToken* cancel = nullptr);

} // namespace qm::pdf
