// quillmate-cli info: what a project holds, with its contents tree.
#include "CliCommon.h"
#include "TerminalText.h"

#include "base/PathUtils.h"
#include "model/DocModel.h"
#include "model/Storage.h"

#include <filesystem>
#include <ostream>
#include <unordered_set>

namespace qm::cli {

namespace {
void PrintTree(const TDocProject& p, const std::vector<std::string>& ids, int depth,
               std::unordered_set<std::string>& shown, std::ostream& out) {
    for (const auto& id : ids) {
        const TTopic* t = p.Topics.Find(id);
        // Ids that name no topic are skipped, and a topic is shown once even
        // when a damaged tree lists it twice or in a cycle.
        if (t == nullptr || !shown.insert(id).second)
            continue;
        out << std::string(static_cast<size_t>(depth) * 2, ' ') << TerminalSafe(t->Title) << "  ["
            << TerminalSafe(t->ID) << "]\n";
        PrintTree(p, t->Children, depth + 1, shown, out);
    }
}
} // namespace

int RunInfo(const std::vector<std::string>& args, std::ostream& out, std::ostream&) {
    TArgs a(args, {}, {});
    const std::string& file = a.Single("project file (PROJECT.hff)");
    const TProjectFileInfo info = ReadProjectFile(file);
    TDocProject project;
    LoadProjectModel(IncludeTrailingPathDelimiter(info.Folder), project);
    out << "Title: " << TerminalSafe(project.Title) << "\n";
    out << "Data folder: "
        << TerminalSafe(std::filesystem::absolute(info.Folder).lexically_normal().string()) << "\n";
    out << "Style profile: " << TerminalSafe(project.StyleProfile) << "\n";
    out << "Topics: " << project.Topics.Count() << "\n";
    out << "Contents:\n";
    std::unordered_set<std::string> shown;
    PrintTree(project, project.RootTopicIDs, 1, shown, out);
    return kExitOk;
}

} // namespace qm::cli
