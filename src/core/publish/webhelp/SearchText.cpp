#include "publish/webhelp/SearchText.h"

#include "base/Utf8.h"

#include <algorithm>
#include <array>
#include <cstdint>

namespace qm {

namespace {

struct TFoldPair {
    uint32_t From;
    uint32_t To; // 0: the code point is dropped (a combining accent)
};
struct TRange {
    uint32_t First;
    uint32_t Last;
};

#include "publish/webhelp/SearchTables.inc"

// Folded form of one code point; 0 drops it.
char32_t Fold(char32_t c) {
    if (c < 0x80)
        return (c >= 'A' && c <= 'Z') ? c + 32 : c;
    const auto* end = std::end(kFoldPairs);
    const auto* it = std::lower_bound(std::begin(kFoldPairs), end, c,
                                      [](const TFoldPair& p, char32_t v) { return p.From < v; });
    return (it != end && it->From == c) ? it->To : c;
}

bool IsWordChar(char32_t c) {
    if (c < 0x80)
        return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9');
    const auto* end = std::end(kWordRanges);
    const auto* it = std::upper_bound(std::begin(kWordRanges), end, c,
                                      [](char32_t v, const TRange& r) { return v < r.First; });
    return it != std::begin(kWordRanges) && c <= (it - 1)->Last;
}

// Scripts written without spaces between words: each character is a word.
bool IsCjk(char32_t c) {
    return (c >= 0x3040 && c <= 0x30FF) || (c >= 0x3400 && c <= 0x9FFF) ||
           (c >= 0xF900 && c <= 0xFAFF);
}

struct TEntity {
    const char* Name;
    char32_t Code;
};

// Sorted by name (byte order) for the binary search.
const TEntity kEntities[] = {
    {"AElig", 0xC6},    {"Aacute", 0xC1},   {"Acirc", 0xC2},    {"Agrave", 0xC0},
    {"Aring", 0xC5},    {"Atilde", 0xC3},   {"Auml", 0xC4},     {"Ccedil", 0xC7},
    {"Dagger", 0x2021}, {"ETH", 0xD0},      {"Eacute", 0xC9},   {"Ecirc", 0xCA},
    {"Egrave", 0xC8},   {"Euml", 0xCB},     {"Iacute", 0xCD},   {"Icirc", 0xCE},
    {"Igrave", 0xCC},   {"Iuml", 0xCF},     {"Ntilde", 0xD1},   {"OElig", 0x152},
    {"Oacute", 0xD3},   {"Ocirc", 0xD4},    {"Ograve", 0xD2},   {"Oslash", 0xD8},
    {"Otilde", 0xD5},   {"Ouml", 0xD6},     {"Scaron", 0x160},  {"THORN", 0xDE},
    {"Uacute", 0xDA},   {"Ucirc", 0xDB},    {"Ugrave", 0xD9},   {"Uuml", 0xDC},
    {"Yacute", 0xDD},   {"Yuml", 0x178},    {"aacute", 0xE1},   {"acirc", 0xE2},
    {"acute", 0xB4},    {"aelig", 0xE6},    {"agrave", 0xE0},   {"amp", 0x26},
    {"apos", 0x27},     {"aring", 0xE5},    {"asymp", 0x2248},  {"atilde", 0xE3},
    {"auml", 0xE4},     {"bdquo", 0x201E},  {"brvbar", 0xA6},   {"bull", 0x2022},
    {"ccedil", 0xE7},   {"cedil", 0xB8},    {"cent", 0xA2},     {"circ", 0x2C6},
    {"copy", 0xA9},     {"curren", 0xA4},   {"dagger", 0x2020}, {"darr", 0x2193},
    {"deg", 0xB0},      {"divide", 0xF7},   {"eacute", 0xE9},   {"ecirc", 0xEA},
    {"egrave", 0xE8},   {"emsp", 0x2003},   {"ensp", 0x2002},   {"eth", 0xF0},
    {"euml", 0xEB},     {"euro", 0x20AC},   {"fnof", 0x192},    {"frac12", 0xBD},
    {"frac14", 0xBC},   {"frac34", 0xBE},   {"ge", 0x2265},     {"gt", 0x3E},
    {"harr", 0x2194},   {"hellip", 0x2026}, {"iacute", 0xED},   {"icirc", 0xEE},
    {"iexcl", 0xA1},    {"igrave", 0xEC},   {"infin", 0x221E},  {"iquest", 0xBF},
    {"iuml", 0xEF},     {"laquo", 0xAB},    {"larr", 0x2190},   {"ldquo", 0x201C},
    {"le", 0x2264},     {"lsaquo", 0x2039}, {"lsquo", 0x2018},  {"lt", 0x3C},
    {"macr", 0xAF},     {"mdash", 0x2014},  {"micro", 0xB5},    {"middot", 0xB7},
    {"minus", 0x2212},  {"nbsp", 0xA0},     {"ndash", 0x2013},  {"ne", 0x2260},
    {"not", 0xAC},      {"ntilde", 0xF1},   {"oacute", 0xF3},   {"ocirc", 0xF4},
    {"oelig", 0x153},   {"ograve", 0xF2},   {"ordf", 0xAA},     {"ordm", 0xBA},
    {"oslash", 0xF8},   {"otilde", 0xF5},   {"ouml", 0xF6},     {"para", 0xB6},
    {"permil", 0x2030}, {"plusmn", 0xB1},   {"pound", 0xA3},    {"prime", 0x2032},
    {"quot", 0x22},     {"raquo", 0xBB},    {"rarr", 0x2192},   {"rdquo", 0x201D},
    {"reg", 0xAE},      {"rsaquo", 0x203A}, {"rsquo", 0x2019},  {"sbquo", 0x201A},
    {"scaron", 0x161},  {"sect", 0xA7},     {"shy", 0xAD},      {"sup1", 0xB9},
    {"sup2", 0xB2},     {"sup3", 0xB3},     {"szlig", 0xDF},    {"thinsp", 0x2009},
    {"thorn", 0xFE},    {"tilde", 0x2DC},   {"times", 0xD7},    {"trade", 0x2122},
    {"uacute", 0xFA},   {"uarr", 0x2191},   {"ucirc", 0xFB},    {"ugrave", 0xF9},
    {"uml", 0xA8},      {"uuml", 0xFC},     {"yacute", 0xFD},   {"yen", 0xA5},
    {"yuml", 0xFF},
};

// "&name;" or "&#n;" / "&#xh;" at s[pos] (pos on the ampersand); 0 when it is
// none of them or names no character.
char32_t EntityAt(std::string_view s, size_t pos, size_t& length) {
    const size_t semi = s.find(';', pos + 1);
    if (semi == std::string_view::npos || semi - pos > 33 || semi - pos < 3)
        return 0;
    const std::string_view body = s.substr(pos + 1, semi - pos - 1);
    length = semi - pos + 1;
    if (body[0] == '#') {
        const bool hex = body.size() > 1 && (body[1] == 'x' || body[1] == 'X');
        const std::string_view digits = body.substr(hex ? 2 : 1);
        if (digits.empty() || digits.size() > 7)
            return 0;
        uint32_t v = 0;
        for (const char c : digits) {
            int d = -1;
            if (c >= '0' && c <= '9')
                d = c - '0';
            else if (hex && c >= 'a' && c <= 'f')
                d = c - 'a' + 10;
            else if (hex && c >= 'A' && c <= 'F')
                d = c - 'A' + 10;
            if (d < 0)
                return 0;
            v = v * (hex ? 16 : 10) + static_cast<uint32_t>(d);
        }
        if (v == 0 || v > 0x10FFFF || (v >= 0xD800 && v <= 0xDFFF))
            return 0;
        return v == 0xA0 ? U' ' : v;
    }
    const auto* end = std::end(kEntities);
    const auto* it =
        std::lower_bound(std::begin(kEntities), end, body,
                         [](const TEntity& e, std::string_view n) { return e.Name < n; });
    return (it != end && body == it->Name) ? it->Code : 0;
}

bool IsVowel(char c) {
    return c == 'a' || c == 'e' || c == 'i' || c == 'o' || c == 'u' || c == 'y';
}

// Called with short literals, a dozen times a word: a loop the compiler
// unrolls beats a call of memcmp.
bool EndsWith(const std::string& s, std::string_view tail) {
    if (s.size() < tail.size())
        return false;
    const char* end = s.data() + s.size() - tail.size();
    for (size_t i = 0; i < tail.size(); ++i)
        if (end[i] != tail[i])
            return false;
    return true;
}

bool HasVowel(std::string_view s) {
    return std::any_of(s.begin(), s.end(), IsVowel);
}

} // namespace

std::string DecodeHtmlEntities(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    size_t pos = 0;
    while (pos < text.size()) {
        const size_t amp = text.find('&', pos);
        if (amp == std::string_view::npos) {
            out.append(text.substr(pos));
            break;
        }
        out.append(text.substr(pos, amp - pos));
        size_t length = 0;
        const char32_t c = EntityAt(text, amp, length);
        if (c == 0) {
            out += '&';
            pos = amp + 1;
        } else {
            AppendUtf8(out, c);
            pos = amp + length;
        }
    }
    return out;
}

std::vector<std::string> SearchWords(std::string_view utf8) {
    std::vector<std::string> words;
    ForEachSearchWord(utf8, [&](std::string_view w) { words.emplace_back(w); });
    return words;
}

namespace search_detail {

const std::array<unsigned char, 128> kAsciiClass = [] {
    std::array<unsigned char, 128> t{};
    for (char c = '0'; c <= '9'; ++c)
        t[static_cast<unsigned char>(c)] = 1;
    for (char c = 'a'; c <= 'z'; ++c)
        t[static_cast<unsigned char>(c)] = 1;
    for (char c = 'A'; c <= 'Z'; ++c)
        t[static_cast<unsigned char>(c)] = 3;
    return t;
}();

int FoldWordChar(char32_t c, bool& cjk) {
    if (!IsWordChar(c))
        return -1;
    const char32_t f = Fold(c);
    cjk = f != 0 && IsCjk(f);
    return static_cast<int>(f);
}

} // namespace search_detail

std::string SearchStem(std::string_view folded) {
    std::string w(folded);
    if (w.size() < 4 ||
        !std::all_of(w.begin(), w.end(), [](char c) { return c >= 'a' && c <= 'z'; }))
        return w;
    // plural
    if (EndsWith(w, "ies") && w.size() > 4)
        w.replace(w.size() - 3, 3, "y");
    else if (EndsWith(w, "sses") || EndsWith(w, "xes") || EndsWith(w, "zes") ||
             EndsWith(w, "ches") || EndsWith(w, "shes"))
        w.resize(w.size() - 2);
    else if (EndsWith(w, "s") && !EndsWith(w, "ss") && !EndsWith(w, "us") && !EndsWith(w, "is"))
        w.pop_back();
    // one verb or noun ending, when enough of a word stays
    const auto cut = [&w](size_t n) {
        if (w.size() < n + 3 || !HasVowel(std::string_view(w).substr(0, w.size() - n)))
            return false;
        w.resize(w.size() - n);
        return true;
    };
    bool verb = false;
    if (EndsWith(w, "ation"))
        cut(5);
    else if (EndsWith(w, "tion") || EndsWith(w, "sion"))
        cut(3);
    else if (EndsWith(w, "ing"))
        verb = cut(3);
    else if (EndsWith(w, "ed"))
        verb = cut(2);
    // running -> run, stopped -> stop; installed keeps its ll
    if (verb && w.size() >= 3) {
        const char last = w.back();
        if (last == w[w.size() - 2] && !IsVowel(last) && last != 'l' && last != 's' && last != 'z')
            w.pop_back();
    }
    // create, creating and created meet at creat
    if (w.size() >= 4 && w.back() == 'e')
        w.pop_back();
    return w;
}

} // namespace qm
