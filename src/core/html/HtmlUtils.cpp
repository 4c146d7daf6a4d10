#include "html/HtmlUtils.h"

#include "base/Error.h"
#include "base/StringUtil.h"
#include "base/Utf8.h"
#include "html/DocLinkScan.h"

#include <optional>

namespace qm {

std::vector<std::string> CollectDocLinkIds(std::string_view html) {
    if (!IsValidUtf8(html))
        throw EEncodingError("Text is not valid UTF-8");
    return CollectDocLinkIds(TValidUtf8{html});
}

std::vector<std::string> CollectDocLinkIds(TValidUtf8 html) {
    std::vector<std::string> ids;
    ForEachDocLink(html, [&](const TDocLinkSpan& link) { ids.emplace_back(link.Id); });
    return ids;
}

std::string RewriteDocLinks(std::string_view html, const TDocLinkTarget& rule) {
    if (!IsValidUtf8(html))
        throw EEncodingError("Text is not valid UTF-8");
    std::string out;
    size_t pos = 0;
    bool any = false;
    ForEachDocLink(TValidUtf8{html}, [&](const TDocLinkSpan& link) {
        if (!any)
            out.reserve(html.size() + 64);
        any = true;
        out.append(html, pos, link.Start - pos);
        // No rule, or a rule that answers nothing: the link goes nowhere.
        const std::string target = rule ? rule(std::string(link.Id)) : std::string();
        if (target.empty()) {
            out += "href=\"#\"";
        } else {
            out += "href=\"";
            out += target;
            out += '"';
        }
        pos = link.End;
    });
    if (!any)
        return std::string(html);
    out.append(html, pos, std::string_view::npos);
    return out;
}

} // namespace qm
