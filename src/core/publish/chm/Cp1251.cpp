#include "publish/chm/Cp1251.h"

#include "base/Utf8.h"

#include <algorithm>
#include <array>
#include <utility>

namespace qm::chm {

namespace {

// The code points of bytes 0x80 to 0xFF; 0x98 is unassigned in the code page.
constexpr std::array<char16_t, 128> kUpperHalf = {
    0x0402, 0x0403, 0x201A, 0x0453, 0x201E, 0x2026, 0x2020, 0x2021, // 80
    0x20AC, 0x2030, 0x0409, 0x2039, 0x040A, 0x040C, 0x040B, 0x040F, // 88
    0x0452, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014, // 90
    0x0000, 0x2122, 0x0459, 0x203A, 0x045A, 0x045C, 0x045B, 0x045F, // 98
    0x00A0, 0x040E, 0x045E, 0x0408, 0x00A4, 0x0490, 0x00A6, 0x00A7, // A0
    0x0401, 0x00A9, 0x0404, 0x00AB, 0x00AC, 0x00AD, 0x00AE, 0x0407, // A8
    0x00B0, 0x00B1, 0x0406, 0x0456, 0x0491, 0x00B5, 0x00B6, 0x00B7, // B0
    0x0451, 0x2116, 0x0454, 0x00BB, 0x0458, 0x0405, 0x0455, 0x0457, // B8
    0x0410, 0x0411, 0x0412, 0x0413, 0x0414, 0x0415, 0x0416, 0x0417, // C0
    0x0418, 0x0419, 0x041A, 0x041B, 0x041C, 0x041D, 0x041E, 0x041F, // C8
    0x0420, 0x0421, 0x0422, 0x0423, 0x0424, 0x0425, 0x0426, 0x0427, // D0
    0x0428, 0x0429, 0x042A, 0x042B, 0x042C, 0x042D, 0x042E, 0x042F, // D8
    0x0430, 0x0431, 0x0432, 0x0433, 0x0434, 0x0435, 0x0436, 0x0437, // E0
    0x0438, 0x0439, 0x043A, 0x043B, 0x043C, 0x043D, 0x043E, 0x043F, // E8
    0x0440, 0x0441, 0x0442, 0x0443, 0x0444, 0x0445, 0x0446, 0x0447, // F0
    0x0448, 0x0449, 0x044A, 0x044B, 0x044C, 0x044D, 0x044E, 0x044F, // F8
};

using TReverseEntry = std::pair<char16_t, unsigned char>;

// The table above turned round and sorted by code point, for binary search.
const std::array<TReverseEntry, 127>& ReverseTable() {
    static const std::array<TReverseEntry, 127> table = [] {
        std::array<TReverseEntry, 127> t{};
        size_t n = 0;
        for (size_t i = 0; i < kUpperHalf.size(); ++i)
            if (kUpperHalf[i] != 0)
                t[n++] = {kUpperHalf[i], static_cast<unsigned char>(0x80 + i)};
        std::sort(t.begin(), t.end());
        return t;
    }();
    return table;
}

// Latin letters with diacritics from U+00C0 to U+017F and the plain letter
// that stands in for each; "?" where there is no fair stand-in (ligatures,
// thorn, sharp s, the multiplication and division signs).
constexpr std::string_view kLatinBase = "AAAAAA?CEEEEIIII"  // C0
                                        "DNOOOOO?OUUUUY??"  // D0
                                        "aaaaaa?ceeeeiiii"  // E0
                                        "dnooooo?ouuuuy?y"  // F0
                                        "AaAaAaCcCcCcCcDd"  // 100
                                        "DdEeEeEeEeEeGgGg"  // 110
                                        "GgGgHhHhIiIiIiIi"  // 120
                                        "Ii??JjKk?LlLlLlL"  // 130
                                        "lLlNnNnNn???OoOo"  // 140
                                        "Oo??RrRrRrSsSsSs"  // 150
                                        "SsTtTtTtUuUuUuUu"  // 160
                                        "UuUuWwYyYZzZzZz?"; // 170

template <typename TFallback> std::string Encode(std::string_view utf8, TFallback fallback) {
    std::string out;
    out.reserve(utf8.size());
    size_t pos = 0;
    while (pos < utf8.size()) {
        const auto lead = static_cast<unsigned char>(utf8[pos]);
        if (lead < 0x80) {
            out.push_back(static_cast<char>(lead));
            ++pos;
            continue;
        }
        const char32_t cp = NextCodePoint(utf8, pos);
        if (const auto b = Cp1251ByteOf(cp))
            out.push_back(static_cast<char>(*b));
        else
            fallback(cp, out);
    }
    return out;
}

} // namespace

std::optional<unsigned char> Cp1251ByteOf(char32_t codePoint) {
    if (codePoint < 0x80)
        return static_cast<unsigned char>(codePoint);
    if (codePoint > 0xFFFF)
        return std::nullopt;
    const auto& table = ReverseTable();
    const auto key = static_cast<char16_t>(codePoint);
    const auto it =
        std::lower_bound(table.begin(), table.end(), key,
                         [](const TReverseEntry& e, char16_t k) { return e.first < k; });
    if (it == table.end() || it->first != key)
        return std::nullopt;
    return it->second;
}

std::string EncodeCp1251Html(std::string_view utf8) {
    return Encode(utf8, [](char32_t cp, std::string& out) {
        out += "&#";
        out += std::to_string(static_cast<unsigned long>(cp));
        out += ';';
    });
}

char PlainStandIn(char32_t codePoint) {
    if (codePoint >= 0xC0 && codePoint < 0xC0 + kLatinBase.size())
        return kLatinBase[codePoint - 0xC0];
    return '?';
}

std::string EncodeCp1251(std::string_view utf8) {
    return Encode(utf8, [](char32_t cp, std::string& out) { out.push_back(PlainStandIn(cp)); });
}

} // namespace qm::chm
