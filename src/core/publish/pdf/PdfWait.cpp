#include "publish/pdf/PdfWait.h"

#include <chrono>
#include <system_error>
#include <thread>

namespace fs = std::filesystem;

namespace qm::pdf {

namespace {

constexpr auto kPollInterval = std::chrono::milliseconds(50);

// The size of a non-empty file written at or after notBefore, else 0. Errors
// of the look-up count as "not there yet": the browser may still be closing
// the file.
std::uintmax_t FreshSize(const fs::path& file, fs::file_time_type notBefore) {
    std::error_code ec;
    const std::uintmax_t size = fs::file_size(file, ec);
    if (ec || size == 0)
        return 0;
    const fs::file_time_type written = fs::last_write_time(file, ec);
    return (!ec && written >= notBefore) ? size : 0;
}

} // namespace

std::uintmax_t WaitForNonEmptyFile(const std::string& path, int limitMs,
                                   fs::file_time_type notBefore, const TCancellationToken* cancel) {
    const auto start = std::chrono::steady_clock::now();
    const auto limit = std::chrono::milliseconds(limitMs);
    const fs::path file(path);
    for (;;) {
        if (const std::uintmax_t size = FreshSize(file, notBefore); size > 0)
            return size;
        ThrowIfCancelled(cancel);
        std::this_thread::sleep_for(kPollInterval);
        if (std::chrono::steady_clock::now() - start > limit)
            break;
    }
    throw EQuillmateError("PDF file was not created in time");
}

} // namespace qm::pdf
