#include "publish/pdf/PdfFrontMatter.h"

#include "base/HtmlEncode.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <ctime>

namespace qm::pdf {

namespace {

std::string FormatDate(const std::tm& t) {
    char buf[48];
    std::snprintf(buf, sizeof buf, "%04d-%02d-%02d", t.tm_year + 1900, t.tm_mon + 1, t.tm_mday);
    return buf;
}

} // namespace

std::string PdfPublishDate() {
    std::tm t{};
    if (const char* epoch = std::getenv("SOURCE_DATE_EPOCH"); epoch != nullptr && *epoch != '\0') {
        char* end = nullptr;
        errno = 0;
        const long long seconds = std::strtoll(epoch, &end, 10);
        if (errno == 0 && *end == '\0' && seconds >= 0) {
            const auto when = static_cast<std::time_t>(seconds);
#ifdef _WIN32
            gmtime_s(&t, &when);
#else
            gmtime_r(&when, &t);
#endif
            return FormatDate(t);
        }
    }
    const std::time_t now = std::time(nullptr);
#ifdef _WIN32
    localtime_s(&t, &now);
#else
    localtime_r(&now, &t);
#endif
    return FormatDate(t);
}

std::vector<std::string> PdfPrintRuleLines() {
    return {
        // The title page (the first) goes without a number; the numbers are
        // the pages' own, so they match what a PDF viewer shows.
        "@page :first {",
        "  @bottom-center { content: none; }",
        "}",
        "h1, h2, h3, h4, h5, h6 { break-after: avoid; break-inside: avoid; }",
        // A root topic with topics below it is a chapter and starts a page;
        // a root topic on its own runs on, so a flat project stays compact.
        "section:has(> h1):has(+ section > h2) { break-before: page; }",
        "tr, img, svg, figure, pre { break-inside: avoid; }",
        "thead { display: table-header-group; }",
        // Paper does not scroll: long words and code lines wrap instead of
        // running off the page.
        "body { overflow-wrap: break-word; }",
        "pre { white-space: pre-wrap; }",
        // An image taller than the space a page has would be cut off.
        "img { max-width: 100%; max-height: 200mm; object-fit: contain; }",
        ".qm-title-page { break-after: page; padding-top: 70mm; text-align: center; }",
        ".qm-title { font-size: 28pt; font-weight: bold; line-height: 1.25; }",
        ".qm-date { margin-top: 12mm; font-size: 12pt; color: #555555; }",
        ".qm-contents { break-after: page; }",
        ".qm-contents-title { font-size: 20pt; font-weight: bold; margin-bottom: 8mm; }",
        ".qm-contents a, .qm-contents a:link, .qm-contents a:visited { display: flex; "
        "align-items: last baseline; color: inherit !important; text-decoration: none !important; "
        "border: none !important; break-inside: avoid; }",
        ".qm-toc-text { flex: 0 1 auto; }",
        ".qm-toc-dots { flex: 1 1 auto; min-width: 2em; margin: 0 0.4em; border-bottom: 1px "
        "dotted #999999; }",
        ".qm-toc-page { flex: 0 0 3em; text-align: right; }",
        ".qm-toc-0 { margin-top: 0.6em; font-weight: bold; }",
        ".qm-toc-1 { padding-left: 1.5em; }",
        ".qm-toc-2 { padding-left: 3em; }",
        ".qm-toc-3 { padding-left: 4.5em; }",
        ".qm-toc-4 { padding-left: 6em; }",
        ".qm-toc-5 { padding-left: 7.5em; }",
        // The first print looks for these to learn on which page each
        // section begins; out of the flow, they move nothing.
        ".qm-pdf-mark { position: absolute; font-size: 1px; line-height: 1px; color: transparent; "
        "}",
    };
}

std::vector<std::string> PdfTitlePageLines(const std::string& title, const std::string& date) {
    return {
        "<div class=\"qm-title-page\">",
        "<div class=\"qm-title\">" + HtmlEncode(title) + "</div>",
        "<div class=\"qm-date\">" + HtmlEncode(date) + "</div>",
        "</div>",
    };
}

std::vector<std::string> PdfContentsLines(const std::vector<TPdfContentsEntry>& entries,
                                          const std::vector<int>& pageNumbers) {
    if (entries.empty())
        return {};
    std::vector<std::string> lines = {"<nav class=\"qm-contents\">",
                                      "<div class=\"qm-contents-title\">Contents</div>"};
    for (size_t i = 0; i < entries.size(); ++i) {
        const TPdfContentsEntry& e = entries[i];
        const int page = i < pageNumbers.size() ? pageNumbers[i] : 0;
        lines.push_back("<a class=\"qm-toc-" + std::to_string(std::min<size_t>(e.Depth, 5)) +
                        "\" href=\"#" + HtmlEncode(e.Id) + "\"><span class=\"qm-toc-text\">" +
                        HtmlEncode(e.Heading) +
                        "</span><span class=\"qm-toc-dots\"></span><span class=\"qm-toc-page\">" +
                        (page > 0 ? std::to_string(page) : std::string("&#160;")) + "</span></a>");
    }
    lines.push_back("</nav>");
    return lines;
}

} // namespace qm::pdf
