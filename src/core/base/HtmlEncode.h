#pragma once
#include <string>
#include <string_view>

namespace qm {

// Escapes &, <, > and the double quote as &amp; &lt; &gt; &quot; (nothing else).
[[nodiscard]] std::string HtmlEncode(std::string_view text);

// Escapes &, <, >, the double quote and the apostrophe (&#39;), for text that
// publishing puts into pages.
[[nodiscard]] std::string EscapeHtmlText(std::string_view text);

} // namespace qm
