#include "content/ReusableRows.h"

#include "base/StringUtil.h"

#include <algorithm>

namespace qm {

int ReusableGridRowCount(std::size_t entries) {
    return static_cast<int>(std::max<std::size_t>(entries + 12, 16));
}

bool IsEnabledWord(std::string_view text) {
    const std::string t = AsciiLower(TrimCtl(text));
    return t == "true" || t == "yes" || t == "1" || t == "on";
}

TContentRows RowsFromContent(const TReusableProjectContent& content) {
    TContentRows rows;
    for (const TReusableVariable& v : content.FVariables)
        rows.Variables.push_back({v.Name, v.Value});
    for (const TReusableSnippet& s : content.FSnippets)
        rows.Snippets.push_back({s.Name, s.Html});
    for (const TReusableCondition& c : content.FConditions)
        rows.Conditions.push_back({c.Name, c.Enabled ? "true" : "false"});
    return rows;
}

TReusableProjectContent ContentFromRows(const TContentRows& rows) {
    TReusableProjectContent content;
    for (const TContentRow& r : rows.Variables)
        if (std::string name = TrimCtl(r.Name); !name.empty())
            content.FVariables.push_back({std::move(name), r.Value});
    for (const TContentRow& r : rows.Snippets)
        if (std::string name = TrimCtl(r.Name); !name.empty())
            content.FSnippets.push_back({std::move(name), r.Value});
    for (const TContentRow& r : rows.Conditions)
        if (std::string name = TrimCtl(r.Name); !name.empty())
            content.FConditions.push_back({std::move(name), IsEnabledWord(r.Value)});
    return content;
}

} // namespace qm
