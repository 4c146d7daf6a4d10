#pragma once
// How the published search reads text: words folded to lower case without
// accents, Chinese and Japanese characters each a word of their own, and a
// light stemmer for English word forms. The viewer (app.js) splits and folds a
// query the same way, so both sides must change together.
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace qm {

// Character references left in a page's plain text (named Latin letters,
// typographic signs, numeric references) as the characters they name.
[[nodiscard]] std::string DecodeHtmlEntities(std::string_view text);

// The folded words of a text, in order (repeats kept).
[[nodiscard]] std::vector<std::string> SearchWords(std::string_view utf8);
// The same words handed to visit one by one, in a buffer that the next word
// reuses.
void ForEachSearchWord(std::string_view utf8, const std::function<void(const std::string&)>& visit);

// The stem of a folded word: plural, -ing, -ed and -ion endings removed from
// words of plain letters a-z; other words are their own stem.
[[nodiscard]] std::string SearchStem(std::string_view word);

} // namespace qm
