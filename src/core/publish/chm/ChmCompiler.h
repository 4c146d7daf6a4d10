#pragma once
// Finding and running the help compiler, and reading what it says. On Windows
// that is Microsoft's hhc.exe; elsewhere chmcmd (Free Pascal, Debian package
// fp-utils), which reads the same project files.
#include "publish/common/Cancellation.h"

#include <string>
#include <string_view>
#include <vector>

namespace qm::chm {

// The file name of this platform's compiler: "hhc.exe" or "chmcmd".
[[nodiscard]] std::string HtmlHelpCompilerName();

// The full path of the compiler, or "" when there is none. Windows: the first
// existing hhc.exe of "C:\Program Files (x86)\HTML Help Workshop",
// "C:\Program Files\HTML Help Workshop" and "C:\Windows"; elsewhere chmcmd on PATH.
[[nodiscard]] std::string FindHtmlHelpCompiler();
// How to get the compiler: "install the Debian package fp-utils" (on
// Windows, HTML Help Workshop).
[[nodiscard]] std::string CompilerInstallHint();

struct TChmCompilerRun {
    int ExitCode = -1;
    std::string Output; // what it printed, standard output and errors interleaved
};

// Runs exe with args in dir and waits for it, without a time limit. Raises
// EQuillmateError "chmcmd not found; install ..." (hhc.exe on Windows) for
// an empty exe, "Failed to run NAME: " and the reason when exe cannot be
// started, and EPublishCancelled when the token stops it.
[[nodiscard]] TChmCompilerRun RunHtmlHelpCompiler(const std::string& exe,
                                                  const std::vector<std::string>& args,
                                                  const std::string& dir,
                                                  const TCancellationToken* cancel = nullptr);

// Whether an exit code means success for the compiler at exe: hhc.exe
// returns 1 on success (and 0 on failure); chmcmd returns 0. chmcmd also
// returns 0 for some failures, so the caller checks the compiled file too.
[[nodiscard]] bool CompilerExitCodeMeansSuccess(const std::string& exe, int exitCode);

struct TCompilerMessages {
    std::vector<std::string> Errors;
    std::vector<std::string> Warnings; // without a leading "Warning:"
};

// The error and warning lines of the compiler's output; notes, progress and
// banners are dropped.
[[nodiscard]] TCompilerMessages SplitCompilerOutput(std::string_view output);

// Compiles outDir/project.hhp into outDir/compiledFile with the compiler at
// exe, running in outDir. The old compiled file is deleted first, and the run
// counts as a success only with the compiler's exit code for success and a
// non-empty compiled file, so a failed run never passes for one. Returns the
// compiler's warnings; raises EQuillmateError with its error lines (or its
// exit code when it gave none) on failure, and EPublishCancelled.
[[nodiscard]] std::vector<std::string>
CompileChmProject(const std::string& exe, const std::string& outDir,
                  const std::string& compiledFile, const TCancellationToken* cancel = nullptr);

} // namespace qm::chm
