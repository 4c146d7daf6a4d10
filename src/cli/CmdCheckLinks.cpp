// quillmate-cli check-links: the link checker for CI jobs. Exit code 0 when
// the project has no link issues and 1 when it has, so a build can gate on it.
#include "CliCommon.h"
#include "TerminalText.h"

#include "base/Json.h"
#include "base/PathUtils.h"
#include "base/StringUtil.h"
#include "linkcheck/LinkChecker.h"
#include "model/DocModel.h"
#include "model/Storage.h"

#include <ostream>
#include <vector>

namespace qm::cli {

int RunCheckLinks(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    TArgs a(args, {}, {"json"});
    const std::string& file = a.Single("project file (PROJECT.hff)");
    const TProjectFileInfo info = ReadProjectFile(file);
    TDocProject project;
    LoadProjectModel(IncludeTrailingPathDelimiter(info.Folder), project);
    const std::vector<TLinkIssue> issues = CheckLinks(project);

    if (a.Flag("json")) {
        Json list = Json::array();
        for (const auto& issue : issues)
            list.push_back(Json{{"topicId", issue.TopicID},
                                {"topicTitle", issue.TopicTitle},
                                {"issue", issue.Issue}});
        // The writer escapes every other control; DEL is legal raw in JSON
        // but not welcome on a terminal, and can only stand inside a string.
        out << ReplaceAll(JsonWrite(list), "\x7F", "\\u007F") << "\n";
    } else if (issues.empty()) {
        out << kNoLinkIssuesFound << "\n";
    } else {
        std::vector<TLinkIssue> shown;
        shown.reserve(issues.size());
        for (const TLinkIssue& issue : issues)
            shown.push_back({TerminalSafe(issue.TopicID), TerminalSafe(issue.TopicTitle),
                             TerminalSafe(issue.Issue)});
        // The report's lines end in CR LF for the desktop's message box; a
        // terminal and grep want plain line feeds.
        out << ReplaceAll(LinkIssuesReport(shown), "\r\n", "\n");
    }
    if (issues.empty())
        return kExitOk;
    // The count goes to stderr, after the report, so a CI log shows why the
    // step failed while stdout stays the bare report.
    out.flush();
    err << "quillmate-cli check-links: " << issues.size()
        << (issues.size() == 1 ? " link issue" : " link issues") << " found\n";
    return kExitFailure;
}

} // namespace qm::cli
