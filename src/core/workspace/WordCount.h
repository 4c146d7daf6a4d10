#pragma once
// Word counts for the status line: of one topic's HTML, and of every topic of
// a project (run away from the user-interface thread, on a snapshot).
#include <map>
#include <string>
#include <string_view>
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
// Reads the pages; an unreadable or missing page counts nothing. Titles are not counted.
[[nodiscard]] size_t CountProjectWords(const std::vector<TWordCountSource>& sources);

} // namespace qm
