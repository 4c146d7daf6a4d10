// A style sheet of a saved page copied into a project, its @import and url()
// references followed and rewritten.
#include "FuzzSupport.h"
#include "ImportFixture.h"

#include "base/Error.h"
#include "import/CssRewrite.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string source = qm::fuzz::ImportPageFolder() + "/input.css";
    qm::fuzz::WriteScratchFile(source, qm::fuzz::AsText(data, size));
    qm::TImportRun run = qm::fuzz::NewImportRun();
    try {
        qm::CopyCssWithRewrite(source, run.ProjectRoot + "/assets/css/input.css", run);
    } catch (const qm::EQuillmateError&) {
        // A copy that cannot be made is reported to the user.
    }
    // The copy of the sheet itself is not in the run's lists.
    run.Reserved.Paths.insert(source);
    qm::fuzz::ResetImportProject(run);
    return 0;
}
