#pragma once
// Topic links found without a regular expression engine. Every page of a
// check or a publish is searched for them; the expression's engine tried a
// match at every "h" of the text, this scan looks only at each "doc:".
#include "base/Utf8.h"

#include <cstddef>
#include <functional>
#include <string_view>

namespace qm {

// One topic link: href="doc:ID" (either quote, any case, spaces around "=").
// Start and End span the whole of it, from "href" to the closing quote.
struct TDocLinkSpan {
    size_t Start = 0;
    size_t End = 0;
    std::string_view Id; // the 32 hexadecimal digits
};

// Calls visit for every match of href\s*=\s*["']doc:([a-fA-F0-9]{32})["']
// (case-insensitive, \s being the six ASCII spaces) from left to right, as
// the regular expression finds them.
void ForEachDocLink(TValidUtf8 html, const std::function<void(const TDocLinkSpan&)>& visit);

} // namespace qm
