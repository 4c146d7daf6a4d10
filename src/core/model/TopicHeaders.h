#pragma once
// Per-topic page headers (meta/header_X.html and meta/headerbg_X.txt) and the
// generated default header and topic page.
#include <string>

namespace qm {

class TDocProject;
class TProjectSettings;

struct TTopicHeader {
    std::string Html;
    std::string Background;
};

struct THeaderFilePaths {
    std::string HtmlFile;
    std::string BackgroundFile;
};

// The pair for a topic id, or the default pair when id is empty.
[[nodiscard]] THeaderFilePaths HeaderFilesFor(const TDocProject& project, const std::string& id);

[[nodiscard]] TTopicHeader LoadHeaderForTopic(const TDocProject& project,
                                              const TProjectSettings& settings,
                                              const std::string& id);
void SaveHeaderForTopic(const TDocProject& project, const std::string& id, const std::string& html,
                        const std::string& background);

// A paragraph in the settings' body font holding only a line break.
[[nodiscard]] std::string DefaultTopicHtml(const TProjectSettings& settings);
// A div in the settings' body font with the title in bold.
[[nodiscard]] std::string DefaultHeaderHtml(const TProjectSettings& settings,
                                            const std::string& title);

} // namespace qm
