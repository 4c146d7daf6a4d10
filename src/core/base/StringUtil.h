#pragma once
// Small text helpers on UTF-8 strings that the file formats rely on: trimming
// by character code, ASCII-only case folding, plain substring replacement.
#include <string>
#include <string_view>
#include <vector>

namespace qm {

// Removes every character of code 32 or less from both ends.
[[nodiscard]] std::string TrimCtl(std::string_view s);
[[nodiscard]] std::string AsciiLower(std::string_view s);
// Equal when only ASCII letters differ in case.
[[nodiscard]] bool SameTextAscii(std::string_view a, std::string_view b);
[[nodiscard]] bool StartsWith(std::string_view s, std::string_view prefix);
[[nodiscard]] bool EndsWith(std::string_view s, std::string_view suffix);
[[nodiscard]] bool StartsWithAsciiNoCase(std::string_view s, std::string_view prefix);
// Position of needle in hay ignoring ASCII case, or npos.
[[nodiscard]] size_t FindAsciiNoCase(std::string_view hay, std::string_view needle,
                                     size_t from = 0);
[[nodiscard]] std::string ReplaceAll(std::string_view s, std::string_view from,
                                     std::string_view to);
[[nodiscard]] std::string ReplaceAllAsciiNoCase(std::string_view s, std::string_view from,
                                                std::string_view to);
// Replaces the first "%s" (and only that) with arg; "%%" is not special.
[[nodiscard]] std::string FormatS(std::string_view format, std::string_view arg);
[[nodiscard]] std::vector<std::string> SplitLines(std::string_view text);
// Integer text as StrToInt reads it: optional sign, decimal digits, within 32 bits.
[[nodiscard]] bool TryParseInt32(std::string_view s, int& out);
// Shortest decimal form of a double with up to 15 significant digits ("1.5", "2").
[[nodiscard]] std::string FormatShortestDouble(double v);

} // namespace qm
