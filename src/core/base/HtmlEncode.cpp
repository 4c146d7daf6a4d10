#include "base/HtmlEncode.h"

namespace qm {

namespace {
// The four HTML specials, and the apostrophe where attribute values may be
// single-quoted.
std::string Escape(std::string_view text, bool apostrophe) {
    std::string r;
    r.reserve(text.size() + text.size() / 8);
    for (char c : text) {
        switch (c) {
        case '&':
            r += "&amp;";
            break;
        case '<':
            r += "&lt;";
            break;
        case '>':
            r += "&gt;";
            break;
        case '"':
            r += "&quot;";
            break;
        case '\'':
            if (apostrophe) {
                r += "&#39;";
                break;
            }
            r.push_back(c);
            break;
        default:
            r.push_back(c);
        }
    }
    return r;
}
} // namespace

std::string HtmlEncode(std::string_view text) {
    return Escape(text, false);
}

std::string EscapeHtmlText(std::string_view text) {
    return Escape(text, true);
}

} // namespace qm
