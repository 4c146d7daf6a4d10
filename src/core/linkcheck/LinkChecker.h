#pragma once
// Finds the broken links of a project as its topic files stand on disk:
// missing topic files, topic links to ids the project does not have, and
// local src/href references that lead to no file.
#include <string>
#include <vector>

namespace qm {

class TDocProject;

struct TLinkIssue {
    std::string TopicID;
    std::string TopicTitle; // the title at the time of the check
    std::string Issue;
};

// Every finding, topic by topic in the project's own order. A topic file that
// cannot be read, or a reference that cannot be a path, is a finding of its
// own; the check always goes through the whole project.
[[nodiscard]] std::vector<TLinkIssue> CheckLinks(const TDocProject& project);

// The text shown when the check finds nothing (passed through the translation).
inline constexpr const char* kNoLinkIssuesFound = "No link issues found.";

// One line "title: issue" per finding, each ended by CR LF.
[[nodiscard]] std::string LinkIssuesReport(const std::vector<TLinkIssue>& issues);

} // namespace qm
