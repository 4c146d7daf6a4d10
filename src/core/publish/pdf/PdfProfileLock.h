#pragma once
// One print at a time per browser profile folder.
#include "publish/common/Cancellation.h"

#include <string>

namespace qm::pdf {

// Held while a browser prints with the profile folder. A second browser
// started on a folder that one is using ends at once without printing
// (Chromium finds the first one's lock and exits with code 21), so two
// exports at the same time, in one process or in two, take turns instead.
// The lock is a file lock on "quillmate-print.lock" in the folder, which the
// system releases when its holder ends, however it ends.
class TPrintProfileLock final {
public:
    // Waits for the folder, looking at the token between tries; raises
    // EPublishCancelled when asked to stop and EFileError when the lock file
    // cannot be opened.
    TPrintProfileLock(const std::string& profileFolder, const TCancellationToken* cancel);
    ~TPrintProfileLock();
    TPrintProfileLock(const TPrintProfileLock&) = delete;
    TPrintProfileLock& operator=(const TPrintProfileLock&) = delete;

private:
    int FFd = -1;
};

} // namespace qm::pdf
