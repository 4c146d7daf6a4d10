#include "editor/ToolbarValues.h"

#include "base/StringUtil.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>

namespace qm {

namespace {
std::optional<long long> DecimalInteger(std::string_view text) {
    const std::string t = TrimCtl(text);
    long long v = 0;
    const auto [end, ec] = std::from_chars(t.data(), t.data() + t.size(), v);
    if (t.empty() || ec != std::errc() || end != t.data() + t.size())
        return std::nullopt;
    return v;
}

// A decimal number with "." as its separator, whatever the user's locale.
std::optional<double> DecimalNumber(std::string_view text) {
    double v = 0;
    const auto [end, ec] =
        std::from_chars(text.data(), text.data() + text.size(), v, std::chars_format::fixed);
    if (text.empty() || ec != std::errc() || end != text.data() + text.size() || !std::isfinite(v))
        return std::nullopt;
    return v;
}

int HexDigit(char c) {
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}
} // namespace

std::optional<int> FontSizeFromBox(std::string_view text) {
    const std::optional<long long> v = DecimalInteger(text);
    if (!v || *v <= 0)
        return std::nullopt;
    return static_cast<int>(std::clamp<long long>(*v, kMinFontSizePx, kMaxFontSizePx));
}

std::optional<double> LineSpacingFromBox(std::string_view text, std::string_view selectedCaption) {
    std::string t = TrimCtl(text);
    if (t.empty())
        t = TrimCtl(selectedCaption);
    const std::optional<double> x = DecimalNumber(ReplaceAll(t, ",", "."));
    if (!x || *x <= 0)
        return std::nullopt;
    return *x;
}

std::optional<std::pair<int, int>> TableSizeFromAnswer(std::string_view answer) {
    const size_t comma = answer.find(',');
    if (comma == std::string_view::npos)
        return std::nullopt;
    const auto count = [](std::string_view part) {
        const std::optional<long long> v = DecimalInteger(part);
        return v && *v > 0 && *v <= 1000 ? static_cast<int>(*v) : 0;
    };
    const int rows = count(answer.substr(0, comma));
    const int cols = count(answer.substr(comma + 1));
    if (rows == 0 || cols == 0)
        return std::make_pair(0, 0);
    return std::make_pair(rows, cols);
}

TColor ParseCaretColor(std::string_view written, TColor current) {
    const std::string text = TrimCtl(written);
    if (text.empty() || SameTextAscii(text, "transparent"))
        return 0xFFFFFF;
    if (text.size() != 7 || text[0] != '#')
        return current;
    TColor rgb[3] = {};
    for (int i = 0; i < 3; ++i) {
        const int hi = HexDigit(text[1 + 2 * i]);
        const int lo = HexDigit(text[2 + 2 * i]);
        if (hi < 0 || lo < 0)
            return current;
        rgb[i] = static_cast<TColor>(hi * 16 + lo);
    }
    return rgb[0] | (rgb[1] << 8) | (rgb[2] << 16);
}

std::string FormatLineHeightRatio(double x) {
    char buf[64];
    std::snprintf(buf, sizeof buf, "%.2f", x);
    std::string s = ReplaceAll(buf, ",", "."); // printf follows the C locale
    if (s.find('.') != std::string::npos) {
        while (!s.empty() && s.back() == '0')
            s.pop_back();
        if (!s.empty() && s.back() == '.')
            s.pop_back();
    }
    return s;
}

std::string CaretLineHeight(std::string_view lineHeight, int fontSizePx) {
    const std::string l = TrimCtl(lineHeight);
    if (l.empty() || fontSizePx <= 0 || AsciiLower(l).find("px") == std::string::npos)
        return l;
    const std::string number = ReplaceAll(TrimCtl(ReplaceAll(AsciiLower(l), "px", "")), ",", ".");
    const std::optional<double> x = DecimalNumber(number);
    if (!x || *x <= 0)
        return l;
    return FormatLineHeightRatio(std::max(*x / fontSizePx, 1.0));
}

} // namespace qm
