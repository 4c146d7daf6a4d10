#pragma once
// Moving a TDocProject to and from disk: the project file (.hff), the data
// folder's project.json and meta/topics.json.
#include <string>

namespace qm {

class TDocProject;

[[nodiscard]] std::string ProjectJsonPath(const std::string& folder);
[[nodiscard]] std::string TopicsJsonPath(const std::string& folder);

// Writes project.json and meta/topics.json into the project's RootPath.
void SaveProjectModel(const TDocProject& project);

// Fills the project from the data folder. A missing file is an empty part of
// the project; a file that exists but is not JSON raises EJsonError, because
// treating it as missing would let the next save replace the author's tree.
void LoadProjectModel(const std::string& folder, TDocProject& project);

// Writes the project file, its "root" naming the project's RootPath (the
// folder beside the file when RootPath is empty), and the model into that
// folder. RootPath is the same afterwards.
void WriteProjectFile(const std::string& fileName, TDocProject& project);

struct TProjectFileInfo {
    std::string Folder; // the data folder, without a trailing separator
    std::string Title;
};
// Reads a project file. The data folder is the one beside the file whenever
// that holds a project.json; "root" is used only when it does not.
[[nodiscard]] TProjectFileInfo ReadProjectFile(const std::string& fileName);

// The data folder beside a project file: its folder joined with its base name
// ("Project" when the base name is empty).
[[nodiscard]] std::string DefaultDataFolderFor(const std::string& fileName);

} // namespace qm
