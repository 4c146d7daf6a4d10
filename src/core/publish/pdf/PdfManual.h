#pragma once
// The PDF manual: every published topic, in contents order, as one section
// of a single HTML page that the browser prints.
#include "html/HtmlUtils.h"
#include "model/ContentsWalk.h"
#include "publish/common/Cancellation.h"

#include <cstddef>
#include <functional>
#include <string>
#include <vector>

namespace qm {
class TDocProject;
}

namespace qm::pdf {

// Sections done so far and their total; called on the calling thread.
using TPdfProgress = std::function<void(size_t done, size_t total)>;

struct TPdfSection {
    std::string Id;
    size_t Depth = 0; // 0 for a root topic
};

// The topics that get a section, in contents order (depth first) with their
// depth. An id that names no topic, and a topic excluded from PDF, is left
// out together with its whole subtree. Each topic comes once, at its first
// place, so a damaged tree with cycles or shared children still ends; the
// walk keeps its own stack, so a very deep tree cannot exhaust the call stack.
[[nodiscard]] std::vector<TPdfSection> PdfSectionsInOrder(const TDocProject& project);
// The same walk with its warnings about topics listed more than once.
[[nodiscard]] TContentsWalk PdfContents(const TDocProject& project);

// Topic links in the manual are fragments: "#" + id for every topic of the
// project, whether or not it is excluded, and "#" for an id that names none.
[[nodiscard]] TDocLinkTarget PdfDocLinkTarget(const TDocProject& project);

// A section as the manual writes it.
struct TPdfSectionHtml {
    std::string Id;
    size_t Depth = 0;
    std::string Heading; // plain text
    std::string Body;    // HTML
};

// The sections in contents order: each topic's expanded HTML with its topic
// links rewritten, its inner headings nested below its own in the outline
// and its tables' first rows repeated on every page. A topic without a page
// file, or whose id cannot name one, gets an empty body.
[[nodiscard]] std::vector<TPdfSectionHtml>
BuildPdfSections(const TDocProject& project, const TPdfProgress& progress = {},
                 const TCancellationToken* cancel = nullptr);

// The word each section's heading carries in the first print.
inline constexpr std::string_view kPdfMarkerPrefix = "qmpdfmark";

// What differs between the two prints of a manual.
struct TPdfManualPass {
    std::string Date;             // on the title page
    std::vector<int> PageNumbers; // the page each section starts on; empty before the first print
    bool Markers = false;         // the first print: an invisible marker in each section's heading
};

// The whole manual: the head lines with the page rules, the title page, the
// contents, four lines per section (the section element with the topic id,
// the heading, the body, the closing tag), then the two closing lines. Every
// line ends with CR LF.
[[nodiscard]] std::string AssemblePdfManual(const std::string& title,
                                            const std::vector<TPdfSectionHtml>& sections,
                                            const TPdfManualPass& pass);

// BuildPdfSections and AssemblePdfManual in one.
[[nodiscard]] std::string BuildPdfManual(const TDocProject& project,
                                         const TPdfManualPass& pass = {},
                                         const TPdfProgress& progress = {},
                                         const TCancellationToken* cancel = nullptr);

} // namespace qm::pdf
