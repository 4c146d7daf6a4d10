#include "publish/chm/ChmCompiler.h"

#include "base/PathUtils.h"
#include "base/StringUtil.h"
#include "platform/Process.h"

#include <filesystem>

namespace qm::chm {

namespace {

// The file name of a compiler path in either kind of separator, so that a
// Windows path is read right on any system.
std::string CompilerFileName(std::string_view exe) {
    const size_t slash = exe.find_last_of("/\\");
    return std::string(slash == std::string_view::npos ? exe : exe.substr(slash + 1));
}

bool ContainsNoCase(std::string_view line, std::string_view word) {
    return FindAsciiNoCase(line, word) != std::string_view::npos;
}

// Free Pascal reports a failure as its exception class and message:
// "EFOpenError: Unable to open file ...", "EAccessViolation: Access violation".
bool IsPascalException(std::string_view line) {
    if (line.size() < 3 || line[0] != 'E' || line[1] < 'A' || line[1] > 'Z')
        return false;
    size_t i = 1;
    while (i < line.size() &&
           ((line[i] >= 'A' && line[i] <= 'Z') || (line[i] >= 'a' && line[i] <= 'z')))
        ++i;
    return i < line.size() && line[i] == ':';
}

bool IsErrorLine(std::string_view line) {
    // hhc.exe: "HHC5003: Error: Compilation failed ..."; chmcmd: "Can't find
    // project file ...", or a Pascal exception.
    static constexpr std::string_view kWords[] = {"error",  "can't",  "cannot",
                                                  "unable", "failed", "fatal"};
    if (IsPascalException(line))
        return true;
    for (std::string_view w : kWords)
        if (ContainsNoCase(line, w))
            return true;
    return false;
}

void DeleteOldOutput(const std::string& file) {
    std::error_code ec;
    std::filesystem::remove(std::filesystem::path(file), ec);
    if (ec)
        throw EFileError("Cannot delete \"" + file + "\". " + ec.message());
}

bool IsNonEmptyFile(const std::string& path) {
    std::error_code ec;
    const auto size = std::filesystem::file_size(std::filesystem::path(path), ec);
    return !ec && size > 0;
}

// Why a compilation failed, in the compiler's own words where it gave any.
std::string FailureText(const std::string& exe, const TChmCompilerRun& run,
                        const std::string& compiledFile, bool wroteFile) {
    const TCompilerMessages m = SplitCompilerOutput(run.Output);
    std::string text;
    for (const auto& e : m.Errors)
        text += (text.empty() ? "" : "\n") + e;
    // chmcmd names a missing [FILES] entry only in a warning.
    for (const auto& w : m.Warnings)
        text += (text.empty() ? "Warning: " : "\nWarning: ") + w;
    if (!text.empty())
        return text;
    return CompilerFileName(exe) + " ended with exit code " + std::to_string(run.ExitCode) +
           (wroteFile ? "" : " and wrote no " + compiledFile);
}

// chmcmd follows every link of a page while scanning it; a link that goes
// nowhere (href="#", which links to excluded topics get) makes it report the
// page's folder as a missing file: "Found file topics/ while scanning ...".
// That is no problem of the project, so the author is not told about it.
bool IsFolderReferenceNoise(std::string_view warning) {
    if (!StartsWithAsciiNoCase(warning, "Found file "))
        return false;
    const size_t end = warning.find(" while scanning ");
    return end != std::string_view::npos && end > 11 && warning[end - 1] == '/';
}

} // namespace

std::string HtmlHelpCompilerName() {
#ifdef _WIN32
    return "hhc.exe";
#else
    return "chmcmd";
#endif
}

std::string CompilerInstallHint() {
#ifdef _WIN32
    return "install Microsoft HTML Help Workshop";
#else
    return "install the Debian package fp-utils";
#endif
}

std::string FindHtmlHelpCompiler() {
#ifdef _WIN32
    static constexpr const char* kLocations[] = {
        "C:\\Program Files (x86)\\HTML Help Workshop\\hhc.exe",
        "C:\\Program Files\\HTML Help Workshop\\hhc.exe",
        "C:\\Windows\\hhc.exe",
    };
    for (const char* path : kLocations)
        if (FileExists(path))
            return path;
    return "";
#else
    return platform::FindExecutableOnPath(HtmlHelpCompilerName());
#endif
}

TChmCompilerRun RunHtmlHelpCompiler(const std::string& exe, const std::vector<std::string>& args,
                                    const std::string& dir, const TCancellationToken* cancel) {
    if (exe.empty())
        throw EQuillmateError(HtmlHelpCompilerName() + " not found; " + CompilerInstallHint());
    std::vector<std::string> argv{exe};
    argv.insert(argv.end(), args.begin(), args.end());
    platform::TProcessResult r;
    try {
        r = platform::RunProcess(argv, dir, CancelCheck(cancel));
    } catch (const platform::EProcessStartError& e) {
        // The runner's text names the program and the system's reason.
        throw EQuillmateError(std::string("Failed to run ") + CompilerFileName(exe) + ": " +
                              e.what());
    }
    if (r.Cancelled)
        throw EPublishCancelled();
    return {r.ExitCode, std::move(r.Output)};
}

bool CompilerExitCodeMeansSuccess(const std::string& exe, int exitCode) {
    const std::string name = AsciiLower(CompilerFileName(exe));
    if (name == "hhc.exe" || name == "hhc")
        return exitCode == 1;
    return exitCode == 0;
}

TCompilerMessages SplitCompilerOutput(std::string_view output) {
    TCompilerMessages m;
    for (const std::string& raw : SplitLines(output)) {
        const std::string line = TrimCtl(raw);
        if (line.empty())
            continue;
        if (ContainsNoCase(line, "warning")) {
            std::string text = line;
            if (StartsWithAsciiNoCase(text, "warning:"))
                text = TrimCtl(text.substr(8));
            if (!IsFolderReferenceNoise(text))
                m.Warnings.push_back(text);
        } else if (IsErrorLine(line)) {
            m.Errors.push_back(line);
        }
    }
    return m;
}

std::vector<std::string> CompileChmProject(const std::string& exe, const std::string& outDir,
                                           const std::string& compiledFile,
                                           const TCancellationToken* cancel) {
    const std::string target = JoinPath(outDir, compiledFile);
    // Otherwise a failed run would leave the previous file in place and the
    // author would open yesterday's help thinking it is today's.
    DeleteOldOutput(target);
    const TChmCompilerRun run =
        RunHtmlHelpCompiler(exe, {JoinPath(outDir, "project.hhp")}, outDir, cancel);
    const bool wroteFile = IsNonEmptyFile(target);
    if (!CompilerExitCodeMeansSuccess(exe, run.ExitCode) || !wroteFile)
        throw EQuillmateError(FailureText(exe, run, compiledFile, wroteFile));
    return SplitCompilerOutput(run.Output).Warnings;
}

} // namespace qm::chm
