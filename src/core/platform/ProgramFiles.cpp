#include "platform/ProgramFiles.h"

#include "base/PathUtils.h"
#include "base/StringUtil.h"

#include <cstdlib>
#include <filesystem>
#include <system_error>

namespace fs = std::filesystem;

namespace qm::platform {

std::string ExecutablePath() {
#ifdef __linux__
    std::error_code ec;
    fs::path p = fs::read_symlink("/proc/self/exe", ec);
    return ec ? std::string() : p.string();
#else
    return std::string();
#endif
}

std::string FindProgramDataDir(const std::string& exePath) {
    if (exePath.empty())
        return "";
    const fs::path exeDir = fs::path(exePath).parent_path();
    // Beside the executable (Windows), the build tree and the usual
    // installation (bin/ beside share/quillmate), then the data folder this
    // build was configured to install into.
    const fs::path candidates[] = {
        exeDir,
        exeDir.parent_path() / "share" / "quillmate",
        exeDir / QUILLMATE_INSTALLED_DATA_RELPATH,
    };
    for (const auto& c : candidates) {
        std::error_code ec;
        if (fs::is_directory(c / "AppFiles", ec))
            return c.lexically_normal().string();
    }
    return "";
}

std::string ProgramFilesVersion(const std::string& dataDir) {
    if (dataDir.empty())
        return "";
    const std::string file = JoinPath(dataDir, "VERSION");
    if (!FileExists(file))
        return "";
    try {
        const std::string text = ReadTextFileUtf8(file);
        return TrimCtl(text.substr(0, text.find('\n')));
    } catch (const std::exception&) {
        return "";
    }
}

std::string DescribeProgramFiles(const std::string& exePath) {
    const std::string dir = FindProgramDataDir(exePath);
    if (dir.empty())
        return "not found";
    const std::string version = ProgramFilesVersion(dir);
    return (version.empty() ? std::string("unknown version") : version) + " in " + dir;
}

std::string UserTempDir() {
    std::error_code ec;
    fs::path p = fs::temp_directory_path(ec);
    if (ec)
        p = "/tmp";
    return IncludeTrailingPathDelimiter(p.string());
}

} // namespace qm::platform
