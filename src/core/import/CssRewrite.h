#pragma once
// Copying style sheets into the project: their @import and url() references
// are followed, copied along and rewritten to the copies.
#include <optional>
#include <string>
#include <string_view>

namespace qm {

struct TImportRun;

// Backslashes become slashes and double quotes are escaped, for a URL
// written inside url("...").
[[nodiscard]] std::string CssEscapeUrl(std::string_view text);

// display: flex / inline-flex / grid / inline-grid become display: block;
// topic pages lay out in plain blocks.
[[nodiscard]] std::string NeutraliseFlexGrid(std::string_view css);

// Writes the rewritten copy of the style sheet `source` to `dest` (a new file,
// UTF-8 with a byte-order mark). Imported sheets are copied first, once per
// run, beside it in assets/css and named by their bare file name; files named
// in url() go there too, on every occurrence. A sheet that is not UTF-8 is
// read as Windows-1252. Files the run refuses keep their references. In a
// survey the sheet is only read, for the files it names.
void CopyCssWithRewrite(const std::string& source, const std::string& dest, TImportRun& run);

// The URL of the run's copy of the style sheet at this full path, copying it
// on first use; nothing when no copy can be planned.
[[nodiscard]] std::optional<std::string> CopyStyleSheetOnce(const std::string& fullPath,
                                                            TImportRun& run);

} // namespace qm
