#include "base/OutputStream.h"

#include "base/Error.h"
#include "base/PathUtils.h"
#include "base/SystemError.h"

#include <cerrno>
#include <cstdio>

#include <fcntl.h>
#include <unistd.h>

namespace qm {

namespace {

constexpr size_t kBufferSize = 1 << 20;

[[noreturn]] void ThrowCannotCreate(const std::string& fileName, int err) {
    throw EFileError("Cannot create file \"" + fileName + "\": " + SystemErrorText(err));
}

} // namespace

TOutputStream::TOutputStream(std::string fileName, std::string_view start)
    : FFileName(std::move(fileName)) {
    // Empty first, so the file is replaced the way WriteOutputFile does it.
    WriteOutputFile(FFileName, "");
    FFd = ::open(FFileName.c_str(), O_WRONLY | O_TRUNC | O_CLOEXEC);
    if (FFd < 0)
        ThrowCannotCreate(FFileName, errno);
    FBuffer.reserve(kBufferSize);
    Append(start);
}

TOutputStream::~TOutputStream() {
    if (FFd < 0)
        return;
    ::close(FFd);
    std::remove(FFileName.c_str());
}

void TOutputStream::Append(std::string_view bytes) {
    if (FBuffer.size() + bytes.size() > kBufferSize)
        Flush();
    if (bytes.size() >= kBufferSize) {
        FBuffer = bytes;
        Flush();
        FBuffer.reserve(kBufferSize);
        return;
    }
    FBuffer += bytes;
}

void TOutputStream::Flush() {
    std::string_view rest = FBuffer;
    while (!rest.empty()) {
        const ssize_t n = ::write(FFd, rest.data(), rest.size());
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            ThrowCannotCreate(FFileName, n < 0 ? errno : ENOSPC);
        rest.remove_prefix(static_cast<size_t>(n));
    }
    FBuffer.clear();
}

void TOutputStream::Close() {
    Flush();
    const int fd = FFd;
    FFd = -1;
    if (::close(fd) != 0)
        ThrowCannotCreate(FFileName, errno);
}

} // namespace qm
