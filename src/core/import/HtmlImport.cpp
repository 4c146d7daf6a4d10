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

std::optional<std::string> ImportHtmlFile(const std::string& projectRoot,
                                          const std::string& fileName) {
    const std::string source = ReadTextFileUtf8OrAnsi(fileName);

    TImportRun run;
    run.ProjectRoot = projectRoot;
    run.HtmlFolder = ExtractFileDir(ExpandFullPath(fileName));

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

} // namespace qm
