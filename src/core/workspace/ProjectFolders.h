#pragma once
// Preparing a project's data folder for the desktop program and moving it:
// standard sub-folders, the program files copied in, Save As copies, and the
// editor's effective style sheet.
#include <string>
#include <vector>

namespace qm {

class TDocProject;
class TProjectSettings;

// topics, meta, assets/images, build, styles, internal/editor, internal/webhelp.
void EnsureProjectFolders(const std::string& rootPath);

// Copies the editor page and the WebHelp templates from the program data
// folder (always refreshed) and styles/default.css (only when the project has
// none). Missing program files are skipped.
void PrepareInternalFiles(const std::string& rootPath, const std::string& programDataDir);

// Lies in the workspace while an untitled project is open; a workspace that
// still has it at start-up was left by a session that did not close.
inline constexpr const char* kWorkspaceInUseMarker = ".in-use";

// Copies every file below source to target, except the top-level build folder,
// project files (*.hff), the workspace's in-use marker and the project's lock
// file. Raises EFileError on a failed copy.
void CopyProjectFolder(const std::string& source, const std::string& target);

// Trimmed, cut to the last embedded Windows drive path ("X:\") when one is
// glued behind another path, and made absolute with "." and ".." resolved.
[[nodiscard]] std::string NormalizeProjectPath(const std::string& text);

// Profile names: the *.css files directly in styles/, "default" when none.
[[nodiscard]] std::vector<std::string> ListStyleProfiles(const std::string& rootPath);

// Writes internal/editor/editor_effective.css (the profile, or default.css,
// or a one-line base rule, then the settings overrides) and returns its path.
std::string BuildEditorEffectiveCss(const TDocProject& project, const TProjectSettings& settings);

} // namespace qm
