#include "import/AnsiText.h"

#include "base/PathUtils.h"
#include "base/StringUtil.h"
#include "base/Utf8.h"

namespace qm {

namespace {

// Code points of the bytes 0x80 to 0x9F; the rest of the code page is
// Latin-1, whose bytes equal their code points.
constexpr char32_t kHighControls[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

} // namespace

std::string DecodeWindows1252(std::string_view bytes) {
    std::string r;
    r.reserve(bytes.size() + bytes.size() / 4);
    for (const char c : bytes) {
        const auto b = static_cast<unsigned char>(c);
        if (b < 0x80)
            r.push_back(c);
        else if (b < 0xA0)
            AppendUtf8(r, kHighControls[b - 0x80]);
        else
            AppendUtf8(r, b);
    }
    return r;
}

std::string ReadTextFileUtf8OrAnsi(const std::string& fileName) {
    std::string bytes = ReadFileBytes(fileName);
    const std::string_view view(bytes);
    if (StartsWith(view, "\xFF\xFE"))
        return DecodeUtf16(view.substr(2), false);
    if (StartsWith(view, "\xFE\xFF"))
        return DecodeUtf16(view.substr(2), true);
    if (StartsWith(view, "\xEF\xBB\xBF"))
        bytes.erase(0, 3);
    return IsValidUtf8(bytes) ? bytes : DecodeWindows1252(bytes);
}

} // namespace qm
