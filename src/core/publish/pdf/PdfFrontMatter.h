#pragma once
// What comes before the topics in the printed manual: the print rules of the
// page head, the title page and the contents with their page numbers.
#include <string>
#include <vector>

namespace qm::pdf {

// One line of the contents: a section's id, depth and heading text.
struct TPdfContentsEntry {
    std::string Id;
    size_t Depth = 0;
    std::string Heading;
};

// The publish date as YYYY-MM-DD: the date of SOURCE_DATE_EPOCH (UTC) when
// that variable holds a number, so that builds can be reproduced, otherwise
// today's local date.
[[nodiscard]] std::string PdfPublishDate();

// The lines of the page rules inside the head's <style> element: page
// margins with the page number in the bottom margin of every page but the
// title page, and rules that start chapters on a new page, keep headings
// with what follows, table rows and images whole and the contents readable.
[[nodiscard]] std::vector<std::string> PdfPrintRuleLines();

// The title page: the help's title and the publish date, both escaped.
[[nodiscard]] std::vector<std::string> PdfTitlePageLines(const std::string& title,
                                                         const std::string& date);

// The contents: one linked line per section, indented by depth, with its
// page number; no lines at all when there are no sections. pageNumbers holds one number per entry;
// where it is shorter, or a number is 0 (the heading was not found), the place stays empty but
// keeps its width and height, so the first print, made without numbers, lays the pages
// out as the second does.
[[nodiscard]] std::vector<std::string>
PdfContentsLines(const std::vector<TPdfContentsEntry>& entries,
                 const std::vector<int>& pageNumbers);

} // namespace qm::pdf
