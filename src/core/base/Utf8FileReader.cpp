#include "base/Utf8FileReader.h"

#include "base/Error.h"
#include "base/PathUtils.h"
#include "base/SystemError.h"
#include "base/Utf8.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <string_view>

#include <unistd.h>

namespace qm {

namespace {

constexpr std::string_view kBom = "\xEF\xBB\xBF";

bool IsContinuation(char c) {
    return (static_cast<unsigned char>(c) & 0xC0) == 0x80;
}

// The bytes at the end of s that start a character the chunk does not finish.
size_t UnfinishedTail(std::string_view s) {
    for (size_t back = 1; back <= 3 && back <= s.size(); ++back) {
        const auto lead = static_cast<unsigned char>(s[s.size() - back]);
        if (IsContinuation(static_cast<char>(lead)))
            continue;
        const size_t need = lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC0 ? 2 : 1;
        return need > back ? back : 0;
    }
    return 0;
}

} // namespace

// Four bytes at least, so that the first chunk holds a whole byte-order mark
// and a chunk that is not the last completes any character cut before it.
TUtf8FileReader::TUtf8FileReader(size_t chunkBytes) : FChunk(std::max<size_t>(chunkBytes, 4)) {}

TUtf8FileReader::~TUtf8FileReader() {
    if (FFd >= 0)
        ::close(FFd);
}

bool TUtf8FileReader::Open(const std::string& fileName) {
    FFileName = fileName;
    size_t size = 0;
    const int fd = OpenRegularFileIfExists(fileName, size);
    if (fd < 0)
        return false;
    FFd = fd;
    return true;
}

bool TUtf8FileReader::AtEnd() {
    if (FPos < FLen)
        return false;
    if (FFd < 0)
        return true;
    Fill();
    return FPos >= FLen;
}

void TUtf8FileReader::CheckRest() {
    FPos = FLen;
    while (!AtEnd())
        FPos = FLen;
}

void TUtf8FileReader::Fill() {
    FPos = 0;
    FLen = 0;
    // Whole chunks until the end, so only the last one is short.
    while (FLen < FChunk.size()) {
        const ssize_t n = ::read(FFd, FChunk.data() + FLen, FChunk.size() - FLen);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            const int err = errno;
            ::close(FFd);
            FFd = -1;
            throw EFileError("Cannot read file \"" + FFileName + "\": " + SystemErrorText(err));
        }
        if (n == 0) {
            ::close(FFd);
            FFd = -1;
            break;
        }
        FLen += static_cast<size_t>(n);
    }
    if (FFirst) {
        FFirst = false;
        if (std::string_view(FChunk.data(), FLen).substr(0, kBom.size()) == kBom)
            FPos = kBom.size();
    }
    Check(FLen - FPos);
}

void TUtf8FileReader::Check(size_t count) {
    std::string_view s(FChunk.data() + FPos, count);
    if (!FCarry.empty()) {
        size_t k = 0;
        while (k < s.size() && k < 3 && IsContinuation(s[k]))
            ++k;
        FCarry.append(s.data(), k);
        if (!IsValidUtf8(FCarry))
            ThrowInvalid();
        FCarry.clear();
        s.remove_prefix(k);
    }
    const size_t tail = FFd >= 0 ? UnfinishedTail(s) : 0;
    if (!IsValidUtf8(s.substr(0, s.size() - tail)))
        ThrowInvalid();
    FCarry.assign(s.substr(s.size() - tail));
}

void TUtf8FileReader::ThrowInvalid() const {
    ThrowNotUtf8(FFileName);
}

} // namespace qm
