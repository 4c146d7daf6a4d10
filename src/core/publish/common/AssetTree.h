#pragma once
// What of a project's assets folder a publish copies. Links in the folder are
// the author's to make, but one that leads out of the project would publish
// whatever it names (a link to /etc publishes all of /etc).
#include <filesystem>
#include <string>
#include <vector>

namespace qm {

struct TAssetEntry {
    std::filesystem::path From;     // the file or folder to read, links resolved
    std::filesystem::path Relative; // its place below the copied folder
    bool Folder = false;
};

// The folders and regular files below source, parents before their content.
// A symbolic link counts as what it leads to when that lies inside boundary
// (the project's data folder); a link that leads outside or nowhere, and
// anything neither file nor folder, is left out with a warning in warnings;
// a link to a folder the walk is in (or above it) is left out silently.
// Temporary files of interrupted writes are left out silently too. Raises EFileError naming a
// folder that cannot be read.
[[nodiscard]] std::vector<TAssetEntry> ListPublishedAssets(const std::string& source,
                                                           const std::string& boundary,
                                                           std::vector<std::string>& warnings);

} // namespace qm
