#pragma once
// What one import run shares between its steps: where the page and the
// project are, and which source files it has copied already.
#include "import/AssetTarget.h"

#include <string>
#include <unordered_map>

namespace qm {

struct TImportRun {
    std::string ProjectRoot;
    std::string HtmlFolder; // the imported page's folder, absolute
    // Full source path to the URL its copy received, so a file referenced
    // several times is copied once: one map for the body's media (src and
    // srcset), one for the style sheets (links and @import alike).
    std::unordered_map<std::string, std::string> MediaUrls;
    std::unordered_map<std::string, std::string> StyleSheetUrls;
    // Style sheets are planned before the sheets they import are written;
    // their names stay taken in between.
    TReservedPaths Reserved;
};

} // namespace qm
