#pragma once
// Turning a whole web page into content for a topic: its body, its body's
// own attributes, and plain blocks for the layout elements topics do not use.
#include <string>
#include <string_view>

namespace qm {

// The page's body content: doctype, scripts and title removed, only what
// stands between <body ...> and </body> (everything after <body ...> when it
// is not closed; the whole text minus html and head when there is no body),
// then style, link and meta elements removed and the ends trimmed.
[[nodiscard]] std::string ExtractImportBody(std::string_view source);

// A <div> carrying the class, style, lang and dir of the page's body tag
// (HTML-encoded), so the content keeps them once the body tag is gone; empty
// when the body has none of them.
[[nodiscard]] std::string BodyWrapperOpenTag(std::string_view source);

// section, article, main, aside, header, footer, nav, figure, figcaption,
// dialog, details, summary and hgroup become div; time, mark, output, meter
// and progress become span (attributes kept); picture tags go (their img and
// source stay); template elements go with their content. Trimmed.
[[nodiscard]] std::string NeutraliseSectioningTags(std::string_view html);

} // namespace qm
