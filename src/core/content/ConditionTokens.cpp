// Conditional blocks, found by scanning for their markers. Each step gives
// what a left-to-right search with its caseless pattern gives (a begin
// marker, the shortest body, the first end marker of the kind the step
// wants), one match after the other over the unchanged text.
#include "base/StringUtil.h"
#include "content/ReusableContent.h"
#include "content/TokenExpansionSteps.h"
#include "content/TokenScan.h"

#include <array>
#include <optional>

namespace qm {

namespace {

constexpr int kConditionPairPasses = 20;

struct TMarkerSpan {
    size_t Start;
    size_t End;
    std::string_view Name;
};

// The first begin marker at or after `from`.
std::optional<TMarkerSpan> NextBeginMarker(TNextChar& closes, size_t from) {
    const std::string_view text = closes.Text();
    for (size_t open = text.find('{', from); open != std::string_view::npos;
         open = text.find('{', open + 1))
        if (const auto marker = ScanToken(closes, open, "begincond"))
            return TMarkerSpan{open, marker->End, marker->Name};
    return std::nullopt;
}

// The first end marker, named or plain as asked, at or after `from`.
std::optional<TMarkerSpan> NextEndMarker(TNextChar& closes, size_t from, bool named) {
    const std::string_view text = closes.Text();
    for (size_t open = text.find('{', from); open != std::string_view::npos;
         open = text.find('{', open + 1))
        if (const auto marker = ScanEndMarker(closes, open); marker && marker->Named == named)
            return TMarkerSpan{open, marker->End, marker->Name};
    return std::nullopt;
}

// Every begin marker with the first end marker of the kind after it, as
// replace(begin, end) decides. A begin marker without such an end marker
// means no later one has one either.
template <typename TReplace>
std::string ReplaceBlocks(std::string_view text, bool namedEnd, const TReplace& replace) {
    std::string out;
    size_t copied = 0;
    bool any = false;
    TNextChar closes(text, '}');
    while (const auto begin = NextBeginMarker(closes, copied)) {
        const auto end = NextEndMarker(closes, begin->End, namedEnd);
        if (!end)
            break;
        if (!any)
            out.reserve(text.size());
        any = true;
        out.append(text, copied, begin->Start - copied);
        replace(out, *begin, *end);
        copied = end->End;
    }
    if (!any)
        return std::string(text);
    out.append(text, copied, std::string_view::npos);
    return out;
}

// Every begin and end marker removed, the text around them kept.
std::string RemoveMarkers(std::string_view text) {
    std::string out;
    size_t copied = 0;
    TNextChar closes(text, '}');
    for (size_t open = text.find('{'); open != std::string_view::npos;) {
        size_t end = 0;
        if (const auto begin = ScanToken(closes, open, "begincond"))
            end = begin->End;
        else if (const auto marker = ScanEndMarker(closes, open))
            end = marker->End;
        if (end == 0) {
            open = text.find('{', open + 1);
            continue;
        }
        out.append(text, copied, open - copied);
        copied = end;
        open = text.find('{', copied);
    }
    if (copied == 0)
        return std::string(text);
    out.append(text, copied, std::string_view::npos);
    return out;
}

bool IsAsciiWordChar(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_';
}

size_t SkipSpace(std::string_view text, size_t pos) {
    while (pos < text.size() && IsTokenSpace(text[pos]))
        ++pos;
    return pos;
}

// The block element name at text[pos] followed by a word boundary: its
// lower-case form and its length as written.
std::optional<std::pair<std::string, size_t>> BlockTagAt(std::string_view text, size_t pos) {
    static constexpr std::array<std::string_view, 9> kTags = {
        "p", "div", "section", "article", "li", "blockquote", "tr", "td", "th"};
    std::optional<std::pair<std::string, size_t>> tag;
    if (pos >= text.size())
        return std::nullopt;
    // The first byte rules out all names but one or three (the long s of
    // "section" starts with 0xC5).
    const char first = static_cast<char>(text[pos] | 0x20);
    for (const std::string_view name : kTags)
        if (first == name[0] || (name[0] == 's' && text[pos] == '\xC5'))
            if (const auto length = MatchCaselessWord(text, pos, name)) {
                tag.emplace(std::string(name), *length);
                break;
            }
    if (!tag && pos + 1 < text.size() && (text[pos] | 0x20) == 'h' && text[pos + 1] >= '1' &&
        text[pos + 1] <= '6')
        tag.emplace(std::string{'h', text[pos + 1]}, 2);
    if (!tag)
        return std::nullopt;
    const size_t after = pos + tag->second;
    if (after < text.size() && IsAsciiWordChar(text[after]))
        return std::nullopt;
    return tag;
}

// <p attrs> {marker} </p> at the "<" at text[pos]: the marker's span and
// where the element ends.
template <typename TMarkerAt>
std::optional<std::pair<TMarkerSpan, size_t>>
MarkerOnlyBlockAt(TNextChar& tagEnds, TNextChar& closes, size_t pos, const TMarkerAt& markerAt) {
    const std::string_view text = tagEnds.Text();
    // A tag name holds no ">", so the end of the tag is the first ">" after
    // its "<". Most tags are followed by no marker: that is checked first.
    const size_t openEnd = tagEnds.From(pos + 1);
    if (openEnd == std::string_view::npos)
        return std::nullopt;
    const size_t brace = SkipSpace(text, openEnd + 1);
    if (brace >= text.size() || text[brace] != '{')
        return std::nullopt;
    const auto tag = BlockTagAt(text, pos + 1);
    if (!tag)
        return std::nullopt;
    const std::optional<size_t> markerEnd = markerAt(closes, brace);
    if (!markerEnd)
        return std::nullopt;
    size_t i = SkipSpace(text, *markerEnd);
    if (text.substr(i, 2) != "</")
        return std::nullopt;
    const auto closing = MatchCaselessWord(text, i + 2, tag->first);
    if (!closing)
        return std::nullopt;
    i += 2 + *closing;
    if (i >= text.size() || text[i] != '>')
        return std::nullopt;
    return std::pair{TMarkerSpan{brace, *markerEnd, {}}, i + 1};
}

// The "<" that can start a block around the marker at text[brace]: those
// whose tag ends with the ">" just before the marker (blanks aside), from
// left to right, none before `from`. Empty when no ">" precedes it so.
std::string_view TagStartsBefore(std::string_view text, size_t brace, size_t from) {
    size_t gt = brace;
    while (gt > from && IsTokenSpace(text[gt - 1]))
        --gt;
    if (gt == from || text[gt - 1] != '>')
        return {};
    --gt;
    // A tag's end is the first ">" after its "<": the "<" lie after the
    // ">" before this one.
    const size_t previous = text.substr(from, gt - from).rfind('>');
    const size_t lowest = previous == std::string_view::npos ? from : from + previous + 1;
    return text.substr(lowest, gt - lowest);
}

// Every marker-only block replaced by its marker. A block holds its marker
// right after the ">" of its start tag, so the search starts from the
// markers, which are few, instead of from every tag. Of the tags before one
// marker the leftmost that makes a block wins, as in a search from the left.
template <typename TMarkerAt>
std::string UnwrapMarkerOnlyBlocks(std::string_view text, const TMarkerAt& markerAt) {
    std::string out;
    size_t copied = 0;
    bool any = false;
    TNextChar tagEnds(text, '>');
    TNextChar closes(text, '}');
    for (size_t open = text.find('{'); open != std::string_view::npos;) {
        std::optional<std::pair<TMarkerSpan, size_t>> block;
        size_t blockStart = 0;
        if (markerAt(closes, open)) {
            const std::string_view starts = TagStartsBefore(text, open, copied);
            const size_t base = static_cast<size_t>(starts.data() - text.data());
            for (size_t lt = starts.find('<'); lt != std::string_view::npos && !block;
                 lt = starts.find('<', lt + 1)) {
                blockStart = base + lt;
                block = MarkerOnlyBlockAt(tagEnds, closes, blockStart, markerAt);
            }
        }
        if (!block) {
            open = text.find('{', open + 1);
            continue;
        }
        any = true;
        out.append(text, copied, blockStart - copied);
        out.append(text, block->first.Start, block->first.End - block->first.Start);
        copied = block->second;
        open = text.find('{', copied);
    }
    if (!any)
        return std::string(text);
    out.append(text, copied, std::string_view::npos);
    return out;
}

} // namespace

std::string StripConditionMarkerOnlyBlocks(std::string_view html) {
    if (!MentionsConditionMarker(html))
        return std::string(html);
    const std::string begins = UnwrapMarkerOnlyBlocks(html, [](TNextChar& closes, size_t brace) {
        const auto marker = ScanToken(closes, brace, "begincond");
        return marker ? std::optional<size_t>(marker->End) : std::nullopt;
    });
    return UnwrapMarkerOnlyBlocks(begins, [](TNextChar& closes, size_t brace) {
        const auto marker = ScanEndMarker(closes, brace);
        return marker ? std::optional<size_t>(marker->End) : std::nullopt;
    });
}

std::string ReplaceConditionTokens(std::string_view html, const TReusableProjectContent& store) {
    if (!MentionsConditionMarker(html))
        return std::string(html);
    std::string result = StripConditionMarkerOnlyBlocks(html);
    for (int pass = 0; pass < kConditionPairPasses && MentionsConditionMarker(result); ++pass) {
        const std::string_view text = result;
        std::string next = ReplaceBlocks(
            text, true, [&](std::string& out, const TMarkerSpan& begin, const TMarkerSpan& end) {
                const std::string name = TokenName(begin.Name);
                // An end marker of another block: left as it is, so this
                // pair is never resolved and only loses its markers at the end.
                if (!SameTextAscii(name, TokenName(end.Name)))
                    out.append(text, begin.Start, end.End - begin.Start);
                else if (store.ConditionEnabled(name, false))
                    out.append(text, begin.End, end.Start - begin.End);
            });
        const std::string_view named = next;
        next = ReplaceBlocks(
            named, false, [&](std::string& out, const TMarkerSpan& begin, const TMarkerSpan& end) {
                if (store.ConditionEnabled(TokenName(begin.Name), false))
                    out.append(named, begin.End, end.Start - begin.End);
            });
        // A pass that changes nothing would change nothing again.
        if (next == result)
            break;
        result = std::move(next);
    }
    if (!MentionsConditionMarker(result))
        return result;
    return RemoveMarkers(result);
}

} // namespace qm
