#include "linkcheck/LinkChecker.h"

#include "base/Error.h"
#include "base/PathUtils.h"
#include "base/Regex.h"
#include "base/StringUtil.h"
#include "html/HtmlUtils.h"
#include "model/DocModel.h"

#include <filesystem>
#include <system_error>

namespace fs = std::filesystem;

namespace qm {

namespace {

// src="assets/images/a.png", HREF = "page.html": only double-quoted values;
// group 2 is the reference.
const TRegex& LocalReference() {
    static const TRegex re(R"re((src|href)\s*=\s*"([^"]+)")re", {.Caseless = true});
    return re;
}

// Addresses that name no file of the project, and data: addresses, whose file
// is the address itself.
bool IsSkippedReference(std::string_view ref) {
    for (std::string_view prefix : {"http", "mailto:", "doc:", "data:"})
        if (StartsWithAsciiNoCase(ref, prefix))
            return true;
    return StartsWith(ref, "#");
}

bool ReferencedFileExists(const std::string& root, const std::string& ref) {
    const std::string joined = JoinPath(root, ref);
#ifndef _WIN32
    // "C:\..." cannot exist here; as a relative path it could find an
    // unrelated file under the current folder.
    if (ref.size() >= 2 && ref[1] == ':')
        return false;
#endif
    std::error_code ec;
    fs::path full = fs::absolute(fs::path(joined), ec);
    if (ec)
        return false;
    return FileExists(full.lexically_normal().string());
}

void CheckTopic(const TDocProject& project, const TTopic& topic, std::vector<TLinkIssue>& issues) {
    const auto add = [&](std::string issue) {
        issues.push_back({topic.ID, topic.Title, std::move(issue)});
    };
    const std::string page = project.TopicHtmlPath(topic.ID);
    if (!FileExists(page)) {
        add("Missing HTML file: " + page);
        return;
    }
    std::string html;
    try {
        html = ReadTextFileUtf8(page);
    } catch (const EQuillmateError&) {
        // An unreadable page is one finding; the other topics are still checked.
        add("Unreadable HTML file: " + page);
        return;
    }
    for (const std::string& id : CollectDocLinkIds(html))
        if (!project.HasTopic(id))
            add("Broken internal link: doc:" + id);
    LocalReference().ForEachMatch(html, [&](const TRegexMatch& m) {
        const std::string ref(m.Group(2));
        if (IsSkippedReference(ref))
            return;
        try {
            if (!ReferencedFileExists(project.RootPath, ref))
                add("Missing local reference: " + ref);
        } catch (const EInvalidPath&) {
            // page.html?x=1 and the like cannot be looked up as a file name.
            add("Invalid local reference: " + ref);
        }
    });
}

} // namespace

std::vector<TLinkIssue> CheckLinks(const TDocProject& project) {
    std::vector<TLinkIssue> issues;
    for (const TTopic& topic : project.Topics)
        CheckTopic(project, topic, issues);
    return issues;
}

std::string LinkIssuesReport(const std::vector<TLinkIssue>& issues) {
    std::string report;
    for (const TLinkIssue& issue : issues)
        report += issue.TopicTitle + ": " + issue.Issue + "\r\n";
    return report;
}

} // namespace qm
