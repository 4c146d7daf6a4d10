// quillmate-cli: the publishing and checking commands of Quillmate for scripts
// and CI. A thin client of the core; every command lives in its own file.
#include "CliCommon.h"
#include "Interrupt.h"

#include "base/Error.h"
#include "publish/common/Cancellation.h"

#include <csignal>
#include <cstring>
#include <iostream>

#ifndef QUILLMATE_VERSION
#define QUILLMATE_VERSION "0.0.0"
#endif

namespace {

void PrintUsage(std::ostream& out) {
    out << "Usage: quillmate-cli COMMAND [ARGS]\n\nCommands:\n";
    for (const auto& c : qm::cli::Commands())
        out << "  " << c.Synopsis << "\n";
    out << "\n  --version    print the version\n  --help       print this help\n";
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
    if (name == "--version" || name == "version") {
        std::cout << "quillmate-cli " << QUILLMATE_VERSION << "\n";
        return kExitOk;
    }
    if (name == "--help" || name == "-h" || name == "help") {
        PrintUsage(std::cout);
        return kExitOk;
    }
    InstallInterruptHandlers();
    const std::vector<std::string> args(argv + 2, argv + argc);
    for (const auto& c : Commands()) {
        if (name != c.Name)
            continue;
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
    std::cerr << "quillmate-cli: unknown command '" << name << "'\n";
    PrintUsage(std::cerr);
    return kExitUsage;
}
