#include "platform/ProjectLock.h"

#include "base/AtomicFile.h"
#include "base/PathUtils.h"
#include "base/SystemError.h"

#include <cerrno>
#include <filesystem>
#include <system_error>
#include <thread>

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace qm::platform {

namespace {

constexpr std::chrono::milliseconds kRetryInterval(50);

fs::path Canonical(const std::string& folder) {
    std::error_code ec;
    fs::path p = fs::weakly_canonical(fs::path(folder), ec);
    return ec ? fs::path(folder).lexically_normal() : p;
}

} // namespace

TProjectLock::TProjectLock(const std::string& dataFolder, std::chrono::milliseconds wait)
    : FDataFolder(ExcludeTrailingPathDelimiter(dataFolder)) {
    const std::string file = JoinPath(FDataFolder, kProjectLockFileName);
    // Not inherited by the programs a publish starts: a browser that outlives
    // the run must not keep the project locked.
    FFd = ::open(file.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0666);
    if (FFd < 0 && errno == EROFS)
        return;
    if (FFd < 0)
        throw EFileError("Cannot lock project \"" + FDataFolder + "\": " + SystemErrorText(errno));
    const auto deadline = std::chrono::steady_clock::now() + wait;
    while (::flock(FFd, LOCK_EX | LOCK_NB) != 0) {
        const int err = errno;
        if (err == EINTR)
            continue;
        if (err == EWOULDBLOCK && std::chrono::steady_clock::now() < deadline) {
            std::this_thread::sleep_for(kRetryInterval);
            continue;
        }
        ::close(FFd);
        FFd = -1;
        if (err == EWOULDBLOCK)
            throw EProjectInUse("project in use: " + FDataFolder);
        throw EFileError("Cannot lock project \"" + FDataFolder + "\": " + SystemErrorText(err));
    }
}

TProjectLock::~TProjectLock() {
    if (FFd >= 0)
        ::close(FFd); // drops the lock
}

bool TProjectLock::Covers(const std::string& dataFolder) const {
    return Canonical(FDataFolder) == Canonical(ExcludeTrailingPathDelimiter(dataFolder));
}

void TProjectLock::RemoveInterruptedWrites() const {
    for (const char* folder : {"topics", "assets"}) {
        const std::string path = JoinPath(FDataFolder, folder);
        if (DirectoryExists(path))
            (void)RemoveTemporaryFiles(path);
    }
}

} // namespace qm::platform
