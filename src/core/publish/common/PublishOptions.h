#pragma once
// What every publisher takes and gives back. The three publishers have one
// shape, so a caller handles WebHelp, CHM and PDF alike and switches only on
// the format:
//
//     TPublishResult PublishWebHelp(const TDocProject&, const TPublishOptions&);
//     TPublishResult PublishChm(const TDocProject&, const TPublishOptions&);
//     TPublishResult PublishPdf(const TDocProject&, const TPublishOptions&);
//
// (or Publish(format, project, options) of publish/Publish.h). Failures are
// EQuillmateError with the text to show as it is; a stop on request is
// EPublishCancelled.
#include "publish/common/Cancellation.h"

#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace qm {

class TDocProject;

enum class TPublishFormat { WebHelp, Chm, Pdf };

// Pages done and their total. WebHelp calls it from its worker threads, one
// call at a time; CHM and PDF on the calling thread.
using TProgressCallback = std::function<void(size_t done, size_t total)>;

struct TPublishOptions {
    // Where the output goes; empty: DefaultOutDir of the format.
    std::string OutDir;
    TProgressCallback Progress;
    // Looked at between pages and while an outside program runs; none: the
    // job cannot be stopped.
    const TCancellationToken* Cancel = nullptr;
    // Worker threads for the WebHelp pages; 0 = one per processor. The output
    // is the same whatever the count.
    unsigned Threads = 0;
    // The folder with AppFiles/webhelp, the WebHelp viewer's templates.
    std::string ProgramDataDir;
    // The help compiler for CHM; empty: FindHtmlHelpCompiler().
    std::string ChmCompiler;
    // The browser that prints the PDF; empty: the first one found in the
    // usual places (DefaultBrowserSearch()).
    std::string PdfBrowser;
};

struct TPublishResult {
    // The file to open: index.html, help.chm or manual.pdf, a full path.
    std::string OutputFile;
    std::string OutDir; // a full path
    // Things the author should know of that did not stop the run: skipped
    // topics, photos left as they were, the help compiler's warnings.
    std::vector<std::string> Warnings;
    size_t PagesWritten = 0;
    // Pages of deleted or excluded topics that earlier runs had written.
    size_t StalePagesRemoved = 0;
};

// "webhelp", "chm" or "pdf": the command-line tool's names for the formats,
// and the names of their default output folders.
[[nodiscard]] std::string_view FormatName(TPublishFormat format);
// The format FormatName gives that name; nothing for any other name.
[[nodiscard]] std::optional<TPublishFormat> ParsePublishFormat(std::string_view name);
// "WebHelp", "CHM" or "PDF", as messages name the format.
[[nodiscard]] std::string_view FormatTitle(TPublishFormat format);

// "build/<FormatName>" under the project's data folder.
[[nodiscard]] std::string DefaultOutDir(const TDocProject& project, TPublishFormat format);
// options.OutDir, or DefaultOutDir when it is empty, as a full path. Raises
// EQuillmateError for a folder the project's data folder is in or near
// (CheckOutDirOutsideProject).
[[nodiscard]] std::string ResolveOutDir(const TDocProject& project, const TPublishOptions& options,
                                        TPublishFormat format);

} // namespace qm
