#include "publish/webhelp/WebHelpPage.h"

#include "base/HtmlEncode.h"
#include "base/PathUtils.h"
#include "base/StringUtil.h"
#include "model/DocModel.h"
#include "publish/common/PublishCommon.h"

namespace qm {

namespace {

TWebHelpHeader WithTitleFallback(const TDocProject& project, TWebHelpHeader h) {
    if (TrimCtl(h.Html).empty())
        h.Html =
            "<div style=\"font-size:14px;\"><b>" + EscapeHtmlText(project.Title) + "</b></div>";
    return h;
}

} // namespace

TWebHelpHeader LoadTopicHeader(const TDocProject& project, const std::string& id) {
    return WithTitleFallback(project, ReadHeaderFiles(project, id));
}

TWebHelpHeader LoadTopicHeader(const TDocProject& project, const TPageHeaders& headers,
                               const std::string& id) {
    return WithTitleFallback(project, headers.For(id));
}

std::string FixWebHelpAssetPaths(std::string_view html) {
    // src="assets/ and href="assets/ share their end, neither overlaps the
    // other or itself, and "../" makes neither: one pass over their common
    // end gives what replacing one and then the other gives.
    constexpr std::string_view kEnd = "=\"assets/";
    std::string out;
    size_t copied = 0;
    for (size_t at = html.find(kEnd); at != std::string_view::npos;
         at = html.find(kEnd, at + kEnd.size())) {
        const std::string_view before = html.substr(0, at);
        if (!EndsWith(before, "src") && !EndsWith(before, "href"))
            continue;
        if (copied == 0)
            out.reserve(html.size() + 256);
        out.append(html, copied, at + 2 - copied);
        out += "../";
        copied = at + 2;
    }
    if (copied == 0)
        return std::string(html);
    out.append(html, copied, std::string_view::npos);
    return out;
}

std::string StripWhiteBackgrounds(std::string_view html) {
    return ReplaceWhiteBackgrounds(html, true);
}

std::string BuildWebHelpPage(std::string_view body, std::string_view header,
                             std::string_view headerBg, std::string_view pageBg,
                             std::string_view cssHref, std::string_view footer,
                             std::string_view title, std::string_view pageScript) {
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
    p += "<title>";
    p += EscapeHtmlText(title);
    p += "</title>";
    if (!pageScript.empty()) {
        p += "<script src=\"";
        p += EscapeHtmlText(pageScript);
        p += "\" defer></script>";
    }
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
