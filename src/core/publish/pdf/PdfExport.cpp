#include "publish/pdf/PdfExport.h"

#include "base/Error.h"
#include "base/PathUtils.h"
#include "model/DocModel.h"
#include "publish/common/PublishCommon.h"
#include "publish/pdf/PdfAssets.h"
#include "publish/pdf/PdfPrinter.h"
#include "publish/pdf/PdfStyleSheet.h"
#include "publish/pdf/PdfWait.h"

#include <chrono>
#include <filesystem>
#include <system_error>

namespace fs = std::filesystem;

namespace qm::pdf {

namespace {

// File times come from the file system's clock, which can lag behind ours (a
// coarse kernel clock, a file server's clock). The slack keeps a freshly
// printed file from being taken for an old one; a manual.pdf left from an
// earlier export is older than that.
constexpr auto kFileClockSlack = std::chrono::seconds(2);

// An old manual.pdf that stayed would pass for the new one if the browser
// could not replace it, so it must go before anything else happens.
void DeleteOldPdf(const std::string& pdf) {
    std::error_code ec;
    fs::remove(fs::path(pdf), ec);
    if (ec)
        throw EFileError("Cannot delete the old \"" + pdf +
                         "\": the file is in use (close it in the PDF viewer). " + ec.message());
}

std::string FullPath(const std::string& path) {
    std::error_code ec;
    const fs::path full = fs::absolute(fs::path(path), ec);
    return ec ? path : full.lexically_normal().string();
}

} // namespace

TPdfExportResult ExportPdf(const TDocProject& project, const std::string& outDir,
                           const TPdfExportOptions& options) {
    const std::string out = FullPath(EnsureDir(outDir));
    TPdfExportResult result;
    result.ManualFile = JoinPath(out, "manual.html");
    result.PdfFile = JoinPath(out, "manual.pdf");

    DeleteOldPdf(result.PdfFile);
    std::error_code ignored;
    // A manual.html that cannot go is reported by the write just below.
    fs::remove(fs::path(result.ManualFile), ignored);

    WriteTextFileUtf8(result.ManualFile,
                      BuildPdfManual(project, options.Progress, options.Cancelled));
    WriteTextFileUtf8(JoinPath(out, "style.css"),
                      BuildPdfStyleSheet(project, LoadPublishSettings(project)));
    const std::string assets = JoinPath(project.RootPath, "assets");
    if (DirectoryExists(assets))
        CopyAssetFiles(assets, JoinPath(out, "assets"));

    ThrowIfCancelled(options.Cancelled);
    const fs::file_time_type printStart = fs::file_time_type::clock::now() - kFileClockSlack;
    PrintHtmlToPdf(result.ManualFile, result.PdfFile, options.Browsers, options.Cancelled);
    result.PdfSize =
        WaitForNonEmptyFile(result.PdfFile, kPdfWaitLimitMs, printStart, options.Cancelled);
    return result;
}

TPdfExportResult PublishPdf(const TDocProject& project, const std::string& outDir,
                            const TPdfProgress& progress, const TCancelCheck& cancelled) {
    TPdfExportOptions options;
    options.Progress = progress;
    options.Cancelled = cancelled;
    return ExportPdf(project,
                     outDir.empty() ? JoinPath(JoinPath(project.RootPath, "build"), "pdf") : outDir,
                     options);
}

} // namespace qm::pdf
