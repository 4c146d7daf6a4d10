#pragma once
// Writing text in the Windows-1251 code page, which the compiled help viewer
// reads the pages and the project files in.
#include <optional>
#include <string>
#include <string_view>

namespace qm::chm {

// The Windows-1251 byte of a code point, or nothing when the code page lacks it.
[[nodiscard]] std::optional<unsigned char> Cp1251ByteOf(char32_t codePoint);

// UTF-8 text as Windows-1251 bytes for HTML pages: a character the code page
// lacks becomes a numeric character reference ("&#233;"), so nothing is lost.
[[nodiscard]] std::string EncodeCp1251Html(std::string_view utf8);

// The plain letter that stands in for a Latin letter with a diacritic (é
// gives e), or "?" for anything else.
[[nodiscard]] char PlainStandIn(char32_t codePoint);

// UTF-8 text as Windows-1251 bytes for the contents, index and project files,
// whose readers do not all decode character references: a character the code
// page lacks becomes its closest plain letter (é gives e) or "?".
[[nodiscard]] std::string EncodeCp1251(std::string_view utf8);

} // namespace qm::chm
