// quillmate-cli publish: the three publishers for scripts and CI.
#include "CliCommon.h"
#include "Interrupt.h"

#include "base/PathUtils.h"
#include "content/ReusableContent.h"
#include "model/DocModel.h"
#include "model/Storage.h"
#include "platform/ProgramFiles.h"
#include "platform/ProjectLock.h"
#include "publish/Publish.h"

#include <chrono>
#include <cstdio>
#include <memory>
#include <optional>
#include <ostream>
#include <string>
#include <string_view>
#include <unistd.h>

namespace qm::cli {

namespace {

// Progress on a terminal only: a log file in CI should not fill with
// carriage-return lines.
TProgressCallback TerminalProgress(std::string_view what) {
    if (::isatty(STDERR_FILENO) == 0)
        return {};
    auto last = std::make_shared<std::chrono::steady_clock::time_point>();
    return [what = std::string(what), last](size_t done, size_t total) {
        const auto now = std::chrono::steady_clock::now();
        if (done != total && now - *last < std::chrono::milliseconds(100))
            return;
        *last = now;
        std::fprintf(stderr, "\r%s: %zu of %zu pages", what.c_str(), done, total);
        if (done == total)
            std::fputc('\n', stderr);
        std::fflush(stderr);
    };
}

} // namespace

int RunPublish(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    TArgs a(args, {"format", "out"}, {});
    const std::string& file = a.Single("project file (PROJECT.hff)");
    const std::string name = a.Value("format").value_or("webhelp");
    const std::optional<TPublishFormat> format = ParsePublishFormat(name);
    if (!format)
        throw EUsageError("unknown format '" + name + "' (webhelp, chm or pdf)");

    const TProjectFileInfo info = ReadProjectFile(file);
    const platform::TProjectLock lock(info.Folder, kProjectLockWait);
    TDocProject project;
    LoadProjectModel(IncludeTrailingPathDelimiter(info.Folder), project);

    TPublishOptions options;
    options.OutDir = a.Value("out").value_or("");
    options.Progress = TerminalProgress(FormatTitle(*format));
    options.ProgramDataDir = platform::FindProgramDataDir(platform::ExecutablePath());
    const TInterruptibleJob job;
    options.Cancel = job.Token();
    const TPublishResult result = Publish(*format, project, options);
    for (const std::string& w : result.Warnings)
        err << "warning: " << w << "\n";
    if (const std::string damaged = DamagedReusableContentWarning(project); !damaged.empty())
        err << "warning: " << damaged << "\n";
    out << FormatTitle(*format) << " exported: " << result.OutputFile << "\n";
    return kExitOk;
}

} // namespace qm::cli
