#include "content/TokenExpansion.h"

#include "base/Error.h"
#include "base/HtmlEncode.h"
#include "base/StringUtil.h"
#include "base/Utf8.h"
#include "content/ReusableContentCache.h"
#include "content/TokenExpansionSteps.h"
#include "content/TokenScan.h"
#include "model/DocModel.h"

#include <algorithm>
#include <cstdint>
#include <limits>
#include <optional>

namespace qm {

namespace {

// Repeated passes are how nested constructs are reached, since no pass
// searches its own replacements again.
constexpr int kSnippetPasses = 10;
constexpr int kConditionPhasePasses = 10;

// Every snippet token starts with "{", optional white space and "snip", whose
// "s" caseless UTF-8 matching also finds as U+017F. Without one a snippet
// pass changes nothing.
bool MentionsSnippetToken(std::string_view html) {
    for (size_t pos = html.find('{'); pos != std::string_view::npos; pos = html.find('{', pos)) {
        ++pos;
        while (pos < html.size() && IsTokenSpace(html[pos]))
            ++pos;
        std::string_view rest = html.substr(pos);
        if (StartsWith(rest, "\xC5\xBF"))
            rest.remove_prefix(1); // "ſnip" becomes "\xBFnip"; its "nip" is compared below
        else if (rest.empty() || (rest[0] != 's' && rest[0] != 'S'))
            continue;
        if (StartsWithAsciiNoCase(rest.substr(1), "nip"))
            return true;
    }
    return false;
}

// Every token "{word:name}" in `text` replaced by replace(name as written),
// from left to right; replacements are not searched again.
template <typename TReplace>
std::string ReplaceScannedTokens(std::string_view text, std::string_view word,
                                 const TReplace& replace) {
    std::string out;
    size_t copied = 0;
    TNextChar closes(text, '}');
    for (size_t open = text.find('{'); open != std::string_view::npos;) {
        const std::optional<TScannedToken> token = ScanToken(closes, open, word);
        if (!token) {
            open = text.find('{', open + 1);
            continue;
        }
        out.append(text, copied, open - copied);
        out += replace(token->Name);
        copied = token->End;
        open = text.find('{', copied);
    }
    if (copied == 0)
        return std::string(text);
    out.append(text, copied, std::string_view::npos);
    return out;
}

// The text between tags goes through `replaceRun`; tags, from "<" to the
// next ">" (or to the end), are copied unchanged.
template <typename TReplaceRun>
std::string ReplaceInTextRuns(std::string_view html, const TReplaceRun& replaceRun) {
    std::string out;
    out.reserve(html.size());
    size_t pos = 0;
    while (pos < html.size()) {
        if (html[pos] == '<') {
            const size_t close = html.find('>', pos);
            const size_t end = close == std::string_view::npos ? html.size() : close + 1;
            out.append(html, pos, end - pos);
            pos = end;
        } else {
            const size_t open = html.find('<', pos);
            const size_t end = open == std::string_view::npos ? html.size() : open;
            const std::string_view run = html.substr(pos, end - pos);
            // Every token starts with "{"; most runs hold none.
            if (run.find('{') == std::string_view::npos)
                out += run;
            else
                out += replaceRun(run);
            pos = end;
        }
    }
    return out;
}

// Puts a snippet on the trail for the time its expansion runs.
class TTrailStep {
public:
    TTrailStep(std::vector<std::string>& trail, std::string key) : FTrail(trail) {
        FTrail.push_back(std::move(key));
    }
    ~TTrailStep() { FTrail.pop_back(); }
    TTrailStep(const TTrailStep&) = delete;
    TTrailStep& operator=(const TTrailStep&) = delete;

private:
    std::vector<std::string>& FTrail;
};

size_t SnippetBudget(size_t pageSize) {
    constexpr size_t kLargest = std::numeric_limits<size_t>::max();
    constexpr size_t kPerByte = TSnippetExpansion::kBudgetPerPageByte;
    const size_t multiple = pageSize > kLargest / kPerByte ? kLargest : pageSize * kPerByte;
    return std::max(TSnippetExpansion::kMinBudget, multiple);
}

bool DecodeEntity(std::string_view body, std::string& out) {
    static constexpr std::pair<std::string_view, char> kNamed[] = {
        {"amp", '&'}, {"lt", '<'}, {"gt", '>'}, {"quot", '"'}, {"apos", '\''}};
    for (const auto& [name, c] : kNamed)
        if (body == name) {
            out.push_back(c);
            return true;
        }
    // &#233; -- decimal only, up to the largest code point.
    if (body.size() < 2 || body.size() > 8 || body[0] != '#')
        return false;
    std::uint32_t cp = 0;
    for (char c : body.substr(1)) {
        if (c < '0' || c > '9')
            return false;
        cp = cp * 10 + static_cast<std::uint32_t>(c - '0');
    }
    if (cp == 0 || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF))
        return false;
    AppendUtf8(out, static_cast<char32_t>(cp));
    return true;
}

} // namespace

std::string RegexReplaceWith(std::string_view input, const TRegex& regex,
                             const TRegexReplacer& replace, TRegexWindow window) {
    std::string out;
    size_t pos = 0;
    bool any = false;
    regex.ForEachMatch(
        input,
        [&](const TRegexMatch& m) {
            const std::string_view text = m.Group();
            if (text.empty())
                return;
            // The match itself is the last place the text can first occur.
            const size_t found = input.substr(pos, m.End() - pos).find(text);
            if (found == std::string_view::npos)
                return;
            if (!any)
                out.reserve(input.size());
            any = true;
            out.append(input, pos, found);
            out += replace(m);
            pos += found + text.size();
        },
        window);
    if (!any)
        return std::string(input);
    out.append(input, pos, std::string_view::npos);
    return out;
}

std::string HtmlDecode(std::string_view text) {
    if (text.find('&') == std::string_view::npos)
        return std::string(text);
    std::string out;
    out.reserve(text.size());
    size_t pos = 0;
    while (pos < text.size()) {
        const size_t amp = text.find('&', pos);
        if (amp == std::string_view::npos)
            break;
        out.append(text, pos, amp - pos);
        pos = amp + 1;
        // The longest entity decoded here, "&#1114111;", has 8 characters
        // between "&" and ";".
        const size_t semi = text.substr(pos, 9).find(';');
        if (semi != std::string_view::npos && DecodeEntity(text.substr(pos, semi), out))
            pos += semi + 1;
        else
            out.push_back('&');
    }
    out.append(text, pos, std::string_view::npos);
    return out;
}

TSnippetExpansion::TSnippetExpansion(size_t pageSize, std::string topicTitle)
    : FBudget(SnippetBudget(pageSize)), FTopicTitle(std::move(topicTitle)) {}

void TSnippetExpansion::Charge(size_t bytes) {
    if (bytes <= FBudget - FUsed) {
        FUsed += bytes;
        return;
    }
    const std::string where = FTopicTitle.empty() ? "" : " in topic '" + FTopicTitle + "'";
    throw EQuillmateError("Reusable content expands too far" + where + ": more than " +
                          std::to_string(FBudget / (1024 * 1024)) +
                          " MB (snippets nested in each other?)");
}

std::string ReplaceSnippetTokensInText(std::string_view text, const TDocProject& project,
                                       const TReusableProjectContent& store,
                                       TSnippetExpansion& expansion) {
    // Text that is not UTF-8 is refused before any of its snippets is
    // expanded, up to its last "}" (after it no token can end).
    const size_t lastClose = text.rfind('}');
    if (lastClose == std::string_view::npos)
        return std::string(text);
    if (!IsValidUtf8(text.substr(0, lastClose + 1)))
        throw EEncodingError("Text is not valid UTF-8");
    return ReplaceScannedTokens(text, "snip", [&](std::string_view written) {
        const std::string name = TokenName(written);
        std::vector<std::string>& trail = expansion.Trail;
        if (trail.size() >= TSnippetExpansion::kMaxDepth)
            return std::string();
        const std::string html = store.SnippetHtml(name, "");
        if (html.empty())
            return std::string();
        // Lookups ignore the case of ASCII letters, so names that differ only
        // in that case are the same snippet.
        std::string key = AsciiLower(name);
        if (std::find(trail.begin(), trail.end(), key) != trail.end())
            return std::string();
        expansion.Charge(html.size());
        const TTrailStep step(trail, std::move(key));
        std::string expanded = ExpandReusableContent(project, html, expansion);
        expansion.Charge(expanded.size());
        return expanded;
    });
}

std::string ReplaceSnippetTokensInHtml(std::string_view html, const TDocProject& project,
                                       const TReusableProjectContent& store,
                                       TSnippetExpansion& expansion) {
    return ReplaceInTextRuns(html, [&](std::string_view run) {
        return ReplaceSnippetTokensInText(run, project, store, expansion);
    });
}

std::string ReplaceVariableTokensInText(std::string_view text,
                                        const TReusableProjectContent& store) {
    return ReplaceScannedTokens(text, "var", [&](std::string_view written) {
        return HtmlEncode(store.VariableValue(TokenName(written), ""));
    });
}

std::string ReplaceVariableTokensInHtml(std::string_view html,
                                        const TReusableProjectContent& store) {
    return ReplaceInTextRuns(
        html, [&](std::string_view run) { return ReplaceVariableTokensInText(run, store); });
}

std::string StripTokenDecoration(std::string_view html) {
    std::string result(html);
    StripTokenDecorationInPlace(result);
    return result;
}

std::string ExpandReusableContent(const TDocProject& project, const std::string& html,
                                  TSnippetExpansion& expansion) {
    if (project.RootPath.empty() || html.empty())
        return html;
    // Read for every page, so a change saved meanwhile counts from the next
    // one on (unchanged, the file is not parsed again); the snippets inside
    // the page use what the page read. Looking at the file for each of them
    // cost more than their expansion, and a page now sees one state of it.
    if (!expansion.Store)
        expansion.Store = CurrentReusableContent(project);
    const std::shared_ptr<const TReusableProjectContent> store = expansion.Store;
    std::string result = html;
    // Snippets first, so that a snippet may hold whole conditional blocks;
    // variables last, so that a token inside a dropped block is never looked
    // up and a value that looks like a token stays text.
    for (int pass = 0; pass < kSnippetPasses && MentionsSnippetToken(result); ++pass) {
        std::string next = ReplaceSnippetTokensInHtml(result, project, *store, expansion);
        if (next == result)
            break;
        result = std::move(next);
    }
    for (int pass = 0; pass < kConditionPhasePasses && MentionsConditionMarker(result); ++pass) {
        std::string next = ReplaceConditionTokens(result, *store);
        if (next == result)
            break;
        result = std::move(next);
    }
    result = ReplaceVariableTokensInHtml(result, *store);
    StripTokenDecorationInPlace(result);
    return result;
}

std::string ExpandReusableContent(const TDocProject& project, const std::string& html,
                                  std::string_view topicTitle) {
    TSnippetExpansion expansion(html.size(), std::string(topicTitle));
    return ExpandReusableContent(project, html, expansion);
}

} // namespace qm
