#pragma once
// Finding the browser that prints the manual: Microsoft Edge on Windows;
// elsewhere Edge, Chromium or Google Chrome, which share Edge's engine and
// its command line.
#include <string>
#include <vector>

namespace qm::pdf {

// Where one browser is looked for: fixed files first, then program names on PATH.
struct TBrowserLocations {
    std::string Name; // for the message when none is found
    std::vector<std::string> Files;
    std::vector<std::string> PathNames;
};

// Browsers in the order they are tried.
using TBrowserSearch = std::vector<TBrowserLocations>;

// Windows: Edge in "C:\Program Files (x86)\Microsoft\Edge\Application" and
// then "C:\Program Files\Microsoft\Edge\Application". Linux: Edge, then
// Chromium, then Chrome, each in its usual install places and on PATH.
[[nodiscard]] TBrowserSearch DefaultBrowserSearch();

// The full path of the first executable file the search finds, or "".
[[nodiscard]] std::string FindBrowser(const TBrowserSearch& search);

// "Microsoft Edge not found"; where more browsers than Edge were looked for,
// followed by their names, and where Chromium was one of them, by how to
// install it.
[[nodiscard]] std::string BrowserNotFoundMessage(const TBrowserSearch& search);

} // namespace qm::pdf
