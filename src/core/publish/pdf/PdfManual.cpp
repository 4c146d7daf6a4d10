#include "publish/pdf/PdfManual.h"

#include "base/Error.h"
#include "base/HtmlEncode.h"
#include "base/PathUtils.h"
#include "content/TokenExpansion.h"
#include "model/ContentsWalk.h"
#include "model/DocModel.h"
#include "publish/pdf/PdfHeading.h"

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
// versions and platforms; line 12 keeps its margin without a unit, which
// browsers ignore. Zero page margins leave the browser no room for the date,
// title and address lines it would otherwise print on every page.
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
    AppendLine(out, "  margin: 0mm;");
    AppendLine(out, "}");
    // A unitless margin is ignored by browsers and left the text on the paper's
    // edge; 20 was meant as pixels.
    AppendLine(out, "html, body { margin:20px; }");
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

std::string BuildPdfManual(const TDocProject& project, const TPdfProgress& progress,
                           const TCancellationToken* cancel) {
    const std::vector<TPdfSection> sections = PdfSectionsInOrder(project);
    const TDocLinkTarget linkRule = PdfDocLinkTarget(project);
    std::string out;
    AppendHead(out, project.Title);
    size_t done = 0;
    for (const TPdfSection& s : sections) {
        ThrowIfCancelled(cancel);
        const TTopic& t = project.GetTopic(s.Id);
        const std::string body =
            RewriteDocLinks(ExpandReusableContent(project, ReadPage(project, s.Id)), linkRule);
        const std::string tag = PdfHeadingTag(s.Depth);
        // Real ids are hexadecimal digits, which encoding leaves alone; a
        // damaged one with a quote must not end the attribute early.
        AppendLine(out, "<section id=\"" + HtmlEncode(s.Id) + "\">");
        AppendLine(out, "<" + tag + ">" + HtmlEncode(TopicHeadingText(project, s.Id, t.Title)) +
                            "</" + tag + ">");
        AppendLine(out, body);
        AppendLine(out, "</section>");
        if (progress)
            progress(++done, sections.size());
    }
    AppendLine(out, "</body>");
    AppendLine(out, "</html>");
    return out;
}

} // namespace qm::pdf
