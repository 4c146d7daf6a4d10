// quillmate-cli publish: the three publishers for scripts and CI.
#include "CliCommon.h"

#include "base/PathUtils.h"
#include "model/DocModel.h"
#include "model/Storage.h"
#include "platform/ProgramFiles.h"
#include "publish/chm/ChmExport.h"
#include "publish/common/PublishCommon.h"
#include "publish/pdf/PdfExport.h"
#include "publish/webhelp/WebHelpExport.h"

#include <chrono>
#include <cstdio>
#include <ostream>
#include <unistd.h>

namespace qm::cli {

namespace {

// Progress on a terminal only: a log file in CI should not fill with
// carriage-return lines.
TProgressCallback TerminalProgress(const char* what) {
    if (::isatty(STDERR_FILENO) == 0)
        return {};
    auto last = std::make_shared<std::chrono::steady_clock::time_point>();
    return [what, last](size_t done, size_t total) {
        const auto now = std::chrono::steady_clock::now();
        if (done != total && now - *last < std::chrono::milliseconds(100))
            return;
        *last = now;
        std::fprintf(stderr, "\r%s: %zu of %zu pages", what, done, total);
        if (done == total)
            std::fputc('\n', stderr);
        std::fflush(stderr);
    };
}

std::string ProgramFile(const std::string& relative) {
    const std::string dir = platform::FindProgramDataDir(platform::ExecutablePath());
    if (dir.empty())
        throw EUsageError("the program files (AppFiles) were not found beside quillmate-cli");
    return JoinPath(dir, relative);
}

int PublishWebHelp(const TDocProject& project, const std::string& outDir, std::ostream& out,
                   std::ostream& err) {
    TWebHelpExportOptions options;
    options.Progress = TerminalProgress("WebHelp");
    const TWebHelpExportReport report = ExportWebHelp(project, outDir, options);
    for (const auto& w : report.Warnings)
        err << "warning: " << w << "\n";
    const TProjectSettings settings = LoadPublishSettings(project);
    const std::string index =
        InstallWebHelpTemplates(ProgramFile("AppFiles/webhelp"), outDir, &settings, project.Title);
    out << "WebHelp exported: " << index << "\n";
    return kExitOk;
}

int PublishChmFormat(const TDocProject& project, const std::string& outDir, std::ostream& out,
                     std::ostream& err) {
    chm::TChmExportOptions options;
    options.OutDir = outDir;
    options.Progress = TerminalProgress("CHM");
    const chm::TChmPublishResult r = chm::PublishChm(project, options);
    for (const auto& w : r.Warnings)
        err << "warning: " << w << "\n";
    out << "CHM exported: " << r.ChmFile << "\n";
    return kExitOk;
}

int PublishPdfFormat(const TDocProject& project, const std::string& outDir, std::ostream& out) {
    const auto progress = TerminalProgress("PDF");
    const pdf::TPdfExportResult r =
        pdf::PublishPdf(project, outDir, [progress](size_t done, size_t total) {
            if (progress)
                progress(done, total);
        });
    out << "PDF exported: " << r.PdfFile << "\n";
    return kExitOk;
}

} // namespace

int RunPublish(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    TArgs a(args, {"format", "out"}, {});
    const std::string& file = a.Single("project file (PROJECT.hff)");
    const std::string format = a.Value("format").value_or("webhelp");
    if (format != "webhelp" && format != "chm" && format != "pdf")
        throw EUsageError("unknown format '" + format + "' (webhelp, chm or pdf)");

    const TProjectFileInfo info = ReadProjectFile(file);
    TDocProject project;
    LoadProjectModel(IncludeTrailingPathDelimiter(info.Folder), project);
    const std::string outDir =
        a.Value("out").value_or(JoinPath(JoinPath(project.RootPath, "build"), format));

    if (format == "webhelp")
        return PublishWebHelp(project, outDir, out, err);
    if (format == "chm")
        return PublishChmFormat(project, outDir, out, err);
    return PublishPdfFormat(project, outDir, out);
}

} // namespace qm::cli
