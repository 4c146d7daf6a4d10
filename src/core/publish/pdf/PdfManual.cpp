#include "publish/pdf/PdfManual.h"

#include "base/Error.h"
#include "base/HtmlEncode.h"
#include "base/PathUtils.h"
#include "content/TokenExpansion.h"
#include "model/ContentsWalk.h"
#include "model/DocModel.h"
#include "publish/pdf/PdfBodyRules.h"
#include "publish/pdf/PdfFrontMatter.h"
#include "publish/pdf/PdfHeading.h"
#include "publish/pdf/PdfPageReader.h"

#include <unordered_set>

namespace qm::pdf {

namespace {

constexpr const char* kEol = "\r\n";

// The page file of a topic, or "" when its id cannot name a file: then the
// id never becomes a path, and the section's body is empty as for a topic
// whose file is missing.
std::string PageFileOf(const TDocProject& project, const std::string& id) {
    try {
        return project.TopicHtmlPath(id);
    } catch (const EInvalidPath&) {
        return "";
    }
}

std::string ReadPage(const TDocProject& project, const std::string& id) {
    const std::string file = PageFileOf(project, id);
    return (!file.empty() && FileExists(file)) ? ReadTextFileUtf8(file) : std::string();
}

void AppendLine(std::string& out, std::string_view line) {
    out += line;
    out += kEol;
}

// The head is fixed byte for byte, so that manuals compare equal across
// versions and platforms. The page margins hold the text away from the
// paper's edge on every page (a body margin only applies where the document
// starts and ends) and leave room for the page number below; the browser's
// own date, title and address lines stay off through its command line.
void AppendHead(std::string& out, const std::string& title) {
    AppendLine(out, "<!doctype html>");
    AppendLine(out, "<html>");
    AppendLine(out, "<head>");
    AppendLine(out, "<meta charset=\"utf-8\">");
    AppendLine(out, "<title>" + HtmlEncode(title) + "</title>");
    AppendLine(out, "<link rel=\"stylesheet\" href=\"style.css\">");
    AppendLine(out, "<style>");
    AppendLine(out, "@page {");
    AppendLine(out, "  size: auto;");
    AppendLine(out, "  margin: 20mm 20mm 25mm 20mm;");
    AppendLine(out, "  @bottom-center { content: counter(page); vertical-align: top; padding-top: "
                    "6mm; font-family: Arial, sans-serif; font-size: 9pt; color: #555555; }");
    AppendLine(out, "}");
    AppendLine(out, "html, body { margin: 0; }");
    for (const std::string& line : PdfPrintRuleLines())
        AppendLine(out, line);
    AppendLine(out, "</style>");
    AppendLine(out, "</head>");
    AppendLine(out, "<body>");
}

} // namespace

TContentsWalk PdfContents(const TDocProject& project) {
    return WalkContents(project, [](const TTopic& t) { return !t.ExcludePdf; });
}

std::vector<TPdfSection> PdfSectionsInOrder(const TDocProject& project) {
    std::vector<TPdfSection> sections;
    for (const TContentsEntry& e : PdfContents(project).Entries)
        sections.push_back({e.Topic->ID, static_cast<size_t>(e.Depth)});
    return sections;
}

TDocLinkTarget PdfDocLinkTarget(const TDocProject& project) {
    return [&project](const std::string& id) -> std::string {
        return project.HasTopic(id) ? "#" + id : "#";
    };
}

std::vector<TPdfSectionHtml> BuildPdfSections(const TDocProject& project,
                                              const TPdfProgress& progress,
                                              const TCancellationToken* cancel) {
    const std::vector<TPdfSection> order = PdfSectionsInOrder(project);
    const TDocLinkTarget linkRule = PdfDocLinkTarget(project);
    std::vector<TPdfSectionHtml> sections;
    sections.reserve(order.size());
    for (const TPdfSection& s : order) {
        ThrowIfCancelled(cancel);
        const TTopic& t = project.GetTopic(s.Id);
        const std::string body =
            RewriteDocLinks(ExpandReusableContent(project, ReadPage(project, s.Id)), linkRule);
        sections.push_back(
            {s.Id, s.Depth, TopicHeadingText(project, s.Id, t.Title),
             NestInnerHeadings(RepeatTableHeaderRows(body), PdfHeadingLevel(s.Depth))});
        if (progress)
            progress(sections.size(), order.size());
    }
    return sections;
}

std::string AssemblePdfManual(const std::string& title,
                              const std::vector<TPdfSectionHtml>& sections,
                              const TPdfManualPass& pass) {
    std::string out;
    AppendHead(out, title);
    for (const std::string& line : PdfTitlePageLines(title, pass.Date))
        AppendLine(out, line);
    std::vector<TPdfContentsEntry> entries;
    entries.reserve(sections.size());
    for (const TPdfSectionHtml& s : sections)
        entries.push_back({s.Id, s.Depth, s.Heading});
    for (const std::string& line : PdfContentsLines(entries, pass.PageNumbers))
        AppendLine(out, line);
    for (size_t i = 0; i < sections.size(); ++i) {
        const TPdfSectionHtml& s = sections[i];
        const std::string tag = PdfHeadingTag(s.Depth);
        const std::string marker = pass.Markers ? "<span class=\"qm-pdf-mark\">" +
                                                      PdfMarker(kPdfMarkerPrefix, i) + "</span>"
                                                : std::string();
        // Real ids are hexadecimal digits, which encoding leaves alone; a
        // damaged one with a quote must not end the attribute early.
        AppendLine(out, "<section id=\"" + HtmlEncode(s.Id) + "\">");
        AppendLine(out, "<" + tag + ">" + marker + HtmlEncode(s.Heading) + "</" + tag + ">");
        AppendLine(out, s.Body);
        AppendLine(out, "</section>");
    }
    AppendLine(out, "</body>");
    AppendLine(out, "</html>");
    return out;
}

std::string BuildPdfManual(const TDocProject& project, const TPdfManualPass& pass,
                           const TPdfProgress& progress, const TCancellationToken* cancel) {
    return AssemblePdfManual(project.Title, BuildPdfSections(project, progress, cancel), pass);
}

} // namespace qm::pdf
