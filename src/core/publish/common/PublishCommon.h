#pragma once
// Pieces every publisher shares: the settings loaded for one run, the copy of
// the assets tree, and the output folder's bookkeeping of pages written.
#include "settings/ProjectSettings.h"

#include <string>
#include <string_view>
#include <unordered_set>
#include <vector>

namespace qm {

class TDocProject;

// Defaults, overlaid by the project's settings file when it exists and holds
// a JSON object.
[[nodiscard]] TProjectSettings LoadPublishSettings(const TDocProject& project);

// Copies every file of Source into Target (replacing), and every folder
// recursively; empty folders are created too. Links are followed only while
// they stay inside boundary, the project's data folder: what is left out is
// said in warnings (see ListPublishedAssets). Raises EFileError on failure.
void CopyFolderTree(const std::string& source, const std::string& target,
                    const std::string& boundary, std::vector<std::string>& warnings);

// A topic id that can name its page file in a published topics folder
// (TDocProject::IsSafeTopicId, which also bounds its length).
[[nodiscard]] bool IsPageFileId(std::string_view id);

// Removes the *.html files in a published topics folder that are not in
// keep (file names such as "ID.html"), so pages of deleted or excluded topics
// do not linger in the output. Nothing else is touched. Returns how many went.
// Only for folders ClaimOutputFolder answered true for: elsewhere the pages
// may be the author's own.
size_t RemoveStalePages(const std::string& topicsFolder, const std::vector<std::string>& keep);

// A published page's header: the default pair in meta/, replaced by the
// topic's own files where they exist (even a blank own file wins). Html is
// left empty when no text is there: each target has its own fallback.
struct TPageHeader {
    std::string Html;
    std::string Background; // "#fafafa" when no file gives one
};
[[nodiscard]] TPageHeader ReadHeaderFiles(const TDocProject& project, const std::string& id);

// ReadHeaderFiles for a whole publish: the meta folder is listed and the
// default pair read once, so a page costs only the reads of its own files.
// Safe to use from several threads at once.
class TPageHeaders {
public:
    explicit TPageHeaders(const TDocProject& project);
    [[nodiscard]] TPageHeader For(const std::string& id) const;

private:
    std::string FMeta;
    std::unordered_set<std::string> FFiles; // regular files in the meta folder
    TPageHeader FDefault;
};

// Pure white backgrounds in the page become transparent, so the page colour
// shows: the eight "background-color" forms, and with shorthand also the four
// "background" forms.
[[nodiscard]] std::string ReplaceWhiteBackgrounds(std::string_view html, bool shorthand);

// The style profile's file (styles/<StyleProfile>.css), or "" when the name
// would climb out of the styles folder (it then counts as missing).
[[nodiscard]] std::string StyleProfilePath(const TDocProject& project);
// The base rule used when a project has no style profile file.
inline constexpr const char* kBaseStyleRule =
    "body{font-family:Segoe UI,Arial;line-height:1.5;margin:0;}";

// The trimmed text of a file, or "" when it does not exist.
[[nodiscard]] std::string ReadTrimmedIfExists(const std::string& fileName);

} // namespace qm
