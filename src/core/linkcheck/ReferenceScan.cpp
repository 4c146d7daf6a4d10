#include "linkcheck/ReferenceScan.h"

#include "html/ScanBytes.h"

#include <cstring>

namespace qm {

using scan::EqualsLowerAt;
using scan::IsSpace;

namespace {

// Where "src" or "href" ending at `end` begins, or npos. A caseless "s" is
// also U+017F (long s, C5 BF in UTF-8).
size_t KeywordStart(std::string_view text, size_t end) {
    if (end >= 4 && EqualsLowerAt(text, end - 4, "href"))
        return end - 4;
    if (end < 3 || !EqualsLowerAt(text, end - 2, "rc"))
        return std::string_view::npos;
    if ((text[end - 3] | 0x20) == 's')
        return end - 3;
    if (end >= 4 && text[end - 4] == '\xC5' && text[end - 3] == '\xBF')
        return end - 4;
    return std::string_view::npos;
}

} // namespace

void ForEachQuotedReference(TValidUtf8 html, const std::function<void(std::string_view)>& visit) {
    const std::string_view text = html.Text;
    size_t lastEnd = 0;
    size_t from = 0;
    while (from < text.size()) {
        const void* hit = std::memchr(text.data() + from, '=', text.size() - from);
        if (hit == nullptr)
            break;
        const size_t eq = static_cast<size_t>(static_cast<const char*>(hit) - text.data());
        from = eq + 1;
        size_t k = eq;
        while (k > 0 && IsSpace(text[k - 1]))
            --k;
        const size_t start = KeywordStart(text, k);
        // A match starts where the previous one ended at the earliest.
        if (start == std::string_view::npos || start < lastEnd)
            continue;
        size_t open = eq + 1;
        while (open < text.size() && IsSpace(text[open]))
            ++open;
        if (open + 1 >= text.size() || text[open] != '"' || text[open + 1] == '"')
            continue;
        const void* close = std::memchr(text.data() + open + 1, '"', text.size() - open - 1);
        if (close == nullptr)
            continue;
        const size_t closeAt = static_cast<size_t>(static_cast<const char*>(close) - text.data());
        lastEnd = closeAt + 1;
        from = lastEnd;
        visit(text.substr(open + 1, closeAt - open - 1));
    }
}

} // namespace qm
