#include "publish/common/PublishCommon.h"

#include "base/Error.h"
#include "base/PathUtils.h"
#include "base/StringUtil.h"
#include "base/SystemError.h"
#include "model/DocModel.h"
#include "publish/common/AssetTree.h"

#include <filesystem>
#include <iterator>
#include <unordered_set>

namespace fs = std::filesystem;

namespace qm {

TProjectSettings LoadPublishSettings(const TDocProject& project) {
    TProjectSettings s;
    const std::string path = TProjectSettings::DefaultSettingsPathForProject(project.RootPath);
    if (FileExists(path))
        s.LoadFromFile(path);
    return s;
}

void CopyFolderTree(const std::string& source, const std::string& target,
                    const std::string& boundary, std::vector<std::string>& warnings) {
    CreateDirs(target);
    for (const TAssetEntry& e : ListPublishedAssets(source, boundary, warnings)) {
        const fs::path to = fs::path(target) / e.Relative;
        std::error_code ec;
        if (e.Folder)
            fs::create_directories(to, ec);
        else
            fs::copy_file(e.From, to, fs::copy_options::overwrite_existing, ec);
        if (ec)
            throw EFileError("Cannot copy \"" + e.From.string() + "\" to \"" + to.string() +
                             "\": " + SystemErrorText(ec));
    }
}

bool IsPageFileId(std::string_view id) {
    return TDocProject::IsSafeTopicId(id);
}

size_t RemoveStalePages(const std::string& topicsFolder, const std::vector<std::string>& keep) {
    const std::unordered_set<std::string> wanted(keep.begin(), keep.end());
    std::error_code ec;
    std::vector<fs::path> stale;
    for (const auto& e : fs::directory_iterator(fs::path(topicsFolder), ec)) {
        if (!e.is_regular_file(ec))
            continue;
        const std::string name = e.path().filename().string();
        if (EndsWith(AsciiLower(name), ".html") && wanted.count(name) == 0)
            stale.push_back(e.path());
    }
    size_t removed = 0;
    for (const auto& p : stale)
        if (fs::remove(p, ec)) // a page that cannot go is left; the next export tries again
            ++removed;
    return removed;
}

std::string StyleProfilePath(const TDocProject& project) {
    if (!TDocProject::IsSafeTopicId(project.StyleProfile))
        return "";
    return JoinPath(JoinPath(project.RootPath, "styles"), project.StyleProfile + ".css");
}

std::string ReadTrimmedIfExists(const std::string& fileName) {
    return FileExists(fileName) ? TrimCtl(ReadTextFileUtf8(fileName)) : std::string();
}

TPageHeader ReadHeaderFiles(const TDocProject& project, const std::string& id) {
    constexpr const char* kDefaultBackground = "#fafafa";
    const std::string meta = JoinPath(project.RootPath, "meta");
    TPageHeader h{"", kDefaultBackground};
    const std::string defHtml = JoinPath(meta, "header_default.html");
    if (FileExists(defHtml))
        h.Html = ReadTextFileUtf8(defHtml);
    h.Background = ReadTrimmedIfExists(JoinPath(meta, "headerbg_default.txt"));
    if (h.Background.empty())
        h.Background = kDefaultBackground;
    if (!id.empty()) {
        const std::string part = SafeFileNamePart(id);
        const std::string topicHtml = JoinPath(meta, "header_" + part + ".html");
        const std::string topicBg = JoinPath(meta, "headerbg_" + part + ".txt");
        if (FileExists(topicHtml))
            h.Html = ReadTextFileUtf8(topicHtml);
        if (FileExists(topicBg)) {
            h.Background = ReadTrimmedIfExists(topicBg);
            if (h.Background.empty())
                h.Background = kDefaultBackground;
        }
    }
    return h;
}

TPageHeaders::TPageHeaders(const TDocProject& project)
    : FMeta(JoinPath(project.RootPath, "meta")), FDefault(ReadHeaderFiles(project, "")) {
    std::error_code ec;
    for (const auto& e : fs::directory_iterator(fs::path(FMeta), ec))
        if (e.is_regular_file(ec))
            FFiles.insert(e.path().filename().string());
}

TPageHeader TPageHeaders::For(const std::string& id) const {
    TPageHeader h = FDefault;
    if (id.empty())
        return h;
    const std::string part = SafeFileNamePart(id);
    const std::string html = "header_" + part + ".html";
    const std::string bg = "headerbg_" + part + ".txt";
    // A name the listing does not hold is not there; one it holds is read as
    // ReadHeaderFiles would (a file gone since counts as missing).
    if (FFiles.count(html) != 0) {
        std::string text;
        if (ReadTextFileUtf8IfExists(JoinPath(FMeta, html), text))
            h.Html = std::move(text);
    }
    if (FFiles.count(bg) != 0) {
        std::string text;
        if (ReadTextFileUtf8IfExists(JoinPath(FMeta, bg), text)) {
            h.Background = TrimCtl(text);
            if (h.Background.empty())
                h.Background = "#fafafa";
        }
    }
    return h;
}

std::string ReplaceWhiteBackgrounds(std::string_view html, bool shorthand) {
    // The replacements, in the order they apply; the four shorthand forms last. Every pattern
    // starts with "background" and no replacement text matches any pattern, so one pass that tries
    // the rules in order at each "background" gives the same text as twelve passes over the page.
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
    const size_t ruleCount = shorthand ? std::size(kRules) : 8;
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
        for (size_t i = 0; i < ruleCount; ++i) {
            if (StartsWithAsciiNoCase(rest, kRules[i].first)) {
                r.append(kRules[i].second);
                used = kRules[i].first.size();
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

} // namespace qm
