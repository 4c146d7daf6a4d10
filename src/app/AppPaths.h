#pragma once
// The program's per-user folder and the program files it reads.
#include <string>

namespace qm::app {

// APPDATA when set (tests point it at a temporary folder), otherwise the
// platform's per-user data folder (~/.local/share on Linux), then "quillmate".
[[nodiscard]] std::string UserDataDir();
[[nodiscard]] std::string WorkspaceDir(); // with a trailing separator
[[nodiscard]] std::string LastProjectFilePath();
// Where the recovery journals of unsaved work are kept.
[[nodiscard]] std::string RecoveryDir();
// The folder with AppFiles, styles and transl.qz ("" when not found).
[[nodiscard]] std::string ProgramDataDir();
// The start page of the user's guide among the program files ("" when missing).
[[nodiscard]] std::string UserGuideStartPage();

} // namespace qm::app
