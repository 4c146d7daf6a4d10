#pragma once
// Which files an import may copy into the project. A page names files by
// relative paths, escapes, file: URLs and links, any of which can lead out of
// the page's folder to files that were never part of the page; those are
// left where they are and reported instead.
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace qm {

enum class TRefusal {
    Outside,        // lies outside the page's folder (and any allowed folder)
    Hidden,         // its name, or a folder's on the way to it, starts with "."
    NotRegularFile, // a folder, a device, a pipe, a dangling or looping link
};

// "outside the page's folder", "a hidden file", "not a regular file".
[[nodiscard]] std::string_view RefusalText(TRefusal why);

struct TRefusedReference {
    std::string Reference; // as the page or style sheet wrote it
    std::string Path;      // the file it names, links resolved where they could be
    TRefusal Why = TRefusal::Outside;
};

struct TImportFileVerdict {
    enum class TKind { Missing, Copy, Refuse };
    TKind Kind = TKind::Missing;
    std::string File; // Copy: the file to copy, links resolved; Refuse: what was named
    TRefusal Why = TRefusal::Outside;
};

// The folders as canonical paths (links resolved); folders that do not exist
// and empty entries are left out.
[[nodiscard]] std::vector<std::filesystem::path>
CanonicalFolders(const std::vector<std::string>& folders);

// What an import does with the file at path (absolute, as a reference
// resolved it): nothing when nothing is there; a copy when, links resolved,
// it is a regular file inside one of roots (canonical) with no hidden name on
// the way below that root, and the name it was referred to by is not hidden
// either; a refusal with the reason otherwise. A file outside every root
// counts as hidden when any folder of its whole path is.
[[nodiscard]] TImportFileVerdict JudgeImportFile(const std::string& path,
                                                 const std::vector<std::filesystem::path>& roots);

} // namespace qm
