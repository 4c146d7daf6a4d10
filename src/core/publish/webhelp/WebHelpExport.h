#pragma once
// Publishing a project as a WebHelp site: pages, style sheet, assets,
// contents and search data, and the viewer pages from the templates.
#include <functional>
#include <string>
#include <vector>

namespace qm {

class TDocProject;
class TProjectSettings;

// Called with the number of pages done and the total, from any thread.
using TProgressCallback = std::function<void(size_t done, size_t total)>;

struct TWebHelpExportOptions {
    TProgressCallback Progress;
    // Worker threads for the pages; 0 = one per processor. The output is the
    // same whatever the count.
    unsigned Threads = 0;
};

struct TWebHelpExportReport {
    size_t PagesWritten = 0;
    size_t StalePagesRemoved = 0;
    std::vector<std::string> Warnings;
};

// Writes the site into outDir (pages, style.css, assets, toc and search data).
// Pages of topics that this run did not write are removed from outDir/topics.
TWebHelpExportReport ExportWebHelp(const TDocProject& project, const std::string& outDir,
                                   const TWebHelpExportOptions& options = {});

// Copies app.html (as index.html), app.js and app.css from templateDir, fills
// the placeholders of app.css from settings (when given; errors there are
// ignored) and sets the page title. A missing templateDir copies nothing.
// Returns the full path of index.html.
std::string InstallWebHelpTemplates(const std::string& templateDir, const std::string& outDir,
                                    const TProjectSettings* settings,
                                    const std::string& projectTitle);

} // namespace qm
