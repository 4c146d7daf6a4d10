#pragma once
// The style sheets and style blocks of an imported page, as elements to put
// in front of its content.
#include <string>
#include <string_view>

namespace qm {

struct TImportRun;

// True when one of the space-separated words of a rel value is "stylesheet"
// (so "alternate stylesheet" counts).
[[nodiscard]] bool IsStylesheetRel(std::string_view rel);

// One <link rel="stylesheet"> per style sheet link of the page, in order, its
// local sheet copied into assets/css (the link's other attributes are
// dropped), followed by every <style> block with flex and grid layouts turned
// into blocks. Each element ends with CR LF; empty when the page has none.
[[nodiscard]] std::string BuildImportedStyles(std::string_view source, TImportRun& run);

} // namespace qm
