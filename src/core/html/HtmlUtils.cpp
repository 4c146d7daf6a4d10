#include "html/HtmlUtils.h"

#include "base/Regex.h"
#include "base/StringUtil.h"

#include <optional>

namespace qm {

namespace {

struct THtmlPatterns {
    // href="doc:0123456789ABCDEF0123456789ABCDEF", HREF = 'doc:...'
    TRegex DocLink{R"re(href\s*=\s*["']doc:([a-fA-F0-9]{32})["'])re", {.Caseless = true}};
};

const THtmlPatterns& Patterns() {
    static const THtmlPatterns patterns;
    return patterns;
}

} // namespace

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
