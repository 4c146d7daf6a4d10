#include "publish/common/PublishCommon.h"

#include "base/Error.h"
#include "base/PathUtils.h"
#include "base/StringUtil.h"
#include "model/DocModel.h"

#include <filesystem>
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

void CopyFolderTree(const std::string& source, const std::string& target) {
    EnsureDir(target);
    std::error_code ec;
    std::vector<fs::directory_entry> entries;
    for (const auto& e : fs::directory_iterator(fs::path(source), ec))
        entries.push_back(e);
    if (ec)
        throw EFileError("Cannot read folder \"" + source + "\". " + ec.message());
    for (const auto& e : entries) {
        const std::string name = e.path().filename().string();
        const std::string to = JoinPath(target, name);
        if (e.is_directory(ec)) {
            CopyFolderTree(e.path().string(), to);
        } else {
            fs::copy_file(e.path(), fs::path(to), fs::copy_options::overwrite_existing, ec);
            if (ec)
                throw EFileError("Cannot copy \"" + e.path().string() + "\" to \"" + to + "\". " +
                                 ec.message());
        }
    }
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

std::string ReadTrimmedIfExists(const std::string& fileName) {
    return FileExists(fileName) ? TrimCtl(ReadTextFileUtf8(fileName)) : std::string();
}

} // namespace qm
