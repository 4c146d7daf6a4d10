#include "publish/common/OutputFolder.h"

#include "base/Error.h"
#include "base/PathUtils.h"
#include "base/StringUtil.h"
#include "model/DocModel.h"

#include <algorithm>
#include <filesystem>
#include <system_error>

namespace fs = std::filesystem;

namespace qm {

namespace {

// A full path with symbolic links resolved as far as the folders exist and
// without a trailing separator, so that "P/", "P/." and a link to P compare
// equal element by element.
fs::path Comparable(const std::string& path) {
    std::error_code ec;
    fs::path full = fs::absolute(fs::path(path), ec);
    if (ec)
        full = fs::path(path);
    fs::path resolved = fs::weakly_canonical(full, ec);
    if (ec)
        resolved = full;
    resolved = resolved.lexically_normal();
    if (!resolved.has_filename() && resolved.has_relative_path())
        resolved = resolved.parent_path();
    return resolved;
}

// Inner is outer or a folder below it.
bool IsSameOrInside(const fs::path& inner, const fs::path& outer) {
    const auto [stop, rest] = std::mismatch(outer.begin(), outer.end(), inner.begin(), inner.end());
    (void)rest;
    return stop == outer.end();
}

bool IsMissingOrEmpty(const std::string& dir) {
    std::error_code ec;
    if (!fs::exists(fs::path(dir), ec))
        return !ec;
    return fs::is_directory(fs::path(dir), ec) && fs::is_empty(fs::path(dir), ec) && !ec;
}

bool HasMarkOf(const std::string& dir, TPublishFormat format) {
    const std::string marker = JoinPath(dir, kOutputMarkerFile);
    if (!FileExists(marker))
        return false;
    try {
        return TrimCtl(ReadFileBytes(marker)) == FormatName(format);
    } catch (const EFileError&) {
        return false; // a mark that cannot be read proves nothing
    }
}

bool IsDefaultFolder(const TDocProject& project, const std::string& outDir, TPublishFormat format) {
    return Comparable(outDir) == Comparable(DefaultOutDir(project, format));
}

} // namespace

void CheckOutDirOutsideProject(const TDocProject& project, const std::string& outDir,
                               TPublishFormat format) {
    if (project.RootPath.empty() || IsDefaultFolder(project, outDir, format))
        return;
    const fs::path out = Comparable(outDir);
    const fs::path data = Comparable(project.RootPath);
    const std::string shownOut = "\"" + outDir + "\"";
    const std::string shownData = "\"" + ExcludeTrailingPathDelimiter(project.RootPath) + "\"";
    const std::string advice = " Choose a folder outside it, or leave the folder unset to publish "
                               "into \"" +
                               DefaultOutDir(project, format) + "\".";
    if (out == data)
        throw EQuillmateError("The output folder " + shownOut +
                              " is the project's data folder: publishing would overwrite the "
                              "project's own pages." +
                              advice);
    if (IsSameOrInside(out, data))
        throw EQuillmateError("The output folder " + shownOut +
                              " lies inside the project's data folder " + shownData + "." + advice);
    if (IsSameOrInside(data, out))
        throw EQuillmateError("The output folder " + shownOut +
                              " contains the project's data folder " + shownData + "." + advice);
}

bool ClaimOutputFolder(const TDocProject& project, const std::string& outDir,
                       TPublishFormat format) {
    // Decided before the first write, which makes any folder non-empty.
    const bool ours = IsMissingOrEmpty(outDir) || HasMarkOf(outDir, format) ||
                      IsDefaultFolder(project, outDir, format);
    CreateDirs(outDir);
    if (ours)
        WriteOutputFile(JoinPath(outDir, kOutputMarkerFile),
                        std::string(FormatName(format)) + "\n");
    return ours;
}

} // namespace qm
