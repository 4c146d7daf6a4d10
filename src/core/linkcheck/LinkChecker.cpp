#include "linkcheck/LinkChecker.h"

#include "base/Error.h"
#include "base/ParallelFor.h"
#include "base/PathUtils.h"
#include "base/StringUtil.h"
#include "html/HtmlUtils.h"
#include "linkcheck/ReferenceScan.h"
#include "model/DocModel.h"

#include <algorithm>
#include <filesystem>
#include <system_error>
#include <unordered_map>

namespace fs = std::filesystem;

namespace qm {

namespace {

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

enum class TReferenceState { Exists, Missing, Invalid };

// What is known about each reference for the whole check: most pages name
// the same few images and style sheets.
using TReferenceStates = std::unordered_map<std::string, TReferenceState>;

TReferenceState StateOf(const std::string& root, const std::string& ref, TReferenceStates& known) {
    const auto it = known.find(ref);
    if (it != known.end())
        return it->second;
    TReferenceState state = TReferenceState::Missing;
    try {
        if (ReferencedFileExists(root, ref))
            state = TReferenceState::Exists;
    } catch (const EInvalidPath&) {
        // page.html?x=1 and the like cannot be looked up as a file name.
        state = TReferenceState::Invalid;
    }
    known.emplace(ref, state);
    return state;
}

// What a worker finds in one page; the reference lookups, which share one
// cache, come after, in topic order.
struct TPageFindings {
    std::string Problem; // the page's own issue; nothing else is looked at then
    std::vector<std::string> BrokenIds;
    std::vector<std::string> References;
};

TPageFindings ScanTopic(const TDocProject& project, const TTopic& topic) {
    TPageFindings found;
    const std::string page = project.TopicHtmlPath(topic.ID);
    std::string html;
    try {
        if (!ReadTextFileUtf8IfExists(page, html)) {
            found.Problem = "Missing HTML file: " + page;
            return found;
        }
    } catch (const EQuillmateError&) {
        // An unreadable page is one finding; the other topics are still checked.
        found.Problem = "Unreadable HTML file: " + page;
        return found;
    }
    // Checked once as it was read; the two searches need not check it again.
    const TValidUtf8 text{html};
    for (std::string& id : CollectDocLinkIds(text))
        if (!project.HasTopic(id))
            found.BrokenIds.push_back(std::move(id));
    // src="assets/images/a.png", HREF = "page.html": only double-quoted values.
    ForEachQuotedReference(text, [&](std::string_view ref) {
        if (!IsSkippedReference(ref))
            found.References.emplace_back(ref);
    });
    return found;
}

void Report(const TDocProject& project, const TTopic& topic, const TPageFindings& found,
            std::vector<TLinkIssue>& issues, TReferenceStates& known) {
    const auto add = [&](std::string issue) {
        issues.push_back({topic.ID, topic.Title, std::move(issue)});
    };
    if (!found.Problem.empty()) {
        add(found.Problem);
        return;
    }
    for (const std::string& id : found.BrokenIds)
        add("Broken internal link: doc:" + id);
    for (const std::string& ref : found.References) {
        switch (StateOf(project.RootPath, ref, known)) {
        case TReferenceState::Exists:
            break;
        case TReferenceState::Missing:
            add("Missing local reference: " + ref);
            break;
        case TReferenceState::Invalid:
            add("Invalid local reference: " + ref);
            break;
        }
    }
}

} // namespace

std::vector<TLinkIssue> CheckLinks(const TDocProject& project) {
    std::vector<const TTopic*> topics;
    topics.reserve(project.Topics.Count());
    for (const TTopic& topic : project.Topics)
        topics.push_back(&topic);
    // Reading and scanning the pages is nearly all of the work, and each page
    // stands alone.
    std::vector<TPageFindings> found(topics.size());
    ParallelFor(topics.size(), 0, {}, [&](size_t i) { found[i] = ScanTopic(project, *topics[i]); });
    std::vector<TLinkIssue> issues;
    TReferenceStates known;
    for (size_t i = 0; i < topics.size(); ++i)
        Report(project, *topics[i], found[i], issues, known);
    return issues;
}

std::string LinkIssuesReport(const std::vector<TLinkIssue>& issues) {
    std::string report;
    for (const TLinkIssue& issue : issues)
        report += issue.TopicTitle + ": " + issue.Issue + "\r\n";
    return report;
}

} // namespace qm
