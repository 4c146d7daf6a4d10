#include "publish/webhelp/WebHelpPage.h"

#include "base/HtmlEncode.h"
#include "base/PathUtils.h"
#include "base/StringUtil.h"
#include "model/DocModel.h"
#include "publish/common/PublishCommon.h"

namespace qm {

TWebHelpHeader LoadTopicHeader(const TDocProject& project, const std::string& id) {
    const std::string meta = JoinPath(project.RootPath, "meta");
    TWebHelpHeader h{"", "#fafafa"};
    const std::string defHtml = JoinPath(meta, "header_default.html");
    const std::string defBg = JoinPath(meta, "headerbg_default.txt");
    if (FileExists(defHtml))
        h.Html = ReadTextFileUtf8(defHtml);
    if (FileExists(defBg))
        h.Background = ReadTrimmedIfExists(defBg);
    if (h.Background.empty())
        h.Background = "#fafafa";
    if (!id.empty()) {
        const std::string part = SafeFileNamePart(id);
        const std::string topicHtml = JoinPath(meta, "header_" + part + ".html");
        const std::string topicBg = JoinPath(meta, "headerbg_" + part + ".txt");
        if (FileExists(topicHtml))
            h.Html = ReadTextFileUtf8(topicHtml);
        if (FileExists(topicBg)) {
            h.Background = ReadTrimmedIfExists(topicBg);
            if (h.Background.empty())
                h.Background = "#fafafa";
        }
    }
    if (TrimCtl(h.Html).empty())
        h.Html =
            "<div style=\"font-size:14px;\"><b>" + EscapeHtmlText(project.Title) + "</b></div>";
    return h;
}

std::string FixWebHelpAssetPaths(std::string_view html) {
    return ReplaceAll(ReplaceAll(html, "src=\"assets/", "src=\"../assets/"), "href=\"assets/",
                      "href=\"../assets/");
}

std::string StripWhiteBackgrounds(std::string_view html) {
    // The twelve replacements, in the order they apply. Every pattern starts
    // with "background" and no replacement text matches any pattern, so one
    // pass that tries the rules in order at each "background" gives the same
    // text as twelve passes over the page.
    static const std::pair<std::string_view, std::string_view> kRules[] = {
        {"background-color: rgb(255, 255, 255)", "background-color: transparent"},
        {"background-color:rgb(255, 255, 255)", "background-color: transparent"},
        {"background-color:#ffffff", "background-color: transparent"},
        {"background-color: #ffffff", "background-color: transparent"},
        {"background-color:#fff", "background-color: transparent"},
        {"background-color: #fff", "background-color: transparent"},
        {"background-color:white", "background-color: transparent"},
        {"background-color: white", "background-color: transparent"},
        {"background: rgb(255, 255, 255)", "background: transparent"},
        {"background:#ffffff", "background: transparent"},
        {"background:#fff", "background: transparent"},
        {"background:white", "background: transparent"},
    };
    std::string r;
    r.reserve(html.size());
    size_t pos = 0;
    for (;;) {
        const size_t hit = FindAsciiNoCase(html, "background", pos);
        if (hit == std::string_view::npos)
            break;
        r.append(html.substr(pos, hit - pos));
        const std::string_view rest = html.substr(hit);
        size_t used = 0;
        for (const auto& [from, to] : kRules) {
            if (StartsWithAsciiNoCase(rest, from)) {
                r.append(to);
                used = from.size();
                break;
            }
        }
        if (used == 0) {
            r.append(rest.substr(0, 10));
            used = 10;
        }
        pos = hit + used;
    }
    r.append(html.substr(pos));
    return r;
}

std::string BuildWebHelpPage(std::string_view body, std::string_view header,
                             std::string_view headerBg, std::string_view pageBg,
                             std::string_view cssHref, std::string_view footer) {
    std::string p;
    p.reserve(body.size() + header.size() + footer.size() + 1024);
    p += "<!doctype html><html><head><meta charset=\"utf-8\"><meta name=\"viewport\" "
         "content=\"width=device-width, initial-scale=1\"><link rel=\"stylesheet\" href=\"";
    p += cssHref;
    p += "\">";
    p += "<style>";
    p += "body{margin:0;font-family:Segoe UI,Arial;background:";
    p += pageBg;
    p += ";}";
    p += ".qz-page-body p{margin:0;}";
    p += ".qz-page-body h1,.qz-page-body h2,.qz-page-body h3,.qz-page-body h4,.qz-page-body "
         "h5,.qz-page-body h6{margin:0;}";
    p += ".qz-page-body ul,.qz-page-body ol{margin:0;padding-left:1.5em;}";
    p += ".qz-page-body li{margin:0;}";
    p += "table{border-collapse:collapse;max-width:100%;}";
    p += "td,th{border:1px solid #999;padding:4px;vertical-align:top;}";
    p += "</style>";
    p += "</head><body>";
    p += "<div class=\"qz-page-header\" style=\"background:";
    p += headerBg;
    p += ";padding:12px 16px;\">";
    p += header;
    p += "</div>";
    p += "<div class=\"qz-page-body\" style=\"padding:16px;\">";
    p += body;
    p += "</div>";
    p += footer;
    p += "</body></html>";
    return p;
}

} // namespace qm
