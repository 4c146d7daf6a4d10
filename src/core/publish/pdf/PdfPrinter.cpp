#include "publish/pdf/PdfPrinter.h"

#include "base/PathUtils.h"
#include "platform/Process.h"
#include "platform/ProgramFiles.h"
#include "publish/pdf/PdfProfileLock.h"

#include <filesystem>
#include <system_error>

#ifndef _WIN32
#include <unistd.h>
#endif

namespace qm::pdf {

std::string PdfProfileFolder() {
    return platform::UserTempDir() + "EdgePdfProfile";
}

std::string ManualAddress(const std::string& manualPath) {
    std::string address = "file:///";
    for (char c : manualPath) {
        switch (c) {
        case '\\':
            address += '/';
            break;
        case '%':
            address += "%25";
            break;
        case '#':
            address += "%23";
            break;
        case '?':
            address += "%3F";
            break;
        default:
            address += c;
        }
    }
    return address;
}

std::vector<std::string> PrinterArguments(const std::string& browser,
                                          const std::string& profileFolder,
                                          const std::string& pdfPath, const std::string& address,
                                          bool asRoot) {
    std::vector<std::string> args = {
        browser,
        "--headless",
        "--disable-gpu",
        "--no-first-run",
        "--no-default-browser-check",
        "--disable-print-preview",
        "--kiosk-printing",
        "--user-data-dir=" + profileFolder,
        "--print-to-pdf=" + pdfPath,
        "--generate-pdf-document-outline",
        "--no-pdf-header-footer",
        "--disable-background-networking",
        "--disable-component-update",
        "--disable-sync",
    };
    if (asRoot)
        args.push_back("--no-sandbox");
    args.push_back(address);
    return args;
}

bool RunningAsRoot() {
#ifdef _WIN32
    return false;
#else
    return ::geteuid() == 0;
#endif
}

void PrintHtmlToPdf(const std::string& manualPath, const std::string& pdfPath,
                    const std::string& browser, const TCancellationToken* cancel) {
    const std::string profile = EnsureDir(PdfProfileFolder());
    const TPrintProfileLock lock(profile, cancel);
    // Neither the exit code nor the output (D-Bus and GPU notes, mostly) is
    // looked at: whether the browser printed shows in the file it leaves.
    const platform::TProcessResult run = platform::RunProcess(
        PrinterArguments(browser, profile, pdfPath, ManualAddress(manualPath), RunningAsRoot()), "",
        CancelCheck(cancel));
    if (run.Cancelled) {
        // A file the browser had begun must not pass for a printed manual.
        std::error_code ignored;
        std::filesystem::remove(pdfPath, ignored);
        throw EPublishCancelled();
    }
}

} // namespace qm::pdf
