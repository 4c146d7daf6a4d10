#include "base/StringUtil.h"

#include "base/WordScan.h"

#include <cerrno>
#include <charconv>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <limits>

namespace qm {

namespace {
char LowerAscii(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c + 32) : c;
}
bool IsCtlOrSpace(char c) {
    return static_cast<unsigned char>(c) <= 32;
}
} // namespace

std::string TrimCtl(std::string_view s) {
    size_t b = 0;
    size_t e = s.size();
    while (b < e && IsCtlOrSpace(s[b]))
        ++b;
    while (e > b && IsCtlOrSpace(s[e - 1]))
        --e;
    return std::string(s.substr(b, e - b));
}

std::string AsciiLower(std::string_view s) {
    std::string r(s);
    for (char& c : r)
        c = LowerAscii(c);
    return r;
}

bool SameTextAscii(std::string_view a, std::string_view b) {
    if (a.size() != b.size())
        return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (LowerAscii(a[i]) != LowerAscii(b[i]))
            return false;
    return true;
}

bool StartsWith(std::string_view s, std::string_view prefix) {
    return s.substr(0, prefix.size()) == prefix;
}

bool EndsWith(std::string_view s, std::string_view suffix) {
    return s.size() >= suffix.size() && s.substr(s.size() - suffix.size()) == suffix;
}

bool StartsWithAsciiNoCase(std::string_view s, std::string_view prefix) {
    return s.size() >= prefix.size() && SameTextAscii(s.substr(0, prefix.size()), prefix);
}

size_t FindAsciiNoCase(std::string_view hay, std::string_view needle, size_t from) {
    if (needle.empty())
        return from <= hay.size() ? from : std::string_view::npos;
    if (hay.size() < needle.size() || from > hay.size() - needle.size())
        return std::string_view::npos;
    // One pass comparing folded bytes. Looking for each case of the first
    // letter with its own memchr scanned to the end of the text for a case
    // that does not occur, at every candidate and in every call: quadratic on
    // a page of "B" when looking for "background". Eight bytes are looked at
    // together: a byte whose value with bit 5 set is the first letter's is a
    // candidate (so is a control byte for "<" or "{"; the check that follows
    // tells).
    const char first = LowerAscii(needle[0]);
    const std::string_view rest = needle.substr(1);
    const size_t last = hay.size() - needle.size();
    const auto isAt = [&](size_t i) {
        return LowerAscii(hay[i]) == first && SameTextAscii(hay.substr(i + 1, rest.size()), rest);
    };
    const auto firstFolded = static_cast<unsigned char>(first | 0x20);
    size_t i = from;
    for (; i + 8 <= last + 1; i += 8) {
        if (!WordHoldsByte(WordAt(hay, i) | (kWordOnes * 0x20), firstFolded))
            continue;
        for (size_t k = 0; k < 8; ++k)
            if (isAt(i + k))
                return i + k;
    }
    for (; i <= last; ++i)
        if (isAt(i))
            return i;
    return std::string_view::npos;
}

std::string ReplaceAll(std::string_view s, std::string_view from, std::string_view to) {
    if (from.empty())
        return std::string(s);
    std::string r;
    r.reserve(s.size());
    size_t pos = 0;
    for (;;) {
        size_t hit = s.find(from, pos);
        if (hit == std::string_view::npos)
            break;
        r.append(s.substr(pos, hit - pos));
        r.append(to);
        pos = hit + from.size();
    }
    r.append(s.substr(pos));
    return r;
}

std::string ReplaceAllAsciiNoCase(std::string_view s, std::string_view from, std::string_view to) {
    if (from.empty())
        return std::string(s);
    std::string r;
    r.reserve(s.size());
    size_t pos = 0;
    for (;;) {
        size_t hit = FindAsciiNoCase(s, from, pos);
        if (hit == std::string_view::npos)
            break;
        r.append(s.substr(pos, hit - pos));
        r.append(to);
        pos = hit + from.size();
    }
    r.append(s.substr(pos));
    return r;
}

std::string FormatS(std::string_view format, std::string_view arg) {
    size_t p = format.find("%s");
    if (p == std::string_view::npos)
        return std::string(format);
    std::string r(format.substr(0, p));
    r.append(arg);
    r.append(format.substr(p + 2));
    return r;
}

std::vector<std::string> SplitLines(std::string_view text) {
    std::vector<std::string> lines;
    size_t start = 0;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\n') {
            size_t end = i;
            if (end > start && text[end - 1] == '\r')
                --end;
            lines.emplace_back(text.substr(start, end - start));
            start = i + 1;
        }
    }
    if (start < text.size()) {
        std::string_view last = text.substr(start);
        if (!last.empty() && last.back() == '\r')
            last.remove_suffix(1);
        lines.emplace_back(last);
    }
    return lines;
}

bool TryParseInt32(std::string_view s, int& out) {
    if (s.empty())
        return false;
    size_t i = 0;
    bool neg = false;
    if (s[0] == '+' || s[0] == '-') {
        neg = s[0] == '-';
        i = 1;
    }
    if (i >= s.size())
        return false;
    long long v = 0;
    for (; i < s.size(); ++i) {
        if (s[i] < '0' || s[i] > '9')
            return false;
        v = v * 10 + (s[i] - '0');
        if (v > static_cast<long long>(std::numeric_limits<int>::max()) + 1)
            return false;
    }
    if (neg)
        v = -v;
    if (v > std::numeric_limits<int>::max() || v < std::numeric_limits<int>::min())
        return false;
    out = static_cast<int>(v);
    return true;
}

std::string FormatShortestDouble(double v) {
    // to_chars ignores the user's locale (a German desktop would otherwise
    // write "1,5" into JSON); general format with 15 significant digits drops
    // trailing zeros, so 1.5 stays "1.5" and 2.0 is "2".
    char buf[64];
    const auto r = std::to_chars(buf, buf + sizeof buf, v, std::chars_format::general, 15);
    return std::string(buf, r.ptr);
}

} // namespace qm
