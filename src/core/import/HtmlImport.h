#pragma once
// Importing an HTML file into a topic: the page's content, its style sheets
// and style blocks in front, every local file it refers to copied into the
// project's assets folders.
#include "import/ImportBoundary.h"

#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace qm {

// Shown (translated) when a page has nothing to insert.
inline constexpr const char* kNoImportableBodyContent =
    "The selected HTML file does not contain importable body content.";

// Asked once per import, before anything is copied, with the regular files
// outside the page's folder (and the asset root) that the page or its style
// sheets name, as canonical paths; true lets the import copy them.
using TOutsideFilesQuestion = std::function<bool(const std::vector<std::string>& outsideFiles)>;

struct THtmlImportOptions {
    // A folder whose files may be copied too, as if they lay beside the page
    // ("" for none); hidden files and files that are not regular still stay.
    std::string AssetRoot;
    // Not set: files outside are refused without asking.
    TOutsideFilesQuestion AllowOutsideFiles;
};

struct THtmlImportResult {
    // Nothing when the page has no importable content (files it refers to
    // may have been copied all the same).
    std::optional<std::string> Html;
    // The references left as written because the file they name may not be
    // copied, each once, in the order the import met them.
    std::vector<TRefusedReference> Refused;
};

// The HTML to insert into a topic of the project whose data folder is
// projectRoot. Only regular, non-hidden files inside the page's own folder
// tree are copied (links, "..", escapes and file: URLs resolved first),
// unless options widen it. The file is read as UTF-16 after a UTF-16
// byte-order mark, else as UTF-8, or as Windows-1252 when it is not valid
// UTF-8. References to missing files, addresses and references that cannot be
// paths stay as written. Raises EFileError with the cause when the page
// cannot be read ("is a folder") or a copy fails; files copied before stay
// in the project.
[[nodiscard]] THtmlImportResult ImportHtmlFile(const std::string& projectRoot,
                                               const std::string& fileName,
                                               const THtmlImportOptions& options = {});

} // namespace qm
