#pragma once
#include <string>
#include <string_view>

namespace qm {

// Escapes &, <, > and the double quote as &amp; &lt; &gt; &quot; (nothing else).
[[nodiscard]] std::string HtmlEncode(std::string_view text);

} // namespace qm
