#include "import/HtmlImport.h"

#include "base/PathUtils.h"
#include "base/StringUtil.h"
#include "import/AnsiText.h"
#include "import/ImportCleaning.h"
#include "import/ImportPaths.h"
#include "import/ImportRun.h"
#include "import/ImportedStyles.h"
#include "import/MediaReferences.h"

namespace qm {

namespace {

std::optional<std::string> ImportPage(const std::string& source, TImportRun& run) {
    // Styles and the body's attributes come from the untouched page, so
    // style sheets anywhere in it (the body included) end up in front.
    const std::string styles = BuildImportedStyles(source, run);
    const std::string wrapper = BodyWrapperOpenTag(source);
    std::string body = ExtractImportBody(source);
    body = RewriteMediaReferences(body, run);
    body = NeutraliseSectioningTags(body);
    if (!wrapper.empty())
        body = wrapper + body + "</div>";
    body = styles + body;
    if (TrimCtl(body).empty())
        return std::nullopt;
    return body;
}

TImportRun NewRun(const std::string& projectRoot, const std::string& htmlFolder,
                  const THtmlImportOptions& options) {
    TImportRun run;
    run.ProjectRoot = projectRoot;
    run.HtmlFolder = htmlFolder;
    if (!options.AssetRoot.empty())
        run.ExtraRoots.push_back(ExpandFullPath(options.AssetRoot));
    return run;
}

} // namespace

THtmlImportResult ImportHtmlFile(const std::string& projectRoot, const std::string& fileName,
                                 const THtmlImportOptions& options) {
    const std::string source = ReadTextFileUtf8OrAnsi(fileName);
    const std::string htmlFolder = ExtractFileDir(ExpandFullPath(fileName));

    std::unordered_set<std::string> allowed;
    if (options.AllowOutsideFiles) {
        // A dry run first, so the author is asked once about every file
        // before the first one is copied.
        TImportRun survey = NewRun(projectRoot, htmlFolder, options);
        survey.Survey = true;
        (void)ImportPage(source, survey);
        std::vector<std::string> outside;
        for (const TRefusedReference& r : survey.Refused)
            if (r.Why == TRefusal::Outside && allowed.insert(r.Path).second)
                outside.push_back(r.Path);
        if (outside.empty() || !options.AllowOutsideFiles(outside))
            allowed.clear();
    }

    TImportRun run = NewRun(projectRoot, htmlFolder, options);
    run.AllowedOutside = std::move(allowed);
    THtmlImportResult result;
    result.Html = ImportPage(source, run);
    result.Refused = std::move(run.Refused);
    return result;
}

} // namespace qm
