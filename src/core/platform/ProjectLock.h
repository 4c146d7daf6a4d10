#pragma once
// One writer per project: an advisory lock on a file in the data folder that
// every program writing the project takes first, so two of them never
// interleave their writes (an import read-modify-writes a topic page). The
// system drops the lock when its holder ends, however it ends.
#include "base/Error.h"

#include <chrono>
#include <string>

namespace qm::platform {

// The lock file in the data folder. It stays there (removing it would let
// two writers lock two different files) and is neither copied nor published.
inline constexpr const char* kProjectLockFileName = ".quillmate.lock";

// Another program holds the project: "project in use: <data folder>".
class EProjectInUse : public EQuillmateError {
public:
    using EQuillmateError::EQuillmateError;
};

class TProjectLock final {
public:
    // Takes the lock of the project whose data folder is dataFolder, trying
    // again until wait has passed. Raises EProjectInUse when another holder
    // keeps it, EFileError with the cause when the lock file cannot be made.
    // A folder on a read-only file system needs no lock: nobody can write
    // there, and the lock is taken without a file.
    explicit TProjectLock(const std::string& dataFolder,
                          std::chrono::milliseconds wait = std::chrono::milliseconds(0));
    ~TProjectLock();
    TProjectLock(const TProjectLock&) = delete;
    TProjectLock& operator=(const TProjectLock&) = delete;

    // The data folder, without a trailing separator.
    [[nodiscard]] const std::string& DataFolder() const { return FDataFolder; }
    // Whether this lock covers the project whose data folder is dataFolder
    // (the same folder, however it is spelt).
    [[nodiscard]] bool Covers(const std::string& dataFolder) const;
    // Removes the temporary files that writes cut short by a crash or a kill
    // left in the project's topics and assets folders; only the holder can
    // know that no write of another program is under way there.
    void RemoveInterruptedWrites() const;

private:
    std::string FDataFolder;
    int FFd = -1;
};

} // namespace qm::platform
