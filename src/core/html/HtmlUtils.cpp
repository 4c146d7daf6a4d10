#include "html/HtmlUtils.h"

#include "base/Regex.h"
#include "base/StringUtil.h"

#include <optional>

namespace qm {

namespace {

struct THtmlPatterns {
    // <script type="text/javascript">...</script>, <STYLE>...</style>
    TRegex ScriptOrStyle{R"re(<(script|style)[^>]*>.*?</\1>)re",
                         {.Caseless = true, .DotAll = true}};
    // Where such an element can end; bounds the search so that a page full
    // of unclosed <script> tags does not make every attempt scan to its end.
    TRegex ScriptOrStyleEnd{R"re(</(?:script|style)>)re", {.Caseless = true}};
    TRegex Tag{R"re(<[^>]+>)re"};
    // href="doc:0123456789ABCDEF0123456789ABCDEF", HREF = 'doc:...'
    TRegex DocLink{R"re(href\s*=\s*["']doc:([a-fA-F0-9]{32})["'])re", {.Caseless = true}};
};

const THtmlPatterns& Patterns() {
    static const THtmlPatterns patterns;
    return patterns;
}

bool IsHtmlSpace(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f' || c == '\v';
}

std::string CollapseSpaceRuns(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    bool inRun = false;
    for (char c : text) {
        if (IsHtmlSpace(c)) {
            if (!inRun)
                out.push_back(' ');
            inRun = true;
        } else {
            out.push_back(c);
            inRun = false;
        }
    }
    return out;
}

} // namespace

std::string HtmlToPlainText(std::string_view html) {
    const THtmlPatterns& p = Patterns();
    const auto space = [](const TRegexMatch&) { return std::string(" "); };
    std::string text;
    if (const std::optional<TRegexWindow> window =
            WindowBeforeLastCloser(p.ScriptOrStyleEnd, html, '>'))
        text = p.ScriptOrStyle.Replace(html, space, *window);
    else
        text = std::string(html);
    // Every tag ends with the first ">" after it; past the last one a "<"
    // can only fail, after scanning to the end.
    if (const std::optional<TRegexWindow> window = WindowBeforeLastChar(text, '>'))
        text = p.Tag.Replace(text, space, *window);
    // One after the other, each on the result of the one before, so that
    // "&amp;lt;" ends as "<".
    text = ReplaceAllAsciiNoCase(text, "&nbsp;", " ");
    text = ReplaceAllAsciiNoCase(text, "&amp;", "&");
    text = ReplaceAllAsciiNoCase(text, "&lt;", "<");
    text = ReplaceAllAsciiNoCase(text, "&gt;", ">");
    text = ReplaceAllAsciiNoCase(text, "&quot;", "\"");
    text = ReplaceAllAsciiNoCase(text, "&#39;", "'");
    return TrimCtl(CollapseSpaceRuns(text));
}

std::vector<std::string> CollectDocLinkIds(std::string_view html) {
    std::vector<std::string> ids;
    Patterns().DocLink.ForEachMatch(html,
                                    [&](const TRegexMatch& m) { ids.emplace_back(m.Group(1)); });
    return ids;
}

std::string RewriteDocLinks(std::string_view html, const TDocLinkTarget& rule) {
    std::string out;
    size_t pos = 0;
    bool any = false;
    Patterns().DocLink.ForEachMatch(html, [&](const TRegexMatch& m) {
        if (!any)
            out.reserve(html.size() + 64);
        any = true;
        out.append(html, pos, m.Start() - pos);
        // No rule, or a rule that answers nothing: the link goes nowhere.
        const std::string target = rule ? rule(std::string(m.Group(1))) : std::string();
        if (target.empty()) {
            out += "href=\"#\"";
        } else {
            out += "href=\"";
            out += target;
            out += '"';
        }
        pos = m.End();
    });
    if (!any)
        return std::string(html);
    out.append(html, pos, std::string_view::npos);
    return out;
}

} // namespace qm
