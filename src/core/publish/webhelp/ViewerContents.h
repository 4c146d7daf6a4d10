#pragma once
// The contents as the viewer reads them first: search/contents.js, one flat
// array of id, title and depth per topic in reading order. toc.js holds the
// same tree, but a browser takes several times longer to read its nested
// objects, which at thousands of topics delays the first view of the help.
#include <string>
#include <string_view>
#include <vector>

namespace qm {

class TDocProject;

struct TViewerContentsRow {
    std::string_view Id;
    std::string_view Title;
    int Depth = 0; // 0 for a top-level topic; each row at most one deeper than the one before
};

void WriteViewerContents(const std::vector<TViewerContentsRow>& rows, const std::string& outDir);

// The published contents of the project (the tree of toc.json).
[[nodiscard]] std::vector<TViewerContentsRow> ViewerContentsRows(const TDocProject& project);

} // namespace qm
