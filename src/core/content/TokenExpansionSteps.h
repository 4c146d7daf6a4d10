#pragma once
// The steps of ExpandReusableContent, declared for their tests; nothing else
// calls them. Each step scans the text for its tokens (TokenScan.h), never
// building a document tree. RegexReplaceWith is how the steps were first
// written; the tests keep those versions as the reference the scanners must
// agree with.
#include "base/Regex.h"

#include <cstddef>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace qm {

class TDocProject;
class TReusableProjectContent;

// What the snippets inside one page's expansion share: the trail that stops
// cycles, the depth limit and the budget that stop nesting out of all
// proportion.
class TSnippetExpansion final {
public:
    // Snippets nested deeper than this are left out like a cycle. Each level
    // is a recursion through the whole expansion, so the limit is what keeps
    // the stack small; no author nests anywhere near this deep.
    static constexpr size_t kMaxDepth = 64;
    // The text snippet expansions may handle in one page: the snippets' HTML
    // as it is read and their expansions as they are inserted, at every
    // level, so that it bounds both the page and the work. The larger of a
    // fixed amount and a multiple of the page.
    static constexpr size_t kMinBudget = 16 * 1024 * 1024;
    static constexpr size_t kBudgetPerPageByte = 64;

    // topicTitle names the page in the error; empty when it is not known.
    explicit TSnippetExpansion(size_t pageSize, std::string topicTitle);

    // Lower-cased names of the snippets whose expansion is under way,
    // outermost first. The token of a snippet on this trail becomes empty
    // text: that is what stops a snippet that includes itself, directly or
    // through others, while any acyclic nesting still expands fully.
    std::vector<std::string> Trail;

    // The reusable content of the page, read when the expansion of its
    // first text that is not empty begins.
    std::shared_ptr<const TReusableProjectContent> Store;

    // Counts `bytes` of snippet text against the budget; raises
    // EQuillmateError, naming the topic, once the budget is exceeded.
    void Charge(size_t bytes);

private:
    size_t FBudget;
    size_t FUsed = 0;
    std::string FTopicTitle;
};

// ExpandReusableContent inside the expansion of the snippets on the trail.
[[nodiscard]] std::string ExpandReusableContent(const TDocProject& project, const std::string& html,
                                                TSnippetExpansion& expansion);

using TRegexReplacer = std::function<std::string(const TRegexMatch&)>;

// Every match of `regex` in `input` replaced by replace(match), in one pass
// over the unchanged input: empty matches are skipped, and each replaced
// stretch is the first occurrence of the matched text at or after the end of
// the previous one (which for patterns that look at nothing around their
// match is the match itself). Replacements are not searched again.
// `window` only tells where matches can lie (see TRegexWindow).
[[nodiscard]] std::string RegexReplaceWith(std::string_view input, const TRegex& regex,
                                           const TRegexReplacer& replace, TRegexWindow window = {});

// Decodes &amp; &lt; &gt; &quot; &apos; and decimal references such as &#233;;
// any other ampersand stays as it is.
[[nodiscard]] std::string HtmlDecode(std::string_view text);

// Snippet tokens in the text between tags become the snippet's HTML, itself
// fully expanded; unknown and empty snippets, and snippets nested deeper than
// TSnippetExpansion::kMaxDepth, become empty text.
[[nodiscard]] std::string ReplaceSnippetTokensInHtml(std::string_view html,
                                                     const TDocProject& project,
                                                     const TReusableProjectContent& store,
                                                     TSnippetExpansion& expansion);
[[nodiscard]] std::string ReplaceSnippetTokensInText(std::string_view text,
                                                     const TDocProject& project,
                                                     const TReusableProjectContent& store,
                                                     TSnippetExpansion& expansion);

// Conditional blocks kept (body only) or dropped; then every marker left over
// is removed. Markers count anywhere, inside tags too.
[[nodiscard]] std::string ReplaceConditionTokens(std::string_view html,
                                                 const TReusableProjectContent& store);
// A block element (p, div, li, h1 ...) that holds nothing but one marker is
// replaced by the bare marker, so resolving the block leaves no empty one.
[[nodiscard]] std::string StripConditionMarkerOnlyBlocks(std::string_view html);

// Variable tokens in the text between tags become the HTML-encoded value.
[[nodiscard]] std::string ReplaceVariableTokensInHtml(std::string_view html,
                                                      const TReusableProjectContent& store);
[[nodiscard]] std::string ReplaceVariableTokensInText(std::string_view text,
                                                      const TReusableProjectContent& store);

// Removes what the editor adds to show tokens: styles with a dashed 1px frame
// or the #eef5ff background, contenteditable="false" and title attributes.
[[nodiscard]] std::string StripTokenDecoration(std::string_view html);

} // namespace qm
