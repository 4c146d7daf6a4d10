#pragma once
// How the published search reads text: words folded to lower case without
// accents, Chinese and Japanese characters each a word of their own, and a
// light stemmer for English word forms. The viewer (app.js) splits and folds a
// query the same way, so both sides must change together.
#include "base/Utf8.h"

#include <array>
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace qm {

// Character references left in a page's plain text (named Latin letters,
// typographic signs, numeric references) as the characters they name.
[[nodiscard]] std::string DecodeHtmlEntities(std::string_view text);

// The folded words of a text, in order (repeats kept).
[[nodiscard]] std::vector<std::string> SearchWords(std::string_view utf8);
// The same words handed to visit(std::string_view) one by one; a view that
// lives only until visit returns.
template <class TVisit> void ForEachSearchWord(std::string_view utf8, TVisit&& visit);

// The stem of a folded word: plural, -ing, -ed and -ion endings removed from
// words of plain letters a-z; other words are their own stem.
[[nodiscard]] std::string SearchStem(std::string_view word);

namespace search_detail {

// Bit 0: a letter or digit of ASCII; bit 1: an upper-case letter.
extern const std::array<unsigned char, 128> kAsciiClass;

// How a character from U+0080 on takes part in a word: -1 it ends one, 0 it
// is dropped (a combining accent), otherwise its folded form; CJK is set for
// a character that is a word of its own.
int FoldWordChar(char32_t c, bool& cjk);

} // namespace search_detail

template <class TVisit> void ForEachSearchWord(std::string_view utf8, TVisit&& visit) {
    using search_detail::kAsciiClass;
    // Nearly every word of a page is plain lower-case ASCII and is handed
    // over as a view of the text itself; only the others are built up here.
    std::string word;
    const auto flush = [&] {
        if (!word.empty())
            visit(std::string_view(word));
        word.clear();
    };
    const size_t n = utf8.size();
    const char* s = utf8.data();
    size_t pos = 0;
    while (pos < n) {
        const auto b = static_cast<unsigned char>(s[pos]);
        if (b < 0x80) {
            if ((kAsciiClass[b] & 1) == 0) {
                ++pos;
                flush();
                continue;
            }
            const size_t start = pos;
            unsigned char seen = 0;
            while (pos < n && static_cast<unsigned char>(s[pos]) < 0x80 &&
                   (kAsciiClass[static_cast<unsigned char>(s[pos])] & 1) != 0)
                seen |= kAsciiClass[static_cast<unsigned char>(s[pos++])];
            const bool more = pos < n && static_cast<unsigned char>(s[pos]) >= 0x80;
            if (word.empty() && (seen & 2) == 0 && !more) {
                visit(std::string_view(s + start, pos - start));
                continue;
            }
            for (size_t i = start; i < pos; ++i)
                word.push_back((kAsciiClass[static_cast<unsigned char>(s[i])] & 2) != 0
                                   ? static_cast<char>(s[i] + 32)
                                   : s[i]);
            if (!more)
                flush();
            continue;
        }
        bool cjk = false;
        const int c = search_detail::FoldWordChar(NextCodePoint(utf8, pos), cjk);
        if (c < 0) {
            flush();
        } else if (cjk) {
            flush();
            AppendUtf8(word, static_cast<char32_t>(c));
            flush();
        } else if (c > 0) {
            AppendUtf8(word, static_cast<char32_t>(c));
        }
    }
    flush();
}

} // namespace qm
