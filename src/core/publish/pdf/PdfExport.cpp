#include "publish/pdf/PdfExport.h"

#include "base/Error.h"
#include "base/PathUtils.h"
#include "model/ContentsWalk.h"
#include "model/DocModel.h"
#include "publish/common/OutputFolder.h"
#include "publish/common/PublishCommon.h"
#include "publish/pdf/PdfAssets.h"
#include "publish/pdf/PdfBrowser.h"
#include "publish/pdf/PdfFrontMatter.h"
#include "publish/pdf/PdfManual.h"
#include "publish/pdf/PdfPageReader.h"
#include "publish/pdf/PdfPrinter.h"
#include "publish/pdf/PdfStyleSheet.h"
#include "publish/pdf/PdfWait.h"

#include <chrono>
#include <filesystem>
#include <system_error>
#include <utility>

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

// Removes a file when it goes out of scope, whatever happened meanwhile.
class TRemoveOnExit {
public:
    explicit TRemoveOnExit(std::string path) : FPath(std::move(path)) {}
    ~TRemoveOnExit() {
        std::error_code ignored;
        fs::remove(fs::path(FPath), ignored);
    }
    TRemoveOnExit(const TRemoveOnExit&) = delete;
    TRemoveOnExit& operator=(const TRemoveOnExit&) = delete;

private:
    std::string FPath;
};

void PrintAndWait(const std::string& html, const std::string& pdf, const std::string& browser,
                  const TCancellationToken* cancel) {
    const fs::file_time_type printStart = fs::file_time_type::clock::now() - kFileClockSlack;
    PrintHtmlToPdf(html, pdf, browser, cancel);
    (void)WaitForNonEmptyFile(pdf, kPdfWaitLimitMs, printStart, cancel);
}

// The page each section starts on in the first print. A manual without page
// numbers in its contents is still worth having, so what cannot be found is
// a warning, not a failure.
std::vector<int> SectionPages(const std::string& pdf, const std::vector<TPdfSectionHtml>& sections,
                              std::vector<std::string>& warnings) {
    std::vector<int> pages;
    try {
        pages = FindMarkerPages(pdf, kPdfMarkerPrefix, sections.size());
    } catch (const EQuillmateError& e) {
        warnings.push_back(std::string("The contents have no page numbers: ") + e.what());
        return pages;
    }
    for (size_t i = 0; i < sections.size(); ++i)
        if (pages[i] == 0)
            warnings.push_back("The contents have no page number for \"" + sections[i].Heading +
                               "\": its heading was not found in the printed manual (hidden by "
                               "the style sheet?).");
    return pages;
}

std::string BrowserToUse(const std::string& chosen) {
    if (!chosen.empty())
        return chosen;
    const TBrowserSearch search = DefaultBrowserSearch();
    const std::string found = FindBrowser(search);
    if (found.empty())
        throw EQuillmateError(BrowserNotFoundMessage(search));
    return found;
}

} // namespace

} // namespace qm::pdf

namespace qm {

TPublishResult PublishPdf(const TDocProject& project, const TPublishOptions& options) {
    using namespace pdf;
    TPublishResult result;
    result.OutDir = ResolveOutDir(project, options, TPublishFormat::Pdf);
    // The manual deletes nothing but its own two files, so whose folder it
    // is matters only for the mark a later publish reads.
    (void)ClaimOutputFolder(project, result.OutDir, TPublishFormat::Pdf);
    const std::string manual = JoinPath(result.OutDir, "manual.html");
    result.OutputFile = JoinPath(result.OutDir, "manual.pdf");

    DeleteOldPdf(result.OutputFile);
    std::error_code ignored;
    // A manual.html that cannot go is reported by the write just below.
    fs::remove(fs::path(manual), ignored);

    const std::vector<TPdfSectionHtml> sections =
        BuildPdfSections(project, options.Progress, options.Cancel);
    result.Warnings = PdfContents(project).Warnings;
    result.PagesWritten = sections.size();
    TPdfManualPass pass;
    pass.Date = PdfPublishDate();
    // Written first without page numbers, so that when no browser can print
    // it, the manual is there to be printed by other means.
    WriteTextFileUtf8(manual, AssemblePdfManual(project.Title, sections, pass));
    WriteTextFileUtf8(JoinPath(result.OutDir, "style.css"),
                      BuildPdfStyleSheet(project, LoadPublishSettings(project)));
    const std::string assets = JoinPath(project.RootPath, "assets");
    if (DirectoryExists(assets))
        CopyAssetFiles(assets, JoinPath(result.OutDir, "assets"), project.RootPath,
                       result.Warnings);

    ThrowIfCancelled(options.Cancel);
    const std::string browser = BrowserToUse(options.PdfBrowser);
    // The browser cannot number the contents itself (no target-counter()),
    // so a first print with a marker in every section heading tells on which
    // page each section starts. Markers and numbers take no room of their
    // own, so the second print lays out every page as the first did.
    if (!sections.empty()) {
        const std::string firstPrint = JoinPath(result.OutDir, "manual.pages.html");
        const TRemoveOnExit removeFirstPrint(firstPrint);
        pass.Markers = true;
        WriteTextFileUtf8(firstPrint, AssemblePdfManual(project.Title, sections, pass));
        PrintAndWait(firstPrint, result.OutputFile, browser, options.Cancel);
        pass.PageNumbers = SectionPages(result.OutputFile, sections, result.Warnings);
        pass.Markers = false;
        DeleteOldPdf(result.OutputFile);
        ThrowIfCancelled(options.Cancel);
        WriteTextFileUtf8(manual, AssemblePdfManual(project.Title, sections, pass));
    }
    PrintAndWait(manual, result.OutputFile, browser, options.Cancel);
    return result;
}

} // namespace qm
