#include "publish/chm/ChmCodePage.h"

#include "base/Utf8.h"
#include "model/DocModel.h"
#include "publish/chm/ChmTopics.h"
#include "publish/chm/Cp1251.h"

#include <array>

namespace qm::chm {

namespace {

// The code points of bytes 0x80 to 0x9F; 0x81, 0x8D, 0x8F, 0x90 and 0x9D are
// unassigned. Bytes 0xA0 to 0xFF are the code points of the same number.
constexpr std::array<char16_t, 32> kCp1252Specials = {
    0x20AC, 0x0000, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, // 80
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x0000, 0x017D, 0x0000, // 88
    0x0000, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014, // 90
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x0000, 0x017E, 0x0178, // 98
};

template <typename TFallback>
std::string Encode(TChmCodePage page, std::string_view utf8, TFallback fallback) {
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
        if (const auto b = ChmByteOf(page, cp))
            out.push_back(static_cast<char>(*b));
        else
            fallback(cp, out);
    }
    return out;
}

} // namespace

std::optional<unsigned char> Cp1252ByteOf(char32_t codePoint) {
    if (codePoint < 0x80 || (codePoint >= 0xA0 && codePoint <= 0xFF))
        return static_cast<unsigned char>(codePoint);
    for (size_t i = 0; i < kCp1252Specials.size(); ++i)
        if (kCp1252Specials[i] != 0 && kCp1252Specials[i] == codePoint)
            return static_cast<unsigned char>(0x80 + i);
    return std::nullopt;
}

std::optional<unsigned char> ChmByteOf(TChmCodePage page, char32_t codePoint) {
    return page == TChmCodePage::Windows1252 ? Cp1252ByteOf(codePoint) : Cp1251ByteOf(codePoint);
}

TChmCodePage ChooseChmCodePage(const std::vector<std::string_view>& names) {
    bool needed = false;
    for (std::string_view name : names) {
        size_t pos = 0;
        while (pos < name.size()) {
            const char32_t cp = NextCodePoint(name, pos);
            if (!Cp1252ByteOf(cp))
                return TChmCodePage::Windows1251;
            if (!Cp1251ByteOf(cp))
                needed = true;
        }
    }
    return needed ? TChmCodePage::Windows1252 : TChmCodePage::Windows1251;
}

TChmCodePage ChooseChmCodePage(const TDocProject& project) {
    std::vector<std::string_view> names{project.Title};
    for (const TTopic& t : project.Topics) {
        if (!IsPublishedToChm(t))
            continue;
        names.push_back(t.Title);
        for (const std::string& entry : t.IndexEntries)
            names.push_back(entry);
    }
    return ChooseChmCodePage(names);
}

const char* ChmCharset(TChmCodePage page) {
    return page == TChmCodePage::Windows1252 ? "windows-1252" : "windows-1251";
}

const char* ChmLanguageId(TChmCodePage page) {
    return page == TChmCodePage::Windows1252 ? "0x409" : "0x419";
}

std::string EncodeChmText(TChmCodePage page, std::string_view utf8) {
    return Encode(page, utf8,
                  [](char32_t cp, std::string& out) { out.push_back(PlainStandIn(cp)); });
}

std::string EncodeChmHtml(TChmCodePage page, std::string_view utf8) {
    return Encode(page, utf8, [](char32_t cp, std::string& out) {
        out += "&#";
        out += std::to_string(static_cast<unsigned long>(cp));
        out += ';';
    });
}

std::string FoldToChmCodePage(TChmCodePage page, std::string_view utf8) {
    std::string out;
    out.reserve(utf8.size());
    size_t pos = 0;
    while (pos < utf8.size()) {
        const size_t start = pos;
        const char32_t cp = NextCodePoint(utf8, pos);
        if (ChmByteOf(page, cp))
            out.append(utf8.substr(start, pos - start));
        else
            out.push_back(PlainStandIn(cp));
    }
    return out;
}

} // namespace qm::chm
