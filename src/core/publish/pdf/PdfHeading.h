#pragma once
// The heading of a topic's section in the PDF manual: its header's text, or
// its title when the header has none, at a level given by its depth.
#include <string>
#include <string_view>

namespace qm {
class TDocProject;
}

namespace qm::pdf {

// The header HTML as text: every "<...>" is dropped (a ">" ends a tag even
// inside an attribute value, and a stray ">" goes too), the rest is
// HTML-decoded (&amp; &lt; &gt; &quot; &apos; and decimal references only,
// so a named &nbsp; stays as written), no-break spaces become spaces and
// the ends are trimmed.
[[nodiscard]] std::string HeaderToPlainText(std::string_view html);

// The text of the topic's own header file (meta/header_ID.html), or of the
// default header when the topic has none; the title when that text is empty.
// A topic with an empty header of its own therefore gets its title, not the
// default header's text.
[[nodiscard]] std::string TopicHeadingText(const TDocProject& project, const std::string& id,
                                           const std::string& title);

// 1 for a root topic, 2 for its children, ... and 6 from depth 5 on.
[[nodiscard]] size_t PdfHeadingLevel(size_t depth);

// "h1" for a root topic, "h2" for its children, ... and "h6" from depth 5 on.
[[nodiscard]] std::string PdfHeadingTag(size_t depth);

} // namespace qm::pdf
