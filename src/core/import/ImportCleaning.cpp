#include "import/ImportCleaning.h"

#include "base/HtmlEncode.h"
#include "base/StringUtil.h"
#include "import/ImportRegex.h"
#include "import/TagAttribute.h"

#include <optional>

namespace qm {

namespace {

// Compiled once, on first use.
struct TCleaningPatterns {
    TRegex Doctype{R"(<!doctype[^>]*>)", kImportMatching};
    TRegex ScriptElement{R"(<script\b[^>]*>.*?</script>)", kImportMatching};
    TRegex ScriptCloser{R"(</script>)", kImportMatching};
    TRegex TitleElement{R"(<title\b[^>]*>.*?</title>)", kImportMatching};
    TRegex TitleCloser{R"(</title>)", kImportMatching};
    TRegex HtmlOpenTag{R"(<html\b[^>]*>)", kImportMatching};
    TRegex HtmlCloseTag{R"(</html>)", kImportMatching};
    TRegex HeadElement{R"(<head\b[^>]*>.*?</head>)", kImportMatching};
    TRegex HeadCloser{R"(</head>)", kImportMatching};
    TRegex StyleElement{R"(<style\b[^>]*>.*?</style>)", kImportMatching};
    TRegex StyleCloser{R"(</style>)", kImportMatching};
    TRegex LinkTag{R"(<link\b[^>]*>)", kImportMatching};
    TRegex MetaTag{R"(<meta\b[^>]*>)", kImportMatching};
    TRegex BodyOpenTag{R"(<body\b[^>]*>)", kImportMatching};
    // <section id="a">, < nav>: group 2 holds the attributes.
    TRegex BlockOpenTag{R"(<\s*(section|article|main|aside|header|footer|nav|figure|figcaption)"
                        R"(|dialog|details|summary|hgroup)\b([^>]*)>)",
                        kImportMatching};
    TRegex BlockCloseTag{R"(</\s*(section|article|main|aside|header|footer|nav|figure|figcaption)"
                         R"(|dialog|details|summary|hgroup)\s*>)",
                         kImportMatching};
    TRegex InlineOpenTag{R"(<\s*(time|mark|output|meter|progress)\b([^>]*)>)", kImportMatching};
    TRegex InlineCloseTag{R"(</\s*(time|mark|output|meter|progress)\s*>)", kImportMatching};
    TRegex PictureOpenTag{R"(<\s*picture\b[^>]*>)", kImportMatching};
    TRegex PictureCloseTag{R"(</\s*picture\s*>)", kImportMatching};
    TRegex TemplateElement{R"(<template\b[^>]*>.*?</template>)", kImportMatching};
    TRegex TemplateCloser{R"(</template>)", kImportMatching};
};

const TCleaningPatterns& Patterns() {
    static const TCleaningPatterns patterns;
    return patterns;
}

std::string ReplaceTags(std::string_view text, const TRegex& tag, std::string_view replacement) {
    return tag.Replace(text, [&](const TRegexMatch&) { return std::string(replacement); });
}

// The tag renamed, its attributes (group 2) kept.
std::string Retag(std::string_view text, const TRegex& tag, std::string_view tagName) {
    return tag.Replace(text, [&](const TRegexMatch& m) {
        return "<" + std::string(tagName) + std::string(m.Group(2)) + ">";
    });
}

} // namespace

std::string ExtractImportBody(std::string_view source) {
    const TCleaningPatterns& p = Patterns();
    std::string s = RemoveMatches(source, p.Doctype);
    s = RemoveElements(s, p.ScriptElement, p.ScriptCloser);
    s = RemoveElements(s, p.TitleElement, p.TitleCloser);

    const std::string lower = AsciiLower(s);
    const size_t body = lower.find("<body");
    if (body == std::string::npos) {
        s = RemoveMatches(s, p.HtmlOpenTag);
        s = RemoveMatches(s, p.HtmlCloseTag);
        s = RemoveElements(s, p.HeadElement, p.HeadCloser);
    } else if (const size_t open = s.find('>', body); open != std::string::npos) {
        const size_t close = lower.find("</body", open + 1);
        s = close == std::string::npos ? s.substr(open + 1) : s.substr(open + 1, close - open - 1);
    }

    s = RemoveElements(s, p.StyleElement, p.StyleCloser);
    s = RemoveMatches(s, p.LinkTag);
    s = RemoveMatches(s, p.MetaTag);
    return TrimCtl(s);
}

std::string BodyWrapperOpenTag(std::string_view source) {
    const TCleaningPatterns& p = Patterns();
    const std::optional<TRegexMatch> body = p.BodyOpenTag.Search(source);
    if (!body)
        return "";
    std::string attributes;
    for (const char* name : {"class", "style", "lang", "dir"}) {
        const std::string value = ReadTagAttribute(body->Group(), name);
        if (!value.empty())
            attributes += " " + std::string(name) + "=\"" + HtmlEncode(value) + "\"";
    }
    return attributes.empty() ? std::string() : "<div" + attributes + ">";
}

std::string NeutraliseSectioningTags(std::string_view html) {
    const TCleaningPatterns& p = Patterns();
    std::string s = Retag(html, p.BlockOpenTag, "div");
    s = ReplaceTags(s, p.BlockCloseTag, "</div>");
    s = Retag(s, p.InlineOpenTag, "span");
    s = ReplaceTags(s, p.InlineCloseTag, "</span>");
    s = RemoveMatches(s, p.PictureOpenTag);
    s = RemoveMatches(s, p.PictureCloseTag);
    s = RemoveElements(s, p.TemplateElement, p.TemplateCloser);
    return TrimCtl(s);
}

} // namespace qm
