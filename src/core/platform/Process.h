#pragma once
// Running an outside program to its end: started from an argument list (never
// through a shell, so no argument is ever re-parsed), with its output
// captured and a cancel check that is polled while it runs.
#include "base/Error.h"

#include <functional>
#include <string>
#include <vector>

namespace qm::platform {

// Asked about every few tens of milliseconds while a process runs; true ends
// the process at once. Called on the thread that called RunProcess.
using TCancelCheck = std::function<bool()>;

// The program could not be started at all (not found, not executable, a
// working folder that does not exist).
class EProcessStartError : public EQuillmateError {
public:
    using EQuillmateError::EQuillmateError;
};

struct TProcessResult {
    // The exit status; 128 plus the signal number when a signal ended it.
    int ExitCode = -1;
    // True when the cancel check asked to stop and the process was killed.
    bool Cancelled = false;
    // Standard output and standard error through one pipe, in the order the
    // program wrote them (its own interleaving of notes and errors is kept).
    // Of a flood, only the tail is kept (at least its last kMaxCapturedOutput bytes).
    std::string Output;
};

inline constexpr size_t kMaxCapturedOutput = 1024 * 1024;

// Runs argv[0] with the arguments argv[1..] in workingDir (empty: the current
// folder) and waits for it to end, without a time limit. A bare program name
// is looked up on PATH; a relative path with a separator is taken from
// workingDir. Standard input is empty. Raises EProcessStartError when it
// cannot be started.
[[nodiscard]] TProcessResult RunProcess(const std::vector<std::string>& argv,
                                        const std::string& workingDir,
                                        const TCancelCheck& cancelled = {});

// The full path of the first executable file named name in the folders of
// PATH, or "" when there is none.
[[nodiscard]] std::string FindExecutableOnPath(const std::string& name);

} // namespace qm::platform
