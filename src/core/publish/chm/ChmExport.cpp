#include "publish/chm/ChmExport.h"

#include "base/Error.h"
#include "base/PathUtils.h"
#include "base/StringUtil.h"
#include "content/TokenExpansion.h"
#include "html/HtmlUtils.h"
#include "model/DocModel.h"
#include "publish/SettingsCss.h"
#include "publish/chm/ChmCodePage.h"
#include "publish/chm/ChmCompiler.h"
#include "publish/chm/ChmImages.h"
#include "publish/chm/ChmPage.h"
#include "publish/chm/ChmProjectFiles.h"
#include "publish/chm/ChmTopics.h"
#include "publish/common/OutputFolder.h"
#include "publish/common/PublishCommon.h"
#include "settings/Color.h"

#ifdef _WIN32
#include <chrono>
#include <thread>
#endif

namespace qm::chm {

namespace {

constexpr const char* kCompiledFile = "help.chm";

std::string ReadIfExists(const std::string& path) {
    return FileExists(path) ? ReadTextFileUtf8(path) : std::string();
}

TPublishResult ExportChm(const TDocProject& project, const TPublishOptions& options) {
    TPublishResult result;
    result.OutDir = ResolveOutDir(project, options, TPublishFormat::Chm);
    const bool ownFolder = ClaimOutputFolder(project, result.OutDir, TPublishFormat::Chm);
    const std::string& outDir = result.OutDir;
    const std::string topicsOut = CreateDirs(JoinPath(outDir, "topics"));

    const TProjectSettings settings = LoadPublishSettings(project);
    const std::string pageBg = ColorToHtml(settings.DefaultPageBgColor);
    const std::string firstRowBg = ColorToHtml(settings.DefaultHeaderBgColor);
    const std::string footer = BuildChmFooter(settings);
    const TChmCodePage codePage = ChooseChmCodePage(project);

    // No style profile here: profiles are written for current browsers; the
    // viewer's old engine gets a base rule and the settings only.
    WriteOutputFile(JoinPath(outDir, "style.css"),
                    "body{font-family:Segoe UI,Arial;line-height:1.5;}p{margin:0;}" +
                        BuildSettingsOverrideCss(&settings, TSettingsCssVariant::Chm));

    const std::string assets = JoinPath(project.RootPath, "assets");
    if (DirectoryExists(assets))
        CopyFolderTree(assets, JoinPath(outDir, "assets"), project.RootPath, result.Warnings);

    std::vector<const TTopic*> published;
    for (const TTopic& t : project.Topics) {
        if (t.ExcludeChm)
            continue;
        if (!IsChmPageId(t.ID)) {
            result.Warnings.push_back("Topic \"" + t.Title +
                                      "\" is left out: its id cannot name a file: " + t.ID);
            continue;
        }
        published.push_back(&t);
    }

    const TDocLinkTarget chmRule = [&project](const std::string& id) -> std::string {
        const TTopic* t = project.Topics.Find(id);
        return (t != nullptr && IsPublishedToChm(*t)) ? id + ".html" : std::string();
    };

    std::vector<std::string> pageList;
    std::vector<std::string> pageFiles;
    pageList.reserve(published.size());
    pageFiles.reserve(published.size());
    for (const TTopic* t : published) {
        ThrowIfCancelled(options.Cancel);
        // A missing file gives an empty body; unlike on the web pages, no
        // title heading stands in for it.
        std::string text = ReadIfExists(project.TopicHtmlPath(t->ID));
        text = ExpandReusableContent(project, text, t->Title);
        text = RewriteDocLinks(text, chmRule);
        text = FixChmAssetPaths(text);
        const TChmHeader header = LoadTopicHeader(project, t->ID);
        text = StripWhiteBackgrounds(text);
        text = ColorFirstTableRow(text, firstRowBg);
        const std::string page = StripInvisibleCharacters(
            BuildChmPage(text, header.Html, header.Background, pageBg, footer,
                         ChmTitleText(codePage, t->Title), ChmCharset(codePage)));
        WriteOutputFile(JoinPath(topicsOut, t->ID + ".html"), EncodeChmHtml(codePage, page));
        pageList.push_back("topics/" + t->ID + ".html");
        pageFiles.push_back(t->ID + ".html");
        if (options.Progress)
            options.Progress(pageList.size(), published.size());
    }
    result.PagesWritten = pageList.size();
    // The compiler's scan of the folder must not pick up pages of topics that
    // were deleted or excluded since an earlier export. The project file
    // lists the pages, so in a folder that is not ours the leftovers only
    // stay on disk.
    if (ownFolder)
        result.StalePagesRemoved = RemoveStalePages(topicsOut, pageFiles);

    for (auto& w : NormalizeChmImages(project, outDir))
        result.Warnings.push_back(std::move(w));

    for (std::string& w : WriteChmContents(project, outDir, codePage))
        result.Warnings.push_back(std::move(w));
    WriteChmIndex(project, outDir, codePage);
    WriteChmProject(outDir, kCompiledFile, pageList, project.Title, codePage);

    ThrowIfCancelled(options.Cancel);
    const std::string compiler =
        options.ChmCompiler.empty() ? FindHtmlHelpCompiler() : options.ChmCompiler;
    for (auto& w : CompileChmProject(compiler, outDir, kCompiledFile, options.Cancel))
        result.Warnings.push_back(std::move(w));
    result.OutputFile = JoinPath(outDir, kCompiledFile);
    return result;
}

} // namespace

} // namespace qm::chm

namespace qm {

TPublishResult PublishChm(const TDocProject& project, const TPublishOptions& options) {
    try {
#ifdef _WIN32
        // A viewer showing the previous help.chm keeps it locked. Whether
        // taskkill found one does not matter.
        try {
            (void)platform::RunProcess({"taskkill", "/IM", "hh.exe", "/F"}, "");
        } catch (const std::exception&) {
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(500));
#endif
        return chm::ExportChm(project, options);
    } catch (const EPublishCancelled&) {
        throw;
    } catch (const std::exception& e) {
        throw EQuillmateError(std::string("CHM export failed: ") + e.what());
    }
}

} // namespace qm
