#pragma once
// Publishing a project as a PDF manual: all published topics joined, in
// contents order, into manual.html beside its style sheet and assets, which
// a headless Chromium-family browser (Microsoft Edge on Windows) prints to
// manual.pdf with bookmarks for the headings.
//
// Entry point for the command-line tool and the desktop command:
//
//     const qm::pdf::TPdfExportResult r =
//         qm::pdf::PublishPdf(project, outDir, progress, cancelled);
//     // r.PdfFile: full path of manual.pdf; r.ManualFile: of manual.html
//
// outDir empty means "build/pdf" under the project's data folder. Errors are
// EQuillmateError with the text to show as it is ("Microsoft Edge not
// found", "PDF file was not created in time", a file that cannot be written
// or replaced); EPdfCancelled when `cancelled` asked to stop. The desktop
// command saves the project first and opens the results afterwards.
#include "publish/pdf/PdfBrowser.h"
#include "publish/pdf/PdfCancel.h"
#include "publish/pdf/PdfManual.h"

#include <cstdint>
#include <string>

namespace qm {
class TDocProject;
}

namespace qm::pdf {

// How long the printed file may take to appear after the browser ended.
inline constexpr int kPdfWaitLimitMs = 5000;

struct TPdfExportOptions {
    // Sections of the manual written so far and their total, on the calling
    // thread; the print follows the last call.
    TPdfProgress Progress;
    // Polled between sections, while the browser prints and while waiting
    // for the file; the browser is ended at once when it says stop.
    TCancelCheck Cancelled;
    // Where the printing browser is looked for.
    TBrowserSearch Browsers = DefaultBrowserSearch();
};

struct TPdfExportResult {
    std::string ManualFile; // full path of manual.html
    std::string PdfFile;    // full path of manual.pdf, printed by this run
    std::uintmax_t PdfSize = 0;
};

// Writes manual.html, style.css and a copy of the project's assets into
// outDir and prints manual.pdf. The old manual.pdf is deleted first; when it
// cannot be, the export stops before writing anything, with an error that
// says the file is in use. Only a non-empty manual.pdf written after the
// print started counts as the result. When no browser is found, manual.html,
// style.css and the assets stay for the author to print by other means.
TPdfExportResult ExportPdf(const TDocProject& project, const std::string& outDir,
                           const TPdfExportOptions& options = {});

// ExportPdf into outDir, or into "build/pdf" under the project's data folder
// when outDir is empty, looking for the browser in the usual places.
TPdfExportResult PublishPdf(const TDocProject& project, const std::string& outDir = "",
                            const TPdfProgress& progress = {}, const TCancelCheck& cancelled = {});

} // namespace qm::pdf
