#pragma once
// Changes to a topic's HTML that only the printed manual needs.
#include <string>
#include <string_view>

namespace qm::pdf {

// Headings inside a topic belong below the topic's own heading in the PDF's
// outline, which the browser builds from heading levels. Each <h1>..<h6> gets
// an aria-level one below the topic's level for the topic's highest heading
// level, and so on down (at most 6); the tag, and so its look, stays. A
// heading that already carries an aria-level keeps it.
[[nodiscard]] std::string NestInnerHeadings(std::string_view html, size_t topicLevel);

// A table without a <thead> gets its first row copied into a new <thead>, so
// that the browser repeats it at the top of every page the table runs onto;
// the original row stays in place, hidden, so that the rows after it keep
// their positions for :first-child and :nth-child rules. Nested tables are
// handled on their own.
[[nodiscard]] std::string RepeatTableHeaderRows(std::string_view html);

} // namespace qm::pdf
