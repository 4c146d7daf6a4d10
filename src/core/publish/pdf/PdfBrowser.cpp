#include "publish/pdf/PdfBrowser.h"

#include "platform/Process.h"

#include <filesystem>
#include <system_error>

#ifndef _WIN32
#include <unistd.h>
#endif

namespace qm::pdf {

namespace {

bool IsExecutableFile(const std::string& file) {
    std::error_code ec;
    if (!std::filesystem::is_regular_file(file, ec))
        return false;
#ifdef _WIN32
    return true;
#else
    return ::access(file.c_str(), X_OK) == 0;
#endif
}

// "A", "A and B", "A, B and C".
std::string JoinNames(const TBrowserSearch& search) {
    std::string names;
    for (size_t i = 0; i < search.size(); ++i) {
        if (i > 0)
            names += i + 1 == search.size() ? " and " : ", ";
        names += search[i].Name;
    }
    return names;
}

} // namespace

TBrowserSearch DefaultBrowserSearch() {
#ifdef _WIN32
    return {{"Microsoft Edge",
             {"C:\\Program Files (x86)\\Microsoft\\Edge\\Application\\msedge.exe",
              "C:\\Program Files\\Microsoft\\Edge\\Application\\msedge.exe"},
             {}}};
#else
    return {
        {"Microsoft Edge",
         {"/opt/microsoft/msedge/msedge", "/usr/bin/microsoft-edge",
          "/usr/bin/microsoft-edge-stable"},
         {"microsoft-edge", "microsoft-edge-stable", "msedge"}},
        {"Chromium",
         {"/usr/bin/chromium", "/usr/bin/chromium-browser", "/snap/bin/chromium"},
         {"chromium", "chromium-browser"}},
        {"Google Chrome",
         {"/opt/google/chrome/chrome", "/usr/bin/google-chrome", "/usr/bin/google-chrome-stable"},
         {"google-chrome", "google-chrome-stable", "chrome"}},
    };
#endif
}

std::string FindBrowser(const TBrowserSearch& search) {
    for (const TBrowserLocations& browser : search) {
        for (const std::string& file : browser.Files)
            if (IsExecutableFile(file))
                return file;
        for (const std::string& name : browser.PathNames) {
            std::string found = platform::FindExecutableOnPath(name);
            if (!found.empty())
                return found;
        }
    }
    return "";
}

std::string BrowserNotFoundMessage(const TBrowserSearch& search) {
    const std::string message = "Microsoft Edge not found";
    if (search.empty() || (search.size() == 1 && search[0].Name == "Microsoft Edge"))
        return message;
    std::string text =
        message + " (looked for " + JoinNames(search) + " in their usual places and on PATH)";
    // Where Chromium is looked for, it is the one a Debian system can install.
    for (const TBrowserLocations& browser : search)
        if (browser.Name == "Chromium")
            return text + "; install chromium (Debian package chromium)";
    return text;
}

} // namespace qm::pdf
