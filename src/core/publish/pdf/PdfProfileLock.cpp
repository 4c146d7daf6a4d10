#include "publish/pdf/PdfProfileLock.h"

#ifdef _WIN32
#error                                                                                             \
    "TPrintProfileLock has a POSIX implementation only; a Windows one (LockFileEx) is still to come"
#endif

#include "base/PathUtils.h"

#include <cerrno>
#include <chrono>
#include <cstring>
#include <fcntl.h>
#include <sys/file.h>
#include <thread>
#include <unistd.h>

namespace qm::pdf {

namespace {
constexpr auto kRetryInterval = std::chrono::milliseconds(50);
}

TPrintProfileLock::TPrintProfileLock(const std::string& profileFolder,
                                     const TCancellationToken* cancel) {
    const std::string file = JoinPath(profileFolder, "quillmate-print.lock");
    // Close-on-exec: the browser must not inherit the lock and keep it after
    // this print is over.
    FFd = ::open(file.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    if (FFd < 0)
        throw EFileError("Cannot open \"" + file + "\". " + std::strerror(errno));
    for (;;) {
        if (::flock(FFd, LOCK_EX | LOCK_NB) == 0)
            return;
        if (errno != EWOULDBLOCK && errno != EINTR) {
            const int err = errno;
            ::close(FFd);
            throw EFileError("Cannot lock \"" + file + "\". " + std::strerror(err));
        }
        if (IsCancelled(cancel)) {
            ::close(FFd);
            throw EPublishCancelled();
        }
        std::this_thread::sleep_for(kRetryInterval);
    }
}

TPrintProfileLock::~TPrintProfileLock() {
    ::close(FFd); // releases the lock
}

} // namespace qm::pdf
