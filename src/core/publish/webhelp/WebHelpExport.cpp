#include "publish/webhelp/WebHelpExport.h"

#include "base/Error.h"
#include "base/HtmlEncode.h"
#include "base/ParallelFor.h"
#include "base/PathUtils.h"
#include "base/StringUtil.h"
#include "content/TokenExpansion.h"
#include "html/HtmlUtils.h"
#include "model/DocModel.h"
#include "publish/SettingsCss.h"
#include "publish/common/OutputFolder.h"
#include "publish/common/PublishCommon.h"
#include "publish/common/TopicIdSet.h"
#include "publish/webhelp/SearchIndexWriter.h"
#include "publish/webhelp/ViewerContents.h"
#include "publish/webhelp/WebHelpData.h"
#include "publish/webhelp/WebHelpPage.h"

#include <algorithm>

namespace qm {

namespace {

std::string BuildFooter(const TProjectSettings& s) {
    if (!s.CopyrightEnabled || TrimCtl(s.CopyrightText).empty())
        return "";
    return "<div class=\"qz-page-footer\" style=\"padding:10px 16px;border-top:1px solid "
           "#d0d0d0;font-size:12px;opacity:0.85;\">" +
           EscapeHtmlText(s.CopyrightText) + "</div>";
}

// The viewer's three files, app.css filled in from the settings; the page
// title becomes the project's. The templates were checked for beforehand.
void InstallViewer(const std::string& templateDir, const std::string& outDir,
                   const TProjectSettings& settings, const std::string& projectTitle) {
    const std::pair<const char*, const char*> copies[] = {{"app.html", "index.html"},
                                                          {"app.js", "app.js"},
                                                          {"app.css", "app.css"},
                                                          {"page.js", "page.js"}};
    for (const auto& [from, to] : copies)
        WriteOutputFile(JoinPath(outDir, to), ReadFileBytes(JoinPath(templateDir, from)));

    const std::string appCss = JoinPath(outDir, "app.css");
    std::string css = ReadTextFileUtf8(appCss);
    css = ReplaceAll(css, "__QZ_TOC_COLOR__", ColorToHtml(settings.TocTextColor));
    css = ReplaceAll(css, "__QZ_TOC_SIZE__", std::to_string(settings.TocTextSize));
    css = ReplaceAll(css, "__QZ_LEFT_BG__", ColorToHtml(settings.DefaultPageBgColor));
    WriteOutputFile(appCss, css);

    const std::string index = JoinPath(outDir, "index.html");
    std::string html = ReadTextFileUtf8(index);
    const std::string marker = "<title>WebHelp</title>";
    const size_t at = html.find(marker);
    if (at != std::string::npos) {
        html.replace(at, marker.size(), "<title>" + EscapeHtmlText(projectTitle) + "</title>");
        WriteOutputFile(index, html);
    }
}

// A site without its viewer cannot be opened, so missing templates stop the
// run before anything is written.
std::string ViewerTemplateDir(const std::string& programDataDir) {
    const std::string dir = JoinPath(programDataDir, "AppFiles/webhelp");
    const auto present = [&dir](const char* name) { return FileExists(JoinPath(dir, name)); };
    if (programDataDir.empty() || !present("app.html") || !present("app.js") ||
        !present("app.css") || !present("page.js"))
        throw EFileError("The WebHelp viewer files were not found in \"" + dir + "\"");
    return dir;
}

} // namespace

TPublishResult PublishWebHelp(const TDocProject& project, const TPublishOptions& options) {
    const std::string templates = ViewerTemplateDir(options.ProgramDataDir);
    TPublishResult result;
    result.OutDir = ResolveOutDir(project, options, TPublishFormat::WebHelp);
    const bool ownFolder = ClaimOutputFolder(project, result.OutDir, TPublishFormat::WebHelp);
    const std::string& outDir = result.OutDir;
    const TProjectSettings settings = LoadPublishSettings(project);
    const std::string pageBg = ColorToHtml(settings.DefaultPageBgColor);
    const std::string footer = BuildFooter(settings);
    const std::string topicsOut = CreateDirs(JoinPath(outDir, "topics"));
    CreateDirs(JoinPath(outDir, "assets"));

    std::vector<const TTopic*> published;
    for (const TTopic& t : project.Topics) {
        if (t.ExcludeWeb)
            continue;
        if (!IsPageFileId(t.ID)) {
            result.Warnings.push_back("Topic skipped, its id cannot name a file: " + t.ID);
            continue;
        }
        published.push_back(&t);
    }

    // The ids a link may reach: existing, not excluded.
    std::vector<std::string_view> reachable;
    reachable.reserve(project.Topics.Count());
    for (const TTopic& t : project.Topics)
        if (!t.ExcludeWeb)
            reachable.push_back(t.ID);
    const TTopicIdSet linkable(std::move(reachable));
    const TDocLinkTarget webRule = [&linkable](const std::string& id) -> std::string {
        return linkable.Contains(id) ? id + ".html" : std::string();
    };

    // Everything built page by page beside the pages; each gets every page.
    std::vector<std::unique_ptr<TWebHelpPageConsumer>> consumers;
    consumers.push_back(MakeWebHelpSearchDataWriter(outDir, published.size()));
    consumers.push_back(MakeWebHelpSearchIndexWriter(outDir, published.size()));
    const TPageHeaders headers(project);
    const auto publishPage = [&](size_t i) {
        ThrowIfCancelled(options.Cancel);
        const TTopic& t = *published[i];
        std::string raw;
        (void)ReadTextFileUtf8IfExists(project.TopicHtmlPath(t.ID), raw);
        const bool blank = TrimCtl(raw).empty();
        std::string text = blank ? "<h1>" + EscapeHtmlText(t.Title) + "</h1>" : raw;
        text = ExpandReusableContent(project, text, t.Title);
        {
            // The search text is the expanded file itself; for a non-blank
            // page that is the text just expanded, so it is not expanded twice.
            const std::string plain =
                HtmlToPlainText(blank ? ExpandReusableContent(project, raw, t.Title) : text);
            for (const auto& c : consumers)
                c->Page(i, t, plain);
        }
        text = RewriteDocLinks(text, webRule);
        text = StripWhiteBackgrounds(FixWebHelpAssetPaths(text));
        const TWebHelpHeader header = LoadTopicHeader(project, headers, t.ID);
        WriteOutputFile(JoinPath(topicsOut, t.ID + ".html"),
                        BuildWebHelpPage(text, header.Html, header.Background, pageBg,
                                         "../style.css", footer, t.Title, "../page.js"));
    };
    ParallelFor(published.size(), options.Threads, options.Progress, [&](size_t i) {
        try {
            publishPage(i);
        } catch (...) {
            // Released at once: a consumer may hold other pages waiting for this one.
            for (const auto& c : consumers)
                c->Abort();
            throw;
        }
    });
    result.PagesWritten = published.size();
    // The search files are complete with the last page; finishing them here
    // frees their data before the contents and the clean-up take their own.
    for (const auto& c : consumers)
        c->Finish();
    consumers.clear();

    if (ownFolder) {
        std::vector<std::string> keep;
        keep.reserve(published.size());
        for (const TTopic* t : published)
            keep.push_back(t->ID + ".html");
        result.StalePagesRemoved = RemoveStalePages(topicsOut, keep);
    }

    const std::string assets = JoinPath(project.RootPath, "assets");
    if (DirectoryExists(assets))
        CopyFolderTree(assets, JoinPath(outDir, "assets"), project.RootPath, result.Warnings);

    const std::string profile = StyleProfilePath(project);
    std::string css = FileExists(profile) ? ReadTextFileUtf8(profile) : kBaseStyleRule;
    css += BuildSettingsOverrideCss(&settings, TSettingsCssVariant::Standard);
    WriteOutputFile(JoinPath(outDir, "style.css"), css);

    for (std::string& w : BuildWebHelpContents(project, outDir))
        result.Warnings.push_back(std::move(w));
    WriteViewerContents(ViewerContentsRows(project), outDir);
    InstallViewer(templates, outDir, settings, project.Title);
    result.OutputFile = JoinPath(outDir, "index.html");
    return result;
}

} // namespace qm
