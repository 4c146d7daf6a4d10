#pragma once
// Word counts for the status line: of one topic's HTML, and of every topic of
// a project (run away from the user-interface thread, on a snapshot).
#include <cstdint>
#include <map>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace qm {

class TDocProject;

// Runs of letters and digits (any non-ASCII character counts as a letter),
// with an apostrophe or hyphen inside a word keeping it one word.
[[nodiscard]] size_t CountWords(std::string_view plainText);
[[nodiscard]] size_t CountHtmlWords(std::string_view html);

// What a project's count is made from: each topic's unsaved text, or else its page file.
struct TWordCountSource {
    std::string Html;
    std::string PagePath; // read when there is no unsaved text
    bool Unsaved = false;
};
[[nodiscard]] std::vector<TWordCountSource>
ProjectWordSources(const TDocProject& project, const std::map<std::string, std::string>& unsaved);

// The words of page files from earlier counts: a page whose size, time and
// file are unchanged is not read again, so recounting a large project after
// an edit reads only what changed. One count at a time may use it.
class TPageWordCache {
public:
    // An unreadable or missing page counts nothing.
    [[nodiscard]] size_t Count(const std::string& pagePath);

private:
    struct TEntry {
        std::int64_t Size = 0;
        std::int64_t TimeNs = 0;
        std::uint64_t Inode = 0;
        size_t Words = 0;
    };
    std::unordered_map<std::string, TEntry> FEntries;
};

// Reads the pages (through the cache, when there is one). Titles are not counted.
[[nodiscard]] size_t CountProjectWords(const std::vector<TWordCountSource>& sources,
                                       TPageWordCache* cache = nullptr);

} // namespace qm
