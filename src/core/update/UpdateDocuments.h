#pragma once
// The update server's two small documents and what the program makes of them.
// Any document that is not as expected means "no update": the program starts
// normally and says nothing.
#include "QuillmateVersion.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace qm {

// The version the program is, written as the server writes versions (20 is 2.0).
inline constexpr int kRunningVersion = kVersionNumber;

// Fixed paths on the update server, after its address.
inline constexpr std::string_view kVersionDocumentPath = "/download/version/quillmate-version.html";
inline constexpr std::string_view kChangesDocumentPath = "/download/version/quillmate-changes.html";
inline constexpr std::string_view kInstallerPath = "/download/quillmate.exe";
inline constexpr std::string_view kInstallerChecksumPath = "/download/quillmate.exe.sha256";
// Opened in the browser where the program cannot update itself, or when a
// download failed.
inline constexpr std::string_view kDownloadPagePath = "/download/";

// The version document's first line: "A/B", the latest version and the lowest
// one that may still be used, each plain decimal digits (21 is 2.1).
struct TVersionLine {
    int Latest = 0;
    int Lowest = 0;
};
// Nothing when the line is not two plain decimal integers around one "/".
[[nodiscard]] std::optional<TVersionLine> ParseVersionLine(std::string_view line);
// 21 -> "2.1", 105 -> "10.5".
[[nodiscard]] std::string DisplayVersion(int version);

// The changes document's items, one per line, blank lines dropped.
[[nodiscard]] std::vector<std::string> ChangesLines(std::string_view document);

struct TUpdateNotice {
    // The running version may no longer be used: update or exit.
    bool Forced = false;
    std::string Version; // displayed form, "2.1"
    std::string Text;    // what the dialog shows, translated, lines separated by "\n"
};

// The notice for the two documents as fetched, or nothing when there is no
// newer version or a document is not in its format.
[[nodiscard]] std::optional<TUpdateNotice>
EvaluateUpdateDocuments(std::string_view versionDocument, std::string_view changesDocument,
                        int runningVersion = kRunningVersion);

// Only the version document decides whether the changes are needed at all.
[[nodiscard]] bool VersionDocumentOffersUpdate(std::string_view versionDocument,
                                               int runningVersion = kRunningVersion);

} // namespace qm
