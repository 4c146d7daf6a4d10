#pragma once
// Byte scanners for the simplest patterns of the token expansion. Each gives
// exactly what its caseless UTF-8 regular expression gives, without the
// engine: a page holds many tokens and attributes, and every search of the
// engine meant another pass and another copy of the page.
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace qm {

// Length of `word` (lower-case ASCII) at text[pos] when it is there with
// ASCII letters in either case; "s" and "k" also match the long s (U+017F)
// and the Kelvin sign (U+212A), as caseless UTF-8 matching has them.
[[nodiscard]] std::optional<size_t> MatchCaselessWord(std::string_view text, size_t pos,
                                                      std::string_view word);

// \s of the patterns: space, tab, line feed, vertical tab, form feed, return.
[[nodiscard]] constexpr bool IsTokenSpace(char c) {
    return c == ' ' || (c >= '\t' && c <= '\r');
}

// A token such as "{ var : Name }" whose word is `word`, starting at the "{"
// at text[pos]: what lies between its colon and its closing "}" (the name
// with the blanks around it), and where the token ends.
struct TScannedToken {
    std::string_view Name;
    size_t End = 0;
};
[[nodiscard]] std::optional<TScannedToken> ScanToken(std::string_view text, size_t pos,
                                                     std::string_view word);

// Removes, in this order, the decorated style attributes, contenteditable="false"
// and title attributes, each with the blank before it (see StripTokenDecoration).
// Raises EEncodingError when the text is not valid UTF-8.
void StripTokenDecorationInPlace(std::string& html);

} // namespace qm
