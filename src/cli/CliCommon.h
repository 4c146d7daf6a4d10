#pragma once
// Shared plumbing of quillmate-cli: the command table, argument reading and
// the exit-code convention (0 success, 1 the command failed, 2 usage error).
#include <chrono>
#include <iosfwd>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

namespace qm::cli {

inline constexpr int kExitOk = 0;
inline constexpr int kExitFailure = 1;
inline constexpr int kExitUsage = 2;

// How long a command that writes a project waits for another writer (the
// desktop program, a second run) to let go before it gives up.
inline constexpr std::chrono::seconds kProjectLockWait{5};

class EUsageError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Positional arguments and --options of one command line. Options take a
// value ("--out DIR" or "--out=DIR"), never an empty one, unless declared as
// flags.
class TArgs {
public:
    TArgs(std::vector<std::string> args, std::vector<std::string> valueOptions,
          std::vector<std::string> flagOptions);
    [[nodiscard]] const std::vector<std::string>& Positional() const { return FPositional; }
    [[nodiscard]] std::optional<std::string> Value(const std::string& name) const;
    [[nodiscard]] bool Flag(const std::string& name) const;
    // The only positional argument, or a usage error naming what is expected.
    [[nodiscard]] const std::string& Single(const char* what) const;

private:
    std::vector<std::string> FPositional;
    std::vector<std::pair<std::string, std::string>> FValues;
    std::vector<std::string> FFlags;
};

struct TCommand {
    const char* Name;
    const char* Synopsis;
    // One line for the command list of --help.
    const char* Summary;
    // What "COMMAND --help" prints under the usage line: what the command
    // does and its options.
    const char* Help;
    int (*Run)(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);
};

// True when the arguments ask for help ("--help" or "-h" before any "--").
[[nodiscard]] bool AsksForHelp(const std::vector<std::string>& args);

// Every command, in the order the help lists them.
[[nodiscard]] const std::vector<TCommand>& Commands();

int RunInfo(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);
int RunPublish(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);
int RunCheckLinks(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);
int RunImport(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

} // namespace qm::cli
