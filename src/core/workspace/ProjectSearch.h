#pragma once
// Find in project: the titles and text of every topic, the saved pages and
// the texts the session holds unsaved. The plain text of each page is kept
// in memory once read and read again only when the page changed on disk (its
// time or size) or its unsaved text changed, so searching again is quick.
#include <cstdint>
#include <map>
#include <string>
#include <vector>

namespace qm {

class TDocProject;

struct TProjectSearchHit {
    std::string TopicID;
    std::string Title;
    std::string ContentsPath;                             // "Parent > Child > Topic"
    std::string Snippet;                                  // the text around the first match
    size_t SnippetMatchStart = 0, SnippetMatchLength = 0; // bytes in Snippet
    size_t TextOffset = 0; // bytes into the plain text; npos for a title-only hit
    int Matches = 0;       // in the title and the text
};

// Lower case for comparing: ASCII and the two-byte letters of the Latin,
// Greek and Cyrillic alphabets. Byte lengths never change, so offsets in the
// folded text are offsets in the original.
[[nodiscard]] std::string FoldCaseForSearch(std::string_view text);

class TProjectSearch {
public:
    // unsaved: topic id -> body HTML not yet written (it wins over the page).
    // Hits in contents order; the query is matched ignoring case.
    [[nodiscard]] std::vector<TProjectSearchHit>
    Search(const TDocProject& project, const std::map<std::string, std::string>& unsaved,
           const std::string& query);
    // Forgets every cached text (another project was opened).
    void Clear() { FCache.clear(); }
    // How many pages were read and converted by the last search (for tests).
    [[nodiscard]] size_t LastReads() const { return FLastReads; }

private:
    struct TCached {
        std::int64_t Stamp = -1;   // page time; -1 for an unsaved text
        std::uintmax_t Size = 0;   // page size
        std::uint64_t Unsaved = 0; // hash of the unsaved text it was made from
        std::string Text;          // plain text
        std::string Folded;        // FoldCaseForSearch(Text)
    };
    const TCached& TextOf(const TDocProject& project, const std::string& id,
                          const std::map<std::string, std::string>& unsaved);

    std::map<std::string, TCached> FCache;
    size_t FLastReads = 0;
};

} // namespace qm
