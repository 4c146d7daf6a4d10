// quillmate-cli import: imports an HTML file with its images, media and style
// sheets into a topic. The desktop program inserts the result at the caret;
// here it is appended to the end of the topic's page.
#include "CliCommon.h"

#include "base/Error.h"
#include "base/PathUtils.h"
#include "import/HtmlImport.h"
#include "model/DocModel.h"
#include "model/Storage.h"
#include "platform/ProjectLock.h"

#include <chrono>
#include <optional>
#include <ostream>

namespace qm::cli {

int RunImport(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    TArgs a(args, {"topic", "asset-root"}, {});
    const std::optional<std::string> topicId = a.Value("topic");
    if (!topicId)
        throw EUsageError("option --topic is required");
    if (a.Positional().size() != 2)
        throw EUsageError("expected a project file (PROJECT.hff) and an HTML file");
    const std::string& projectFile = a.Positional()[0];
    const std::string& htmlFile = a.Positional()[1];
    THtmlImportOptions options;
    options.AssetRoot = a.Value("asset-root").value_or("");
    if (!options.AssetRoot.empty() && !DirectoryExists(options.AssetRoot))
        throw EUsageError("--asset-root is not a folder: " + options.AssetRoot);

    const TProjectFileInfo info = ReadProjectFile(projectFile);
    // The topic's page is read, extended and written back; a second writer
    // in between would lose one of the two imports.
    const platform::TProjectLock lock(info.Folder, kProjectLockWait);
    lock.RemoveInterruptedWrites();
    TDocProject project;
    LoadProjectModel(IncludeTrailingPathDelimiter(info.Folder), project);
    const TTopic& topic = project.GetTopic(*topicId);
    const std::string pageFile = project.TopicHtmlPath(topic.ID);
    if (pageFile.empty())
        throw EQuillmateError("The topic has no page file: " + topic.ID);

    const THtmlImportResult result = ImportHtmlFile(project.RootPath, htmlFile, options);
    for (const TRefusedReference& r : result.Refused)
        err << "warning: not imported (" << RefusalText(r.Why) << "): " << r.Reference << "\n";
    if (!result.Html) {
        err << kNoImportableBodyContent << "\n";
        return kExitFailure;
    }
    const std::string page = FileExists(pageFile) ? ReadTextFileUtf8(pageFile) : "";
    WriteTextFileUtf8(pageFile, page + *result.Html);
    out << "Inserted HTML: " << ExtractFileName(ToNativeSeparators(htmlFile)) << "\n";
    return kExitOk;
}

} // namespace qm::cli
