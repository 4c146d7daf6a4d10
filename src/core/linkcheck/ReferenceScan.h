#pragma once
// The local references of a page (src="..." and href="..."), found without a
// regular expression engine: the engine tried a match at every "s" and "h"
// of the text, this scan looks only at each "=".
#include "base/Utf8.h"

#include <functional>
#include <string_view>

namespace qm {

// Calls visit with group 2 of every match of (src|href)\s*=\s*"([^"]+)"
// (case-insensitive in Unicode, so "ſrc" counts; \s being the six ASCII
// spaces) from left to right, as the regular expression finds them.
void ForEachQuotedReference(TValidUtf8 html, const std::function<void(std::string_view)>& visit);

} // namespace qm
