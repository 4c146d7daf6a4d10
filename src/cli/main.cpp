// quillmate-cli: the publishing and checking commands of Quillmate for scripts
// and CI. A thin client of the core; every command lives in its own file.
#include "CliCommon.h"
#include "Interrupt.h"

#include "QuillmateVersion.h"
#include "base/Error.h"
#include "platform/ProgramFiles.h"
#include "publish/common/Cancellation.h"

#include <csignal>
#include <cstring>
#include <iostream>

namespace {

void PrintUsage(std::ostream& out) {
    out << "Usage: quillmate-cli COMMAND [OPTIONS] ARGS\n"
           "       quillmate-cli COMMAND --help\n"
           "       quillmate-cli --help | --version\n"
           "\n"
           "Publishes and checks Quillmate help projects from scripts and CI.\n"
           "\n"
           "Commands:\n";
    for (const auto& c : qm::cli::Commands()) {
        std::string name = c.Name;
        name.resize(13, ' ');
        out << "  " << name << c.Summary << "\n";
    }
    out << "\n"
           "Options:\n"
           "  -h, --help     print this help\n"
           "  -V, --version  print the version and that of the program files found\n"
           "\n"
           "Exit status: 0 done, 1 the command failed (check-links: issues found),\n"
           "2 usage error.\n";
}

void PrintCommandHelp(const qm::cli::TCommand& c, std::ostream& out) {
    out << "Usage: quillmate-cli " << c.Synopsis << "\n\n" << c.Help;
}

// The program files come from wherever the executable finds them; a copy of
// another build there is a likely cause of odd results, so both versions show.
void PrintVersion(std::ostream& out) {
    out << "quillmate-cli " << qm::kVersion << "\n"
        << "program files: " << qm::platform::DescribeProgramFiles(qm::platform::ExecutablePath())
        << "\n";
}

int UsageError(const std::string& message) {
    std::cerr << "quillmate-cli: " << message
              << "\nTry 'quillmate-cli --help' for more information.\n";
    return qm::cli::kExitUsage;
}

// 128 plus the signal, as a shell reports a program the signal ended: 130
// for Ctrl+C, 143 for SIGTERM.
int Cancelled(const char* command) {
    std::cerr << "quillmate-cli " << command << ": cancelled\n";
    const int sig = qm::cli::InterruptSignal();
    return 128 + (sig != 0 ? sig : SIGINT);
}

} // namespace

int main(int argc, char** argv) {
    using namespace qm::cli;
    if (argc < 2) {
        PrintUsage(std::cerr);
        return kExitUsage;
    }
    const std::string name = argv[1];
    if (name == "--version" || name == "-V" || name == "version") {
        PrintVersion(std::cout);
        return kExitOk;
    }
    if (name == "--help" || name == "-h" || name == "help") {
        PrintUsage(std::cout);
        return kExitOk;
    }
    if (name.size() > 1 && name[0] == '-')
        return UsageError("unknown option '" + name + "'");
    InstallInterruptHandlers();
    const std::vector<std::string> args(argv + 2, argv + argc);
    for (const auto& c : Commands()) {
        if (name != c.Name)
            continue;
        if (AsksForHelp(args)) {
            PrintCommandHelp(c, std::cout);
            return kExitOk;
        }
        try {
            const int code = c.Run(args, std::cout, std::cerr);
            // A signal that came after the last look at the token still asked to stop.
            return InterruptSignal() != 0 ? Cancelled(c.Name) : code;
        } catch (const qm::EPublishCancelled&) {
            return Cancelled(c.Name);
        } catch (const EUsageError& e) {
            std::cerr << "quillmate-cli " << c.Name << ": " << e.what() << "\nUsage: quillmate-cli "
                      << c.Synopsis << "\n";
            return kExitUsage;
        } catch (const std::exception& e) {
            std::cerr << "quillmate-cli " << c.Name << ": " << e.what() << "\n";
            return kExitFailure;
        }
    }
    return UsageError("unknown command '" + name + "'");
}
