#include "platform/ProgramFiles.h"

#include "base/PathUtils.h"

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
    const fs::path candidates[] = {
        exeDir,
        exeDir.parent_path() / "share" / "quillmate",
    };
    for (const auto& c : candidates) {
        std::error_code ec;
        if (fs::is_directory(c / "AppFiles", ec))
            return c.lexically_normal().string();
    }
    return "";
}

std::string UserTempDir() {
    std::error_code ec;
    fs::path p = fs::temp_directory_path(ec);
    if (ec)
        p = "/tmp";
    return IncludeTrailingPathDelimiter(p.string());
}

} // namespace qm::platform
