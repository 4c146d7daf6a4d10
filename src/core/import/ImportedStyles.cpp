#include "import/ImportedStyles.h"

#include "base/HtmlEncode.h"
#include "base/PathUtils.h"
#include "base/StringUtil.h"
#include "import/CssRewrite.h"
#include "import/ImportPaths.h"
#include "import/ImportRegex.h"
#include "import/ImportRun.h"
#include "import/TagAttribute.h"

namespace qm {

namespace {

const TRegex& LinkTag() {
    static const TRegex re(R"(<link\b[^>]*>)", kImportMatching);
    return re;
}

const TRegex& StyleElement() {
    static const TRegex re(R"(<style\b[^>]*>.*?</style>)", kImportMatching);
    return re;
}

const TRegex& StyleCloser() {
    static const TRegex re(R"(</style>)", kImportMatching);
    return re;
}

std::string ImportedHref(const std::string& href, TImportRun& run) {
    if (IsExternalReference(href))
        return href;
    const std::string file = AdmitFile(run, href, ResolveImportPath(href, run.HtmlFolder));
    if (file.empty())
        return href;
    return CopyStyleSheetOnce(file, run).value_or(href);
}

} // namespace

bool IsStylesheetRel(std::string_view rel) {
    const std::string lower = AsciiLower(rel);
    size_t pos = 0;
    while (pos < lower.size()) {
        const size_t end = lower.find_first_of(" \t\r\n", pos);
        const size_t stop = end == std::string::npos ? lower.size() : end;
        if (std::string_view(lower).substr(pos, stop - pos) == "stylesheet")
            return true;
        pos = stop + 1;
    }
    return false;
}

std::string BuildImportedStyles(std::string_view source, TImportRun& run) {
    std::string out;
    LinkTag().ForEachMatch(source, [&](const TRegexMatch& m) {
        const std::string_view tag = m.Group();
        const std::string href = DecodeAttributeValue(ReadTagAttribute(tag, "href"));
        if (href.empty() || !IsStylesheetRel(ReadTagAttribute(tag, "rel")))
            return;
        out += "<link rel=\"stylesheet\" href=\"" + HtmlEncode(ImportedHref(href, run)) + "\">\r\n";
    });
    if (const auto window = WindowBeforeLastCloser(StyleCloser(), source, '>')) {
        StyleElement().ForEachMatch(
            source, [&](const TRegexMatch& m) { out += NeutraliseFlexGrid(m.Group()) + "\r\n"; },
            *window);
    }
    return out;
}

} // namespace qm
