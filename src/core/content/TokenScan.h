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

// The first `c` at or after a position, remembered between questions. The
// scanners ask for the next "}" from every "{" (and for the next ">" from
// every "<"); on a page of tokens that are never closed, searching afresh
// each time would cross the rest of the page for every one of them.
class TNextChar {
public:
    TNextChar(std::string_view text, char c) : FText(text), FChar(c) {}
    [[nodiscard]] std::string_view Text() const { return FText; }
    // npos when there is none.
    [[nodiscard]] size_t From(size_t pos);

private:
    std::string_view FText;
    char FChar;
    size_t FAsked = std::string_view::npos;
    size_t FFound = std::string_view::npos;
};

// A token such as "{ var : Name }" whose word is `word`, starting at the "{"
// at text[pos]: what lies between its colon and its closing "}" (the name
// with the blanks around it), and where the token ends.
struct TScannedToken {
    std::string_view Name;
    size_t End = 0;
};
// `closes` finds the "}" in the text the token is part of.
[[nodiscard]] std::optional<TScannedToken> ScanToken(TNextChar& closes, size_t pos,
                                                     std::string_view word);

// An end marker at the "{" at text[pos]: "{endcond}" (Named false) or
// "{ endcond : Name }" (Named true, Name as in TScannedToken).
struct TScannedEndMarker {
    bool Named = false;
    std::string_view Name;
    size_t End = 0;
};
[[nodiscard]] std::optional<TScannedEndMarker> ScanEndMarker(TNextChar& closes, size_t pos);

// Whether the text holds "{", optional blanks, then "begincond" or "endcond"
// in any case: every pattern of the condition phase needs one. These words
// have no letter that caseless matching pairs with a non-ASCII one.
[[nodiscard]] bool MentionsConditionMarker(std::string_view html);

// A token name as written in HTML: entities decoded, blanks at both ends
// removed.
[[nodiscard]] std::string TokenName(std::string_view written);

// Removes, in this order, the decorated style attributes, contenteditable="false"
// and title attributes, each with the blank before it (see StripTokenDecoration).
// Raises EEncodingError when the text is not valid UTF-8.
void StripTokenDecorationInPlace(std::string& html);

} // namespace qm
