#pragma once
// Printing the manual page to PDF with a headless browser.
#include "publish/common/Cancellation.h"

#include <string>
#include <vector>

namespace qm::pdf {

// "EdgePdfProfile" in the user's temporary folder: the browser profile the
// prints use, kept between runs so that a print need not set one up again.
[[nodiscard]] std::string PdfProfileFolder();

// "file:///" + the path with backslashes turned into slashes. Only "%", "#"
// and "?" are percent-encoded, as in a file name they would otherwise start
// an escape, the fragment or the query and the browser would print an error
// page instead of the manual; everything else (spaces too) stays as written.
[[nodiscard]] std::string ManualAddress(const std::string& manualPath);

// The browser's arguments, program first: headless, no GPU, no first-run
// or default-browser questions, no print preview, kiosk printing, the
// profile folder, the target file, bookmarks from the h1-h6 headings, no
// header and footer of the browser's own (the manual's page rules set the
// footer), nothing
// fetched from the network on its own, and, when running as root, no
// sandbox (Chromium refuses to start as root with it). The address comes last.
[[nodiscard]] std::vector<std::string> PrinterArguments(const std::string& browser,
                                                        const std::string& profileFolder,
                                                        const std::string& pdfPath,
                                                        const std::string& address, bool asRoot);

// Whether this program runs with root's rights.
[[nodiscard]] bool RunningAsRoot();

// Has the browser at `browser` (a full path) print the manual at manualPath
// (a full path) into pdfPath and waits, without a time limit, for it to end.
// Raises the system's error (platform::EProcessStartError) when the browser
// cannot be started, and EPublishCancelled when the token stops it. Whether a
// file was printed is for the caller to see (WaitForNonEmptyFile).
void PrintHtmlToPdf(const std::string& manualPath, const std::string& pdfPath,
                    const std::string& browser, const TCancellationToken* cancel = nullptr);

} // namespace qm::pdf
