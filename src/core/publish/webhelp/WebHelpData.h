#pragma once
// The data the WebHelp viewer reads beside the pages: the contents tree
// (toc.json, toc.js) and the search entries (search.json, search.js).
#include <cstddef>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace qm {

class TDocProject;

// Writes toc.json and toc.js; returns a warning per topic listed twice.
[[nodiscard]] std::vector<std::string> BuildWebHelpContents(const TDocProject& project,
                                                            const std::string& outDir);

class TTopic;

// What the export hands on from every page it writes, for data built page by
// page beside the pages (the search data, and any index of them). Page runs
// on the publishing threads, for every published page exactly once, in no
// fixed order; `index` is the page's place in publish order (0 to count-1).
// Finish runs once after the last page, on the publishing thread; Abort
// instead when the publish fails, and must release any thread waiting in Page.
class TWebHelpPageConsumer {
public:
    virtual ~TWebHelpPageConsumer() = default;
    virtual void Page(size_t index, const TTopic& topic, std::string_view plainText) = 0;
    virtual void Finish() = 0;
    virtual void Abort() noexcept = 0;
};

// search.json and search.js for `count` pages, written while the pages are:
// each entry is quoted on the thread of its page and goes into both files in
// publish order, so only the entries of pages finished ahead of an earlier
// one are held at any time. Raises EFileError when a file cannot be written;
// files of a failed publish are removed.
[[nodiscard]] std::unique_ptr<TWebHelpPageConsumer>
MakeWebHelpSearchDataWriter(const std::string& outDir, size_t count);

[[nodiscard]] std::string JoinKeywords(const std::vector<std::string>& keywords);

} // namespace qm
