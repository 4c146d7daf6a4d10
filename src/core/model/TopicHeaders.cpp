#include "model/TopicHeaders.h"

#include "base/HtmlEncode.h"
#include "base/PathUtils.h"
#include "base/StringUtil.h"
#include "model/DocModel.h"
#include "settings/ProjectSettings.h"

namespace qm {

namespace {
std::string FontForHtml(const TProjectSettings& s) {
    std::string font = TrimCtl(s.DefaultFontName);
    if (font.empty())
        font = "Segoe UI";
    return ReplaceAll(font, "\"", "&quot;");
}
} // namespace

THeaderFilePaths HeaderFilesFor(const TDocProject& project, const std::string& id) {
    const std::string meta = JoinPath(project.RootPath, "meta");
    const std::string part = id.empty() ? "default" : SafeFileNamePart(id);
    return {JoinPath(meta, "header_" + part + ".html"),
            JoinPath(meta, "headerbg_" + part + ".txt")};
}

TTopicHeader LoadHeaderForTopic(const TDocProject& project, const TProjectSettings& settings,
                                const std::string& id) {
    const THeaderFilePaths files = HeaderFilesFor(project, id);
    TTopicHeader h;
    if (FileExists(files.HtmlFile)) {
        h.Html = ReadTextFileUtf8(files.HtmlFile);
    } else if (const TTopic* t = id.empty() ? nullptr : project.Topics.Find(id)) {
        h.Html = DefaultHeaderHtml(settings, t->Title);
    } else {
        h.Html = DefaultHeaderHtml(settings, project.Title);
    }
    if (FileExists(files.BackgroundFile))
        h.Background = TrimCtl(ReadTextFileUtf8(files.BackgroundFile));
    if (h.Background.empty())
        h.Background = "#fafafa";
    return h;
}

void SaveHeaderForTopic(const TDocProject& project, const std::string& id, const std::string& html,
                        const std::string& background) {
    const THeaderFilePaths files = HeaderFilesFor(project, id);
    EnsureDir(JoinPath(project.RootPath, "meta"));
    WriteTextFileUtf8IfChanged(files.HtmlFile, html);
    WriteTextFileUtf8IfChanged(files.BackgroundFile, background);
}

std::string DefaultTopicHtml(const TProjectSettings& s) {
    const std::string line = ReplaceAll(FormatShortestDouble(s.DefaultLineSpacing), ",", ".");
    return "<p style=\"font-family:" + FontForHtml(s) + ", Arial, sans-serif;" +
           "font-size:" + std::to_string(s.FontSizeBody) + "px;" +
           "color:" + ColorToHtml(s.DefaultTextColor) + ";" + "line-height:" + line +
           ";\"><br></p>";
}

std::string DefaultHeaderHtml(const TProjectSettings& s, const std::string& title) {
    return "<div style=\"font-size:" + std::to_string(s.FontSizeBody) +
           "px;font-family:" + FontForHtml(s) + ", Arial, sans-serif;" +
           "color:" + ColorToHtml(s.DefaultTextColor) + ";\"><b>" + HtmlEncode(title) +
           "</b></div>";
}

} // namespace qm
