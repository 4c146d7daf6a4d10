#pragma once
// UTF-8 decoding for the places that must see code points: strict validation
// of files read as UTF-8, and the \u escapes of the JSON writer; UTF-16 text
// turned into UTF-8.
#include <cstdint>
#include <string>
#include <string_view>

namespace qm {

[[nodiscard]] bool IsValidUtf8(std::string_view s);

// Text known to be valid UTF-8, such as what ReadTextFileUtf8 returned: a
// search over it (TRegex) skips the check that every other search makes.
struct TValidUtf8 {
    std::string_view Text;
};

// Decodes the code point at s[pos] and advances pos. An invalid sequence yields
// U+FFFD and advances one byte, so callers never stall on bad input.
char32_t NextCodePoint(std::string_view s, size_t& pos);

void AppendUtf8(std::string& out, char32_t cp);

// UTF-16 bytes (little- or big-endian, without a byte-order mark) as UTF-8.
// An unpaired surrogate and an odd last byte become U+FFFD.
[[nodiscard]] std::string DecodeUtf16(std::string_view bytes, bool bigEndian);

} // namespace qm
