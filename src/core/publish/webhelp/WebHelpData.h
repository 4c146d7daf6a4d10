#pragma once
// The data the WebHelp viewer reads beside the pages: the contents tree
// (toc.json, toc.js) and the search entries (search.json, search.js).
#include <string>
#include <vector>

namespace qm {

class TDocProject;

// Writes toc.json and toc.js; returns a warning per topic listed twice.
[[nodiscard]] std::vector<std::string> BuildWebHelpContents(const TDocProject& project,
                                                            const std::string& outDir);

// One search entry's text per topic of `topics` (same order), already reduced
// to plain text: the export computes them while it writes the pages.
struct TWebHelpSearchText {
    const class TTopic* Topic;
    std::string Text;
};
void WriteWebHelpSearchData(const std::vector<TWebHelpSearchText>& entries,
                            const std::string& outDir);

[[nodiscard]] std::string JoinKeywords(const std::vector<std::string>& keywords);

} // namespace qm
