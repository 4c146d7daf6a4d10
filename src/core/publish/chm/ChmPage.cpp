#include "publish/chm/ChmPage.h"

#include "base/HtmlEncode.h"
#include "base/PathUtils.h"
#include "base/StringUtil.h"
#include "model/DocModel.h"
#include "publish/common/PublishCommon.h"
#include "settings/ProjectSettings.h"

#include <utility>

namespace qm::chm {

namespace {

bool IsWordChar(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_';
}

// True when html holds "<" + name (any case) at pos, followed by a non-word
// character or the end, like the pattern "<name\b".
bool TagStartsAt(std::string_view html, size_t pos, std::string_view name) {
    if (pos + 1 + name.size() > html.size() || html[pos] != '<' ||
        !SameTextAscii(html.substr(pos + 1, name.size()), name))
        return false;
    const size_t after = pos + 1 + name.size();
    return after == html.size() || !IsWordChar(html[after]);
}

} // namespace

TChmHeader LoadTopicHeader(const TDocProject& project, const std::string& id) {
    TChmHeader h = ReadHeaderFiles(project, id);
    // The CHM form escapes the title without the apostrophe.
    if (TrimCtl(h.Html).empty())
        h.Html = "<div style=\"font-size:14px;\"><b>" + HtmlEncode(project.Title) + "</b></div>";
    return h;
}

std::string BuildChmFooter(const TProjectSettings& settings) {
    if (!settings.CopyrightEnabled || TrimCtl(settings.CopyrightText).empty())
        return "";
    return "<div class=\"qz-footer\">" + HtmlEncode(settings.CopyrightText) + "</div>";
}

std::string FixChmAssetPaths(std::string_view html) {
    return ReplaceAllAsciiNoCase(ReplaceAllAsciiNoCase(html, "src=\"assets/", "src=\"../assets/"),
                                 "src=\"/assets/", "src=\"../assets/");
}

std::string StripWhiteBackgrounds(std::string_view html) {
    return ReplaceWhiteBackgrounds(html, false); // the shorthand forms stay in CHM pages
}

std::string ColorFirstTableRow(std::string_view html, std::string_view color) {
    // The first "<tr ...>" (not "<track") with a closing "</tr>" after it.
    size_t rowStart = std::string_view::npos;
    size_t rowEnd = 0;
    for (size_t at = FindAsciiNoCase(html, "<tr"); at != std::string_view::npos;
         at = FindAsciiNoCase(html, "<tr", at + 1)) {
        if (!TagStartsAt(html, at, "tr"))
            continue;
        const size_t openEnd = html.find('>', at);
        if (openEnd == std::string_view::npos)
            return std::string(html); // no later row can be complete either
        const size_t close = FindAsciiNoCase(html, "</tr>", openEnd + 1);
        if (close == std::string_view::npos)
            return std::string(html);
        rowStart = at;
        rowEnd = close + 5;
        break;
    }
    if (rowStart == std::string_view::npos)
        return std::string(html);

    const std::string extra = " bgcolor=\"" + std::string(color) +
                              "\" style=\"background-color: " + std::string(color) + ";\">";
    std::string out(html.substr(0, rowStart));
    const std::string_view row = html.substr(rowStart, rowEnd - rowStart);
    size_t copied = 0;
    for (size_t i = 0; i < row.size(); ++i) {
        if (row[i] != '<' || !(TagStartsAt(row, i, "td") || TagStartsAt(row, i, "th")))
            continue;
        const size_t tagEnd = row.find('>', i);
        if (tagEnd == std::string_view::npos)
            break;
        // The tag name and attributes as written, then the colour.
        out.append(row.substr(copied, tagEnd - copied));
        out += extra;
        copied = tagEnd + 1;
        i = tagEnd;
    }
    out.append(row.substr(copied));
    out.append(html.substr(rowEnd));
    return out;
}

std::string ChmTitleText(TChmCodePage page, std::string_view title) {
    const std::string folded = FoldToChmCodePage(page, title);
    std::string out;
    out.reserve(folded.size());
    for (size_t i = 0; i < folded.size(); ++i) {
        const char c = folded[i];
        const char next = i + 1 < folded.size() ? folded[i + 1] : '\0';
        if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F)
            out += ' '; // a line break in a title would split the topic table's entry
        else if (c == '&' && (IsWordChar(next) || next == '#'))
            out += "&amp;"; // "&copy" or "&#1" would be read as a reference
        else if (c == '<' && next == '/')
            out += "&lt;"; // "</title>" would end the element
        else
            out += c;
    }
    return out;
}

std::string BuildChmPage(std::string_view body, std::string_view header, std::string_view headerBg,
                         std::string_view pageBg, std::string_view footer, std::string_view title,
                         std::string_view charset) {
    std::string p;
    p.reserve(body.size() + header.size() + footer.size() + title.size() + 660);
    p += "<html><head><meta http-equiv=\"Content-Type\" content=\"text/html; charset=";
    p += charset;
    p += "\"><title>";
    p += title;
    p += "</title><link rel=\"stylesheet\" href=\"../style.css\"><style>"
         "body{margin:0;background:";
    p += pageBg;
    p += ";}";
    p += ".qz-header{padding:12px 16px;background:";
    p += headerBg;
    p += ";}";
    p += ".qz-body{padding:16px;}";
    p += ".qz-body p{margin:0;}";
    p += ".qz-footer{padding:10px 16px;font-size:12px;color:#666;border-top:1px solid #d0d0d0;}";
    p += "</style>";
    p += "</head>";
    p += "<body>";
    p += "<div class=\"qz-header\">";
    p += header;
    p += "</div>";
    p += "<div class=\"qz-body\">";
    p += body;
    p += "</div>";
    p += footer;
    p += "</body>";
    p += "</html>";
    return p;
}

std::string StripInvisibleCharacters(std::string_view text) {
    static constexpr const char* kInvisible[] = {
        "\xEF\xBB\xBF", // U+FEFF zero-width no-break space (byte-order mark)
        "\xE2\x80\x8B", // U+200B zero-width space
        "\xE2\x80\x8C", // U+200C zero-width non-joiner
        "\xE2\x80\x8D", // U+200D zero-width joiner
        "\xE2\x81\xA0", // U+2060 word joiner
        "\xC2\xAD",     // U+00AD soft hyphen
    };
    std::string r(text);
    for (const char* c : kInvisible)
        r = ReplaceAll(r, c, "");
    return r;
}

} // namespace qm::chm
