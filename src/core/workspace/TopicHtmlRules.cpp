#include "workspace/TopicHtmlRules.h"

#include "base/StringUtil.h"

namespace qm {

std::string StripTagsAndEntities(std::string_view html) {
    std::string text;
    text.reserve(html.size());
    bool inTag = false;
    for (char c : html) {
        if (c == '<') {
            inTag = true;
        } else if (c == '>') {
            inTag = false;
        } else if (!inTag) {
            text.push_back(c);
        }
    }
    static const std::pair<const char*, const char*> kEntities[] = {
        {"&nbsp;", " "}, {"&#160;", " "},  {"&amp;", "&"}, {"&lt;", "<"},
        {"&gt;", ">"},   {"&quot;", "\""}, {"&#39;", "'"}};
    for (const auto& [from, to] : kEntities)
        text = ReplaceAllAsciiNoCase(text, from, to);
    return TrimCtl(text);
}

bool IsEmptyTopicHtml(std::string_view html) {
    const std::string lower = AsciiLower(html);
    for (const char* tag : {"<img", "<table", "<video", "<iframe"})
        if (lower.find(tag) != std::string::npos)
            return false;
    std::string t = StripTagsAndEntities(html);
    t = ReplaceAll(t, "\xC2\xA0", "");
    for (const char* ws : {"\r", "\n", "\t", " "})
        t = ReplaceAll(t, ws, "");
    return t.empty();
}

bool IsAutoHeaderHtml(std::string_view headerHtml, std::string_view title,
                      std::string_view projectTitle) {
    const std::string text = StripTagsAndEntities(headerHtml);
    if (!SameTextAscii(text, TrimCtl(title)) && !SameTextAscii(text, TrimCtl(projectTitle)))
        return false;
    const std::string lower = AsciiLower(headerHtml);
    for (const char* tag : {"<img", "<table", "<a "})
        if (lower.find(tag) != std::string::npos)
            return false;
    return true;
}

} // namespace qm
