#pragma once
// Where the program files (editor page, WebHelp viewer, default style,
// translation table) are found. On Windows they sit beside the executable; on
// Linux an installation keeps them in share/quillmate beside bin/, and the
// build tree copies them into the same layout.
#include <string>

namespace qm::platform {

// The full path of the running executable ("" when it cannot be told).
[[nodiscard]] std::string ExecutablePath();

// The folder that holds "AppFiles", "styles" and "transl.qz" for an executable
// at exePath; "" when none of the known places has them.
[[nodiscard]] std::string FindProgramDataDir(const std::string& exePath);

// The version the program files in dataDir were built for (the first line of
// their VERSION file); "" when there is none. An executable run against the
// files of another build says so with this.
[[nodiscard]] std::string ProgramFilesVersion(const std::string& dataDir);

// For --version: "VERSION in DIR" for the program files an executable at
// exePath finds, "not found" when it finds none.
[[nodiscard]] std::string DescribeProgramFiles(const std::string& exePath);

// The per-user temporary folder, with a trailing separator.
[[nodiscard]] std::string UserTempDir();

} // namespace qm::platform
