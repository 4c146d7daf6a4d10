#pragma once
// Importing an HTML file into a topic: the page's content, its style sheets
// and style blocks in front, every local file it refers to copied into the
// project's assets folders.
#include <optional>
#include <string>

namespace qm {

// Shown (translated) when a page has nothing to insert.
inline constexpr const char* kNoImportableBodyContent =
    "The selected HTML file does not contain importable body content.";

// The HTML to insert into a topic of the project whose data folder is
// projectRoot, or nothing when the page has no importable content (files it
// refers to may have been copied all the same). The file is read as UTF-8,
// or as Windows-1252 when it is not valid UTF-8. References to missing files,
// addresses and references that cannot be paths stay as written. Raises
// EFileError when the page cannot be read or a copy fails; files copied
// before stay in the project.
[[nodiscard]] std::optional<std::string> ImportHtmlFile(const std::string& projectRoot,
                                                        const std::string& fileName);

} // namespace qm
