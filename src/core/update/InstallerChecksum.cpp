#include "update/InstallerChecksum.h"

#include "base/StringUtil.h"

namespace qm {

namespace {
constexpr size_t kSha256HexDigits = 64;

bool IsHexDigit(char c) {
    return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
}
} // namespace

std::optional<std::string> ParsePublishedSha256(std::string_view text) {
    if (StartsWith(text, "\xEF\xBB\xBF"))
        text.remove_prefix(3);
    const size_t start = text.find_first_not_of(" \t\r\n");
    if (start == std::string_view::npos)
        return std::nullopt;
    text.remove_prefix(start);
    size_t n = 0;
    while (n < text.size() && IsHexDigit(text[n]))
        ++n;
    // Exactly one digest: a longer run is another hash, a shorter one is cut off.
    if (n != kSha256HexDigits)
        return std::nullopt;
    if (n < text.size() && text[n] != ' ' && text[n] != '\t' && text[n] != '\r' && text[n] != '\n')
        return std::nullopt;
    return AsciiLower(text.substr(0, n));
}

bool Sha256Matches(std::string_view published, std::string_view computedHex) {
    return published.size() == kSha256HexDigits && SameTextAscii(published, computedHex);
}

} // namespace qm
