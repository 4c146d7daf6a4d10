#include "html/DocLinkScan.h"

#include "html/ScanBytes.h"

#include <cstring>

namespace qm {

using scan::EqualsLowerAt;
using scan::IsSpace;

namespace {

constexpr size_t kIdDigits = 32;

bool IsQuote(char c) {
    return c == '"' || c == '\'';
}

bool IsHexDigit(char c) {
    return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
}

} // namespace

void ForEachDocLink(TValidUtf8 html, const std::function<void(const TDocLinkSpan&)>& visit) {
    const std::string_view text = html.Text;
    size_t lastEnd = 0;
    size_t from = 0;
    while (from < text.size()) {
        const void* hit = std::memchr(text.data() + from, ':', text.size() - from);
        if (hit == nullptr)
            break;
        const size_t colon = static_cast<size_t>(static_cast<const char*>(hit) - text.data());
        from = colon + 1;
        // ["']doc: before the colon, 32 digits and a quote after it.
        if (colon < 4 || !EqualsLowerAt(text, colon - 3, "doc") || !IsQuote(text[colon - 4]))
            continue;
        const size_t idStart = colon + 1;
        if (idStart + kIdDigits >= text.size() || !IsQuote(text[idStart + kIdDigits]))
            continue;
        bool hex = true;
        for (size_t i = idStart; i < idStart + kIdDigits && hex; ++i)
            hex = IsHexDigit(text[i]);
        if (!hex)
            continue;
        // href\s*=\s* before the opening quote.
        size_t k = colon - 4;
        while (k > 0 && IsSpace(text[k - 1]))
            --k;
        if (k == 0 || text[k - 1] != '=')
            continue;
        --k;
        while (k > 0 && IsSpace(text[k - 1]))
            --k;
        if (k < 4 || !EqualsLowerAt(text, k - 4, "href") || k - 4 < lastEnd)
            continue;
        const TDocLinkSpan span{k - 4, idStart + kIdDigits + 1, text.substr(idStart, kIdDigits)};
        lastEnd = span.End;
        from = span.End;
        visit(span);
    }
}

} // namespace qm
