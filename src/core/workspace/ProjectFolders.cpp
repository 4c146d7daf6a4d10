#include "workspace/ProjectFolders.h"

#include "base/Error.h"
#include "base/PathUtils.h"
#include "base/StringUtil.h"
#include "model/DocModel.h"
#include "platform/ProjectLock.h"
#include "publish/SettingsCss.h"
#include "publish/common/PublishCommon.h"
#include "settings/ProjectSettings.h"

#include <algorithm>
#include <filesystem>

namespace fs = std::filesystem;

namespace qm {

namespace {
void CopyReplacing(const fs::path& from, const fs::path& to) {
    std::error_code ec;
    fs::create_directories(to.parent_path(), ec);
    fs::copy_file(from, to, fs::copy_options::overwrite_existing, ec);
    if (ec)
        throw EFileError("Cannot copy \"" + from.string() + "\" to \"" + to.string() + "\". " +
                         ec.message());
}
} // namespace

void EnsureProjectFolders(const std::string& rootPath) {
    EnsureDir(rootPath);
    for (const char* sub : {"topics", "meta", "assets/images", "build", "styles", "internal/editor",
                            "internal/webhelp"})
        EnsureDir(JoinPath(rootPath, sub));
}

void PrepareInternalFiles(const std::string& rootPath, const std::string& programDataDir) {
    const std::string editorDir = EnsureDir(JoinPath(rootPath, "internal/editor"));
    const std::string webDir = EnsureDir(JoinPath(rootPath, "internal/webhelp"));
    if (programDataDir.empty())
        return;
    const std::string page = JoinPath(programDataDir, "AppFiles/editor/editor.html");
    if (FileExists(page))
        CopyReplacing(page, JoinPath(editorDir, "editor.html"));
    const std::string templates = JoinPath(programDataDir, "AppFiles/webhelp");
    if (DirectoryExists(templates)) {
        std::error_code ec;
        for (const auto& e : fs::directory_iterator(templates, ec))
            if (e.is_regular_file(ec))
                CopyReplacing(e.path(), fs::path(webDir) / e.path().filename());
    }
    const std::string css = JoinPath(programDataDir, "styles/default.css");
    const std::string projectCss = JoinPath(JoinPath(rootPath, "styles"), "default.css");
    if (FileExists(css) && !FileExists(projectCss))
        CopyReplacing(css, projectCss);
}

void CopyProjectFolder(const std::string& source, const std::string& target) {
    EnsureDir(target);
    const fs::path src(source);
    std::error_code ec;
    std::vector<fs::path> files;
    for (auto it = fs::recursive_directory_iterator(src, ec);
         !ec && it != fs::recursive_directory_iterator(); it.increment(ec)) {
        if (it->is_regular_file(ec))
            files.push_back(it->path());
    }
    if (ec)
        throw EFileError("Cannot read folder \"" + source + "\". " + ec.message());
    for (const auto& f : files) {
        const fs::path rel = f.lexically_relative(src);
        const std::string first = rel.begin() != rel.end() ? rel.begin()->string() : "";
        if (SameTextAscii(first, "build") && std::distance(rel.begin(), rel.end()) > 1)
            continue;
        if (SameTextAscii(f.extension().string(), ".hff"))
            continue;
        // The marker belongs to the workspace; a saved project that carried
        // it would be taken for a crashed session's workspace.
        if (rel == fs::path(kWorkspaceInUseMarker))
            continue;
        // The copy is a project of its own, with a lock of its own.
        if (rel == fs::path(platform::kProjectLockFileName))
            continue;
        CopyReplacing(f, fs::path(target) / rel);
    }
}

std::string NormalizeProjectPath(const std::string& text) {
    std::string t = TrimCtl(text);
    // A Windows path glued behind another ("C:\App\D:\Docs\a.hff") is cut to
    // the last full path; position 0 is a path's own drive and stays.
    for (size_t p = t.size() >= 3 ? t.size() - 3 : 0; p >= 1 && t.size() >= 3; --p) {
        const char c = t[p];
        if (((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z')) && t[p + 1] == ':' &&
            t[p + 2] == '\\') {
            t.erase(0, p);
            break;
        }
    }
    if (t.empty())
        return t;
    if (t.size() >= 2 && t[1] == ':')
        return t; // a Windows path has no meaning to resolve on this system
    std::error_code ec;
    fs::path abs = fs::absolute(fs::path(t), ec);
    if (ec)
        return t;
    return abs.lexically_normal().string();
}

std::vector<std::string> ListStyleProfiles(const std::string& rootPath) {
    std::vector<std::string> names;
    const std::string styles = JoinPath(rootPath, "styles");
    std::error_code ec;
    if (DirectoryExists(styles)) {
        for (const auto& e : fs::directory_iterator(styles, ec))
            if (e.is_regular_file(ec) && SameTextAscii(e.path().extension().string(), ".css"))
                names.push_back(e.path().stem().string());
    }
    // The listing order of the file system is arbitrary here; sorted names
    // give the author a stable list.
    std::sort(names.begin(), names.end());
    if (names.empty())
        names.push_back("default");
    return names;
}

std::string BuildEditorEffectiveCss(const TDocProject& project, const TProjectSettings& settings) {
    const std::string styles = JoinPath(project.RootPath, "styles");
    std::string profile = StyleProfilePath(project);
    if (!FileExists(profile))
        profile = JoinPath(styles, "default.css");
    const std::string out =
        JoinPath(JoinPath(project.RootPath, "internal/editor"), "editor_effective.css");
    std::string text =
        FileExists(profile) ? ReadTextFileUtf8(profile) : std::string(kBaseStyleRule);
    text += "\r\n";
    text += BuildSettingsOverrideCss(&settings, TSettingsCssVariant::Standard);
    WriteTextFileUtf8IfChanged(out, text);
    return out;
}

} // namespace qm
