// quillmate-cli info: what a project holds, with its contents tree.
#include "CliCommon.h"
#include "TerminalText.h"

#include "base/PathUtils.h"
#include "model/ContentsWalk.h"
#include "model/DocModel.h"
#include "model/Storage.h"

#include <filesystem>
#include <ostream>

namespace qm::cli {

int RunInfo(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
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
    const TContentsWalk walk = WalkContents(project);
    for (const TContentsEntry& e : walk.Entries)
        out << std::string(static_cast<size_t>(e.Depth + 1) * 2, ' ')
            << TerminalSafe(e.Topic->Title) << "  [" << TerminalSafe(e.Topic->ID) << "]\n";
    for (const std::string& w : walk.Warnings)
        err << "warning: " << w << "\n";
    return kExitOk;
}

} // namespace qm::cli
