#pragma once
// Topic links (href="doc:ID") and plain text of topic HTML.
#include "base/Utf8.h"

#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace qm {

// A publishing target's rule: the href text for a linked topic id, or empty
// text when the link must go nowhere (written as href="#").
using TDocLinkTarget = std::function<std::string(const std::string& id)>;

[[nodiscard]] std::string HtmlToPlainText(std::string_view html);
[[nodiscard]] std::vector<std::string> CollectDocLinkIds(std::string_view html);
[[nodiscard]] std::vector<std::string> CollectDocLinkIds(TValidUtf8 html);
// With an empty (absent) rule every topic link goes nowhere (href="#").
[[nodiscard]] std::string RewriteDocLinks(std::string_view html, const TDocLinkTarget& rule);

} // namespace qm
