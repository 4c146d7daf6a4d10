#include "publish/pdf/PdfBodyRules.h"

#include "base/StringUtil.h"

#include <algorithm>
#include <vector>

namespace qm::pdf {

namespace {

bool IsTagNameEnd(std::string_view html, size_t at) {
    if (at >= html.size())
        return true;
    const char c = html[at];
    return c == '>' || c == '/' || c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\f';
}

// "<name" (any case) at pos, ending there as a tag name does.
bool TagAt(std::string_view html, size_t pos, std::string_view name) {
    return pos + 1 + name.size() <= html.size() && html[pos] == '<' &&
           SameTextAscii(html.substr(pos + 1, name.size()), name) &&
           IsTagNameEnd(html, pos + 1 + name.size());
}

// The level of a heading tag starting at pos ("<h3 ..." gives 3), or 0.
int HeadingLevelAt(std::string_view html, size_t pos) {
    if (pos + 3 > html.size() || html[pos] != '<' || (html[pos + 1] != 'h' && html[pos + 1] != 'H'))
        return 0;
    const char digit = html[pos + 2];
    if (digit < '1' || digit > '6' || !IsTagNameEnd(html, pos + 3))
        return 0;
    return digit - '0';
}

struct TInsertion {
    size_t At;
    std::string Text;
};

std::string ApplyInsertions(std::string_view html, std::vector<TInsertion> insertions) {
    std::stable_sort(insertions.begin(), insertions.end(),
                     [](const TInsertion& a, const TInsertion& b) { return a.At < b.At; });
    std::string out;
    size_t copied = 0;
    for (const TInsertion& i : insertions) {
        out.append(html.substr(copied, i.At - copied));
        out += i.Text;
        copied = i.At;
    }
    out.append(html.substr(copied));
    return out;
}

} // namespace

std::string NestInnerHeadings(std::string_view html, size_t topicLevel) {
    int highest = 7;
    for (size_t at = html.find('<'); at != std::string_view::npos; at = html.find('<', at + 1))
        if (const int level = HeadingLevelAt(html, at); level != 0)
            highest = std::min(highest, level);
    if (highest == 7)
        return std::string(html);
    std::vector<TInsertion> insertions;
    for (size_t at = html.find('<'); at != std::string_view::npos; at = html.find('<', at + 1)) {
        const int level = HeadingLevelAt(html, at);
        if (level == 0)
            continue;
        const size_t tagEnd = html.find('>', at);
        if (FindAsciiNoCase(
                html.substr(at, tagEnd == std::string_view::npos ? tagEnd : tagEnd - at),
                "aria-level") != std::string_view::npos)
            continue;
        const size_t nested =
            std::min<size_t>(6, topicLevel + static_cast<size_t>(level - highest) + 1);
        insertions.push_back({at + 3, " aria-level=\"" + std::to_string(nested) + "\""});
    }
    return ApplyInsertions(html, std::move(insertions));
}

std::string RepeatTableHeaderRows(std::string_view html) {
    struct TTable {
        size_t ContentStart; // just after the <table ...> tag
        bool HasHead = false;
        size_t RowStart = std::string_view::npos;
        size_t RowEnd = std::string_view::npos;
    };
    std::vector<TTable> open;
    std::vector<TInsertion> insertions;
    for (size_t at = html.find('<'); at != std::string_view::npos; at = html.find('<', at + 1)) {
        if (TagAt(html, at, "table")) {
            const size_t tagEnd = html.find('>', at);
            if (tagEnd == std::string_view::npos)
                break;
            open.push_back({tagEnd + 1});
        } else if (open.empty()) {
            continue;
        } else if (TagAt(html, at, "thead")) {
            open.back().HasHead = true;
        } else if (TagAt(html, at, "tr")) {
            if (open.back().RowStart == std::string_view::npos)
                open.back().RowStart = at;
        } else if (TagAt(html, at, "/tr")) {
            TTable& t = open.back();
            const size_t tagEnd = html.find('>', at);
            if (t.RowStart != std::string_view::npos && t.RowEnd == std::string_view::npos &&
                tagEnd != std::string_view::npos)
                t.RowEnd = tagEnd + 1;
        } else if (TagAt(html, at, "/table")) {
            const TTable t = open.back();
            open.pop_back();
            if (t.HasHead || t.RowEnd == std::string_view::npos)
                continue;
            insertions.push_back(
                {t.ContentStart, "<thead>" +
                                     std::string(html.substr(t.RowStart, t.RowEnd - t.RowStart)) +
                                     "</thead>"});
            insertions.push_back({t.RowStart + 3, " hidden"});
        }
    }
    return ApplyInsertions(html, std::move(insertions));
}

} // namespace qm::pdf
