#include "base/HtmlEncode.h"

namespace qm {

std::string HtmlEncode(std::string_view text) {
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
        default:
            r.push_back(c);
        }
    }
    return r;
}

std::string EscapeHtmlText(std::string_view text) {
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
            r += "&#39;";
            break;
        default:
            r.push_back(c);
        }
    }
    return r;
}

} // namespace qm
