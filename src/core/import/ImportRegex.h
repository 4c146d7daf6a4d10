#pragma once
// How every regular expression of the import is matched, and the removals
// the cleaning steps share.
#include "base/Regex.h"

#include <string>
#include <string_view>

namespace qm {

// Pages are written in any letter case and elements span lines.
inline constexpr TRegexOptions kImportMatching{true, true};

// Every match replaced by nothing.
[[nodiscard]] std::string RemoveMatches(std::string_view text, const TRegex& re);

// The same for an element pattern "<name ...>.*?</name>" whose closing tag
// `closer` matches. The search stops at the last closing tag: a page full of
// unclosed opening tags would otherwise make every attempt scan to its end.
[[nodiscard]] std::string RemoveElements(std::string_view text, const TRegex& element,
                                         const TRegex& closer);

// The first of the given groups that took part in the match (empty if none).
[[nodiscard]] std::string_view FirstMatchedGroup(const TRegexMatch& m, size_t first, size_t last);

} // namespace qm
