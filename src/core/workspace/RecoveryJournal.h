#pragma once
// The recovery journal: the topic texts a session holds unsaved, kept in a
// file of the per-user folder (never in the project's own files) so that a
// crash, a kill or a power cut does not take the author's work with it.
// One journal per data folder; its name is derived from the folder's path.
#include <map>
#include <optional>
#include <string>

namespace qm {

struct TRecoveryJournal {
    std::string RootPath;    // the data folder the texts belong to
    std::string ProjectFile; // "" for the untitled project
    std::string SavedAt;     // when it was written, for the author
    // topic id -> the unsaved body HTML, exactly as the page reported it
    std::map<std::string, std::string> Topics;
};

// "<recoveryDir>/<hash of the data folder>.json".
[[nodiscard]] std::string RecoveryJournalPath(const std::string& recoveryDir,
                                              const std::string& rootPath);
// Written whole or not at all (a kill during the write leaves the previous
// journal). Raises EFileError when it cannot be written.
void WriteRecoveryJournal(const std::string& fileName, const TRecoveryJournal& journal);
// Nothing when the file is missing or is not a journal (a damaged journal is
// no reason to stop the author opening the project).
[[nodiscard]] std::optional<TRecoveryJournal> ReadRecoveryJournal(const std::string& fileName);

} // namespace qm
