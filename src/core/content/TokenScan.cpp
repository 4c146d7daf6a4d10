#include "content/TokenScan.h"

#include "base/Error.h"
#include "base/StringUtil.h"
#include "base/Utf8.h"
#include "content/TokenExpansionSteps.h"

#include <cstring>

namespace qm {

namespace {

constexpr std::string_view kLongS = "\xC5\xBF";          // U+017F, caseless partner of s
constexpr std::string_view kKelvinSign = "\xE2\x84\xAA"; // U+212A, caseless partner of k

bool IsLowerAscii(char c) {
    return c >= 'a' && c <= 'z';
}

size_t SkipSpace(std::string_view text, size_t pos) {
    while (pos < text.size() && IsTokenSpace(text[pos]))
        ++pos;
    return pos;
}

// `word` (lower-case ASCII letters, no s or k) ending just before text[end],
// not reaching below `lowest`.
bool PlainWordBefore(std::string_view text, size_t end, size_t lowest, std::string_view word) {
    if (end < lowest + word.size())
        return false;
    const size_t start = end - word.size();
    for (size_t i = 0; i < word.size(); ++i) {
        const char c = text[start + i];
        if (c != word[i] && (c | 0x20) != word[i])
            return false;
    }
    return true;
}

// "border: 1px dashed" or "background: #eef5ff" at value[pos].
bool DecorationAt(std::string_view value, size_t pos) {
    if (const auto border = MatchCaselessWord(value, pos, "border")) {
        size_t i = SkipSpace(value, pos + *border);
        if (i < value.size() && value[i] == ':') {
            i = SkipSpace(value, i + 1);
            if (const auto px = MatchCaselessWord(value, i, "1px")) {
                const size_t afterSpace = SkipSpace(value, i + *px);
                if (afterSpace > i + *px && MatchCaselessWord(value, afterSpace, "dashed"))
                    return true;
            }
        }
    }
    if (const auto background = MatchCaselessWord(value, pos, "background")) {
        size_t i = SkipSpace(value, pos + *background);
        if (i < value.size() && value[i] == ':') {
            i = SkipSpace(value, i + 1);
            if (MatchCaselessWord(value, i, "#eef5ff"))
                return true;
        }
    }
    return false;
}

bool HoldsDecoration(std::string_view value) {
    for (size_t i = 0; i < value.size(); ++i)
        if ((value[i] | 0x20) == 'b' && DecorationAt(value, i))
            return true;
    return false;
}

struct TSpan {
    size_t Start;
    size_t End;
};

// ' style="..."' holding a dashed 1px border or the #eef5ff background,
// around the "=" at text[eq].
std::optional<TSpan> DecoratedStyleAt(std::string_view text, size_t eq, size_t lowest) {
    if (eq + 1 >= text.size() || text[eq + 1] != '"' || !PlainWordBefore(text, eq, lowest, "tyle"))
        return std::nullopt;
    size_t word = eq - 4;
    if (word > lowest && (text[word - 1] == 's' || text[word - 1] == 'S'))
        word -= 1;
    else if (word >= lowest + 2 && text.substr(word - 2, 2) == kLongS)
        word -= 2;
    else
        return std::nullopt;
    if (word <= lowest || !IsTokenSpace(text[word - 1]))
        return std::nullopt;
    // find_first_of would call memchr on its two characters for every byte.
    size_t stop = eq + 2;
    while (stop < text.size() && text[stop] != '"' && text[stop] != '>')
        ++stop;
    if (stop == text.size() || text[stop] != '"' ||
        !HoldsDecoration(text.substr(eq + 2, stop - eq - 2)))
        return std::nullopt;
    return TSpan{word - 1, stop + 1};
}

// ' contenteditable="false"' around the "=" at text[eq].
std::optional<TSpan> NonEditableAt(std::string_view text, size_t eq, size_t lowest) {
    constexpr std::string_view kName = "contenteditable";
    if (!PlainWordBefore(text, eq, lowest, kName))
        return std::nullopt;
    const size_t word = eq - kName.size();
    if (word <= lowest || !IsTokenSpace(text[word - 1]))
        return std::nullopt;
    const auto value = MatchCaselessWord(text, eq + 1, "\"false\"");
    if (!value)
        return std::nullopt;
    return TSpan{word - 1, eq + 1 + *value};
}

// ' title="..."' around the "=" at text[eq].
std::optional<TSpan> TitleAt(std::string_view text, size_t eq, size_t lowest) {
    if (eq + 1 >= text.size() || text[eq + 1] != '"' || !PlainWordBefore(text, eq, lowest, "title"))
        return std::nullopt;
    const size_t word = eq - 5;
    if (word <= lowest || !IsTokenSpace(text[word - 1]))
        return std::nullopt;
    const size_t close = text.find('"', eq + 2);
    if (close == std::string_view::npos)
        return std::nullopt;
    return TSpan{word - 1, close + 1};
}

// Every attribute that `attributeAt` finds, from left to right and not
// overlapping, removed in place. Each one holds exactly one "=" that is
// followed by a quote, and its span never holds another such "=", so looking
// at each "=" in turn finds them in the order a search from the left would.
// `attributeAt` reads nothing below its `lowest`: what lies below has
// already been overwritten.
template <typename TAttributeAt>
void RemoveAttributes(std::string& html, const TAttributeAt& attributeAt) {
    const std::string_view text = html;
    size_t kept = 0; // html[0, kept) is the result so far
    size_t next = 0; // text[next, ...) is still to be copied
    size_t eq = text.find('=');
    while (eq != std::string_view::npos) {
        const std::optional<TSpan> span = attributeAt(text, eq, next);
        if (!span) {
            eq = text.find('=', eq + 1);
            continue;
        }
        if (kept != next)
            std::memmove(html.data() + kept, html.data() + next, span->Start - next);
        kept += span->Start - next;
        next = span->End;
        eq = text.find('=', next);
    }
    if (kept == next)
        return;
    std::memmove(html.data() + kept, html.data() + next, text.size() - next);
    html.resize(kept + text.size() - next);
}

} // namespace

std::optional<size_t> MatchCaselessWord(std::string_view text, size_t pos, std::string_view word) {
    size_t i = pos;
    for (const char c : word) {
        if (i >= text.size())
            return std::nullopt;
        const char t = text[i];
        if (t == c || (IsLowerAscii(c) && (t | 0x20) == c)) {
            ++i;
        } else if (c == 's' && text.substr(i, kLongS.size()) == kLongS) {
            i += kLongS.size();
        } else if (c == 'k' && text.substr(i, kKelvinSign.size()) == kKelvinSign) {
            i += kKelvinSign.size();
        } else {
            return std::nullopt;
        }
    }
    return i - pos;
}

size_t TNextChar::From(size_t pos) {
    if (FAsked != std::string_view::npos && pos >= FAsked &&
        (FFound == std::string_view::npos || pos <= FFound))
        return FFound;
    FAsked = pos;
    FFound = FText.find(FChar, pos);
    return FFound;
}

std::optional<TScannedToken> ScanToken(TNextChar& closes, size_t pos, std::string_view word) {
    const std::string_view text = closes.Text();
    size_t i = SkipSpace(text, pos + 1);
    const auto matched = MatchCaselessWord(text, i, word);
    if (!matched)
        return std::nullopt;
    i = SkipSpace(text, i + *matched);
    if (i >= text.size() || text[i] != ':')
        return std::nullopt;
    ++i;
    // The name is at least one character and runs to the first "}".
    const size_t close = closes.From(i);
    if (close == std::string_view::npos || close == i)
        return std::nullopt;
    return TScannedToken{text.substr(i, close - i), close + 1};
}

std::optional<TScannedEndMarker> ScanEndMarker(TNextChar& closes, size_t pos) {
    const std::string_view text = closes.Text();
    size_t i = SkipSpace(text, pos + 1);
    const auto matched = MatchCaselessWord(text, i, "endcond");
    if (!matched)
        return std::nullopt;
    i = SkipSpace(text, i + *matched);
    if (i < text.size() && text[i] == '}')
        return TScannedEndMarker{false, {}, i + 1};
    if (i >= text.size() || text[i] != ':')
        return std::nullopt;
    ++i;
    const size_t close = closes.From(i);
    if (close == std::string_view::npos || close == i)
        return std::nullopt;
    return TScannedEndMarker{true, text.substr(i, close - i), close + 1};
}

bool MentionsConditionMarker(std::string_view html) {
    for (size_t pos = html.find('{'); pos != std::string_view::npos; pos = html.find('{', pos)) {
        pos = SkipSpace(html, pos + 1);
        const std::string_view rest = html.substr(pos);
        if (StartsWithAsciiNoCase(rest, "begincond") || StartsWithAsciiNoCase(rest, "endcond"))
            return true;
    }
    return false;
}

std::string TokenName(std::string_view written) {
    return TrimCtl(HtmlDecode(written));
}

void StripTokenDecorationInPlace(std::string& html) {
    if (!IsValidUtf8(html))
        throw EEncodingError("Text is not valid UTF-8");
    RemoveAttributes(html, DecoratedStyleAt);
    RemoveAttributes(html, NonEditableAt);
    RemoveAttributes(html, TitleAt);
}

} // namespace qm
