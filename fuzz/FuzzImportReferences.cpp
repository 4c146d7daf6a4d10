// The references of an imported body (src, poster, data, srcset) resolved
// against a saved page's folder and rewritten to copies in a project.
#include "FuzzSupport.h"
#include "ImportFixture.h"

#include "base/Error.h"
#include "import/ImportPaths.h"
#include "import/MediaReferences.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const auto utf8 = qm::fuzz::AsUtf8Text(data, size);
    if (!utf8)
        return 0;
    const std::string_view text = *utf8;
    (void)qm::ResolveImportPath(text, qm::fuzz::ImportPageFolder());
    (void)qm::ResolveCssPath(text, qm::fuzz::ImportPageFolder());
    qm::TImportRun run = qm::fuzz::NewImportRun();
    try {
        (void)qm::RewriteMediaReferences(text, run);
        (void)qm::RewriteSrcset(text, run);
    } catch (const qm::EQuillmateError&) {
        // A copy that cannot be made is reported to the user.
    }
    qm::fuzz::ResetImportProject(run);
    return 0;
}
