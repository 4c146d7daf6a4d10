#pragma once
// What one import run shares between its steps: where the page and the
// project are, which files it may copy, which source files it has copied
// already and which references it refused.
#include "import/AssetTarget.h"
#include "import/ImportBoundary.h"

#include <filesystem>
#include <string>
#include <string_view>
#include <unordered_map>
#include <unordered_set>
#include <vector>

namespace qm {

struct TImportRun {
    std::string ProjectRoot;
    std::string HtmlFolder; // the imported page's folder, absolute
    // Folders beyond the page's own whose files may be copied as well.
    std::vector<std::string> ExtraRoots;
    // Files outside every root that the author allowed all the same, by
    // their canonical paths.
    std::unordered_set<std::string> AllowedOutside;
    // A survey only finds what the run would copy and refuse: nothing is
    // planned, copied or written, and the references stay as they are.
    bool Survey = false;
    // Full source path to the URL its copy received, so a file referenced
    // several times is copied once: one map for the body's media (src and
    // srcset), one for the style sheets (links and @import alike).
    std::unordered_map<std::string, std::string> MediaUrls;
    std::unordered_map<std::string, std::string> StyleSheetUrls;
    // Files named by url() in the style sheets, to their copy's file name in
    // assets/css: a font or image named by many rules is copied once.
    std::unordered_map<std::string, std::string> CssFileNames;
    // Style sheets are planned before the sheets they import are written;
    // their names stay taken in between.
    TReservedPaths Reserved;
    // Each refused reference once, in the order met.
    std::vector<TRefusedReference> Refused;
    // HtmlFolder and ExtraRoots resolved, filled on first use.
    std::vector<std::filesystem::path> CanonicalRoots;
};

// The file, links resolved, that a local reference naming path lets the run
// copy; "" when there is nothing at path (the reference stays as written) or
// when the run refuses the file (the reference stays too, and is recorded in
// run.Refused).
[[nodiscard]] std::string AdmitFile(TImportRun& run, std::string_view reference,
                                    const std::string& path);

} // namespace qm
